#include "common/region.h"
#include "portable/raster/blit.h"
#include "portable/raster/palette.h"
#include "portable/raster/rop.h"
#include "portable/raster/stretch.h"
#include "portable/raster/surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "support/packed_dib.h"

namespace vyla::raster {
using vyla::testing::PackedDib;

namespace {

constexpr Rop kAllRops[] = {Rop::SrcCopy, Rop::SrcAnd, Rop::SrcPaint};

Pixel Combine(Pixel d, Pixel s, Rop rop)
{
    switch (rop) {
    case Rop::SrcCopy: return s;
    case Rop::SrcAnd: return d & s;
    case Rop::SrcPaint: return d | s;
    }
    return d;
}

Surface Make(int w, int h, Pixel fill = 0)
{
    auto s = Surface::Create(Size{w, h}, fill);
    EXPECT_TRUE(s);
    return s ? std::move(*s) : Surface{};
}

void FillRandom(Surface& s, std::mt19937& rng)
{
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            s.Set(x, y, rng());
}

bool Inside(std::int64_t x, std::int64_t y, const Rect& r)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// Pixel-by-pixel model of BitBlt, walking the destination; source read from
// a snapshot so that overlap cannot matter.
Rect ReferenceBlt(Surface& dst, const Rect& clip, Point dstPos, Size size, const Surface& srcSnapshot, Point srcPos, Rop rop)
{
    Rect touched;
    const Rect block{0, 0, std::max(size.width, 0), std::max(size.height, 0)};
    for (int y = 0; y < dst.Height(); ++y) {
        for (int x = 0; x < dst.Width(); ++x) {
            const std::int64_t bx = std::int64_t{x} - dstPos.x;
            const std::int64_t by = std::int64_t{y} - dstPos.y;
            const std::int64_t sx = bx + srcPos.x;
            const std::int64_t sy = by + srcPos.y;
            if (!Inside(bx, by, block) || !Inside(x, y, clip) || !Inside(sx, sy, srcSnapshot.Bounds()))
                continue;
            dst.Set(x, y, Combine(dst.At(x, y), srcSnapshot.At(static_cast<int>(sx), static_cast<int>(sy)), rop));
            touched = touched.United(Rect{x, y, x + 1, y + 1});
        }
    }
    return touched;
}

// Every pixel of s is want(x, y).
template <typename Want>
void ExpectPixels(const Surface& s, Want want)
{
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            ASSERT_EQ(s.At(x, y), want(x, y)) << "at " << x << "," << y;
}

void ExpectSame(const Surface& a, const Surface& b)
{
    ASSERT_EQ(a.GetSize(), b.GetSize());
    ExpectPixels(a, [&](int x, int y) { return b.At(x, y); });
}

// ---- Surface and Rop ----

TEST(Surface, CreateRejectsBadSizes)
{
    EXPECT_FALSE(Surface::Create(Size{-1, 5}));
    EXPECT_FALSE(Surface::Create(Size{5, -1}));
    EXPECT_FALSE(Surface::Create(Size{131073, 1}));
    EXPECT_FALSE(Surface::Create(Size{1, 131073}));
    EXPECT_FALSE(Surface::Create(Size{131072, 4097}));  // above 2^29 pixels
    const auto empty = Surface::Create(Size{0, 7});
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->Bounds().IsEmpty());
    const auto wide = Surface::Create(Size{131072, 1}, 0x123456);
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->At(131071, 0), 0x123456u);
}

TEST(Surface, AccessOutsideIsHarmless)
{
    Surface s = Make(3, 2, 7);
    EXPECT_EQ(s.Bounds(), (Rect{0, 0, 3, 2}));
    s.Set(-1, 0, 1);
    s.Set(3, 0, 1);
    s.Set(0, 2, 1);
    EXPECT_EQ(s.At(-1, 0), 0u);
    EXPECT_EQ(s.At(0, 2), 0u);
    EXPECT_EQ(s.Row(2), nullptr);
    EXPECT_EQ(s.Row(-1), nullptr);
    s.Set(2, 1, 9);
    EXPECT_EQ(s.Row(1)[2], 9u);
    s.Fill(5);
    EXPECT_EQ(s.At(2, 1), 5u);
    EXPECT_EQ(Surface{}.GetSize(), (Size{0, 0}));
}

TEST(Rop, FromCodeKnowsExactlyThreeCodes)
{
    EXPECT_EQ(RopFromCode(0x00CC0020), Rop::SrcCopy);
    EXPECT_EQ(RopFromCode(0x008800C6), Rop::SrcAnd);
    EXPECT_EQ(RopFromCode(0x00EE0086), Rop::SrcPaint);
    for (std::uint32_t other : {0u, 0x00CC0021u, 0x00660046u, 0x00000042u, 0xFFCC0020u})
        EXPECT_FALSE(RopFromCode(other)) << std::hex << other;
}

// ---- BitBlt ----

TEST(BitBlt, EveryRopIsBitExactIncludingTopBytes)
{
    std::mt19937 rng(1);
    for (Rop rop : kAllRops) {
        Surface src = Make(37, 23);
        Surface dst = Make(37, 23);
        FillRandom(src, rng);
        FillRandom(dst, rng);
        const Surface before = dst;
        const Rect r = BitBlt(dst, dst.Bounds(), {0, 0}, src.GetSize(), src, {0, 0}, rop);
        EXPECT_EQ(r, dst.Bounds());
        ExpectPixels(dst, [&](int x, int y) { return Combine(before.At(x, y), src.At(x, y), rop); });
    }
}

TEST(BitBlt, WhiteAndBlackIdentities)
{
    std::mt19937 rng(2);
    Surface dst = Make(9, 4);
    FillRandom(dst, rng);
    const Surface before = dst;
    const Surface white = Make(9, 4, 0xFFFFFF);
    const Surface black = Make(9, 4, 0);
    BitBlt(dst, dst.Bounds(), {0, 0}, {9, 4}, white, {0, 0}, Rop::SrcAnd);
    BitBlt(dst, dst.Bounds(), {0, 0}, {9, 4}, black, {0, 0}, Rop::SrcPaint);
    ExpectPixels(dst, [&](int x, int y) { return before.At(x, y) & 0xFFFFFFu; });
    BitBlt(dst, dst.Bounds(), {0, 0}, {9, 4}, black, {0, 0}, Rop::SrcAnd);
    ExpectSame(dst, black);
}

