#include "common/dib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vyla {
namespace {

using Bytes = std::vector<std::uint8_t>;

void PutU16(Bytes& b, std::size_t at, std::uint16_t v)
{
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void PutU32(Bytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Raw header fields, so that tests can break any one of them.
struct Header {
    std::uint32_t size = 40;
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 1;
    std::uint32_t compression = 0;
    std::uint32_t clrUsed = 0;
    std::vector<std::uint32_t> palette{};  // 0x00RRGGBB, written as blue, green, red, 0xAA
    Bytes bits{};                          // appended as is; empty means "zeros of the right size"
    bool noBits = false;                   // write header and palette only
};

std::size_t StrideOf(const Header& h)
{
    return ((static_cast<std::size_t>(h.width) * h.bitCount + 31) / 32) * 4;
}

Bytes Pack(const Header& h)
{
    // Odd header sizes still get a 40..124-byte body so every field has a place.
    Bytes b(std::clamp<std::uint32_t>(h.size, 40, 124), 0);
    PutU32(b, 0, h.size);
    PutU32(b, 4, static_cast<std::uint32_t>(h.width));
    PutU32(b, 8, static_cast<std::uint32_t>(h.height));
    PutU16(b, 12, h.planes);
    PutU16(b, 14, h.bitCount);
    PutU32(b, 16, h.compression);
    PutU32(b, 32, h.clrUsed);
    for (std::uint32_t c : h.palette) {
        // The reserved byte is deliberately non-zero: it must be dropped.
        b.insert(b.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8), static_cast<std::uint8_t>(c >> 16), 0xAA});
    }
    if (h.noBits)
        return b;
    if (!h.bits.empty())
        b.insert(b.end(), h.bits.begin(), h.bits.end());
    else if (h.width > 0 && h.height != 0 && h.height != INT_MIN)
        b.resize(b.size() + StrideOf(h) * static_cast<std::size_t>(std::abs(h.height)), 0);
    return b;
}

Bytes WithFileHeader(const Bytes& packed, std::uint32_t bitsOffset)
{
    Bytes f(14, 0);
    f[0] = 'B';
    f[1] = 'M';
    PutU32(f, 2, static_cast<std::uint32_t>(14 + packed.size()));
    PutU32(f, 10, bitsOffset);
    f.insert(f.end(), packed.begin(), packed.end());
    return f;
}

const std::vector<std::uint32_t> kBlackWhite{0x000000, 0xFFFFFF};

// A header packed and parsed; the view points into bytes.
struct Parsed {
    explicit Parsed(const Header& h) : bytes(Pack(h)), dib(ParsePackedDib(bytes)) {}
    Bytes bytes;
    std::optional<DibView> dib;
};

// A 10 x 3 one-bit picture, rows stored bottom-up: stored row 0 (the picture's
// bottom) is all white, stored row 2 (the top) has only its leftmost pixel set.
Header OneBitPicture()
{
    return {.width = 10, .height = 3, .palette = kBlackWhite,
            .bits = {0xFF, 0xC0, 0, 0,    // bottom: ten white pixels
                     0x55, 0x40, 0, 0,    // middle: alternate, starting black
                     0x80, 0x00, 0, 0}};  // top: one white pixel at the left
}

TEST(DibParse, OneBitBottomUpFieldsAndPixels)
{
    const auto [data, dib] = Parsed(OneBitPicture());
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->info.width, 10);
    EXPECT_EQ(dib->info.height, 3);
    EXPECT_FALSE(dib->info.topDown);
    EXPECT_EQ(dib->info.bitCount, 1);
    EXPECT_EQ(dib->info.stride, 4u);
    EXPECT_EQ(dib->info.imageSize, 12u);
    EXPECT_EQ(dib->info.infoSize, 48u);
    EXPECT_EQ(dib->info.palette, kBlackWhite);
    EXPECT_EQ(dib->bits.data(), data.data() + 48);
    EXPECT_EQ(dib->bits.size(), 12u);

