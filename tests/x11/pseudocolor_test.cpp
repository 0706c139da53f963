// Screens whose pixels are colormap cells: the palette's choices, and the
// saver on an 8-bit PseudoColor Xvfb screen, where it draws through the
// screen's colormap what it draws on a true-colour one.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <X11/Xutil.h>

#include "child_process.h"
#include "desktop_picture.h"
#include "harness.h"
#include "headless_scene.h"
#include "scene_check.h"
#include "x11/colormap_palette.h"
#include "x11/pixel_format.h"
#include "x_client.h"
#include "xvfb_server.h"

using namespace vyla::x11::testing;
using vyla::raster::Pixel;
using vyla::x11::ColormapPalette;
using vyla::x11::PixelFormat;

namespace {

ColormapPalette::Cube NumberedCube()
{
    ColormapPalette::Cube cube{};
    for (std::size_t i = 0; i < cube.size(); ++i)
        cube[i] = 1000 + i;
    return cube;
}

TEST(ColormapPalette, KeepsTheColoursItHasAndTakesTheNearestCubeCellForOthers)
{
    // Cells 0 and 3 show the same black; cell 2 an odd grey.
    ColormapPalette palette({0x000000, 0xFFFFFF, 0x7A7A7A, 0x000000}, NumberedCube());
    EXPECT_EQ(palette.FromRgb(0x000000), 0u);
    EXPECT_EQ(palette.FromRgb(0xFFFFFF), 1u);
    EXPECT_EQ(palette.FromRgb(0x7A7A7A), 2u);
    EXPECT_EQ(palette.FromRgb(0xFF7A7A7A), 2u) << "the unused top byte counts";
    // 0x7B is nearer level 2 (0x66) than 3 (0x99); 0x80 is nearer 3.
    EXPECT_EQ(palette.FromRgb(0x7B7B7B), 1000u + (2 * 6 + 2) * 6 + 2);
    EXPECT_EQ(palette.FromRgb(0xFF0080), 1000u + (5 * 6 + 0) * 6 + 3);
    EXPECT_EQ(palette.ToRgb(2), 0x7A7A7Au);
    EXPECT_EQ(palette.ToRgb(4), 0u) << "a pixel value past the colormap";
}

// What an 8-bit screen can show of a picture: each pixel through the colormap.
Surface ThroughColormap(const Surface& picture, const PixelFormat& format)
{
    Surface out = Crop(picture, picture.Bounds());
    for (int y = 0; y < out.Height(); ++y)
        for (int x = 0; x < out.Width(); ++x)
            out.Row(y)[x] = format.ToRgb(format.FromRgb(out.At(x, y)));
    return out;
}

TEST(SaverOnPseudoColor, DrawsTheSceneThroughTheColormapAndEndsOnAMove)
{
    constexpr Size kScreen{640, 480};
    auto server = XvfbServer::Start(kScreen, 8);
    ASSERT_TRUE(server) << "Xvfb did not start";
    auto client = XClient::Connect(server->DisplayName());
    ASSERT_TRUE(client);
    ASSERT_EQ(DefaultVisual(client->Get(), DefaultScreen(client->Get()))->c_class, PseudoColor);
    ASSERT_TRUE(SetRootPicture(client->Get(), DesktopPicture(kScreen)));

    // The saver starts from the desktop as the screen shows it.
    const Surface desktop = client->Screenshot();
    HeadlessScene scene = RunHeadlessScene(desktop);
    const PixelFormat format = PixelFormat::ForScreen(client->Get(), DefaultScreen(client->Get()));
    scene.bordered = ThroughColormap(scene.bordered, format);
    for (auto& frames : scene.frames)
        for (Surface& frame : frames)
            frame = ThroughColormap(frame, format);

    TempDir settings;
    ChildProcess saver({ProgramPath()}, {server->DisplayVariable(), "XDG_CONFIG_HOME=" + settings.Path().string()}, true);
    Surface shot;
    long mismatches = -1;
    bool shown = WaitFor(
        [&] {
            if (!saver.Running())
                return true;
            shot = client->Screenshot();
            mismatches = SceneMismatches(shot, scene);
            return mismatches == 0;
        },
        10000);
    ASSERT_TRUE(saver.Running()) << "the saver ended at once, status " << ExitCode(saver.Wait(0));
    if (!shown) {
        WritePng(shot, OutputDirectory() / "pseudocolor-actual.png");
        WritePng(scene.bordered, OutputDirectory() / "pseudocolor-expected.png");
    }
    EXPECT_TRUE(shown) << mismatches << " pixels differ from the headless scene through the colormap; see pseudocolor-*.png in "
                       << OutputDirectory();
    WritePng(shot, OutputDirectory() / "pseudocolor-linux.png");

    EXPECT_EQ(Xdotool(server->DisplayVariable(), {"mousemove_relative", "--", "1", "0"}), 0);
    EXPECT_EQ(ExitCode(saver.Wait(5000)), 0);
    EXPECT_TRUE(WaitFor([&] { return SamePixels(client->Screenshot(), desktop); }, 5000)) << "the desktop did not come back";
}

}  // namespace