TEST(BitBlt, ClipsOnEverySide)
{
    const Surface src = Make(4, 4, 0xABCDEF);
    struct Case {
        Point dstPos;
        Size size;
        Point srcPos;
        Rect clip;
        Rect expected;
    };
    const Case cases[] = {
        {{-2, -1}, {4, 4}, {0, 0}, {0, 0, 10, 10}, {0, 0, 2, 3}},        // off the top-left
        {{8, 7}, {4, 4}, {0, 0}, {0, 0, 10, 10}, {8, 7, 10, 10}},        // off the bottom-right
        {{-3, -3}, {100, 100}, {-3, -3}, {0, 0, 10, 10}, {0, 0, 4, 4}},  // block larger than both
        {{0, 0}, {4, 4}, {0, 0}, {1, 2, 3, 10}, {1, 2, 3, 4}},           // by the clip
        {{5, 5}, {4, 4}, {2, 3}, {0, 0, 10, 10}, {5, 5, 7, 6}},          // by the source's far edges
        {{5, 5}, {4, 4}, {-1, -2}, {0, 0, 10, 10}, {6, 7, 9, 9}},        // by the source's near edges
        {{0, 0}, {4, 4}, {0, 0}, {}, {}},                                // empty clip
        {{0, 0}, {0, 4}, {0, 0}, {0, 0, 10, 10}, {}},                    // zero width
        {{0, 0}, {4, -4}, {0, 0}, {0, 0, 10, 10}, {}},                   // negative height
        {{10, 0}, {4, 4}, {0, 0}, {0, 0, 10, 10}, {}},                   // just beyond the right
        {{0, 0}, {4, 4}, {4, 0}, {0, 0, 10, 10}, {}},                    // source entirely outside
        {{INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, {0, 0}, {0, 0, 10, 10}, {}},
        {{INT_MAX, 0}, {INT_MAX, 4}, {0, 0}, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {}},
        {{-2, 0}, {INT_MAX, 4}, {INT_MIN, 0}, {0, 0, 10, 10}, {}},
        {{0, 0}, {INT_MAX, INT_MAX}, {INT_MAX, INT_MAX}, {0, 0, 10, 10}, {}},
    };
    for (const Case& c : cases) {
        Surface dst = Make(10, 10, 0x010203);
        Surface expected = dst;
        const Rect want = ReferenceBlt(expected, c.clip, c.dstPos, c.size, src, c.srcPos, Rop::SrcCopy);
        EXPECT_EQ(want, c.expected);  // the model agrees with the hand-worked answer
        EXPECT_EQ(BitBlt(dst, c.clip, c.dstPos, c.size, src, c.srcPos, Rop::SrcCopy), c.expected);
        ExpectSame(dst, expected);
    }
}

TEST(BitBlt, UnknownRopDrawsNothing)
{
    Surface dst = Make(3, 3, 1);
    const Surface src = Make(3, 3, 2);
    EXPECT_TRUE(BitBlt(dst, dst.Bounds(), {0, 0}, {3, 3}, src, {0, 0}, static_cast<Rop>(0x00660046)).IsEmpty());
    EXPECT_EQ(dst.At(1, 1), 1u);
}

TEST(BitBlt, OverlappingSameSurfaceReadsSourceFirst)
{
    std::mt19937 rng(3);
    const Point shifts[] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {3, 2}, {-3, 2}, {2, -3}, {-2, -2}, {0, 0}};
    for (Rop rop : kAllRops) {
        for (Point d : shifts) {
            Surface s = Make(17, 11);
            FillRandom(s, rng);
            Surface expected = s;
            const Surface snapshot = s;
            const Point srcPos{2, 2};
            const Point dstPos{2 + d.x, 2 + d.y};
            ReferenceBlt(expected, s.Bounds(), dstPos, {12, 7}, snapshot, srcPos, rop);
            BitBlt(s, s.Bounds(), dstPos, {12, 7}, s, srcPos, rop);
            ExpectSame(s, expected);
        }
    }
}

TEST(BitBlt, MatchesModelOnRandomGeometry)
{
    std::mt19937 rng(4);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int trial = 0; trial < 3000; ++trial) {
        Surface dst = Make(pick(1, 20), pick(1, 20));
        Surface other = Make(pick(1, 20), pick(1, 20));
        FillRandom(dst, rng);
        FillRandom(other, rng);
        const bool same = pick(0, 2) == 0;
        const Surface& src = same ? dst : other;
        const Surface snapshot = src;
        const Point dstPos{pick(-25, 25), pick(-25, 25)};
        const Point srcPos{pick(-25, 25), pick(-25, 25)};
        const Size size{pick(-3, 45), pick(-3, 45)};
        const Rect clip = pick(0, 3) == 0 ? dst.Bounds() : Rect{pick(-5, 25), pick(-5, 25), pick(-5, 25), pick(-5, 25)};
        const Rop rop = kAllRops[pick(0, 2)];
        Surface expected = dst;
        const Rect want = ReferenceBlt(expected, clip, dstPos, size, snapshot, srcPos, rop);
        const Rect got = BitBlt(dst, clip, dstPos, size, src, srcPos, rop);
        ASSERT_EQ(got, want) << "trial " << trial;
        ASSERT_NO_FATAL_FAILURE(ExpectSame(dst, expected)) << "trial " << trial;
    }
}

// ---- StretchDib ----

DibView Parse(const std::vector<std::uint8_t>& bytes)
{
    auto dib = ParsePackedDib(bytes);
    EXPECT_TRUE(dib);
    return dib ? *dib : DibView{};
}

// Distinct colours by index, so a drawn pixel tells which source pixel it came from.
std::vector<Pixel> Ramp(int n)
{
    std::vector<Pixel> p;
    for (int i = 0; i < n; ++i)
        p.push_back(0x010000u * static_cast<Pixel>(i + 1) + 0x11u);
    return p;
}

Rect ReferenceStretch(Surface& dst, const Rect& clip, const Rect& dr, const DibView& dib, const Rect& sr, Rop rop)
{
    Rect touched;
    const std::int64_t w = std::int64_t{dr.right} - dr.left, h = std::int64_t{dr.bottom} - dr.top;
    if (w <= 0 || h <= 0 || sr.IsEmpty() || sr.left < 0 || sr.top < 0 || sr.right > dib.info.width || sr.bottom > dib.info.height)
        return touched;
    for (int y = 0; y < dst.Height(); ++y) {
        for (int x = 0; x < dst.Width(); ++x) {
            if (!Inside(x, y, clip) || !Inside(x, y, dr))
                continue;
            const auto sx = static_cast<int>(sr.left + (std::int64_t{x} - dr.left) * sr.Width() / w);
            const auto sy = static_cast<int>(sr.top + (std::int64_t{y} - dr.top) * sr.Height() / h);
            dst.Set(x, y, Combine(dst.At(x, y), DibPixel(dib, sx, sy), rop));
            touched = touched.United(Rect{x, y, x + 1, y + 1});
        }
    }
    return touched;
}

