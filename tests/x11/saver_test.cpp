// The real program on an Xvfb server: what the saver shows, the inputs that
// end it, signals, and the server going away.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <optional>
#include <thread>

#include "child_process.h"
#include "desktop_picture.h"
#include "harness.h"
#include "xvfb_suite.h"
#include "headless_scene.h"
#include "scene_check.h"
#include "x_client.h"
#include "xvfb_server.h"

using namespace vyla::x11::testing;

namespace {

constexpr Size kScreen{800, 600};
constexpr int kStartMs = 10000;
constexpr int kEndMs = 5000;

// One Xvfb server for the suite, showing the sample desktop.
class SaverOnXvfb : public XvfbSuite<SaverOnXvfb> {
protected:
    static void SetUpTestSuite() { StartServer(kScreen); }

    std::unique_ptr<ChildProcess> StartSaver()
    {
        // Its output stays: the program says nothing unless something is wrong.
        return std::make_unique<ChildProcess>(std::vector<std::string>{ProgramPath()},
                                              std::vector<std::string>{server_->DisplayVariable(), "XDG_CONFIG_HOME=" + settings_.Path().string()},
                                              true);
    }

    // The saver window once it is up and holds both grabs, so input reaches it.
    std::optional<::Window> WaitUntilReady(ChildProcess& saver)
    {
        std::optional<::Window> window;
        WaitFor(
            [&] {
                if (!saver.Running())
                    return true;
                window = client_->FindOverrideWindow(kSaverName);
                return window && client_->OthersHoldGrabs();
            },
            kStartMs);
        if (!saver.Running()) {
            ADD_FAILURE() << "the saver ended at once, status " << ExitCode(saver.Wait(0));
            return std::nullopt;
        }
        return window;
    }

    int Xdo(std::vector<std::string> args) { return Xdotool(server_->DisplayVariable(), std::move(args)); }

    // After the saver has gone: no window of it, and a visible cursor.
    void ExpectCleanEnd()
    {
        EXPECT_TRUE(WaitFor([&] { return !client_->FindOverrideWindow(kSaverName); }, kEndMs)) << "the saver window stayed";
        EXPECT_TRUE(WaitFor([&] { return !client_->CursorIsBlank(); }, kEndMs)) << "the cursor stayed hidden";
    }

