// Several monitors on one X screen: which one takes the scene, and the real
// program on an Xvfb screen split into two monitors with xrandr.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <optional>
#include <thread>

#include "child_process.h"
#include "desktop_picture.h"
#include "harness.h"
#include "headless_scene.h"
#include "scene_check.h"
#include "x11/monitor_layout.h"
#include "x_client.h"
#include "xvfb_server.h"

using namespace vyla::x11::testing;
using vyla::x11::ChoosePrimaryMonitor;
using vyla::x11::MonitorArea;

namespace {

constexpr int kStartMs = 10000;
constexpr int kEndMs = 5000;

TEST(PrimaryMonitor, IsTheFlaggedOneElseTheFirstElseTheScreen)
{
    const Size screen{1440, 600};
    const Rect left = Rect::FromXYWH(0, 0, 800, 600);
    const Rect right = Rect::FromXYWH(800, 60, 640, 480);
    std::vector<MonitorArea> flagged{{left, false}, {right, true}};
    EXPECT_EQ(ChoosePrimaryMonitor(flagged, screen), right);
    std::vector<MonitorArea> none{{right, false}, {left, false}};
    EXPECT_EQ(ChoosePrimaryMonitor(none, screen), right);
    EXPECT_EQ(ChoosePrimaryMonitor({}, screen), Rect::FromSize(screen));
}

TEST(PrimaryMonitor, NeverReachesOffTheScreen)
{
    const Size screen{1024, 768};
    // A layout left over from a larger screen: the part on screen counts,
    // and a monitor wholly off it is passed over, flagged or not.
    std::vector<MonitorArea> partly{{Rect::FromXYWH(512, 0, 1024, 768), true}};
    EXPECT_EQ(ChoosePrimaryMonitor(partly, screen), Rect::FromXYWH(512, 0, 512, 768));
    std::vector<MonitorArea> gone{{Rect::FromXYWH(2000, 0, 800, 600), true}, {Rect::FromXYWH(0, 0, 640, 480), false}};
    EXPECT_EQ(ChoosePrimaryMonitor(gone, screen), Rect::FromXYWH(0, 0, 640, 480));
    std::vector<MonitorArea> allGone{{Rect::FromXYWH(-900, 0, 800, 600), false}};
    EXPECT_EQ(ChoosePrimaryMonitor(allGone, screen), Rect::FromSize(screen));
}

long CountNotBlack(const Surface& picture, const Rect& except)
{
    long count = 0;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            if (!except.Contains(Point{x, y}) && picture.At(x, y) != 0)
                ++count;
    return count;
}

// An 1440x600 screen as two monitors: 800x600 on the left (the first, with
// the server's one output) and the primary, 640x480 at (800, 60), so the
// scene's origin is not the screen's and part of the screen is on no monitor.
class SaverOnTwoMonitors : public ::testing::Test {
protected:
    static constexpr Size kScreen{1440, 600};
    static constexpr Rect kPrimary{800, 60, 1440, 540};

    void SetUp() override
    {
        server_ = XvfbServer::Start(kScreen);
        ASSERT_TRUE(server_) << "Xvfb did not start";
        client_ = XClient::Connect(server_->DisplayName());
        ASSERT_TRUE(client_);
        ASSERT_EQ(Xrandr({"--setmonitor", "left", "800/211x600/159+0+0", "screen"}), 0);
        ASSERT_EQ(Xrandr({"--setmonitor", "*right", "640/169x480/127+800+60", "none"}), 0);
        desktop_ = DesktopPicture(kScreen);
        ASSERT_TRUE(SetRootPicture(client_->Get(), desktop_));
    }

    int Xrandr(std::vector<std::string> args)
    {
        args.insert(args.begin(), "xrandr");
        return RunCommand(args, {server_->DisplayVariable()});
    }
    int Xdo(std::vector<std::string> args) { return Xdotool(server_->DisplayVariable(), std::move(args)); }