std::vector<Pixel> RowOf(const Surface& s, int y)
{
    return std::vector<Pixel>(s.Row(y), s.Row(y) + s.Width());
}

TEST(StretchDib, NearestNeighbourRuleIsExact)
{
    const auto pal = Ramp(7);
    const auto three = PackedDib(3, 1, 8, pal, [](int x, int) { return static_cast<std::uint32_t>(x); });
    const auto seven = PackedDib(7, 1, 8, pal, [](int x, int) { return static_cast<std::uint32_t>(x); });

    Surface up = Make(7, 1);
    StretchDib(up, up.Bounds(), {0, 0, 7, 1}, Parse(three), {0, 0, 3, 1}, Rop::SrcCopy);
    EXPECT_EQ(RowOf(up, 0), (std::vector<Pixel>{pal[0], pal[0], pal[0], pal[1], pal[1], pal[2], pal[2]}));

    Surface down = Make(3, 1);
    StretchDib(down, down.Bounds(), {0, 0, 3, 1}, Parse(seven), {0, 0, 7, 1}, Rop::SrcCopy);
    EXPECT_EQ(RowOf(down, 0), (std::vector<Pixel>{pal[0], pal[2], pal[4]}));

    // A sub-rectangle of the source, placed at an offset.
    Surface part = Make(6, 1);
    StretchDib(part, part.Bounds(), {1, 0, 6, 1}, Parse(seven), {2, 0, 5, 1}, Rop::SrcCopy);
    EXPECT_EQ(RowOf(part, 0), (std::vector<Pixel>{0, pal[2], pal[2], pal[3], pal[3], pal[4]}));

    // The same rule vertically, rows counted from the picture's top.
    const auto column = PackedDib(1, 3, 8, pal, [](int, int y) { return static_cast<std::uint32_t>(y); });
    Surface tall = Make(1, 7);
    StretchDib(tall, tall.Bounds(), {0, 0, 1, 7}, Parse(column), {0, 0, 1, 3}, Rop::SrcCopy);
    const Pixel expectTall[] = {pal[0], pal[0], pal[0], pal[1], pal[1], pal[2], pal[2]};
    ExpectPixels(tall, [&](int, int y) { return expectTall[y]; });

    const auto dot = PackedDib(1, 1, 24, {}, [](int, int) { return 0x123456u; });
    Surface five = Make(7, 7, 0xFF000000);
    EXPECT_EQ(StretchDib(five, five.Bounds(), {1, 1, 6, 6}, Parse(dot), {0, 0, 1, 1}, Rop::SrcCopy), (Rect{1, 1, 6, 6}));
    ExpectPixels(five, [](int x, int y) { return Rect{1, 1, 6, 6}.Contains({x, y}) ? 0x123456u : 0xFF000000u; });
}

TEST(StretchDib, BottomUpAndTopDownAreDrawnUpright)
{
    const auto pal = Ramp(16);
    auto value = [](int x, int y) { return static_cast<std::uint32_t>((x + 3 * y) % 16); };
    const auto bottomUp = PackedDib(5, 4, 4, pal, value);
    const auto topDown = PackedDib(5, 4, 4, pal, value, true);
    Surface a = Make(5, 4);
    Surface b = Make(5, 4);
    StretchDib(a, a.Bounds(), a.Bounds(), Parse(bottomUp), {0, 0, 5, 4}, Rop::SrcCopy);
    StretchDib(b, b.Bounds(), b.Bounds(), Parse(topDown), {0, 0, 5, 4}, Rop::SrcCopy);
    ExpectPixels(a, [&](int x, int y) { return pal[value(x, y)]; });
    ExpectSame(a, b);
}

TEST(StretchDib, EveryFormatGoesThroughItsPalette)
{
    std::mt19937 rng(5);
    for (int bits : {1, 4, 8, 24, 32}) {
        const bool indexed = bits <= 8;
        const int entries = indexed ? (1 << bits) : 0;
        const auto pal = Ramp(entries);
        std::vector<std::uint32_t> values(9 * 5);
        for (auto& v : values)
            v = indexed ? rng() % entries : rng() & 0xFFFFFF;
        const auto bytes = PackedDib(9, 5, bits, pal, [&](int x, int y) { return values[y * 9 + x]; });
        Surface s = Make(9, 5, 0xFFFFFFFF);
        StretchDib(s, s.Bounds(), s.Bounds(), Parse(bytes), {0, 0, 9, 5}, Rop::SrcCopy);
        SCOPED_TRACE(::testing::Message() << bits << "bpp");
        ExpectPixels(s, [&](int x, int y) { return indexed ? pal[values[y * 9 + x]] : values[y * 9 + x]; });
    }
}

TEST(StretchDib, ShortPaletteIndexDrawsBlack)
{
    const auto bytes = PackedDib(2, 1, 8, {0xFFFFFF}, [](int x, int) { return static_cast<std::uint32_t>(x * 7); });
    Surface s = Make(2, 1, 0x777777);
    StretchDib(s, s.Bounds(), s.Bounds(), Parse(bytes), {0, 0, 2, 1}, Rop::SrcCopy);
    EXPECT_EQ(RowOf(s, 0), (std::vector<Pixel>{0xFFFFFF, 0}));
}

TEST(StretchDib, OneBitMaskCombinesAsHalfTone)
{
    // White leaves the backdrop, black blackens it under AND; the reverse under OR.
    const auto mask = PackedDib(2, 1, 1, {0x000000, 0xFFFFFF}, [](int x, int) { return static_cast<std::uint32_t>(x); });
    Surface s = Make(4, 1, 0x5A5A5A);
    StretchDib(s, s.Bounds(), s.Bounds(), Parse(mask), {0, 0, 2, 1}, Rop::SrcAnd);
    EXPECT_EQ(RowOf(s, 0), (std::vector<Pixel>{0, 0, 0x5A5A5A, 0x5A5A5A}));
    s.Fill(0x5A5A5A);
    StretchDib(s, s.Bounds(), s.Bounds(), Parse(mask), {0, 0, 2, 1}, Rop::SrcPaint);
    EXPECT_EQ(RowOf(s, 0), (std::vector<Pixel>{0x5A5A5A, 0x5A5A5A, 0xFFFFFF, 0xFFFFFF}));
}

