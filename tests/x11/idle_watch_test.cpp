// The idle watcher on Xvfb (MIT-SCREEN-SAVER): the saver starts after the
// idle time, input ends it, it starts again, and SIGTERM ends watcher and
// saver with 0; and the login entry --autostart writes and removes.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "harness.h"
#include "x_client.h"
#include "xvfb_suite.h"

using namespace vyla::x11::testing;

namespace {

constexpr int kStartMs = 10000;
constexpr int kEndMs = 5000;

class WatcherOnXvfb : public XvfbSuite<WatcherOnXvfb> {
protected:
    static void SetUpTestSuite() { StartServer({640, 480}); }

    bool SaverUp()
    {
        return client_->FindOverrideWindow(kSaverName) && client_->OthersHoldGrabs();
    }

    TempDir settings_;
};

TEST_F(WatcherOnXvfb, StartsTheSaverAtIdleAgainAfterInputAndEndsWithIt)
{
    ChildProcess watcher({ProgramPath(), "--watch-idle", "2s"},
                         {server_->DisplayVariable(), "XDG_CONFIG_HOME=" + settings_.Path().string(),
                          "DBUS_SESSION_BUS_ADDRESS=", "XDG_RUNTIME_DIR=" + settings_.Path().string()},
                         true);
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(WaitFor([&] { return SaverUp() || !watcher.Running(); }, kStartMs)) << "round " << round;
        ASSERT_TRUE(watcher.Running()) << "the watcher ended, status " << ExitCode(watcher.Wait(0));
        EXPECT_EQ(Xdotool(server_->DisplayVariable(), {"mousemove", "100", std::to_string(100 + round * 50)}), 0);
        ASSERT_TRUE(WaitFor([&] { return !client_->FindOverrideWindow(kSaverName); }, kEndMs))
            << "input did not end the saver";
        EXPECT_TRUE(watcher.Running());
    }
    ASSERT_TRUE(WaitFor([&] { return SaverUp(); }, kStartMs)) << "no third start";
    watcher.Signal(SIGTERM);
    EXPECT_EQ(ExitCode(watcher.Wait(kEndMs)), 0);
    EXPECT_FALSE(client_->FindOverrideWindow(kSaverName)) << "the saver outlived its watcher";
}

TEST(Autostart, TheLoginEntryWrittenReplacedAndRemovedWithOneLineEach)
{
    TempDir config;
    const auto entry = config.Path() / "autostart" / "vyla.desktop";
    auto run = [&](const std::string& value) {
        return RunCommandOutput({ProgramPath(), "--autostart", value},
                                {"XDG_CONFIG_HOME=" + config.Path().string()});
    };
    const struct {
        const char* value;
        const char* said;      // the start of the one line
        const char* exec;      // the entry's Exec after the program, "" for none
    } steps[] = {
        {"10m", "vyla: wrote ", " --watch-idle 10m"},
        {"90", "vyla: wrote ", " --watch-idle 90s"},
        {"off", "vyla: removed ", ""},
        {"off", "vyla: no ", ""},
    };
    for (const auto& step : steps) {
        auto [code, out] = run(step.value);
        EXPECT_EQ(code, 0) << step.value;
        EXPECT_TRUE(out.starts_with(step.said)) << step.value << ": " << out;
        EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
        if (*step.exec) {
            const std::string text = ReadText(entry);
            EXPECT_NE(text.find("[Desktop Entry]\nType=Application\n"), std::string::npos) << text;
            EXPECT_NE(text.find("\nExec=" + std::string(ProgramPath()) + step.exec + "\n"), std::string::npos) << text;
        } else {
            EXPECT_FALSE(std::filesystem::exists(entry));
        }
    }
}

}  // namespace
