// Checks the committed bitmaps byte by byte against the layout and pixel
// conventions the scene's drawing code relies on.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Rgb {
    std::uint8_t r, g, b;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

const std::vector<Rgb> kOneBit = {{0, 0, 0}, {255, 255, 255}};
const std::vector<Rgb> kCrimson = {{0, 0, 0},     {33, 0, 0},    {41, 41, 0},   {66, 0, 0},   {0, 0, 0},
                                   {0, 0, 0},     {90, 0, 16},   {0, 0, 0},     {0, 0, 0},    {173, 0, 33},
                                   {181, 0, 33},  {189, 16, 24}, {214, 0, 33},  {214, 16, 33}, {222, 33, 33},
                                   {222, 49, 24}};
const std::vector<Rgb> kWhite = {{0, 0, 0},       {33, 33, 33},    {49, 49, 49},    {66, 66, 66},
                                 {82, 82, 82},    {115, 115, 115}, {140, 140, 140}, {156, 49, 49},
                                 {156, 99, 99},   {156, 156, 156}, {206, 206, 206}, {255, 255, 255},
                                 {255, 255, 255}, {255, 255, 255}, {255, 255, 255}, {255, 255, 255}};

struct Expected {
    std::string name;
    int width;
    int height;
    int bits;
    const std::vector<Rgb>* palette;
};

std::vector<Expected> AllExpected()
{
    std::vector<Expected> e = {
        {"IDB_FRAMET", 640, 54, 1, &kOneBit},    {"IDB_FRAMEB", 640, 52, 1, &kOneBit},
        {"IDB_FRAMEL", 48, 480, 1, &kOneBit},    {"IDB_FRAMER", 58, 480, 1, &kOneBit},
        {"IDB_RVYLAS", 1280, 80, 4, &kCrimson},  {"IDB_RMASKS", 1280, 80, 1, &kOneBit},
        {"IDB_WVYLAS", 1280, 80, 4, &kWhite},    {"IDB_WMASKS", 1280, 80, 1, &kOneBit},
    };
    const std::array<std::pair<int, int>, 13> shadowSizes = {{{432, 324}, {541, 410}, {534, 367}, {540, 352},
                                                              {599, 446}, {621, 437}, {588, 417}, {574, 427},
                                                              {549, 418}, {504, 333}, {507, 337}, {593, 403},
                                                              {640, 416}}};
    for (std::size_t i = 0; i < shadowSizes.size(); ++i) {
        const std::string name = std::string("IDB_SHADOW") + static_cast<char>('0' + i / 10) +
                                 static_cast<char>('0' + i % 10);
        e.push_back({name, shadowSizes[i].first, shadowSizes[i].second, 1, &kOneBit});
    }
    return e;
}

fs::path BitmapDir()
{
    return fs::path(VYLA_SOURCE_DIR) / "resources" / "bitmaps";
}

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
           static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