TEST(StretchDib, FillsTheWholeDestination)
{
    // A black-and-white picture can never produce the sentinel, so any
    // sentinel left over is a pixel the stretch missed.
    const Pixel sentinel = 0x00FF00;
    const auto bytes = PackedDib(432, 324, 1, {0x000000, 0xFFFFFF}, [](int x, int y) { return static_cast<std::uint32_t>((x ^ y) & 1); });
    const DibView dib = Parse(bytes);
    for (Size area : {Size{856, 599}, Size{100, 37}, Size{432, 324}, Size{1, 1}}) {
        Surface s = Make(area.width + 4, area.height + 4, sentinel);
        const Rect target{2, 2, 2 + area.width, 2 + area.height};
        EXPECT_EQ(StretchDib(s, s.Bounds(), target, dib, {0, 0, 432, 324}, Rop::SrcCopy), target);
        int missed = 0;
        for (int y = 0; y < s.Height(); ++y)
            for (int x = 0; x < s.Width(); ++x)
                missed += (s.At(x, y) == sentinel) != !target.Contains({x, y});
        EXPECT_EQ(missed, 0) << area.width << "x" << area.height;
        // The last source pixel reaches the bottom-right corner.
        EXPECT_EQ(s.At(target.right - 1, target.bottom - 1), DibPixel(dib, 431, 323));
    }
}

TEST(StretchDib, RefusesBadArguments)
{
    const auto bytes = PackedDib(4, 4, 24, {}, [](int, int) { return 0x445566u; });
    const DibView dib = Parse(bytes);
    Surface s = Make(8, 8, 1);
    const Rect whole{0, 0, 4, 4};
    EXPECT_TRUE(StretchDib(s, s.Bounds(), {0, 0, 8, 8}, dib, {0, 0, 5, 4}, Rop::SrcCopy).IsEmpty());
    EXPECT_TRUE(StretchDib(s, s.Bounds(), {0, 0, 8, 8}, dib, {-1, 0, 4, 4}, Rop::SrcCopy).IsEmpty());
    EXPECT_TRUE(StretchDib(s, s.Bounds(), {0, 0, 8, 8}, dib, {0, 0, 0, 4}, Rop::SrcCopy).IsEmpty());
    EXPECT_TRUE(StretchDib(s, s.Bounds(), {0, 0, 8, 8}, dib, {3, 0, 1, 4}, Rop::SrcCopy).IsEmpty());
    EXPECT_TRUE(StretchDib(s, s.Bounds(), {8, 0, 0, 8}, dib, whole, Rop::SrcCopy).IsEmpty());
    EXPECT_TRUE(StretchDib(s, s.Bounds(), {0, 0, 8, 0}, dib, whole, Rop::SrcCopy).IsEmpty());
    EXPECT_TRUE(StretchDib(s, Rect{}, {0, 0, 8, 8}, dib, whole, Rop::SrcCopy).IsEmpty());
    EXPECT_TRUE(StretchDib(s, s.Bounds(), {0, 0, 8, 8}, dib, whole, static_cast<Rop>(0)).IsEmpty());
    EXPECT_TRUE(StretchDib(s, s.Bounds(), {0, 0, 8, 8}, DibView{}, whole, Rop::SrcCopy).IsEmpty());
    DibView cut = dib;
    cut.bits = cut.bits.first(cut.bits.size() - 1);
    EXPECT_TRUE(StretchDib(s, s.Bounds(), {0, 0, 8, 8}, cut, whole, Rop::SrcCopy).IsEmpty());
    EXPECT_EQ(s.At(3, 3), 1u);
    // A destination spanning the whole int range is legal and clipped.
    EXPECT_EQ(StretchDib(s, s.Bounds(), {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, dib, whole, Rop::SrcCopy), s.Bounds());
    EXPECT_EQ(s.At(3, 3), 0x445566u);
}

TEST(StretchDib, MatchesModelOnRandomGeometry)
{
    std::mt19937 rng(6);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const int formats[] = {1, 4, 8, 24, 32};
    for (int trial = 0; trial < 1500; ++trial) {
        const int bits = formats[pick(0, 4)];
        const int w = pick(1, 12), h = pick(1, 12);
        const int entries = bits <= 8 ? pick(1, 1 << bits) : 0;  // short palettes included
        const auto pal = Ramp(entries);
        std::vector<std::uint32_t> values(static_cast<std::size_t>(w * h));
        for (auto& v : values)
            v = bits <= 8 ? static_cast<std::uint32_t>(rng() % (1u << bits)) : (rng() & 0xFFFFFF);
        const auto bytes = PackedDib(w, h, bits, pal, [&](int x, int y) { return values[y * w + x]; }, pick(0, 1) == 1);
        const DibView dib = Parse(bytes);

        Surface dst = Make(pick(1, 20), pick(1, 20));
        FillRandom(dst, rng);
        const int sl = pick(-1, w - 1), st = pick(-1, h - 1);
        const Rect src{sl, st, pick(sl, w + 1), pick(st, h + 1)};
        const int dl = pick(-15, 20), dt = pick(-15, 20);
        const Rect dr{dl, dt, dl + pick(-2, 40), dt + pick(-2, 40)};
        const Rect clip = pick(0, 3) == 0 ? dst.Bounds() : Rect{pick(-5, 25), pick(-5, 25), pick(-5, 25), pick(-5, 25)};
        const Rop rop = kAllRops[pick(0, 2)];

        Surface expected = dst;
        const Rect want = ReferenceStretch(expected, clip, dr, dib, src, rop);
        ASSERT_EQ(StretchDib(dst, clip, dr, dib, src, rop), want) << "trial " << trial;
        ASSERT_NO_FATAL_FAILURE(ExpectSame(dst, expected)) << "trial " << trial;
    }
}

// ---- Indexed surfaces ----

// A 32-bit surface showing what s shows, read pixel by pixel: the yardstick
// an indexed surface is held to.
Surface RgbTwin(const Surface& s)
{
    Surface twin = Make(s.Width(), s.Height());
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            twin.Set(x, y, s.At(x, y));
    return twin;
}

std::vector<Pixel> RandomPalette(std::size_t entries, std::mt19937& rng)
{
    std::vector<Pixel> p(entries);
    for (auto& c : p)
        c = rng() & 0xFFFFFF;
    return p;
}

// An indexed surface with random indices, every byte value possible, so
// indices past a short palette occur too.
Surface RandomIndexed(int w, int h, const std::vector<Pixel>& palette, std::mt19937& rng)
{
    Surface s = Make(w, h);
    EXPECT_TRUE(s.ResetIndexed(palette));
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = s.IndexRow(y);
        for (int x = 0; x < w; ++x)
            row[x] = static_cast<std::uint8_t>(rng());
    }
    return s;
}

