// The program under headless mutter 43 (GNOME's compositor: no layer-shell,
// no screen capture without asking): the saver as a fullscreen window that
// a key ends with 0, and its own watcher starting it through mutter's idle
// monitor, again after input, and not while the session manager says a
// program inhibits idle. Input comes through mutter's remote-desktop
// interface (tests/wayland/mutter_input.cpp).
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "compositor_session.h"
#include "harness.h"

namespace {

using vyla::wayland::testing::CompositorSession;
using vyla::wayland::testing::ProgramProcesses;
using vyla::x11::testing::ChildProcess;
using vyla::x11::testing::ExitCode;
using vyla::x11::testing::WaitFor;

constexpr int kStartMs = 10000;
constexpr int kEndMs = 5000;

class SaverOnMutter : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::string why;
        session_ = CompositorSession::StartMutter({640, 480}, &why).release();
        if (!session_) {
            skip_ = why;
            return;
        }
        std::filesystem::copy_file(VYLA_PROGRAM, Program());
        std::filesystem::copy_file(VYLA_MUTTER_INPUT, session_->Home() / "mutter_input");
        std::filesystem::copy_file(VYLA_SESSION_INHIBITOR, session_->Home() / "session_inhibitor");
        session_->OwnHome();
    }
    static void TearDownTestSuite()
    {
        delete session_;
        session_ = nullptr;
    }
    void SetUp() override
    {
        if (!session_)
            GTEST_SKIP() << "mutter cannot run here: " << skip_;
    }

    static std::filesystem::path Program() { return session_->Home() / "vyla"; }
    static int Key() { return session_->Run({(session_->Home() / "mutter_input").string()}); }
    // The saver of a watcher: processes of the program beside the watcher.
    static bool SaverRuns() { return ProgramProcesses(Program()).size() > 1; }

    inline static CompositorSession* session_ = nullptr;
    inline static std::string skip_;
};

TEST_F(SaverOnMutter, AFullscreenWindowPerOutputThatAKeyEnds)
{
    ChildProcess saver(session_->AsUser({Program().string()}), {}, true);
    // The first process and the output's own, which stay.
    ASSERT_TRUE(WaitFor([&] { return ProgramProcesses(Program()).size() == 2 || !saver.Running(); }, kStartMs));
    std::this_thread::sleep_for(std::chrono::seconds(1));
    ASSERT_TRUE(saver.Running()) << "the saver ended at once, status " << ExitCode(saver.Wait(0));
    EXPECT_EQ(Key(), 0);
    EXPECT_EQ(ExitCode(saver.Wait(kEndMs)), 0) << "a key did not end the saver";
}

TEST_F(SaverOnMutter, ItsWatcherStartsItThroughTheIdleMonitorAgainAfterInput)
{
    ChildProcess watcher(session_->AsUser({Program().string(), "--watch-idle", "2"}), {}, true);
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(WaitFor([&] { return SaverRuns() || !watcher.Running(); }, kStartMs)) << "round " << round;
        ASSERT_TRUE(watcher.Running()) << "the watcher ended, status " << ExitCode(watcher.Wait(0));
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        EXPECT_EQ(Key(), 0);
        EXPECT_TRUE(WaitFor([&] { return !SaverRuns(); }, kEndMs)) << "round " << round << ": a key did not end it";
    }
    watcher.Signal(SIGTERM);
    EXPECT_EQ(ExitCode(watcher.Wait(kEndMs)), 0);
    EXPECT_TRUE(WaitFor([&] { return ProgramProcesses(Program()).empty(); }, kEndMs));
}

// The session manager is a stand-in (headless mutter runs none): while it
// says a program inhibits idle no saver starts; once it is gone, one does.
TEST_F(SaverOnMutter, NoSaverWhileTheSessionManagerSaysIdleIsInhibited)
{
    auto inhibitor = std::make_unique<ChildProcess>(
        session_->AsUser({(session_->Home() / "session_inhibitor").string()}), std::vector<std::string>{});
    // It owns the name before the watcher asks.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_TRUE(inhibitor->Running());
    ChildProcess watcher(session_->AsUser({Program().string(), "--watch-idle", "1"}), {}, true);
    EXPECT_FALSE(WaitFor([&] { return SaverRuns() || !watcher.Running(); }, 4000)) << "a saver despite the inhibitor";
    inhibitor.reset();
    EXPECT_TRUE(WaitFor([&] { return SaverRuns(); }, kStartMs)) << "no saver once the inhibitor was gone";
    watcher.Signal(SIGTERM);
    EXPECT_EQ(ExitCode(watcher.Wait(kEndMs)), 0);
    EXPECT_TRUE(WaitFor([&] { return ProgramProcesses(Program()).empty(); }, kEndMs));
}

}  // namespace