std::uint16_t U16(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

// A decoded bitmap: palette indices with y counted from the top row.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> index;
    std::uint8_t At(int x, int y) const
    {
        return index[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
    }
    bool Ink(int x, int y) const { return At(x, y) == 0; }
};

// Verifies every header field and the padding, then decodes the pixels.
// Failures are reported through gtest; the result is empty if the file
// cannot be decoded at all.
std::optional<Picture> Load(const Expected& e)
{
    std::ifstream in(BitmapDir() / (e.name + ".bmp"), std::ios::binary);
    const std::vector<std::uint8_t> b{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::size_t paletteLength = e.palette->size();
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(e.width * e.bits) + 31) / 32 * 4;
    const std::uint32_t imageSize = rowBytes * static_cast<std::uint32_t>(e.height);
    const auto offBits = static_cast<std::uint32_t>(14 + 40 + 4 * paletteLength);
    if (b.size() != offBits + imageSize) {
        ADD_FAILURE() << e.name << ": " << b.size() << " bytes, expected " << offBits + imageSize;
        return std::nullopt;
    }
    SCOPED_TRACE(e.name);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(U32(b, 2), b.size());
    EXPECT_EQ(U16(b, 6), 0);
    EXPECT_EQ(U16(b, 8), 0);
    EXPECT_EQ(U32(b, 10), offBits);
    EXPECT_EQ(U32(b, 14), 40u);
    EXPECT_EQ(static_cast<std::int32_t>(U32(b, 18)), e.width);
    EXPECT_EQ(static_cast<std::int32_t>(U32(b, 22)), e.height) << "height must be positive: rows bottom-up";
    EXPECT_EQ(U16(b, 26), 1);
    EXPECT_EQ(U16(b, 28), e.bits);
    EXPECT_EQ(U32(b, 30), 0u);
    EXPECT_EQ(U32(b, 34), imageSize);
    EXPECT_EQ(U32(b, 38), 0u);
    EXPECT_EQ(U32(b, 42), 0u);
    EXPECT_EQ(U32(b, 46), paletteLength);
    EXPECT_EQ(U32(b, 50), paletteLength);
    for (std::size_t i = 0; i < paletteLength; ++i) {
        const std::size_t at = 54 + 4 * i;
        EXPECT_EQ((Rgb{b[at + 2], b[at + 1], b[at]}), (*e.palette)[i]) << "palette entry " << i;
        EXPECT_EQ(b[at + 3], 0) << "palette entry " << i;
    }

    Picture p{e.width, e.height, std::vector<std::uint8_t>(static_cast<std::size_t>(e.width) * e.height)};
    const int perByte = 8 / e.bits;
    const std::uint8_t mask = static_cast<std::uint8_t>((1u << e.bits) - 1);
    int paddingFaults = 0;
    for (int row = 0; row < e.height; ++row) {
        const std::size_t start = offBits + static_cast<std::size_t>(row) * rowBytes;
        const int y = e.height - 1 - row;
        for (int x = 0; x < e.width; ++x) {
            const int shift = 8 - e.bits * (x % perByte + 1);
            p.index[static_cast<std::size_t>(y) * e.width + x] =
                static_cast<std::uint8_t>((b[start + x / perByte] >> shift) & mask);
        }
        // Bits after the last pixel, up to the 4-byte boundary, are zero.
        const int usedBits = e.width * e.bits;
        for (int bit = usedBits; bit < static_cast<int>(rowBytes * 8); ++bit)
            if ((b[start + bit / 8] >> (7 - bit % 8)) & 1)
                ++paddingFaults;
    }
    EXPECT_EQ(paddingFaults, 0) << "padding bits must be zero";
    return p;
}

Picture MustLoad(const std::string& name)
{
    for (const Expected& e : AllExpected())
        if (std::optional<Picture> p = e.name == name ? Load(e) : std::nullopt)
            return *p;
    ADD_FAILURE() << "cannot load " << name;
    return Picture{};
}

// How many black (ink) pixels of p satisfy where(x, y).
template <typename Where>
int CountInk(const Picture& p, Where where)
{
    int n = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            n += p.Ink(x, y) && where(x, y);
    return n;
}

double InkShare(const Picture& p)
{
    return p.index.empty() ? 0 : CountInk(p, [](int, int) { return true; }) / static_cast<double>(p.index.size());
}

// ---------------------------------------------------------------- files

TEST(ArtFiles, EveryBitmapHasExactlyTheExpectedHeaderPaletteAndPadding)
{
    for (const Expected& e : AllExpected())
        EXPECT_TRUE(Load(e).has_value()) << e.name;
}

TEST(ArtFiles, TheBitmapDirectoryHoldsExactlyTheNamedBitmaps)
{
    std::set<std::string> expected;
    for (const Expected& e : AllExpected())
        expected.insert(e.name + ".bmp");
    std::set<std::string> found;
    for (const auto& entry : fs::directory_iterator(BitmapDir()))
        if (entry.path().extension() == ".bmp")
            found.insert(entry.path().filename().string());
    EXPECT_EQ(found, expected);
}

// ---------------------------------------------------------------- sprites

constexpr int kCell = 80;
constexpr int kCells = 16;

Picture Cell(const Picture& strip, int k)
{
    Picture c{kCell, kCell, std::vector<std::uint8_t>(kCell * kCell)};
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x)
            c.index[static_cast<std::size_t>(y) * kCell + x] = strip.At(k * kCell + x, y);
    return c;
}

int Difference(const Picture& a, const Picture& b)
{
    int n = 0;
    for (std::size_t i = 0; i < a.index.size() && i < b.index.size(); ++i)
        n += a.index[i] != b.index[i];
    return n;
}

struct Pair {
    const char* image;
    const char* mask;
};
constexpr Pair kPairs[] = {{"IDB_RVYLAS", "IDB_RMASKS"}, {"IDB_WVYLAS", "IDB_WMASKS"}};

TEST(SpriteStrips, ImageIsBlackWhereverTheMaskIsWhite)
{
    for (const Pair& pair : kPairs) {
        const Picture image = MustLoad(pair.image);
        const Picture mask = MustLoad(pair.mask);
        ASSERT_EQ(image.index.size(), mask.index.size());
        int leaks = 0;
        int colouredInside = 0;
        for (std::size_t i = 0; i < mask.index.size(); ++i) {
            if (mask.index[i] == 1 && image.index[i] != 0)
                ++leaks;
            if (mask.index[i] == 0 && image.index[i] != 0)
                ++colouredInside;
        }
        EXPECT_EQ(leaks, 0) << pair.image << " has colour outside its mask";
        // The opaque area is the flower, not a black hole in the picture.
        EXPECT_GT(colouredInside, static_cast<int>(mask.index.size() / 4)) << pair.image;
    }
}