// The kinds of palette the program meets and the edge cases around them.
std::vector<std::vector<Pixel>> PaletteKinds(std::mt19937& rng)
{
    return {
        {},                                     // every index black
        {0xFFFFFF},                             // one entry
        {0x000000, 0xFFFFFF},                   // a one-bit mask
        {0xFFFFFF, 0x000000},                   // the reverse
        RandomPalette(2, rng),                  // any two colours
        RandomPalette(16, rng),                 // a four-bit picture
        RandomPalette(256, rng),                // full
        RandomPalette(300, rng),                // too long: the first 256 count
    };
}

TEST(IndexedSurface, ReadsThroughItsPaletteWithoutChangingForm)
{
    Surface s = Make(256, 2, 0x777777);
    EXPECT_FALSE(s.IsIndexed());
    EXPECT_EQ(s.IndexRow(0), nullptr);
    EXPECT_EQ(s.GetPalette(), nullptr);
    const std::vector<Pixel> palette{0x112233, 0xFFFFFF, 0xA0B0C0};
    ASSERT_TRUE(s.ResetIndexed(palette));
    EXPECT_TRUE(s.IsIndexed());
    EXPECT_EQ(s.At(5, 1), palette[0]);  // every index starts at 0
    for (int x = 0; x < 256; ++x)
        s.IndexRow(1)[x] = static_cast<std::uint8_t>(x);
    for (int x = 0; x < 256; ++x)
        ASSERT_EQ(s.At(x, 1), x < 3 ? palette[static_cast<std::size_t>(x)] : 0u) << x;
    EXPECT_EQ(s.At(-1, 0), 0u);
    EXPECT_EQ(s.At(0, 2), 0u);
    EXPECT_EQ(s.IndexRow(2), nullptr);
    EXPECT_EQ(s.IndexRow(-1), nullptr);
    EXPECT_TRUE(s.IsIndexed());

    // Past 256 entries nothing counts; index 255 reaches the last that does.
    std::mt19937 rng(20);
    const auto longPalette = RandomPalette(300, rng);
    ASSERT_TRUE(s.ResetIndexed(longPalette));
    s.IndexRow(0)[0] = 255;
    EXPECT_EQ(s.At(0, 0), longPalette[255]);
    EXPECT_EQ(s.GetPalette()->EntryCount(), 256u);
}

TEST(IndexedSurface, RowSetFillAndConstRowTurnItIntoRgb)
{
    std::mt19937 rng(21);
    for (const auto& palette : PaletteKinds(rng)) {
        const Surface indexed = RandomIndexed(41, 7, palette, rng);
        const Surface expected = RgbTwin(indexed);

        Surface byRow = indexed;
        Pixel* row = byRow.Row(3);
        ASSERT_NE(row, nullptr);
        EXPECT_FALSE(byRow.IsIndexed());
        EXPECT_EQ(byRow.IndexRow(3), nullptr);
        EXPECT_EQ(std::vector<Pixel>(row, row + 41), RowOf(expected, 3));
        ExpectSame(byRow, expected);

        Surface byConstRow = indexed;
        const Surface& view = byConstRow;
        EXPECT_EQ(std::vector<Pixel>(view.Row(6), view.Row(6) + 41), RowOf(expected, 6));
        EXPECT_FALSE(byConstRow.IsIndexed());
        ExpectSame(byConstRow, expected);

        Surface bySet = indexed;
        Surface expectedSet = expected;
        bySet.Set(40, 6, 0x010203);
        expectedSet.Set(40, 6, 0x010203);
        EXPECT_FALSE(bySet.IsIndexed());
        ExpectSame(bySet, expectedSet);

        Surface byFill = indexed;
        byFill.Fill(0xFEDCBA);
        EXPECT_FALSE(byFill.IsIndexed());
        ExpectSame(byFill, Make(41, 7, 0xFEDCBA));

        // Writes and rows outside the surface are no reason to convert.
        Surface outside = indexed;
        outside.Set(41, 0, 1);
        EXPECT_EQ(outside.Row(7), nullptr);
        EXPECT_TRUE(outside.IsIndexed());
    }
}

TEST(IndexedSurface, CopiesKeepTheFormAndStayIndependent)
{
    std::mt19937 rng(22);
    const Surface original = RandomIndexed(19, 5, RandomPalette(16, rng), rng);
    const Surface expected = RgbTwin(original);

    Surface copy = original;
    EXPECT_TRUE(copy.IsIndexed());
    ExpectSame(copy, expected);
    copy.Set(0, 0, 0xABCDEF);  // the copy turns 32-bit; the original does not
    EXPECT_TRUE(original.IsIndexed());
    ExpectSame(original, expected);

    Surface assigned = Make(3, 3, 5);
    assigned = original;
    EXPECT_TRUE(assigned.IsIndexed());
    ExpectSame(assigned, expected);
    assigned.IndexRow(4)[18] = 0;
    EXPECT_EQ(original.At(18, 4), expected.At(18, 4));

    Surface rgb = Make(4, 4, 9);
    rgb = copy;  // a 32-bit copy stays 32-bit
    EXPECT_FALSE(rgb.IsIndexed());
    EXPECT_EQ(rgb.At(0, 0), 0xABCDEFu);

    Surface moved = std::move(assigned);
    EXPECT_TRUE(moved.IsIndexed());
    EXPECT_EQ(assigned.GetSize(), (Size{0, 0}));  // NOLINT(bugprone-use-after-move): the moved-from state is defined
    EXPECT_EQ(assigned.Row(0), nullptr);
}