    // Top row first.
    EXPECT_EQ(DibPixel(*dib, 0, 0), 0xFFFFFFu);
    for (int x = 1; x < 10; ++x)
        EXPECT_EQ(DibPixel(*dib, x, 0), 0u) << x;
    for (int x = 0; x < 10; ++x) {
        EXPECT_EQ(DibPixel(*dib, x, 1), x % 2 ? 0xFFFFFFu : 0u) << x;
        EXPECT_EQ(DibPixel(*dib, x, 2), 0xFFFFFFu) << x;
    }
}

TEST(DibParse, TopDownReadsRowsInStoredOrder)
{
    Header h = OneBitPicture();
    h.height = -3;
    const auto [data, dib] = Parsed(h);
    ASSERT_TRUE(dib);
    EXPECT_TRUE(dib->info.topDown);
    EXPECT_EQ(dib->info.height, 3);
    EXPECT_EQ(DibPixel(*dib, 5, 0), 0xFFFFFFu);  // the stored first row is now the top
    EXPECT_EQ(DibPixel(*dib, 5, 2), 0u);
    EXPECT_EQ(DibPixel(*dib, 0, 2), 0xFFFFFFu);
}

TEST(DibParse, FourAndEightBitWithShortPalettesReadBlackBeyondIt)
{
    const auto [fourData, f] =
        Parsed({.width = 3, .bitCount = 4, .clrUsed = 2, .palette = {0x112233, 0x445566}, .bits = {0x01, 0xF0, 0, 0}});
    ASSERT_TRUE(f);
    EXPECT_EQ(f->info.palette.size(), 2u);
    EXPECT_EQ(f->info.infoSize, 48u);
    EXPECT_EQ(DibPixel(*f, 0, 0), 0x112233u);
    EXPECT_EQ(DibPixel(*f, 1, 0), 0x445566u);
    EXPECT_EQ(DibPixel(*f, 2, 0), 0u);  // index 15, no such entry

    const auto [eightData, e] = Parsed(
        {.width = 3, .bitCount = 8, .clrUsed = 3, .palette = {0x0000FF, 0x00FF00, 0xFF0000}, .bits = {2, 0, 200, 0}});
    ASSERT_TRUE(e);
    EXPECT_EQ(DibPixel(*e, 0, 0), 0xFF0000u);
    EXPECT_EQ(DibPixel(*e, 1, 0), 0x0000FFu);
    EXPECT_EQ(DibPixel(*e, 2, 0), 0u);
}

TEST(DibParse, FullPaletteWhenColoursUsedIsZero)
{
    Header h{.bitCount = 8, .palette = std::vector<std::uint32_t>(256, 0), .bits = {255, 0, 0, 0}};
    h.palette[255] = 0xABCDEF;
    const auto [data, dib] = Parsed(h);
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->info.palette.size(), 256u);
    EXPECT_EQ(dib->info.infoSize, 40u + 1024u);
    EXPECT_EQ(DibPixel(*dib, 0, 0), 0xABCDEFu);
}

TEST(DibParse, TrueColourRowsArePaddedAndTopByteIgnored)
{
    // stride 8: six bytes of pixels and two of padding per row; bottom row first.
    const auto [d24, p24] = Parsed(
        {.width = 2, .height = 2, .bitCount = 24, .bits = {1, 2, 3, 4, 5, 6, 0xEE, 0xEE, 7, 8, 9, 10, 11, 12, 0xEE, 0xEE}});
    ASSERT_TRUE(p24);
    EXPECT_EQ(p24->info.stride, 8u);
    EXPECT_TRUE(p24->info.palette.empty());
    EXPECT_EQ(DibPixel(*p24, 0, 0), 0x090807u);
    EXPECT_EQ(DibPixel(*p24, 1, 0), 0x0C0B0Au);
    EXPECT_EQ(DibPixel(*p24, 0, 1), 0x030201u);
    EXPECT_EQ(DibPixel(*p24, 1, 1), 0x060504u);

    const auto [d32, p32] = Parsed({.bitCount = 32, .bits = {0x33, 0x22, 0x11, 0xFF}});
    ASSERT_TRUE(p32);
    EXPECT_EQ(DibPixel(*p32, 0, 0), 0x112233u);
}

