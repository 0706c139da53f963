// The raster contract the scene draws by, checked through the framework and
// the system interface only, so that the same tests hold the portable
// runtime and the real GDI to the same results: exact raster operations on
// every colour bit, clipping, whole-picture stretching by nearest neighbour,
// pictures through their palettes and drawn upright.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

#include "contract_support.h"
#include "framework/framework.h"
#include "support/packed_dib.h"

using vyla::testing::PackedDib;

namespace {

using vyla::contract::RasterSystem;
using vyla::contract::StretchRules;
using vyla::contract::SystemStretchRules;

constexpr COLORREF kSentinel = RGB(0x13, 0x57, 0x9B);

// The screen's drawing context, for making surfaces compatible with it.
class ScreenDC {
public:
    ScreenDC() : handle_(GetDC(nullptr)), dc_(handle_) {}
    ~ScreenDC() { ReleaseDC(nullptr, handle_); }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    const TDC& Get() const { return dc_; }

private:
    HDC handle_;
    TDC dc_;
};

// An off-screen surface as the scene makes them: a memory context with a
// screen-compatible bitmap selected for its life.
class Canvas {
public:
    Canvas(const TDC& screen, int width, int height)
        : dc_(screen), bitmap_(screen, width, height), width_(width), height_(height)
    {
        dc_.SelectObject(bitmap_);
    }
    ~Canvas() { dc_.RestoreBitmap(); }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    TDC& Dc() { return dc_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    COLORREF At(int x, int y) { return GetPixel(dc_.GetHDC(), x, y); }
    void Fill(const std::function<COLORREF(int, int)>& colour)
    {
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                SetPixel(dc_.GetHDC(), x, y, colour(x, y));
    }
    void Fill(COLORREF colour)
    {
        Fill([colour](int, int) { return colour; });
    }
    // Every pixel is want(x, y).
    template <typename Want>
    void Expect(Want want)
    {
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                ASSERT_EQ(At(x, y), want(x, y)) << "at " << x << ',' << y;
    }

private:
    TMemoryDC dc_;
    TBitmap bitmap_;
    int width_, height_;
};

// Deterministic colours: every bit of every channel gets exercised.
class Colours {
public:
    explicit Colours(std::uint32_t seed) : state_(seed) {}
    COLORREF Next()
    {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }

private:
    std::uint32_t state_;
};

COLORREF FromRgb(std::uint32_t rgb)
{
    return RGB((rgb >> 16) & 0xff, (rgb >> 8) & 0xff, rgb & 0xff);
}

// A colour that names its source pixel, so a stretched result tells where
// each destination pixel came from.
std::uint32_t PositionColour(int x, int y)
{
    return (static_cast<std::uint32_t>(x) << 16) | (static_cast<std::uint32_t>(y) << 8) | 0x5A;
}

// A whole picture of sw x sh pixels stretched to w x h.
struct StretchCase {
    int sw, sh, w, h;
};

class RasterContract : public ::testing::Test {
protected:
    RasterSystem system;
    ScreenDC screen;
};

TEST_F(RasterContract, BitBltCombinesEveryColourBitExactly)
{
    struct Op {
        DWORD rop;
        COLORREF (*apply)(COLORREF dst, COLORREF src);
    };
    const Op ops[] = {
        {SRCCOPY, [](COLORREF, COLORREF s) { return s; }},
        {SRCAND, [](COLORREF d, COLORREF s) { return d & s; }},
        {SRCPAINT, [](COLORREF d, COLORREF s) { return d | s; }},
    };
    for (const Op& op : ops) {
        Colours dstColours(7), srcColours(11);
        Canvas dst(screen.Get(), 13, 7), src(screen.Get(), 13, 7);
        std::vector<COLORREF> before, source;
        dst.Fill([&](int, int) { return before.emplace_back(dstColours.Next()); });
        src.Fill([&](int, int) { return source.emplace_back(srcColours.Next()); });
        ASSERT_TRUE(dst.Dc().BitBlt(0, 0, 13, 7, src.Dc(), 0, 0, op.rop));
        SCOPED_TRACE(::testing::Message() << "rop " << std::hex << op.rop);
        dst.Expect([&](int x, int y) { return op.apply(before[y * 13 + x], source[y * 13 + x]); });
    }
}

TEST_F(RasterContract, WhiteAndBlackAreTheIdentitiesOfAndAndOr)
{
    Colours colours(3);
    Canvas dst(screen.Get(), 8, 8), white(screen.Get(), 8, 8), black(screen.Get(), 8, 8);
    std::vector<COLORREF> before;
    dst.Fill([&](int, int) { return before.emplace_back(colours.Next()); });
    white.Fill(RGB(255, 255, 255));
    black.Fill(RGB(0, 0, 0));
    dst.Dc().BitBlt(0, 0, 8, 8, white.Dc(), 0, 0, SRCAND);
    dst.Dc().BitBlt(0, 0, 8, 8, black.Dc(), 0, 0, SRCPAINT);
    dst.Expect([&](int x, int y) { return before[y * 8 + x]; });
    dst.Dc().BitBlt(0, 0, 8, 8, black.Dc(), 0, 0, SRCAND);
    dst.Expect([](int, int) { return RGB(0, 0, 0); });
}

TEST_F(RasterContract, BitBltClipsARectanglePartlyOutsideEitherSurface)
{
    struct Case {
        const char* what;
        int x, y, w, h, srcX, srcY;
    };
    const Case cases[] = {
        {"off the destination's top-left", -3, -2, 6, 5, 0, 0},
        {"off the destination's bottom-right", 8, 6, 6, 5, 0, 0},
        {"larger than the destination", -1, -1, 20, 20, 0, 0},
        {"off the source's top-left", 2, 2, 5, 4, -2, -1},
        {"off the source's bottom-right", 1, 1, 6, 5, 4, 3},
        {"off both", -2, 7, 6, 5, 3, -2},
    };
    const int dw = 11, dh = 9, sw = 7, sh = 6;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Canvas dst(screen.Get(), dw, dh), src(screen.Get(), sw, sh);
        dst.Fill(kSentinel);
        src.Fill([](int x, int y) { return FromRgb(PositionColour(x, y)); });
        dst.Dc().BitBlt(c.x, c.y, c.w, c.h, src.Dc(), c.srcX, c.srcY, SRCCOPY);
        dst.Expect([&](int x, int y) {
            const int sx = x - c.x + c.srcX, sy = y - c.y + c.srcY;
            const bool inBlock = x >= c.x && x < c.x + c.w && y >= c.y && y < c.y + c.h;
            const bool inSource = sx >= 0 && sx < sw && sy >= 0 && sy < sh;
            return inBlock && inSource ? FromRgb(PositionColour(sx, sy)) : kSentinel;
        });
    }
}

TEST_F(RasterContract, AClipRegionLimitsDrawingToItsPixels)
{
    const int w = 12, h = 10;
    Canvas dst(screen.Get(), w, h), src(screen.Get(), w, h);
    dst.Fill(kSentinel);
    src.Fill([](int x, int y) { return FromRgb(PositionColour(x, y)); });
    // Overlapping rectangles, one reaching past the surface; moved by (1, 2).
    const TRect rects[] = {TRect(0, 0, 4, 3), TRect(2, 1, 6, 5), TRect(8, 6, 20, 7), TRect(5, 0, 5, 9)};
    auto inside = [](int x, int y) {
        x -= 1, y -= 2;
        return (x >= 0 && y >= 0 && x < 4 && y < 3) || (x >= 2 && x < 6 && y >= 1 && y < 5) || (x >= 8 && y == 6);
    };
    {
        TRegion region(rects);
        dst.Dc().SelectClipRgn(region);
    }  // the context keeps its own copy
    dst.Dc().OffsetClipRgn(1, 2);
    dst.Dc().BitBlt(0, 0, w, h, src.Dc(), 0, 0, SRCCOPY);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(dst.At(x, y), inside(x, y) ? FromRgb(PositionColour(x, y)) : kSentinel) << "at " << x << ',' << y;

    // Without the region the whole surface is drawn again; rows of it read
    // back are the ones drawn.
    dst.Dc().RemoveClipRgn();
    dst.Dc().BitBlt(0, 0, w, h, src.Dc(), 0, 0, SRCCOPY);
    TMemoryDC reader(screen.Get());
    TBitmap copy(screen.Get(), w, h);
    reader.SelectObject(copy);
    reader.BitBlt(0, 0, w, h, dst.Dc(), 0, 0, SRCCOPY);
    reader.RestoreBitmap();  // a bitmap is read while no context holds it
    std::vector<std::uint32_t> pixels;
    ASSERT_TRUE(copy.ReadRows(screen.Get().GetHDC(), w, h, 3, 5, pixels));
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(w * 5));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(pixels[static_cast<std::size_t>(y * w + x)], PositionColour(x, y + 3)) << "at " << x << ',' << y + 3;
}