TEST(IndexedSurface, ZeroFilledSurfacesReadZero)
{
    // Zero surfaces are handed out untouched; they must still read as zero,
    // also once drawn on in part and after a copy.
    Surface s = Make(300, 200);
    EXPECT_EQ(s.At(299, 199), 0u);
    s.Set(150, 100, 0x123456);
    const Surface copy = s;
    for (int y = 0; y < 200; y += 7)
        for (int x = 0; x < 300; x += 3)
            ASSERT_EQ(copy.At(x, y), (x == 150 && y == 100) ? 0x123456u : 0u);
    auto empty = Surface::Create(Size{0, 5});
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->ResetIndexed({}));
    EXPECT_EQ(empty->At(0, 0), 0u);
}

TEST(IndexedSurface, BitBltFromIndexedMatchesRgbSourceBitForBit)
{
    std::mt19937 rng(23);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const auto palettes = PaletteKinds(rng);
    for (int trial = 0; trial < 1500; ++trial) {
        const auto& palette = palettes[static_cast<std::size_t>(trial) % palettes.size()];
        // Wide enough for the vector loops' bodies and tails.
        const Surface src = RandomIndexed(pick(1, 70), pick(1, 12), palette, rng);
        const Surface rgbSrc = RgbTwin(src);
        Surface dst = Make(pick(1, 70), pick(1, 12));
        FillRandom(dst, rng);
        Surface expected = dst;
        const Point dstPos{pick(-30, 70), pick(-10, 12)};
        const Point srcPos{pick(-30, 70), pick(-10, 12)};
        const Size size{pick(-3, 90), pick(-3, 20)};
        const Rect clip = pick(0, 3) == 0 ? dst.Bounds() : Rect{pick(-5, 75), pick(-5, 15), pick(-5, 75), pick(-5, 15)};
        const Rop rop = kAllRops[pick(0, 2)];

        const Rect want = BitBlt(expected, clip, dstPos, size, rgbSrc, srcPos, rop);
        ASSERT_EQ(BitBlt(dst, clip, dstPos, size, src, srcPos, rop), want) << "trial " << trial;
        EXPECT_TRUE(src.IsIndexed());
        ASSERT_NO_FATAL_FAILURE(ExpectSame(dst, expected)) << "trial " << trial;
    }
}

TEST(IndexedSurface, DrawingOntoIndexedMatchesModel)
{
    // An indexed destination turns 32-bit and then takes the drawing as any
    // surface would, also when it is its own source.
    std::mt19937 rng(24);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const auto palettes = PaletteKinds(rng);
    for (int trial = 0; trial < 1500; ++trial) {
        Surface dst = RandomIndexed(pick(1, 40), pick(1, 12), palettes[static_cast<std::size_t>(pick(0, 7))], rng);
        Surface other = pick(0, 1) ? RandomIndexed(pick(1, 40), pick(1, 12), palettes[static_cast<std::size_t>(pick(0, 7))], rng)
                                   : Make(pick(1, 40), pick(1, 12));
        if (!other.IsIndexed())
            FillRandom(other, rng);
        const bool same = pick(0, 2) == 0;
        const Surface& src = same ? dst : other;
        const Surface snapshot = RgbTwin(src);
        Surface expected = RgbTwin(dst);
        const Point dstPos{pick(-20, 40), pick(-10, 12)};
        const Point srcPos{pick(-20, 40), pick(-10, 12)};
        const Size size{pick(-3, 50), pick(-3, 20)};
        const Rect clip = pick(0, 3) == 0 ? dst.Bounds() : Rect{pick(-5, 45), pick(-5, 15), pick(-5, 45), pick(-5, 15)};
        const Rop rop = kAllRops[pick(0, 2)];

        const Rect want = ReferenceBlt(expected, clip, dstPos, size, snapshot, srcPos, rop);
        const Rect got = BitBlt(dst, clip, dstPos, size, src, srcPos, rop);
        ASSERT_EQ(got, want) << "trial " << trial;
        if (!got.IsEmpty()) {
            EXPECT_FALSE(dst.IsIndexed());
        }
        ASSERT_NO_FATAL_FAILURE(ExpectSame(dst, expected)) << "trial " << trial;
    }
}

TEST(IndexedSurface, StretchDibKeepsIndicesOnlyForAWholeSurfaceCopy)
{
    std::mt19937 rng(25);
    const auto pal = RandomPalette(16, rng);
    auto value = [](int x, int y) { return static_cast<std::uint32_t>((x * 5 + y * 3) % 16); };
    const auto four = PackedDib(7, 5, 4, pal, value);
    const auto rgb = PackedDib(7, 5, 24, {}, [&](int x, int y) { return pal[value(x, y)]; });
    struct Case {
        const std::vector<std::uint8_t>* picture;
        Rect dstRect;
        Rect clip;
        Rop rop;
        bool indexed;
    };
    const Rect bounds{0, 0, 13, 9};
    const Case cases[] = {
        {&four, bounds, bounds, Rop::SrcCopy, true},
        {&four, {-3, -2, 20, 11}, bounds, Rop::SrcCopy, true},            // reaching past every edge
        {&four, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, bounds, Rop::SrcCopy, true},
        {&four, bounds, {-5, -5, 50, 50}, Rop::SrcCopy, true},
        {&four, {0, 0, 13, 8}, bounds, Rop::SrcCopy, false},              // one row short
        {&four, bounds, {1, 0, 13, 9}, Rop::SrcCopy, false},              // clipped
        {&four, bounds, bounds, Rop::SrcAnd, false},
        {&four, bounds, bounds, Rop::SrcPaint, false},
        {&rgb, bounds, bounds, Rop::SrcCopy, false},                      // no palette to keep
    };
    for (const Case& c : cases) {
        for (bool startIndexed : {false, true}) {
            const DibView dib = Parse(*c.picture);
            Surface dst = startIndexed ? RandomIndexed(13, 9, RandomPalette(5, rng), rng) : Make(13, 9);
            if (!startIndexed)
                FillRandom(dst, rng);
            Surface expected = RgbTwin(dst);
            const Rect want = ReferenceStretch(expected, c.clip, c.dstRect, dib, {0, 0, 7, 5}, c.rop);
            EXPECT_EQ(StretchDib(dst, c.clip, c.dstRect, dib, {0, 0, 7, 5}, c.rop), want);
            EXPECT_EQ(dst.IsIndexed(), c.indexed) << c.dstRect.left << "," << c.dstRect.right << " rop " << std::hex
                                                  << static_cast<std::uint32_t>(c.rop);
            ExpectSame(dst, expected);
        }
    }
}