TEST(DibParse, TrueColourSkipsColourTable)
{
    const auto [data, dib] =
        Parsed({.bitCount = 24, .clrUsed = 2, .palette = {0x010101, 0x020202}, .bits = {0x30, 0x20, 0x10, 0}});
    ASSERT_TRUE(dib);
    EXPECT_TRUE(dib->info.palette.empty());
    EXPECT_EQ(dib->info.infoSize, 48u);
    EXPECT_EQ(DibPixel(*dib, 0, 0), 0x102030u);
}

TEST(DibParse, LaterHeaderVersionsPutPaletteAfterThem)
{
    for (std::uint32_t size : {108u, 124u}) {
        Header h = OneBitPicture();
        h.size = size;
        const auto [data, dib] = Parsed(h);
        ASSERT_TRUE(dib) << size;
        EXPECT_EQ(dib->info.infoSize, size + 8);
        EXPECT_EQ(dib->info.palette, kBlackWhite);
        EXPECT_EQ(DibPixel(*dib, 0, 0), 0xFFFFFFu);
    }
}

TEST(DibParse, PixelOutsidePictureIsBlack)
{
    const auto [data, dib] = Parsed(OneBitPicture());
    ASSERT_TRUE(dib);
    EXPECT_EQ(DibPixel(*dib, -1, 2), 0u);
    EXPECT_EQ(DibPixel(*dib, 10, 2), 0u);
    EXPECT_EQ(DibPixel(*dib, 0, -1), 0u);
    EXPECT_EQ(DibPixel(*dib, 0, 3), 0u);
    EXPECT_EQ(DibPixel(DibView{}, 0, 0), 0u);
    EXPECT_EQ(DibRow(DibView{}, 0), nullptr);
}

TEST(DibParse, SizeLimitsAtTheEdge)
{
    Header h{.width = 32768, .height = -2048, .bitCount = 32, .noBits = true};  // exactly 256 MiB of pixels
    const auto ok = ParseDibInfo(Pack(h));
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->imageSize, std::size_t{256} << 20);
    EXPECT_FALSE(ParsePackedDib(Pack(h)));  // valid header, bits absent

    h.height = -2049;
    EXPECT_FALSE(ParseDibInfo(Pack(h)));
}

Header Broken(void (*change)(Header&))
{
    Header h = OneBitPicture();
    change(h);
    return h;
}