TEST_F(RasterContract, AClipRegionOfManyPartsInOneRowBand)
{
    // More parts side by side than are drawn together, some outside the
    // block, from a picture of few colours (held as indices and a palette
    // where the platform can).
    const int w = 160, h = 6, teeth = 75;
    auto colour = [](int x, int y) { return static_cast<std::uint32_t>((x * 7 + y) % 16) * 0x0F0F0Fu; };
    std::vector<std::uint32_t> palette;
    for (std::uint32_t i = 0; i < 16; ++i)
        palette.push_back(i * 0x0F0F0Fu);
    auto bytes = PackedDib(w, h, 4, palette, [](int x, int y) { return static_cast<std::uint32_t>((x * 7 + y) % 16); });
    TDib picture(bytes.data(), bytes.size());
    ASSERT_TRUE(picture.IsOK());
    Canvas dst(screen.Get(), w, h), src(screen.Get(), w, h);
    src.Dc().StretchDIBits(0, 0, w, h, picture, SRCCOPY);
    dst.Fill(kSentinel);
    std::vector<TRect> rects;
    for (int i = 0; i < teeth; ++i)
        rects.push_back(TRect(2 * i, 1, 2 * i + 1, 5));
    TRegion region(rects);
    dst.Dc().SelectClipRgn(region);
    // The block leaves out the band's first teeth.
    dst.Dc().BitBlt(5, 0, w - 5, h, src.Dc(), 5, 0, SRCCOPY);
    dst.Expect([&](int x, int y) {
        const bool inside = x % 2 == 0 && x >= 5 && x < 2 * teeth && y >= 1 && y < 5;
        return inside ? FromRgb(colour(x, y)) : kSentinel;
    });
}

