// The Windows pieces behind the saver's desktop picture, monitor covers and
// dialog font, on the real system: reading a wallpaper file with the
// system's imaging component, which monitors a window leaves bare, and
// whether a font has glyphs for a caption.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#include "win32/backing_store.h"
#include "win32/desktop_wallpaper.h"
#include "win32/dialog_font.h"
#include "win32/monitor_covers.h"
#include "win32/wallpaper_picture.h"

namespace {

using vyla::Rect;
using vyla::Size;
using vyla::win32::BackingStore;
using vyla::win32::WallpaperPicture;

// Pixel (x, y) of the test picture: every pixel tells where it is.
std::uint32_t Marker(int x, int y)
{
    return static_cast<std::uint32_t>((x * 7) & 0xFF) << 16 | static_cast<std::uint32_t>((y * 5) & 0xFF) << 8 | 0x40u;
}

// A bottom-up 24-bit .bmp file of the test picture.
std::filesystem::path WriteTestPicture(Size size)
{
    const int rowBytes = (size.width * 3 + 3) & ~3;
    std::vector<std::uint8_t> file(54 + static_cast<std::size_t>(rowBytes) * size.height, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            file[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<std::uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(size.width));
    put32(22, static_cast<std::uint32_t>(size.height));
    file[26] = 1;
    file[28] = 24;
    for (int y = 0; y < size.height; ++y)
        for (int x = 0; x < size.width; ++x) {
            const std::uint32_t c = Marker(x, y);
            std::uint8_t* p = &file[54 + static_cast<std::size_t>(size.height - 1 - y) * rowBytes + x * 3];
            p[0] = static_cast<std::uint8_t>(c);
            p[1] = static_cast<std::uint8_t>(c >> 8);
            p[2] = static_cast<std::uint8_t>(c >> 16);
        }
    const auto path = std::filesystem::temp_directory_path() / "vyla-wallpaper-test.bmp";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()),
                                                 static_cast<std::streamsize>(file.size()));
    return path;
}

// What a picture drawn at (0, 0) of a fresh white surface left there.
std::vector<std::uint32_t> Drawn(const WallpaperPicture& picture, Size surface, bool tiled = false, POINT origin = {})
{
    BackingStore store(nullptr, surface.width, surface.height);
    const RECT all{0, 0, surface.width, surface.height};
    FillRect(store.Dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (tiled)
        picture.Tile(store.Dc(), all, origin);
    else
        picture.Draw(store.Dc(), 0, 0);
    std::vector<std::uint32_t> out;
    for (int y = 0; y < surface.height; ++y)
        for (int x = 0; x < surface.width; ++x) {
            const COLORREF c = GetPixel(store.Dc(), x, y);
            out.push_back(static_cast<std::uint32_t>(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c));
        }
    return out;
}

TEST(WallpaperPicture, ReadsTheFileAndOnlyThePartAsked)
{
    const Size size{40, 30};
    const auto file = WriteTestPicture(size).wstring();
    ASSERT_EQ(WallpaperPicture::Measure(file), size);

    const auto whole = WallpaperPicture::Load(file, size, Rect::FromSize(size));
    ASSERT_TRUE(whole);
    const auto pixels = Drawn(*whole, size);
    for (int y = 0; y < size.height; ++y)
        for (int x = 0; x < size.width; ++x)
            ASSERT_EQ(pixels[static_cast<std::size_t>(y * size.width + x)], Marker(x, y)) << x << "," << y;

    // A picture larger than the screen: only the part shown is read.
    const auto part = WallpaperPicture::Load(file, size, Rect{10, 5, 25, 12});
    ASSERT_TRUE(part);
    EXPECT_EQ(part->GetSize(), (Size{15, 7}));
    const auto partPixels = Drawn(*part, Size{15, 7});
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 15; ++x)
            ASSERT_EQ(partPixels[static_cast<std::size_t>(y * 15 + x)], Marker(x + 10, y + 5)) << x << "," << y;
}