    TempDir settings_;
};

TEST_F(SaverOnXvfb, ShowsTheDesktopWithTheBorderAndTurningFlowers)
{
    const HeadlessScene scene = RunHeadlessScene(*desktop_);
    ASSERT_EQ(scene.bordered.GetSize(), kScreen);
    ASSERT_EQ(scene.frames[0].size(), 16u);

    auto saver = StartSaver();
    ASSERT_TRUE(WaitUntilReady(*saver)) << "the saver did not come up";

    // The first step has run when the border is there and every corner shows
    // one of the flower frames.
    Surface shot;
    long mismatches = -1;
    bool shown = ShowsScene(*client_, Rect::FromSize(kScreen), scene, kStartMs, &shot, &mismatches);
    if (!shown) {
        WritePng(shot, OutputDirectory() / "saver-actual.png");
        WritePng(scene.bordered, OutputDirectory() / "saver-expected.png");
    }
    EXPECT_TRUE(shown) << mismatches << " pixels or corners differ from the headless run; see saver-*.png in "
                       << OutputDirectory();

    // With the pictures in the program, there is more to see: the border
    // darkens the desktop, and a flower covers each corner.
    bool hasBorder = !SamePixels(scene.bordered, *desktop_);
    if (hasBorder) {
        EXPECT_GT(MismatchesOutsideCorners(shot, *desktop_, scene.corners), 0);
    }
    for (std::size_t i = 0; i < 4; ++i) {
        Surface plain = Crop(scene.bordered, scene.corners[i]);
        bool hasFlowers = std::none_of(scene.frames[i].begin(), scene.frames[i].end(),
                                       [&](const Surface& f) { return SamePixels(f, plain); });
        if (hasFlowers) {
            EXPECT_FALSE(SamePixels(Crop(shot, scene.corners[i]), plain)) << "corner " << i;
        }
    }
    WritePng(shot, OutputDirectory() / "saver-linux.png");

    EXPECT_EQ(Xdo({"mousemove_relative", "--", "1", "0"}), 0);
    EXPECT_EQ(ExitCode(saver->Wait(kEndMs)), 0);
}

struct ClosingInput {
    const char* name;
    std::vector<std::string> xdotool;
};

class SaverEndsOn : public SaverOnXvfb, public ::testing::WithParamInterface<ClosingInput> {};

TEST_P(SaverEndsOn, TheInputWithStatusZeroAndTheCursorBack)
{
    auto saver = StartSaver();
    ASSERT_TRUE(WaitUntilReady(*saver)) << "the saver did not come up";
    EXPECT_TRUE(WaitFor([&] { return client_->CursorIsBlank(); }, kStartMs)) << "the cursor shows over the saver";

    EXPECT_EQ(Xdo(GetParam().xdotool), 0);
    auto status = saver->Wait(kEndMs);
    ASSERT_TRUE(status) << "the saver did not end";
    EXPECT_EQ(ExitCode(status), 0);
    ExpectCleanEnd();
}

INSTANTIATE_TEST_SUITE_P(Inputs, SaverEndsOn,
                         ::testing::Values(ClosingInput{"OnePixelMove", {"mousemove_relative", "--", "1", "0"}},
                                           ClosingInput{"OnePixelMoveUp", {"mousemove_relative", "--", "0", "-1"}},
                                           ClosingInput{"LeftClick", {"click", "1"}},
                                           ClosingInput{"RightClick", {"click", "3"}},
                                           ClosingInput{"Key", {"key", "a"}},
                                           ClosingInput{"LoneShift", {"key", "Shift_L"}},
                                           ClosingInput{"LoneAlt", {"key", "Alt_L"}}),
                         [](const ::testing::TestParamInfo<ClosingInput>& input) { return std::string(input.param.name); });

TEST_F(SaverOnXvfb, AMoveToTheStartingPositionAndTheWheelDoNotEndIt)
{
    auto saver = StartSaver();
    auto window = WaitUntilReady(*saver);
    ASSERT_TRUE(window) << "the saver did not come up";
    Point start = client_->PointerPosition();
    // The window covers the screen from its origin: window and screen
    // positions agree.
    client_->SendMotion(*window, start);
    EXPECT_EQ(Xdo({"mousemove", std::to_string(start.x), std::to_string(start.y)}), 0);
    EXPECT_EQ(Xdo({"click", "4"}), 0);
    EXPECT_EQ(Xdo({"click", "5"}), 0);
    // Nothing to wait for when nothing should happen: a short look.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(saver->Running()) << "ended without a real move";

    EXPECT_EQ(Xdo({"mousemove_relative", "--", "1", "1"}), 0);
    EXPECT_EQ(ExitCode(saver->Wait(kEndMs)), 0);
}

TEST_F(SaverOnXvfb, SigtermAndSigintEndItCleanly)
{
    for (int signal : {SIGTERM, SIGINT}) {
        auto saver = StartSaver();
        ASSERT_TRUE(WaitUntilReady(*saver)) << "the saver did not come up";
        saver->Signal(signal);
        auto status = saver->Wait(kEndMs);
        ASSERT_TRUE(status) << "signal " << signal << " did not end the saver";
        EXPECT_EQ(ExitCode(status), 0) << "signal " << signal;
        ExpectCleanEnd();
    }
}

TEST(SaverWithoutDisplay, SaysSoAndExitsWithOne)
{
    auto [code, output] = RunCommandOutput({"sh", "-c", std::string("exec '") + ProgramPath() + "' 2>&1"},
                                           {"DISPLAY=:65000"}, kEndMs);
    EXPECT_EQ(code, 1);
    EXPECT_NE(output.find("vyla: cannot open the X display"), std::string::npos) << output;
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
}

TEST(SaverLosingItsServer, EndsPromptlyWithStatusOne)
{
    auto server = XvfbServer::Start(Size{640, 480});
    ASSERT_NE(server, nullptr);
    auto client = XClient::Connect(server->DisplayName());
    ASSERT_NE(client, nullptr);
    TempDir settings;
    ChildProcess saver({ProgramPath()}, {server->DisplayVariable(), "XDG_CONFIG_HOME=" + settings.Path().string()});
    ASSERT_TRUE(WaitFor([&] { return !saver.Running() || client->FindOverrideWindow(kSaverName); }, kStartMs));
    ASSERT_TRUE(saver.Running());
    client.reset();

    server->Kill();
    auto status = saver.Wait(kEndMs);
    ASSERT_TRUE(status) << "the saver hung after losing its display";
    EXPECT_TRUE(WIFEXITED(*status)) << "ended by signal " << (WIFSIGNALED(*status) ? WTERMSIG(*status) : 0);
    EXPECT_EQ(ExitCode(status), 1);
}

}  // namespace
