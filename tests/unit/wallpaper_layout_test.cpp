// Where the desktop wallpaper goes for each style, as the system draws it.
#include <gtest/gtest.h>

#include "common/wallpaper_layout.h"

namespace {

using vyla::PlaceWallpaper;
using vyla::Rect;
using vyla::Size;
using vyla::WallpaperStyle;
using vyla::WallpaperStyleFrom;

const Rect kMonitor{0, 0, 800, 600};
const Rect kVirtual{0, 0, 1440, 600};

TEST(WallpaperStyle, NamedByTheDesktopSettings)
{
    EXPECT_EQ(WallpaperStyleFrom("0", "0"), WallpaperStyle::Centre);
    EXPECT_EQ(WallpaperStyleFrom("0", "1"), WallpaperStyle::Tile);
    EXPECT_EQ(WallpaperStyleFrom("2", "0"), WallpaperStyle::Stretch);
    EXPECT_EQ(WallpaperStyleFrom("6", "0"), WallpaperStyle::Fit);
    EXPECT_EQ(WallpaperStyleFrom("10", "0"), WallpaperStyle::Fill);
    EXPECT_EQ(WallpaperStyleFrom("22", "0"), WallpaperStyle::Span);
    // Tiling wins over any style; stray blanks are read past.
    EXPECT_EQ(WallpaperStyleFrom("10", " 1 "), WallpaperStyle::Tile);
    EXPECT_EQ(WallpaperStyleFrom(" 6", ""), WallpaperStyle::Fit);
    // Missing or unknown settings centre, as the system does with style 0.
    EXPECT_EQ(WallpaperStyleFrom("", ""), WallpaperStyle::Centre);
    EXPECT_EQ(WallpaperStyleFrom("7", "2"), WallpaperStyle::Centre);
    EXPECT_EQ(WallpaperStyleFrom("abc", "yes"), WallpaperStyle::Centre);
}

TEST(PlaceWallpaper, CentreKeepsTheSizeAndCropsWhatIsTooLarge)
{
    EXPECT_EQ(PlaceWallpaper(Size{400, 300}, WallpaperStyle::Centre, kMonitor, kVirtual), (Rect{200, 150, 600, 450}));
    // Odd margins: the extra pixel goes right and below.
    EXPECT_EQ(PlaceWallpaper(Size{401, 301}, WallpaperStyle::Centre, kMonitor, kVirtual), (Rect{199, 149, 600, 450}));
    EXPECT_EQ(PlaceWallpaper(Size{1000, 700}, WallpaperStyle::Centre, kMonitor, kVirtual), (Rect{-100, -50, 900, 650}));
}

TEST(PlaceWallpaper, TileStartsAtTheMonitorsCorner)
{
    EXPECT_EQ(PlaceWallpaper(Size{64, 48}, WallpaperStyle::Tile, kMonitor, kVirtual), (Rect{0, 0, 64, 48}));
    const Rect second{800, 0, 1440, 480};
    EXPECT_EQ(PlaceWallpaper(Size{64, 48}, WallpaperStyle::Tile, second, kVirtual), (Rect{800, 0, 864, 48}));
}

TEST(PlaceWallpaper, StretchFitAndFillFollowTheMonitorsShape)
{
    // A wide picture on a 4:3 monitor.
    const Size wide{1600, 900};
    EXPECT_EQ(PlaceWallpaper(wide, WallpaperStyle::Stretch, kMonitor, kVirtual), kMonitor);
    EXPECT_EQ(PlaceWallpaper(wide, WallpaperStyle::Fit, kMonitor, kVirtual), (Rect{0, 75, 800, 525}));
    EXPECT_EQ(PlaceWallpaper(wide, WallpaperStyle::Fill, kMonitor, kVirtual), (Rect{-133, 0, 934, 600}));
    // A tall picture: fit leaves bars left and right, fill crops above and below.
    const Size tall{300, 600};
    EXPECT_EQ(PlaceWallpaper(tall, WallpaperStyle::Fit, kMonitor, kVirtual), (Rect{250, 0, 550, 600}));
    EXPECT_EQ(PlaceWallpaper(tall, WallpaperStyle::Fill, kMonitor, kVirtual), (Rect{0, -500, 800, 1100}));
    // The monitor's own shape fills it exactly both ways, and sizes round.
    EXPECT_EQ(PlaceWallpaper(Size{400, 300}, WallpaperStyle::Fit, kMonitor, kVirtual), kMonitor);
    EXPECT_EQ(PlaceWallpaper(Size{400, 300}, WallpaperStyle::Fill, kMonitor, kVirtual), kMonitor);
    EXPECT_EQ(PlaceWallpaper(Size{3, 2}, WallpaperStyle::Fit, Rect{0, 0, 100, 100}, kVirtual), (Rect{0, 16, 100, 83}));
}

TEST(PlaceWallpaper, SpanFillsEveryMonitorTogether)
{
    // 1440 x 600 is 2.4:1; a 2:1 picture covers it at 1440 x 720.
    EXPECT_EQ(PlaceWallpaper(Size{1000, 500}, WallpaperStyle::Span, kMonitor, kVirtual), (Rect{0, -60, 1440, 660}));
    // Monitors left of the primary one have negative coordinates.
    const Rect left{-640, 0, 800, 600};
    EXPECT_EQ(PlaceWallpaper(Size{1440, 600}, WallpaperStyle::Span, kMonitor, left), left);
}

TEST(PlaceWallpaper, ExtremeSizesStayInRange)
{
    // A picture one pixel high filling a monitor: its width would pass the
    // int range, and is held inside it instead of wrapping.
    const Rect r = PlaceWallpaper(Size{2, 1}, WallpaperStyle::Fill, Rect{0, 0, 1, 2000000000}, kVirtual);
    EXPECT_EQ(r.top, 0);
    EXPECT_GT(r.Width(), 0);
    const Rect big = PlaceWallpaper(Size{2000000000, 2000000000}, WallpaperStyle::Centre,
                                    Rect{-2000000000, -2000000000, 2000000000, 2000000000}, kVirtual);
    EXPECT_FALSE(big.IsEmpty());
    EXPECT_EQ(big.left, -1000000000);
}

TEST(PlaceWallpaper, NothingToPlaceGivesNothing)
{
    for (auto style : {WallpaperStyle::Centre, WallpaperStyle::Tile, WallpaperStyle::Stretch, WallpaperStyle::Fit,
                       WallpaperStyle::Fill, WallpaperStyle::Span}) {
        EXPECT_TRUE(PlaceWallpaper(Size{0, 300}, style, kMonitor, kVirtual).IsEmpty());
        EXPECT_TRUE(PlaceWallpaper(Size{400, 300}, style, Rect{}, kVirtual).IsEmpty());
    }
    EXPECT_TRUE(PlaceWallpaper(Size{400, 300}, WallpaperStyle::Span, kMonitor, Rect{}).IsEmpty());
}

}  // namespace