TEST_F(RasterContract, StretchFillsTheWholeDestinationWithTheWholeSource)
{
    const StretchCase cases[] = {{5, 3, 13, 7}, {13, 7, 5, 3}, {4, 9, 11, 4}, {1, 1, 6, 5}, {640, 54, 7, 3}};
    for (const StretchCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.sw << 'x' << c.sh << " to " << c.w << 'x' << c.h);
        // A white picture over black: exactly the destination turns white.
        auto bytes = PackedDib(c.sw, c.sh, 1, {0x000000, 0xFFFFFF}, [](int, int) { return 1u; });
        TDib picture(bytes.data(), bytes.size());
        ASSERT_TRUE(picture.IsOK());
        Canvas dst(screen.Get(), c.w + 6, c.h + 4);
        dst.Fill(RGB(0, 0, 0));
        ASSERT_EQ(dst.Dc().StretchDIBits(3, 2, c.w, c.h, picture, SRCCOPY), c.sh);
        dst.Expect([&](int x, int y) {
            const bool inside = x >= 3 && x < 3 + c.w && y >= 2 && y < 2 + c.h;
            return inside ? RGB(255, 255, 255) : RGB(0, 0, 0);
        });
    }
}

TEST_F(RasterContract, EnlargingShowsEverySourcePixelCornersInPlace)
{
    const StretchCase cases[] = {{5, 3, 13, 7}, {4, 2, 11, 9}, {1, 1, 6, 5}, {7, 6, 7, 6}};
    for (const StretchCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.sw << 'x' << c.sh << " to " << c.w << 'x' << c.h);
        auto bytes = PackedDib(c.sw, c.sh, 24, {}, PositionColour);
        TDib picture(bytes.data(), bytes.size());
        Canvas dst(screen.Get(), c.w, c.h);
        dst.Fill(kSentinel);
        dst.Dc().StretchDIBits(0, 0, c.w, c.h, picture, SRCCOPY);
        std::vector<bool> seen(static_cast<std::size_t>(c.sw * c.sh));
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) {
                // The colour names the source pixel: red = column, green = row.
                const COLORREF got = dst.At(x, y);
                ASSERT_EQ(GetBValue(got), 0x5A) << "not a source colour at " << x << ',' << y;
                ASSERT_LT(GetRValue(got), c.sw);
                ASSERT_LT(GetGValue(got), c.sh);
                seen[static_cast<std::size_t>(GetGValue(got) * c.sw + GetRValue(got))] = true;
            }
        for (std::size_t i = 0; i < seen.size(); ++i)
            EXPECT_TRUE(seen[i]) << "source pixel " << i % c.sw << ',' << i / c.sw << " is missing";
        EXPECT_EQ(dst.At(0, 0), FromRgb(PositionColour(0, 0)));
        EXPECT_EQ(dst.At(c.w - 1, c.h - 1), FromRgb(PositionColour(c.sw - 1, c.sh - 1)));
    }
}