TEST(WallpaperPicture, ScalesAndTiles)
{
    const Size size{40, 30};
    const auto file = WriteTestPicture(size).wstring();
    const auto doubled = WallpaperPicture::Load(file, Size{80, 60}, Rect{0, 0, 80, 60});
    ASSERT_TRUE(doubled);
    EXPECT_EQ(doubled->GetSize(), (Size{80, 60}));

    // Copies repeat from the origin in every direction, widened or not.
    const auto tile = WallpaperPicture::Load(file, size, Rect::FromSize(size));
    ASSERT_TRUE(tile);
    for (const WallpaperPicture& t : {*tile, tile->Repeated(Size{256, 256})}) {
        const auto pixels = Drawn(t, Size{100, 70}, true, POINT{-15, 20});
        for (int y = 0; y < 70; ++y)
            for (int x = 0; x < 100; ++x) {
                const int px = ((x + 15) % 40 + 40) % 40, py = ((y - 20) % 30 + 30) % 30;
                ASSERT_EQ(pixels[static_cast<std::size_t>(y * 100 + x)], Marker(px, py)) << x << "," << y;
            }
    }
}

TEST(WallpaperPicture, UnreadableOrImpossibleGivesNothing)
{
    const Size size{40, 30};
    const auto file = WriteTestPicture(size).wstring();
    EXPECT_FALSE(WallpaperPicture::Measure(L"C:\\no such wallpaper.bmp"));
    EXPECT_FALSE(WallpaperPicture::Measure(L""));
    EXPECT_FALSE(WallpaperPicture::Load(file, size, Rect{30, 0, 41, 10}));  // part past the picture
    EXPECT_FALSE(WallpaperPicture::Load(file, Size{0, 30}, Rect{0, 0, 1, 1}));
    EXPECT_FALSE(WallpaperPicture::Load(file, size, Rect{}));
    const auto garbage = std::filesystem::temp_directory_path() / "vyla-not-a-picture.bmp";
    std::ofstream(garbage, std::ios::binary) << "BM this is no picture";
    EXPECT_FALSE(WallpaperPicture::Measure(garbage.wstring()));
}

TEST(DesktopWallpaper, TheTestsRunOnTheDefaultDesktop)
{
    EXPECT_EQ(vyla::win32::DesktopWallpaper::ThreadDesktopName(), L"Default");
    EXPECT_FALSE(vyla::win32::DesktopWallpaper::OnOwnDesktop());
}

TEST(MonitorCovers, OnlyMonitorsTheWindowDoesNotReachAreBare)
{
    const RECT primary{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    EXPECT_TRUE(vyla::win32::MonitorCovers::BareMonitors(primary).empty());
    // A window touching the monitor at all shows there: no cover over it.
    EXPECT_TRUE(vyla::win32::MonitorCovers::BareMonitors(RECT{primary.right - 1, 0, primary.right + 50, 10}).empty());
    const auto bare = vyla::win32::MonitorCovers::BareMonitors(RECT{-5000, -5000, -4000, -4000});
    ASSERT_EQ(bare.size(), 1u);
    EXPECT_EQ(bare[0].right - bare[0].left, primary.right);
}

TEST(DialogFont, TellsWhetherAFontHasTheGlyphs)
{
    const std::wstring japanese = L"\u771f\u7d05 \u56de\u8ee2\u901f\u5ea6";  // 真紅 回転速度
    HFONT font = vyla::win32::DialogFont::FindShowing(japanese, 16, FW_NORMAL);
    ASSERT_NE(font, nullptr) << "no Japanese font installed";
    EXPECT_TRUE(vyla::win32::DialogFont::Shows(font, japanese));
    EXPECT_TRUE(vyla::win32::DialogFont::Shows(font, L"OK"));
    // A private-use character no font here has.
    EXPECT_FALSE(vyla::win32::DialogFont::Shows(font, L"OK\uF8FF\uE000"));
    EXPECT_TRUE(vyla::win32::DialogFont::Shows(font, L" \t"));
    DeleteObject(font);
}

}  // namespace