TEST(SpriteStrips, EachCellHoldsOneCentredFlowerFillingMostOfIt)
{
    for (const Pair& pair : kPairs) {
        const Picture mask = MustLoad(pair.mask);
        for (int k = 0; k < kCells; ++k) {
            SCOPED_TRACE(std::string(pair.mask) + " cell " + std::to_string(k));
            const Picture c = Cell(mask, k);
            double sx = 0, sy = 0;
            int n = 0, left = kCell, right = -1, top = kCell, bottom = -1;
            for (int y = 0; y < kCell; ++y)
                for (int x = 0; x < kCell; ++x)
                    if (c.Ink(x, y)) {
                        sx += x, sy += y, ++n;
                        left = std::min(left, x), right = std::max(right, x);
                        top = std::min(top, y), bottom = std::max(bottom, y);
                    }
            ASSERT_GT(n, 0);
            EXPECT_NEAR(sx / n, 39.5, 1.5);
            EXPECT_NEAR(sy / n, 39.5, 1.5);
            EXPECT_GE(right - left + 1, 64);
            EXPECT_GE(bottom - top + 1, 64);
            const double share = static_cast<double>(n) / (kCell * kCell);
            EXPECT_GT(share, 0.35);
            EXPECT_LT(share, 0.95);
        }
    }
}

// Stepping from any cell to the next, and from the last back to the first,
// moves the flower by the same small amount: the turn loops without a jump.
TEST(SpriteStrips, CellsTurnInEvenStepsAndLoopBackToTheFirst)
{
    for (const Pair& pair : kPairs) {
        for (const char* name : {pair.image, pair.mask}) {
            SCOPED_TRACE(name);
            const Picture strip = MustLoad(name);
            std::vector<int> steps;
            for (int k = 0; k < kCells; ++k)
                steps.push_back(Difference(Cell(strip, k), Cell(strip, (k + 1) % kCells)));
            const auto [lo, hi] = std::minmax_element(steps.begin(), steps.end());
            EXPECT_GT(*lo, 0) << "two successive cells are identical";
            EXPECT_LE(*hi, *lo * 2) << "the step from cell 15 to 0 (" << steps.back() << ") or another is a jump";
            // Every cell shows a different angle: the loop is not shorter than 16.
            for (int k = 1; k < kCells; ++k)
                EXPECT_GT(Difference(Cell(strip, 0), Cell(strip, k)), 0) << "cell " << k << " repeats cell 0";
        }
    }
}

TEST(SpriteStrips, BothColourVariantsHaveTheSameFlowerShape)
{
    EXPECT_EQ(MustLoad("IDB_RMASKS").index, MustLoad("IDB_WMASKS").index);
}

// ---------------------------------------------------------------- border

Picture AssembleBorder()
{
    Picture frame{640, 480, std::vector<std::uint8_t>(640 * 480, 1)};
    auto andIn = [&](const Picture& piece, int left, int top) {
        for (int y = 0; y < piece.height; ++y)
            for (int x = 0; x < piece.width; ++x)
                if (piece.Ink(x, y))
                    frame.index[static_cast<std::size_t>(top + y) * 640 + left + x] = 0;
    };
    andIn(MustLoad("IDB_FRAMET"), 0, 0);
    andIn(MustLoad("IDB_FRAMEB"), 0, 480 - 52);
    andIn(MustLoad("IDB_FRAMEL"), 0, 0);
    andIn(MustLoad("IDB_FRAMER"), 640 - 58, 0);
    return frame;
}

TEST(Border, PiecesAreFineOrnamentOnMostlyWhite)
{
    for (const char* name : {"IDB_FRAMET", "IDB_FRAMEB", "IDB_FRAMEL", "IDB_FRAMER"}) {
        const double ink = InkShare(MustLoad(name));
        EXPECT_GT(ink, 0.03) << name;
        EXPECT_LT(ink, 0.35) << name;
    }
}

TEST(Border, AnInnerRuleRunsUnbrokenRoundTheWholeFrame)
{
    const Picture f = AssembleBorder();
    auto closedRectangleAt = [&](int d) {
        for (int x = d; x < 640 - d; ++x)
            if (!f.Ink(x, d) || !f.Ink(x, 479 - d))
                return false;
        for (int y = d; y < 480 - d; ++y)
            if (!f.Ink(d, y) || !f.Ink(639 - d, y))
                return false;
        return true;
    };
    bool found = false;
    for (int d = 24; d < 48 && !found; ++d)
        found = closedRectangleAt(d);
    EXPECT_TRUE(found) << "no closed rule at a fixed inset: the pieces do not join up";
}