    std::unique_ptr<ChildProcess> StartSaver()
    {
        return std::make_unique<ChildProcess>(
            std::vector<std::string>{ProgramPath()},
            std::vector<std::string>{server_->DisplayVariable(), "XDG_CONFIG_HOME=" + settings_.Path().string()}, true);
    }

    std::unique_ptr<XvfbServer> server_;
    std::unique_ptr<XClient> client_;
    Surface desktop_;
    TempDir settings_;
};

TEST_F(SaverOnTwoMonitors, ShowsTheSceneOnThePrimaryAndBlackElsewhereAndEndsOnAMoveOnTheOther)
{
    // The primary monitor's scene is the one a screen of its size would show.
    const HeadlessScene scene = RunHeadlessScene(Crop(desktop_, kPrimary));
    ASSERT_EQ(scene.bordered.GetSize(), kPrimary.GetSize());
    // The pointer rests on the other monitor.
    ASSERT_EQ(Xdo({"mousemove", "200", "300"}), 0);

    auto saver = StartSaver();
    Surface shot;
    long wrongInScene = -1, notBlack = -1;
    bool shown = WaitFor(
        [&] {
            if (!saver->Running())
                return true;
            shot = client_->Screenshot();
            wrongInScene = SceneMismatches(Crop(shot, kPrimary), scene);
            notBlack = CountNotBlack(shot, kPrimary);
            return wrongInScene == 0 && notBlack == 0;
        },
        kStartMs);
    ASSERT_TRUE(saver->Running()) << "the saver ended at once, status " << ExitCode(saver->Wait(0));
    if (!shown) {
        WritePng(shot, OutputDirectory() / "monitors-actual.png");
        WritePng(scene.bordered, OutputDirectory() / "monitors-expected.png");
    }
    EXPECT_TRUE(shown) << wrongInScene << " pixels of the primary monitor differ from the headless scene, " << notBlack
                       << " outside it are not black; see monitors-*.png in " << OutputDirectory();
    WritePng(shot, OutputDirectory() / "monitors-linux.png");

    EXPECT_EQ(Xdo({"mousemove_relative", "--", "1", "0"}), 0);
    EXPECT_EQ(ExitCode(saver->Wait(kEndMs)), 0) << "a move on the other monitor did not end the saver";
    // Both the scene and the black cover are gone.
    EXPECT_TRUE(WaitFor([&] { return SamePixels(client_->Screenshot(), desktop_); }, kEndMs))
        << "the screen did not go back to the desktop";
}

TEST_F(SaverOnTwoMonitors, WithoutThePointerGrabAMoveOverTheBlackCoverStillEndsIt)
{
    ASSERT_EQ(Xdo({"mousemove", "200", "300"}), 0);
    // Another client holds the pointer until the saver has stopped trying
    // for it (about a second), then lets go: the pointer's events now go to
    // the window under it, the black cover.
    auto holder = XClient::Connect(server_->DisplayName());
    ASSERT_TRUE(holder);
    ASSERT_EQ(XGrabPointer(holder->Get(), holder->Root(), False, 0, GrabModeAsync, GrabModeAsync, None, None, CurrentTime),
              GrabSuccess);
    XSync(holder->Get(), False);
    auto saver = StartSaver();
    ASSERT_TRUE(WaitFor([&] { return !saver->Running() || client_->FindOverrideWindow(kSaverName); }, kStartMs));
    ASSERT_TRUE(saver->Running());
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    holder.reset();

    ASSERT_TRUE(saver->Running()) << "the saver ended when the other client let go";
    EXPECT_TRUE(WaitFor([&] { return client_->CursorIsBlank(); }, kStartMs)) << "the cursor shows over the black cover";
    EXPECT_EQ(Xdo({"mousemove_relative", "--", "0", "1"}), 0);
    EXPECT_EQ(ExitCode(saver->Wait(kEndMs)), 0) << "a move over the cover did not end the saver";
}

}  // namespace