TEST_F(RasterContract, StretchTakesTheNearestNeighbour)
{
    const StretchCase cases[] = {
        {6, 4, 6, 4},    // same size
        {5, 3, 15, 9},   // whole multiples
        {4, 4, 8, 12},
        {7, 5, 12, 11},  // neither
        {80, 2, 180, 5}, // a sprite cell's row to the tile size of an 800 x 600 screen
        {12, 10, 7, 4},  // shrinking
        {9, 6, 20, 5},
    };
    const StretchRules rules = SystemStretchRules();
    for (const StretchCase& c : cases) {
        if ((c.w < c.sw || c.h < c.sh) && !rules.shrinkSamples)
            continue;  // the system combines what it drops instead: see ShrinkingKeepsEachBandInPlace
        SCOPED_TRACE(::testing::Message() << c.sw << 'x' << c.sh << " to " << c.w << 'x' << c.h);
        auto bytes = PackedDib(c.sw, c.sh, 24, {}, PositionColour);
        TDib picture(bytes.data(), bytes.size());
        Canvas dst(screen.Get(), c.w, c.h);
        dst.Fill(kSentinel);
        dst.Dc().StretchDIBits(0, 0, c.w, c.h, picture, SRCCOPY);
        // Exact wherever each source pixel covers a whole number of
        // destination pixels; elsewhere within the system's own rounding.
        const int tolX = c.w % c.sw == 0 ? 0 : rules.enlargeTolerance;
        const int tolY = c.h % c.sh == 0 ? 0 : rules.enlargeTolerance;
        for (int y = 0; y < c.h; ++y) {
            for (int x = 0; x < c.w; ++x) {
                const COLORREF got = dst.At(x, y);
                ASSERT_EQ(GetBValue(got), 0x5A) << "not a source colour at " << x << ',' << y;
                EXPECT_LE(std::abs(GetRValue(got) - x * c.sw / c.w), tolX) << "column at " << x << ',' << y;
                EXPECT_LE(std::abs(GetGValue(got) - y * c.sh / c.h), tolY) << "row at " << x << ',' << y;
            }
        }
    }
}

