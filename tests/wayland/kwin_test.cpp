// The real program on KWin (kwin_wayland --virtual), where it can run: it
// covers a fullscreen window with the scene over what the window showed,
// pixel for pixel as the headless run computes it, taking that picture
// through KWin's screenshot interface; a key (KWin's fake input) ends it
// with status 0, and so do a pointer move and SIGTERM on later runs.
#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <string>
#include <string_view>

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

TEST(SaverOnKWin, CoversAFullscreenWindowWithTheSceneOverItAndEndsOnInput)
{
    std::string why;
    auto session = CompositorSession::StartKWin(kScreen, "1", VYLA_KWIN_SHOT, &why);
    if (!session)
        GTEST_SKIP() << "KWin cannot run here: " << why;
    const auto program = session->Home() / "vyla", window = session->Home() / "vyla_test_window";
    std::filesystem::copy_file(VYLA_PROGRAM, program);
    std::filesystem::copy_file(VYLA_TEST_WINDOW, window);
    ASSERT_TRUE(session->OwnHome());

    // The desktop: the window's picture, once KWin shows it.
    ChildProcess shown(session->AsUser({window.string()}), {});
    Surface desktop;
    ASSERT_TRUE(WaitFor(
        [&] {
            auto shot = session->Screenshot(kOutput);
            if (!shot || shot->GetSize() != kScreen || shot->At(kScreen.width / 2, kScreen.height / 2) == 0)
                return false;
            desktop = std::move(*shot);
            return true;
        },
        kStartMs))
        << "KWin does not show the test window (or its screenshots fail)";

    ChildProcess saver(session->AsUser({program.string()}), {}, true);
    const HeadlessScene scene = RunHeadlessScene(desktop);
    Surface shot;
    long mismatches = -1;
    bool covered = WaitFor(
        [&] {
            if (auto s = session->Screenshot(kOutput))
                shot = std::move(*s);
            mismatches = SceneMismatches(shot, scene);
            return mismatches == 0 || !saver.Running();
        },
        kStartMs);
    WritePng(shot, OutputDirectory() / "kwin.png");
    EXPECT_TRUE(covered && mismatches == 0) << mismatches << " pixels differ from the headless run; see kwin.png in "
                                            << OutputDirectory();
    ASSERT_TRUE(saver.Running());
    const auto fakeInput = session->Home() / "vyla_kwin_fake_input";
    std::filesystem::copy_file(VYLA_KWIN_FAKE_INPUT, fakeInput);
    ASSERT_TRUE(session->OwnHome());
    EXPECT_EQ(session->Run({fakeInput.string(), "key"}), 0);
    EXPECT_EQ(ExitCode(saver.Wait(kEndMs)), 0) << "a key did not end the saver with status 0";

    for (const char* end : {"move", "SIGTERM"}) {
        ChildProcess again(session->AsUser({program.string()}), {}, true);
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
    const auto program = session->Home() / "vyla", window = session->Home() / "vyla_test_window";
    std::filesystem::copy_file(VYLA_PROGRAM, program);
    std::filesystem::copy_file(VYLA_TEST_WINDOW, window);
    ASSERT_TRUE(session->OwnHome());
    ChildProcess shown(session->AsUser({window.string()}), {});
    Surface desktop;
    ASSERT_TRUE(WaitFor(
        [&] {
            auto shot = session->Screenshot(kOutput);
            if (!shot || shot->GetSize() != pixels || shot->At(pixels.width / 2, pixels.height / 2) == 0)
                return false;
            desktop = std::move(*shot);
            return true;
        },
        kStartMs))
        << "KWin does not show the test window at scale 1.5";
    ChildProcess saver(session->AsUser({program.string()}), {}, true);
    const HeadlessScene scene = RunHeadlessScene(desktop);
    Surface shot;
    long mismatches = -1;
    bool covered = WaitFor(
        [&] {
            if (auto s = session->Screenshot(kOutput))
                shot = std::move(*s);
            mismatches = SceneMismatches(shot, scene);
            return mismatches == 0 || !saver.Running();
        },
        kStartMs);
    WritePng(shot, OutputDirectory() / "kwin-scale-1.5.png");
    EXPECT_TRUE(covered && mismatches == 0) << mismatches << " pixels differ from the headless run at "
                                            << pixels.width << "x" << pixels.height << "; see kwin-scale-1.5.png";
    saver.Signal(SIGTERM);
    EXPECT_EQ(ExitCode(saver.Wait(kEndMs)), 0);
}

}  // namespace