// On screens that are not 4:3 the side pieces are stretched by a different
// factor from the top and bottom ones; if both carried the corner ornament it
// would be printed twice at two sizes. The top and bottom pieces own it.
TEST(Border, SidePiecesLeaveTheCornersToTheTopAndBottomPieces)
{
    for (const char* name : {"IDB_FRAMEL", "IDB_FRAMER"}) {
        const int inkInCorners = CountInk(MustLoad(name), [](int, int y) { return y < 54 || y >= 480 - 52; });
        EXPECT_EQ(inkInCorners, 0) << name;
    }
}

// Where a side piece takes over from the top or bottom piece, every line
// that reaches the seam carries on across it.
TEST(Border, LinesContinueAcrossTheSeamsBetweenPieces)
{
    const Picture f = AssembleBorder();
    struct Seam {
        int lastRowOfOne;
        int firstRowOfOther;
        int x0, x1;
    };
    const Seam seams[] = {{53, 54, 0, 48}, {53, 54, 582, 640}, {427, 428, 0, 48}, {427, 428, 582, 640}};
    for (const Seam& s : seams) {
        for (int x = s.x0; x < s.x1; ++x) {
            auto near = [&](int row) {
                for (int dx = -1; dx <= 1; ++dx)
                    if (x + dx >= 0 && x + dx < 640 && f.Ink(x + dx, row))
                        return true;
                return false;
            };
            if (f.Ink(x, s.lastRowOfOne)) {
                EXPECT_TRUE(near(s.firstRowOfOther)) << "line ends at the seam, x=" << x << " y=" << s.lastRowOfOne;
            }
            if (f.Ink(x, s.firstRowOfOther)) {
                EXPECT_TRUE(near(s.lastRowOfOne)) << "line starts at the seam, x=" << x << " y=" << s.firstRowOfOther;
            }
        }
    }
}

// ---------------------------------------------------------------- silhouettes

// Every silhouette picture by name, loaded; one that does not load fails
// the test that asked.
std::vector<std::pair<std::string, Picture>> Silhouettes()
{
    std::vector<std::pair<std::string, Picture>> pictures;
    for (const Expected& e : AllExpected())
        if (e.name.rfind("IDB_SHADOW", 0) == 0) {
            std::optional<Picture> p = Load(e);
            EXPECT_TRUE(p.has_value()) << e.name;
            if (p)
                pictures.emplace_back(e.name, std::move(*p));
        }
    return pictures;
}

TEST(Silhouettes, FiguresAreAHalfToneCheckerboardCountedFromTheTopRow)
{
    for (const auto& [name, p] : Silhouettes()) {
        SCOPED_TRACE(name);
        const int black = CountInk(p, [](int, int) { return true; });
        EXPECT_EQ(CountInk(p, [](int x, int y) { return (x + y) % 2 != 0; }), 0) << "wrong parity";
        const int checkerboardNeighbours = CountInk(p, [&p = p](int x, int y) {
            return x + 1 < p.width && y + 1 < p.height && p.Ink(x + 1, y + 1);
        });
        // A real figure, drawn as solid areas of the pattern, not stray dots.
        const double share = InkShare(p);
        EXPECT_GT(share, 0.02);
        EXPECT_LT(share, 0.25);
        EXPECT_GT(checkerboardNeighbours, black * 8 / 10);
    }
}

TEST(Silhouettes, FiguresKeepClearOfThePictureEdges)
{
    for (const auto& [name, p] : Silhouettes()) {
        SCOPED_TRACE(name);
        const int mx = p.width / 50, my = p.height / 50, w = p.width, h = p.height;
        EXPECT_EQ(CountInk(p, [&](int x, int y) { return x < mx || y < my || x >= w - mx || y >= h - my; }), 0);
    }
}

// The corner flowers cover the corners of the picture area, so nothing of a
// scene may hide there.
TEST(Silhouettes, ScenesLeaveThePictureCornersToTheFlowers)
{
    for (const auto& [name, p] : Silhouettes()) {
        SCOPED_TRACE(name);
        const int cw = p.width * 15 / 100, ch = p.height * 15 / 100, w = p.width, h = p.height;
        EXPECT_EQ(CountInk(p, [&](int x, int y) { return (x < cw || x >= w - cw) && (y < ch || y >= h - ch); }), 0);
    }
}

} // namespace