TEST(DibParse, RejectsEveryMalformedHeader)
{
    const std::vector<std::pair<std::string, Header>> cases{
        {"core header size", Broken([](Header& h) { h.size = 12; })},
        {"v2 header size", Broken([](Header& h) { h.size = 52; })},
        {"zero header size", Broken([](Header& h) { h.size = 0; })},
        {"huge header size", Broken([](Header& h) { h.size = 0xFFFFFFFF; })},
        {"no planes", Broken([](Header& h) { h.planes = 0; })},
        {"two planes", Broken([](Header& h) { h.planes = 2; })},
        {"zero bit count", Broken([](Header& h) { h.bitCount = 0; })},
        {"2 bits", Broken([](Header& h) { h.bitCount = 2; })},
        {"16 bits", Broken([](Header& h) { h.bitCount = 16; })},
        {"64 bits", Broken([](Header& h) { h.bitCount = 64; })},
        {"RLE8", Broken([](Header& h) { h.compression = 1; })},
        {"bitfields", Broken([](Header& h) { h.compression = 3; })},
        {"JPEG", Broken([](Header& h) { h.compression = 4; })},
        {"zero width", Broken([](Header& h) { h.width = 0; })},
        {"negative width", Broken([](Header& h) { h.width = -10; })},
        {"too wide", Broken([](Header& h) { h.width = 32769; h.bits.clear(); })},
        {"zero height", Broken([](Header& h) { h.height = 0; })},
        {"INT_MIN height", Broken([](Header& h) { h.height = INT_MIN; })},
        {"too tall", Broken([](Header& h) { h.height = 32769; h.bits.clear(); })},
        {"too tall top-down", Broken([](Header& h) { h.height = -32769; h.bits.clear(); })},
        {"above 256 MiB", Broken([](Header& h) { h.width = 32768; h.height = 32768; h.bitCount = 32; h.bits = {0}; })},
        {"colours used above 2^bits", Broken([](Header& h) { h.clrUsed = 3; h.palette.push_back(0); })},
        {"palette cut short", Broken([](Header& h) { h.palette.pop_back(); h.noBits = true; })},
        {"true-colour table cut short", Broken([](Header& h) { h.bitCount = 24; h.clrUsed = 3; h.noBits = true; })},
        {"bits one byte short", Broken([](Header& h) { h.bits.pop_back(); })},
    };
    for (const auto& [name, header] : cases) {
        const Bytes data = Pack(header);
        EXPECT_FALSE(ParsePackedDib(data)) << name;
        EXPECT_FALSE(ParseBmpFile(WithFileHeader(data, 14 + 48))) << name;
    }
}

TEST(DibParse, EveryTruncationIsRejected)
{
    const Bytes data = Pack(OneBitPicture());
    for (std::size_t n = 0; n < data.size(); ++n)
        EXPECT_FALSE(ParsePackedDib(std::span(data.data(), n))) << n;
    const Bytes file = WithFileHeader(data, 14 + 48);
    for (std::size_t n = 0; n < file.size(); ++n)
        EXPECT_FALSE(ParseBmpFile(std::span(file.data(), n))) << n;
}

TEST(BmpFile, HonoursBitOffset)
{
    const Bytes packed = Pack(OneBitPicture());
    const Bytes plain = WithFileHeader(packed, 14 + 48);
    const auto dib = ParseBmpFile(plain);
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->bits.data(), plain.data() + 62);
    EXPECT_EQ(DibPixel(*dib, 0, 0), 0xFFFFFFu);

    // Bits placed after a gap are found through the offset.
    Bytes gapped = WithFileHeader(Bytes(packed.begin(), packed.begin() + 48), 14 + 48 + 6);
    gapped.insert(gapped.end(), 6, 0x5A);
    gapped.insert(gapped.end(), packed.begin() + 48, packed.end());
    const auto far = ParseBmpFile(gapped);
    ASSERT_TRUE(far);
    EXPECT_EQ(far->bits.data(), gapped.data() + 68);
    EXPECT_EQ(DibPixel(*far, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(DibPixel(*far, 1, 1), 0xFFFFFFu);
    EXPECT_EQ(DibPixel(*far, 1, 0), 0u);
}

TEST(BmpFile, RejectsBadFileHeaders)
{
    const Bytes packed = Pack(OneBitPicture());
    Bytes wrongMagic = WithFileHeader(packed, 62);
    wrongMagic[1] = 'A';
    EXPECT_FALSE(ParseBmpFile(wrongMagic));
    EXPECT_FALSE(ParseBmpFile(WithFileHeader(packed, 61)));  // inside the palette
    EXPECT_FALSE(ParseBmpFile(WithFileHeader(packed, 0)));
    EXPECT_FALSE(ParseBmpFile(WithFileHeader(packed, 63)));  // runs past the end
    EXPECT_FALSE(ParseBmpFile(WithFileHeader(packed, 0xFFFFFFFF)));
    // A packed DIB is not a file and vice versa.
    EXPECT_FALSE(ParseBmpFile(packed));
    EXPECT_FALSE(ParsePackedDib(WithFileHeader(packed, 62)));
}

}  // namespace
}  // namespace vyla