TEST(IndexedSurface, StretchDibMatchesModelOnRandomGeometry)
{
    // Palette pictures of every depth, half the time over the whole surface,
    // onto surfaces of either form; the result then serves as a blit source.
    std::mt19937 rng(26);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const int formats[] = {1, 4, 8};
    for (int trial = 0; trial < 1500; ++trial) {
        const int bits = formats[pick(0, 2)];
        const int w = pick(1, 40), h = pick(1, 8);
        const auto pal = RandomPalette(static_cast<std::size_t>(pick(1, 1 << bits)), rng);  // short ones too
        std::vector<std::uint32_t> values(static_cast<std::size_t>(w * h));
        for (auto& v : values)
            v = static_cast<std::uint32_t>(rng() % (1u << bits));
        const auto bytes = PackedDib(w, h, bits, pal, [&](int x, int y) { return values[static_cast<std::size_t>(y * w + x)]; }, pick(0, 1) == 1);
        const DibView dib = Parse(bytes);

        const Size size{pick(1, 60), pick(1, 12)};
        Surface dst = pick(0, 1) ? RandomIndexed(size.width, size.height, RandomPalette(3, rng), rng) : Make(size.width, size.height);
        if (!dst.IsIndexed())
            FillRandom(dst, rng);
        const int sl = pick(0, w - 1), st = pick(0, h - 1);
        const Rect src{sl, st, pick(sl + 1, w), pick(st + 1, h)};
        const bool whole = pick(0, 1) == 1;
        const Rect dr = whole ? Rect{pick(-10, 0), pick(-10, 0), dst.Width() + pick(0, 10), dst.Height() + pick(0, 10)}
                              : Rect{pick(-10, 30), pick(-10, 10), pick(-10, 70), pick(-10, 20)};
        const Rect clip = pick(0, 3) ? dst.Bounds() : Rect{pick(-5, 5), pick(-5, 5), pick(50, 65), pick(5, 15)};
        const Rop rop = pick(0, 2) ? Rop::SrcCopy : kAllRops[pick(1, 2)];

        Surface expected = RgbTwin(dst);
        const Rect want = ReferenceStretch(expected, clip, dr, dib, src, rop);
        ASSERT_EQ(StretchDib(dst, clip, dr, dib, src, rop), want) << "trial " << trial;
        const bool keepsIndices = rop == Rop::SrcCopy && want == dst.Bounds();
        EXPECT_EQ(dst.IsIndexed(), keepsIndices || (dst.IsIndexed() && want.IsEmpty())) << "trial " << trial;
        ExpectSame(dst, expected);

        // Blitting from the result gives what blitting from its pixels gives.
        Surface onto = Make(dst.Width() + 3, dst.Height() + 2);
        FillRandom(onto, rng);
        Surface ontoExpected = onto;
        const Point at{pick(-3, 3), pick(-2, 2)};
        const Rop blitRop = kAllRops[pick(0, 2)];
        BitBlt(ontoExpected, ontoExpected.Bounds(), at, dst.GetSize(), expected, {0, 0}, blitRop);
        BitBlt(onto, onto.Bounds(), at, dst.GetSize(), dst, {0, 0}, blitRop);
        ASSERT_NO_FATAL_FAILURE(ExpectSame(onto, ontoExpected)) << "trial " << trial;
    }
}

// ---- Palette lookups ----

// Palettes of every size class the lookups treat apart, with top bytes set
// so that no byte of a colour can go astray unnoticed.
std::vector<std::vector<Pixel>> LookupPalettes(std::mt19937& rng)
{
    std::vector<std::vector<Pixel>> palettes;
    for (std::size_t n : {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{15},
                          std::size_t{16}, std::size_t{17}, std::size_t{256}}) {
        std::vector<Pixel> colours(n);
        for (Pixel& c : colours)
            c = rng();
        palettes.push_back(std::move(colours));
    }
    return palettes;
}

TEST(PaletteLookup, ExpandAndCombineMatchTheTableOnEveryLengthAndIndex)
{
    std::mt19937 rng(4242);
    for (const auto& colours : LookupPalettes(rng)) {
        const Palette palette(colours);
        auto colourOf = [&](std::uint8_t i) { return i < colours.size() ? colours[i] : Pixel{0}; };
        // Lengths around the 32-pixel runs, offsets off any alignment.
        for (std::size_t count : {0u, 1u, 31u, 32u, 33u, 64u, 95u, 384u}) {
            std::vector<std::uint8_t> indices(count + 3);
            for (auto& i : indices)
                i = static_cast<std::uint8_t>(rng() % 3 == 0 ? rng() : rng() % 18);
            std::vector<Pixel> before(count + 1);
            for (Pixel& p : before)
                p = rng();
            const std::uint8_t* from = indices.data() + 3;
            std::vector<Pixel> expanded = before, anded = before, ored = before, plain = before;
            palette.Expand(from, expanded.data() + 1, count);
            palette.AndInto(from, anded.data() + 1, count);
            palette.OrInto(from, ored.data() + 1, count);
            palette.ExpandPlain(from, plain.data() + 1, count);
            // Nothing outside the range is touched.
            EXPECT_EQ(expanded[0], before[0]);
            EXPECT_EQ(anded[0], before[0]);
            EXPECT_EQ(ored[0], before[0]);
            for (std::size_t i = 0; i < count; ++i) {
                const Pixel c = colourOf(from[i]);
                ASSERT_EQ(expanded[i + 1], c) << colours.size() << " entries, count " << count << ", at " << i;
                ASSERT_EQ(plain[i + 1], c) << colours.size() << " entries, count " << count << ", at " << i;
                ASSERT_EQ(anded[i + 1], before[i + 1] & c) << colours.size() << " entries, count " << count << ", at " << i;
                ASSERT_EQ(ored[i + 1], before[i + 1] | c) << colours.size() << " entries, count " << count << ", at " << i;
            }
        }
    }
}

TEST(PaletteLookup, BlitsFromShortPalettesMatchRgbSourcesForEveryRop)
{
    std::mt19937 rng(77);
    for (std::size_t entries : {2u, 16u}) {
        std::vector<Pixel> colours(entries);
        for (Pixel& c : colours)
            c = rng() & 0x00FFFFFF;
        Surface indexed = Make(100, 7);
        ASSERT_TRUE(indexed.ResetIndexed(colours));
        for (int y = 0; y < indexed.Height(); ++y)
            for (int x = 0; x < indexed.Width(); ++x)
                indexed.IndexRow(y)[x] = static_cast<std::uint8_t>(rng() % (entries + 2));
        const Surface rgb = RgbTwin(indexed);
        for (Rop rop : kAllRops) {
            Surface a = Make(90, 9), b;
            FillRandom(a, rng);
            b = a;
            BitBlt(a, a.Bounds(), Point{3, 1}, Size{80, 6}, indexed, Point{13, 1}, rop);
            BitBlt(b, b.Bounds(), Point{3, 1}, Size{80, 6}, rgb, Point{13, 1}, rop);
            SCOPED_TRACE(::testing::Message() << entries << " entries, rop " << static_cast<int>(rop));
            ExpectSame(a, b);
            EXPECT_TRUE(indexed.IsIndexed());
        }
    }
}

