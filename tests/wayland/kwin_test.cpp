// The real program on KWin (kwin_wayland --virtual), where it can run: it
// covers a fullscreen window with the scene over what the window showed,
// pixel for pixel as the headless run computes it, taking that picture
// through KWin's screenshot interface; a key (KWin's fake input) ends it
// with status 0, and so do a pointer move and SIGTERM on later runs.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "compositor_session.h"
#include "harness.h"
#include "scene_check.h"

namespace {

using vyla::Size;
using vyla::raster::Surface;
using vyla::wayland::testing::CompositorSession;
using vyla::x11::testing::ChildProcess;
using vyla::x11::testing::ExitCode;
using vyla::x11::testing::HeadlessScene;
using vyla::x11::testing::OutputDirectory;
using vyla::x11::testing::RunHeadlessScene;
using vyla::x11::testing::SceneMismatches;
using vyla::x11::testing::WaitFor;
using vyla::x11::testing::WritePng;

constexpr int kStartMs = 15000;
constexpr int kEndMs = 5000;
constexpr Size kScreen{640, 480};
// The name KWin gives its one virtual output.
constexpr const char* kOutput = "Virtual-0";

// The saver and the test window copied where the user can reach them; the
// window started, and the desktop taken once KWin shows it at pixels.
struct Desktop {
    std::filesystem::path program;
    std::unique_ptr<ChildProcess> window;
    Surface picture;
};

void ShowTestWindow(CompositorSession& session, Size pixels, Desktop& desktop)
{
    desktop.program = session.Home() / "vyla";
    const auto window = session.Home() / "vyla_test_window";
    std::filesystem::copy_file(VYLA_PROGRAM, desktop.program);
    std::filesystem::copy_file(VYLA_TEST_WINDOW, window);
    ASSERT_TRUE(session.OwnHome());
    desktop.window = std::make_unique<ChildProcess>(session.AsUser({window.string()}), std::vector<std::string>{});
    ASSERT_TRUE(WaitFor(
        [&] {
            auto shot = session.Screenshot(kOutput);
            if (!shot || shot->GetSize() != pixels || shot->At(pixels.width / 2, pixels.height / 2) == 0)
                return false;
            desktop.picture = std::move(*shot);
            return true;
        },
        kStartMs))
        << "KWin does not show the test window at " << pixels.width << "x" << pixels.height
        << " (or its screenshots fail)";
}

// Waits until the output shows the scene, pixel for pixel, or the saver
// ends; the last shot goes to png in the output directory. The pixels that differ.
long AwaitScene(CompositorSession& session, const HeadlessScene& scene, ChildProcess& saver, const char* png)
{
    Surface shot;
    long mismatches = -1;
    WaitFor(
        [&] {
            if (auto s = session.Screenshot(kOutput))
                shot = std::move(*s);
            mismatches = SceneMismatches(shot, scene);
            return mismatches == 0 || !saver.Running();
        },
        kStartMs);
    WritePng(shot, OutputDirectory() / png);
    return mismatches;
}

TEST(SaverOnKWin, CoversAFullscreenWindowWithTheSceneOverItAndEndsOnInput)
{
    std::string why;
    auto session = CompositorSession::StartKWin(kScreen, "1", VYLA_KWIN_SHOT, &why);
    if (!session)
        GTEST_SKIP() << "KWin cannot run here: " << why;
    Desktop desktop;
    ShowTestWindow(*session, kScreen, desktop);
    if (HasFatalFailure())
        return;

    ChildProcess saver(session->AsUser({desktop.program.string()}), {}, true);
    const HeadlessScene scene = RunHeadlessScene(desktop.picture);
    const long mismatches = AwaitScene(*session, scene, saver, "kwin.png");
    EXPECT_EQ(mismatches, 0) << "pixels differ from the headless run; see kwin.png in " << OutputDirectory();
    ASSERT_TRUE(saver.Running());
    const auto fakeInput = session->Home() / "vyla_kwin_fake_input";
    std::filesystem::copy_file(VYLA_KWIN_FAKE_INPUT, fakeInput);
    ASSERT_TRUE(session->OwnHome());
    EXPECT_EQ(session->Run({fakeInput.string(), "key"}), 0);
    EXPECT_EQ(ExitCode(saver.Wait(kEndMs)), 0) << "a key did not end the saver with status 0";

    for (const char* end : {"move", "SIGTERM"}) {
        ChildProcess again(session->AsUser({desktop.program.string()}), {}, true);
        // Up once the screen shows its border again.
        ASSERT_TRUE(WaitFor(
            [&] {
                auto s = session->Screenshot(kOutput);
                return (s && SceneMismatches(*s, scene) == 0) || !again.Running();
            },
            kStartMs));
        if (std::string_view(end) == "SIGTERM")
            again.Signal(SIGTERM);
        else
            EXPECT_EQ(session->Run({fakeInput.string(), end}), 0);
        EXPECT_EQ(ExitCode(again.Wait(kEndMs)), 0) << end << " did not end the saver with status 0";
    }
}

// At a fractional scale the scene is drawn at the output's own resolution
// (1.5 times the logical size), shown through a viewport pixel for pixel.
TEST(SaverOnKWin, DrawsAtAFractionalScalesOwnResolution)
{
    std::string why;
    auto session = CompositorSession::StartKWin(kScreen, "1.5", VYLA_KWIN_SHOT, &why);
    if (!session)
        GTEST_SKIP() << "KWin cannot run here: " << why;
    const Size pixels{kScreen.width * 3 / 2, kScreen.height * 3 / 2};
    Desktop desktop;
    ShowTestWindow(*session, pixels, desktop);
    if (HasFatalFailure())
        return;
    ChildProcess saver(session->AsUser({desktop.program.string()}), {}, true);
    const long mismatches = AwaitScene(*session, RunHeadlessScene(desktop.picture), saver, "kwin-scale-1.5.png");
    EXPECT_EQ(mismatches, 0) << "pixels differ from the headless run at " << pixels.width << "x" << pixels.height
                             << "; see kwin-scale-1.5.png";
    saver.Signal(SIGTERM);
    EXPECT_EQ(ExitCode(saver.Wait(kEndMs)), 0);
}

}  // namespace