TEST_F(RasterContract, ShrinkingKeepsEachBandInPlace)
{
    // Vertical bands of one colour each, four source columns wide, shrunk to
    // two destination columns each: away from the band edges every system
    // shows the band's colour, however it resamples.
    const COLORREF bands[] = {RGB(250, 0, 0), RGB(0, 250, 0), RGB(0, 0, 250), RGB(250, 250, 0), RGB(0, 250, 250)};
    std::vector<std::uint32_t> palette;
    for (COLORREF b : bands)
        palette.push_back((std::uint32_t{GetRValue(b)} << 16) | (std::uint32_t{GetGValue(b)} << 8) | GetBValue(b));
    auto bytes = PackedDib(20, 6, 4, palette, [](int x, int) { return static_cast<std::uint32_t>(x / 4); });
    TDib picture(bytes.data(), bytes.size());
    ASSERT_TRUE(picture.IsOK());
    Canvas dst(screen.Get(), 10, 3);
    dst.Fill(kSentinel);
    dst.Dc().StretchDIBits(0, 0, 10, 3, picture, SRCCOPY);
    for (int y = 0; y < 3; ++y)
        for (int band = 0; band < 5; ++band) {
            EXPECT_EQ(dst.At(2 * band, y), bands[band]) << "band " << band << " row " << y;
        }
}

TEST_F(RasterContract, OneBitPicturesGoThroughTheirPalette)
{
    auto checker = [](int x, int y) { return static_cast<std::uint32_t>((x + y) % 2 == 0 || x == 5); };
    // Any palette is honoured, not just black and white.
    const std::uint32_t red = 0xC81E28, green = 0x14B45A;
    auto coloured = PackedDib(9, 6, 1, {red, green}, checker);
    TDib picture(coloured.data(), coloured.size());
    ASSERT_TRUE(picture.IsOK());
    EXPECT_EQ(picture.BitsPixel(), 1);
    Canvas dst(screen.Get(), 18, 12);
    dst.Fill(kSentinel);
    dst.Dc().StretchDIBits(0, 0, 18, 12, picture, SRCCOPY);
    dst.Expect([&](int x, int y) { return FromRgb(checker(x / 2, y / 2) ? green : red); });

    // Black and white combined by AND: the half-tone the silhouettes cast.
    auto mono = PackedDib(9, 6, 1, {0x000000, 0xFFFFFF}, checker);
    TDib shadow(mono.data(), mono.size());
    Colours colours(5);
    std::vector<COLORREF> before;
    dst.Fill([&](int, int) { return before.emplace_back(colours.Next()); });
    dst.Dc().StretchDIBits(0, 0, 9, 6, shadow, SRCAND);
    dst.Expect([&](int x, int y) {
        const bool covered = x < 9 && y < 6;
        return covered && !checker(x, y) ? RGB(0, 0, 0) : before[static_cast<std::size_t>(y * 18 + x)];
    });
}

TEST_F(RasterContract, BottomUpAndTopDownPicturesAreDrawnUpright)
{
    struct Format {
        int bitCount;
        std::vector<std::uint32_t> palette;
    };
    std::vector<std::uint32_t> sixteen;
    for (std::uint32_t i = 0; i < 16; ++i)
        sixteen.push_back(i * 0x0F0E0D);
    const Format formats[] = {{1, {0x000000, 0xFFFFFF}}, {4, sixteen}, {24, {}}};
    // Only the top row is lit, plus a diagonal: flipped, it is unmistakable.
    for (const Format& f : formats) {
        SCOPED_TRACE(::testing::Message() << f.bitCount << " bits per pixel");
        auto value = [&](int x, int y) -> std::uint32_t {
            const bool lit = y == 0 || x == y;
            if (f.bitCount == 24)
                return lit ? 0xFFFFFF : PositionColour(x, y);
            if (f.bitCount == 4)
                return lit ? 15 : static_cast<std::uint32_t>((x + 2 * y) % 15);
            return lit ? 1 : 0;
        };
        for (bool topDown : {false, true}) {
            auto bytes = PackedDib(7, 5, f.bitCount, f.palette, value, topDown);
            TDib picture(bytes.data(), bytes.size());
            ASSERT_TRUE(picture.IsOK());
            Canvas dst(screen.Get(), 7, 5);
            dst.Fill(kSentinel);
            dst.Dc().StretchDIBits(0, 0, 7, 5, picture, SRCCOPY);
            SCOPED_TRACE(topDown ? "top-down" : "bottom-up");
            dst.Expect([&](int x, int y) { return FromRgb(f.bitCount == 24 ? value(x, y) : f.palette[value(x, y)]); });
        }
    }
}

}  // namespace
