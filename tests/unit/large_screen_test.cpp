// Screens past the size where the 16-cell sprite strips outgrew the raster:
// three monitors side by side, a tall portrait stack. The scene must build,
// and its strips must hold exactly the pixels the stretch rule gives.
#include <gtest/gtest.h>

#include <string>

#include "common/dib.h"
#include "support/headless_system.h"
#include "scene/vylaapp.h"
#include "support/scene_probe.h"

namespace {

using vyla::Size;
using vyla::testing::HeadlessSystem;

const vyla::raster::Surface& SurfaceOf(HeadlessSystem& sys, const TDC& dc)
{
    auto* context = sys.runtime.Gdi().FindDC(dc.GetHDC());
    return sys.runtime.Gdi().FindObject(context->bitmap)->surface;
}

// Samples the strip on a grid (every cell edge included) against the
// nearest-neighbour stretch of the named picture.
void ExpectStripIs(HeadlessSystem& sys, const TDC& dc, const char* name, int tile)
{
    const auto& strip = SurfaceOf(sys, dc);
    ASSERT_EQ(strip.Width(), 16 * tile);
    ASSERT_EQ(strip.Height(), tile);
    auto dib = vyla::ParsePackedDib(sys.host.Resources().bitmaps.find(std::string(name))->second);
    ASSERT_TRUE(dib);
    const long long w = strip.Width(), h = strip.Height();
    int bad = 0;
    auto check = [&](int x, int y) {
        const auto want = vyla::DibPixel(*dib, static_cast<int>(x * dib->info.width / w), static_cast<int>(y * dib->info.height / h));
        bad += strip.At(x, y) != want;
    };
    for (int y = 0; y < tile; y += 7)
        for (int x = 0; x < strip.Width(); x += 13)
            check(x, y);
    for (int cell = 0; cell < 16; ++cell)
        for (int y = 0; y < tile; y += 5) {
            check(cell * tile, y);
            check(cell * tile + tile - 1, y);
        }
    EXPECT_EQ(bad, 0) << name;
}

class LargeScreen : public ::testing::TestWithParam<Size> {};

TEST_P(LargeScreen, TheSceneBuildsWithExactStrips)
{
    const Size screen = GetParam();
    HeadlessSystem sys(screen);
    TApplication::InitCmdLine = "/s";
    auto app = std::make_unique<TVylaScrnSavApp>("Vyla Screen Saver");
    app->InstallMainWindow();
    auto* win = static_cast<TVylaScrnSavWindow*>(app->SaverWindow);
    ASSERT_NE(win, nullptr);
    const TVylaScrnSavWindowProbe scene(*win);
    const int corner = std::max(screen.height / 4, screen.width / 5);
    EXPECT_EQ(scene.TileWidth, corner * 9 / 8);
    EXPECT_GT(16 * scene.TileWidth, 32768) << "the case that once failed";
    ExpectStripIs(sys, scene.MaskDC, "IDB_RMASKS", scene.TileWidth);
    ExpectStripIs(sys, scene.ImageDC, "IDB_RVYLAS", scene.TileWidth);
    win->Create();
    win->ShowWindow(SW_SHOW);
    sys.host.SetTick(100000);
    win->StepAnimation();
    EXPECT_TRUE(scene.BorderDrawn);
    EXPECT_TRUE(sys.host.Reports().empty());
}

INSTANTIATE_TEST_SUITE_P(ThreeMonitorsAndAPortraitStack, LargeScreen,
                         ::testing::Values(Size{9120, 1080}, Size{1080, 7300}));

}  // namespace