// ---- Surfaces over external memory ----

TEST(ExternalSurface, DrawsIntoTheGivenRowsAndLeavesTheGapsAlone)
{
    constexpr Pixel kGap = 0xDEADBEEF;
    const std::size_t stride = 7;
    auto memory = std::shared_ptr<Pixel>(new Pixel[stride * 4], std::default_delete<Pixel[]>());
    std::fill_n(memory.get(), stride * 4, kGap);
    auto s = Surface::Over(Size{5, 4}, stride, memory);
    ASSERT_TRUE(s);
    EXPECT_TRUE(s->IsExternal());
    EXPECT_EQ(s->Stride(), stride);
    EXPECT_EQ(s->Row(2), memory.get() + 2 * stride);

    s->Fill(0x112233);
    s->Set(4, 3, 0x445566);
    Surface src = Make(3, 2, 0x0F0F0F);
    BitBlt(*s, s->Bounds(), Point{1, 1}, Size{3, 2}, src, Point{}, Rop::SrcPaint);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 5; ++x) {
            Pixel expected = x == 4 && y == 3 ? 0x445566 : (x >= 1 && x < 4 && y >= 1 && y < 3) ? 0x1F2F3F : 0x112233;
            EXPECT_EQ(memory.get()[y * stride + static_cast<std::size_t>(x)], expected) << x << "," << y;
            EXPECT_EQ(s->At(x, y), expected);
        }
        for (std::size_t x = 5; x < stride; ++x)
            EXPECT_EQ(memory.get()[static_cast<std::size_t>(y) * stride + x], kGap);
    }
}

TEST(ExternalSurface, CopiesOwnTheirPixelsAndTheMemoryLivesWithTheSurface)
{
    auto memory = std::shared_ptr<Pixel>(new Pixel[12](), std::default_delete<Pixel[]>());
    std::weak_ptr<Pixel> watch = memory;
    auto s = Surface::Over(Size{3, 3}, 4, std::move(memory));
    ASSERT_TRUE(s);
    s->Set(2, 2, 9);

    Surface copy = *s;
    EXPECT_FALSE(copy.IsExternal());
    EXPECT_EQ(copy.Stride(), 3u);
    EXPECT_EQ(copy.At(2, 2), 9u);
    copy.Set(0, 0, 5);
    EXPECT_EQ(s->At(0, 0), 0u);

    // Stays in its memory: no indexed form.
    const Pixel palette[] = {1, 2};
    EXPECT_FALSE(s->ResetIndexed(palette));
    EXPECT_EQ(s->At(2, 2), 9u);

    Surface moved = std::move(*s);
    EXPECT_TRUE(moved.IsExternal());
    EXPECT_EQ(s->Width(), 0);
    EXPECT_FALSE(watch.expired());
    moved = Surface{};
    EXPECT_TRUE(watch.expired());
}

TEST(ExternalSurface, RefusesWhatItCannotDescribe)
{
    auto memory = std::shared_ptr<Pixel>(new Pixel[16](), std::default_delete<Pixel[]>());
    EXPECT_FALSE(Surface::Over(Size{4, 4}, 3, memory));               // stride below the width
    EXPECT_FALSE(Surface::Over(Size{-1, 4}, 4, memory));              // negative side
    EXPECT_FALSE(Surface::Over(Size{Surface::kMaxSide + 1, 1}, Surface::kMaxSide + 1, memory));
    EXPECT_FALSE(Surface::Over(Size{4, 4}, 4, nullptr));              // no memory
    auto empty = Surface::Over(Size{0, 0}, 0, nullptr);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->Row(0), nullptr);
}

}  // namespace
}  // namespace vyla::raster

// Regions: every operation on random overlapping rectangles gives, pixel for
// pixel, the set the operation names, as disjoint rectangles in bands sorted
// top to bottom and left to right.
TEST(Region, CombinesPixelForPixelIntoSortedBands)
{
    using vyla::Rect;
    using vyla::Region;
    struct Case {
        Region::Op op;
        bool (*keep)(bool, bool);
    };
    const Case cases[] = {
        {Region::Op::And, [](bool a, bool b) { return a && b; }},
        {Region::Op::Or, [](bool a, bool b) { return a || b; }},
        {Region::Op::Xor, [](bool a, bool b) { return a != b; }},
        {Region::Op::Diff, [](bool a, bool b) { return a && !b; }},
    };
    std::mt19937 random(5);
    auto rects = [&](int n) {
        std::vector<Rect> out;
        for (int i = 0; i < n; ++i) {
            int x = static_cast<int>(random() % 30), y = static_cast<int>(random() % 30);
            out.push_back(Rect::FromXYWH(x, y, random() % 12, random() % 12));  // some empty
        }
        return out;
    };
    for (int round = 0; round < 20; ++round) {
        const auto ra = rects(8), rb = rects(8);
        const Region a = Region::FromRects(ra), b = Region::FromRects(rb);
        for (const Case& c : cases) {
            const Region r = Region::Combine(a, b, c.op);
            auto spans = r.Rects();
            for (std::size_t i = 1; i < spans.size(); ++i) {
                const Rect &p = spans[i - 1], &q = spans[i];
                ASSERT_TRUE(p.top < q.top || (p.top == q.top && p.bottom == q.bottom && p.right < q.left)) << "round " << round;
                ASSERT_TRUE(p.top == q.top || p.bottom <= q.top);
            }
            for (int y = -1; y < 45; ++y)
                for (int x = -1; x < 45; ++x) {
                    auto in = [&](const std::vector<Rect>& list) {
                        return std::any_of(list.begin(), list.end(), [&](const Rect& rect) { return rect.Contains({x, y}); });
                    };
                    ASSERT_EQ(r.Contains({x, y}), c.keep(in(ra), in(rb))) << "round " << round << " at " << x << ',' << y;
                }
        }
    }
}
