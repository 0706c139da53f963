// The scene, pixel for pixel, on the headless backend: geometry, border,
// corner frames, slideshow, timing and teardown.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "common/dib.h"
#include "portable/raster/surface.h"
#include "scene/shuffle.h"
#include "support/scene_run.h"
#include "synthetic_art.h"

using vyla::Size;
using vyla::raster::Pixel;
using vyla::raster::Surface;
using vyla::testing::HeadlessSystem;
using vyla::testing::MakeSceneArt;
using vyla::testing::SyntheticArt;

namespace {

Pixel DesktopPattern(int x, int y)
{
    return static_cast<Pixel>((x * 2654435761u) ^ (y * 40503u) ^ (x * y)) & 0xffffff;
}

// The art the scene is built from, made before the scene and kept while it runs.
struct WithArt {
    SyntheticArt art;
};

// The saver window built and shown over a patterned desktop, its steps
// called by the test at ticks the test chooses.
class Scene : private WithArt, public vyla::testing::SceneRun {
public:
    Scene(Size screen, const char* settings, SyntheticArt artwork = MakeSceneArt())
        : WithArt{std::move(artwork)}, SceneRun(screen, settings, art.Set(), [](vyla::headless::HeadlessHost& host) {
              Surface& desk = host.Screen();
              for (int y = 0; y < desk.Height(); ++y)
                  for (int x = 0; x < desk.Width(); ++x)
                      desk.Set(x, y, DesktopPattern(x, y));
          }),
          desktop(sys.host.Screen())
    {
    }

    const Surface& SurfaceOf(const TDC& dc)
    {
        auto* context = sys.runtime.Gdi().FindDC(dc.GetHDC());
        return sys.runtime.Gdi().FindObject(context->bitmap)->surface;
    }
    const Surface& Screen() { return sys.host.Screen(); }

    // The piece's pixel for a screen pixel in its band, by the nearest-neighbour rule.
    Pixel PieceAt(const char* name, int bandX, int bandY, int bandW, int bandH)
    {
        const auto& bytes = sys.host.Resources().bitmaps.find(std::string(name))->second;
        auto dib = vyla::ParsePackedDib(bytes);
        return vyla::DibPixel(*dib, static_cast<int>(static_cast<long long>(bandX) * dib->info.width / bandW),
                              static_cast<int>(static_cast<long long>(bandY) * dib->info.height / bandH));
    }

    // The desktop with the four pieces ANDed in, worked out here from the rule.
    Surface Bordered()
    {
        Surface out = desktop;
        int W = state->ScreenWidth, H = state->ScreenHeight;
        int top = 54 * W / 640, bottom = 52 * W / 640, left = 48 * H / 480, right = 58 * H / 480;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                Pixel p = out.At(x, y);
                if (y < top)
                    p &= PieceAt("IDB_FRAMET", x, y, W, top);
                if (y >= H - bottom)
                    p &= PieceAt("IDB_FRAMEB", x, y - (H - bottom), W, bottom);
                if (x < left)
                    p &= PieceAt("IDB_FRAMEL", x, y, left, H);
                if (x >= W - right)
                    p &= PieceAt("IDB_FRAMER", x - (W - right), y, right, H);
                out.Set(x, y, p);
            }
        return out;
    }

    Surface desktop;
};

struct CornerPlace {
    int screenX, screenY, bufferX, bufferY, cellX, cellY;
};

// Where each corner takes its background, its cell portion (for cell c) and
// where it goes on screen, as the drawing rule states them.
std::vector<CornerPlace> CornerPlaces(const TVylaScrnSavWindowProbe& w, const int counters[4])
{
    int cw = w.CornerWidth, ch = w.CornerHeight, tw = w.TileWidth, th = w.TileHeight;
    int W = w.Attr.W, H = w.Attr.H;
    return {
        {0, 0, 0, 0, counters[0] * tw + tw - cw, th - ch},
        {W - cw, 0, cw, 0, counters[1] * tw, th - ch},
        {0, H - ch, 0, ch, counters[2] * tw + tw - cw, 0},
        {W - cw, H - ch, cw, ch, counters[3] * tw, 0},
    };
}

// Checks that every corner square on screen is background AND mask OR image.
void ExpectCornersComposed(Scene& s, const Surface& background, const int counters[4])
{
    const Surface& mask = s.SurfaceOf(s.state->MaskDC);
    const Surface& image = s.SurfaceOf(s.state->ImageDC);
    auto places = CornerPlaces(*s.state, counters);
    // Later corners cover earlier ones where they overlap: check in reverse
    // and skip pixels already claimed.
    std::vector<bool> claimed(static_cast<std::size_t>(s.state->ScreenWidth) * s.state->ScreenHeight, false);
    int mismatches = 0;
    for (int i = 3; i >= 0; --i) {
        const auto& p = places[static_cast<std::size_t>(i)];
        for (int y = 0; y < s.state->CornerHeight; ++y)
            for (int x = 0; x < s.state->CornerWidth; ++x) {
                int sx = p.screenX + x, sy = p.screenY + y;
                auto at = static_cast<std::size_t>(sy) * s.state->ScreenWidth + sx;
                if (claimed[at])
                    continue;
                claimed[at] = true;
                Pixel want = (background.At(p.bufferX + x, p.bufferY + y) & mask.At(p.cellX + x, p.cellY + y)) |
                             image.At(p.cellX + x, p.cellY + y);
                if (s.Screen().At(sx, sy) != want && ++mismatches < 5)
                    ADD_FAILURE() << "corner " << i << " pixel (" << x << ", " << y << ")";
            }
    }
    EXPECT_EQ(mismatches, 0);
}

// The corner buffer as the corner capture fills it from a screen picture.
Surface CornerBufferFrom(const TVylaScrnSavWindowProbe& w, const Surface& screen)
{
    Surface out = *Surface::Create(Size{2 * w.TileWidth, 2 * w.TileHeight});
    int cw = w.CornerWidth, ch = w.CornerHeight;
    int origins[4][4] = {{0, 0, 0, 0}, {w.Attr.W - cw, 0, cw, 0}, {0, w.Attr.H - ch, 0, ch}, {w.Attr.W - cw, w.Attr.H - ch, cw, ch}};
    for (auto& o : origins)
        for (int y = 0; y < ch; ++y)
            for (int x = 0; x < cw; ++x)
                out.Set(o[2] + x, o[3] + y, screen.At(o[0] + x, o[1] + y));
    return out;
}

bool OutsideCorners(const TVylaScrnSavWindowProbe& w, int x, int y)
{
    bool left = x < w.CornerWidth, right = x >= w.Attr.W - w.CornerWidth;
    bool top = y < w.CornerHeight, bottom = y >= w.Attr.H - w.CornerHeight;
    return !((left || right) && (top || bottom));
}

int CountDifferencesOutsideCorners(const TVylaScrnSavWindowProbe& w, const Surface& a, const Surface& b)
{
    int n = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (OutsideCorners(w, x, y) && a.At(x, y) != b.At(x, y))
                ++n;
    return n;
}

}  // namespace

struct GeometryCase {
    int width, height, corner, tile, top, bottom, left, right;
};

class SceneGeometry : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(SceneGeometry, SizesBandsAndPictureArea)
{
    const GeometryCase& g = GetParam();
    Scene s(Size{g.width, g.height}, "[options]\ngirls=1\n");
    EXPECT_EQ(s.state->CornerWidth, g.corner);
    EXPECT_EQ(s.state->CornerHeight, g.corner);
    EXPECT_EQ(s.state->TileWidth, g.tile);
    EXPECT_EQ(s.state->TileHeight, g.tile);
    auto size = [](const TBitmap& b) {
        BITMAP bm{};
        GetObjectA(b.GetHandle(), sizeof bm, &bm);
        return Size{bm.bmWidth, bm.bmHeight};
    };
    EXPECT_EQ(size(*s.state->MaskBitmap), (Size{16 * g.tile, g.tile}));
    EXPECT_EQ(size(*s.state->ImageBitmap), (Size{16 * g.tile, g.tile}));
    EXPECT_EQ(size(*s.state->CornerBitmap), (Size{2 * g.tile, 2 * g.tile}));
    EXPECT_EQ(size(*s.state->WorkBitmap), (Size{g.tile, g.tile}));
    EXPECT_EQ(size(*s.state->SnapshotBitmap), (Size{g.width, g.height}));
    s.Step(100000);
    EXPECT_EQ(s.state->PictureArea, TRect(g.left, g.top, g.width - g.right, g.height - g.bottom));
}

INSTANTIATE_TEST_SUITE_P(Screens, SceneGeometry,
                         ::testing::Values(GeometryCase{640, 480, 128, 144, 54, 52, 48, 58},
                                           GeometryCase{1024, 768, 204, 229, 86, 83, 76, 92},
                                           GeometryCase{1280, 1024, 256, 288, 108, 104, 102, 123},
                                           GeometryCase{1920, 1080, 384, 432, 162, 156, 108, 130},
                                           GeometryCase{2000, 700, 400, 450, 168, 162, 70, 84}));

TEST(SceneSettings, MappingOfTheFourKeys)
{
    struct Case {
        const char* file;
        int frameDelay;
        bool white;
        bool slides;
        std::uint32_t interval;
    } cases[] = {
        {nullptr, 200, false, false, 60000},
        {"[options]\nspeed=1\ncolor=1\n", 100, true, false, 60000},
        {"[options]\nspeed=2\ncolor=2\ngirls=1\ninterval=5\n", 50, false, true, 5000},
        {"[options]\nspeed=3\ncolor=-1\ngirls=-7\ninterval=1\n", 200, false, true, 1000},
        {"[options]\nspeed=-1\ninterval=-5\n", 200, false, false, 4294962296u},
        {"[options]\ninterval=4294968\n", 200, false, false, 704u},  // 4294968000 modulo 2^32
    };
    for (const auto& c : cases) {
        Scene s(Size{640, 480}, c.file);
        EXPECT_EQ(s.state->FrameDelay, c.frameDelay) << (c.file ? c.file : "no file");
        EXPECT_EQ(s.state->SlideInterval, c.interval) << (c.file ? c.file : "no file");
        EXPECT_EQ(s.state->SlidesOn != 0, c.slides);
        EXPECT_EQ(s.state->SnapshotDC != nullptr, c.slides);
        EXPECT_EQ(s.state->SnapshotBitmap != nullptr, c.slides);
        EXPECT_EQ(s.app->PacingMode, 1);
        // Cell 0's disc is palette index 1 of the chosen strip.
        Pixel centre = s.SurfaceOf(s.state->ImageDC).At(s.state->TileWidth / 2, s.state->TileHeight / 2);
        EXPECT_EQ(centre, c.white ? 0x0f0f0fu : 0x100001u);
    }
}

TEST(SceneBorder, FirstStepDarkensTheBorderAndTurnsCellZero)
{
    Scene s(Size{1024, 768}, nullptr);
    s.Step(100000);
    Surface bordered = s.Bordered();
    EXPECT_EQ(CountDifferencesOutsideCorners(*s.state, s.Screen(), bordered), 0);
    Surface buffer = CornerBufferFrom(*s.state, bordered);
    const Surface& corners = s.SurfaceOf(*s.state->CornerDC);
    for (int y = 0; y < 2 * s.state->CornerHeight; ++y)
        for (int x = 0; x < 2 * s.state->CornerWidth; ++x)
            ASSERT_EQ(corners.At(x, y), buffer.At(x, y)) << x << ", " << y;
    const int first[4] = {0, 0, 0, 0};
    ExpectCornersComposed(s, buffer, first);
    // The portions the rule names for this screen.
    auto places = CornerPlaces(*s.state, first);
    EXPECT_EQ(places[0].cellX, 25);
    EXPECT_EQ(places[0].cellY, 25);
    EXPECT_EQ(places[1].screenX, 820);
    EXPECT_EQ(places[2].screenY, 564);

    s.Step(100201);
    const int second[4] = {1, 15, 15, 1};
    ExpectCornersComposed(s, buffer, second);
    places = CornerPlaces(*s.state, second);
    EXPECT_EQ(places[0].cellX, 254);
    EXPECT_EQ(places[1].cellX, 3435);
    EXPECT_EQ(places[2].cellX, 3460);
    EXPECT_EQ(places[3].cellX, 229);
    EXPECT_EQ(CountDifferencesOutsideCorners(*s.state, s.Screen(), bordered), 0) << "the border is drawn once";
}

TEST(SceneBorder, WhiteDesktopShowsTheOrnamentAndBlackStaysBlack)
{
    for (Pixel colour : {0xffffffu, 0x000000u}) {
        Scene s(Size{640, 480}, nullptr);
        s.sys.host.FillDesktop(colour);
        s.desktop.Fill(colour);
        s.Step(100000);
        Surface bordered = s.Bordered();
        EXPECT_EQ(CountDifferencesOutsideCorners(*s.state, s.Screen(), bordered), 0);
        if (colour == 0) {
            EXPECT_EQ(s.Screen().At(320, 2), 0u);
        }
    }
}

TEST(SceneCorners, CountersTurnAFullCircleInOppositeDirections)
{
    Scene s(Size{640, 480}, "[options]\nspeed=2\n");
    std::vector<std::vector<int>> seen;
    DWORD t = 100000;
    for (int frame = 0; frame < 17; ++frame, t += 51) {
        s.Step(t);
        seen.push_back({s.state->FrameCounter[0], s.state->FrameCounter[1], s.state->FrameCounter[2], s.state->FrameCounter[3]});
    }
    for (int frame = 0; frame < 17; ++frame) {
        int up = (frame + 1) % 16, down = (16 - (frame + 1) % 16) % 16;
        EXPECT_EQ(seen[static_cast<std::size_t>(frame)], (std::vector<int>{up, down, down, up})) << "after frame " << frame;
    }
}

TEST(SceneCorners, AFrameNeedsStrictlyMoreThanTheDelayAndSurvivesTheTickWrap)
{
    for (int speed : {0, 1, 2}) {
        char file[32];
        std::snprintf(file, sizeof file, "[options]\nspeed=%d\n", speed);
        Scene s(Size{640, 480}, file);
        DWORD delay = static_cast<DWORD>(s.state->FrameDelay);
        s.Step(delay);  // not above the delay counted from 0
        EXPECT_EQ(s.state->FrameCounter[0], 0);
        EXPECT_TRUE(s.state->BorderDrawn);
        s.Step(delay + 1);
        EXPECT_EQ(s.state->FrameCounter[0], 1);
        s.Step(2 * delay + 1);
        EXPECT_EQ(s.state->FrameCounter[0], 1);
        s.Step(2 * delay + 2);
        EXPECT_EQ(s.state->FrameCounter[0], 2);
    }
    Scene s(Size{640, 480}, nullptr);  // 200 ms
    s.Step(4294967100u);  // 4294967100 + 200 wraps to 4
    int frames = s.state->FrameCounter[0];
    // last + delay wraps to a small number: every call draws until the tick wraps too.
    s.Step(4294967150u);
    s.Step(4294967151u);
    EXPECT_EQ(s.state->FrameCounter[0], frames + 2);
    s.Step(100);  // 4294967151 + 200 wraps to 55: due
    EXPECT_EQ(s.state->FrameCounter[0], frames + 3);
    s.Step(300);
    EXPECT_EQ(s.state->FrameCounter[0], frames + 3);
    s.Step(301);
    EXPECT_EQ(s.state->FrameCounter[0], frames + 4);
}

TEST(SceneCorners, WideScreenBottomCornersCoverTheTopOnes)
{
    Scene s(Size{2000, 700}, nullptr);
    s.Step(100000);
    const int first[4] = {0, 0, 0, 0};
    ExpectCornersComposed(s, CornerBufferFrom(*s.state, s.Bordered()), first);
}

// Frames drawn only where the cells change give the screen that full frames
// give: every pair of neighbouring cells in both turning directions (two
// full turns), across slides, with the real artwork over a patterned desktop.
struct ClippedCase {
    Size screen;
    const char* settings;
    bool clips;  // false: overlapping corners always draw in full
};

class SceneClippedFrames : public ::testing::TestWithParam<ClippedCase> {};

TEST_P(SceneClippedFrames, ShowWhatFullFramesShow)
{
    const ClippedCase& c = GetParam();
    // The screen after each step, and the screen pixels written by the steps
    // that drew a frame neither after a capture nor with a slide.
    struct Run {
        std::vector<std::uint64_t> screens;
        std::uint64_t framePixels = 0;
        bool regions = false;
    };
    auto run = [&](bool full) {
        vyla::testing::SceneRun scene(c.screen, c.settings, vyla::BuiltinResources(), [](vyla::headless::HeadlessHost& host) {
            Surface& desk = host.Screen();
            for (int y = 0; y < desk.Height(); ++y)
                for (int x = 0; x < desk.Width(); ++x)
                    desk.Set(x, y, DesktopPattern(x, y));
        });
        Run out;
        out.regions = scene.state->ChangedPixels[0][0] != nullptr;
        for (DWORD frame = 1; frame <= 2 * TVylaScrnSavWindow::kCells + 4; ++frame) {
            const bool afterCapture = scene.state->FullFrameDue;
            const std::uint32_t lastSlide = scene.state->LastSlideTime;
            const std::uint64_t before = scene.sys.host.DrawnPixels();
            if (full)
                scene.state->FullFrameDue = true;
            scene.Step(1000 + frame * 301);  // a frame each step; with slides on, a slide every fourth
            if (!afterCapture && scene.state->LastSlideTime == lastSlide)
                out.framePixels += scene.sys.host.DrawnPixels() - before;
            const Surface& screen = scene.sys.host.Screen();
            std::uint64_t hash = 14695981039346656037ull;
            for (int y = 0; y < screen.Height(); ++y)
                for (int x = 0; x < screen.Width(); ++x)
                    hash = (hash ^ screen.At(x, y)) * 1099511628211ull;
            out.screens.push_back(hash);
        }
        return out;
    };
    const Run clipped = run(false);
    const Run full = run(true);
    ASSERT_TRUE(clipped.regions);
    for (std::size_t i = 0; i < full.screens.size(); ++i)
        ASSERT_EQ(clipped.screens[i], full.screens[i]) << "the screens differ after frame " << i + 1;
    if (c.clips)
        EXPECT_LT(clipped.framePixels * 10, full.framePixels * 9);
    else
        EXPECT_EQ(clipped.framePixels, full.framePixels);
}

INSTANTIATE_TEST_SUITE_P(Cases, SceneClippedFrames,
                         ::testing::Values(ClippedCase{Size{640, 480}, "[options]\nspeed=2\n", true},
                                           ClippedCase{Size{1024, 768}, "[options]\ncolor=1\nspeed=2\ngirls=1\ninterval=1\n", true},
                                           ClippedCase{Size{2000, 700}, "[options]\nspeed=2\n", false}));

TEST(SceneSlides, EachPassShowsEveryPictureOnceOverTheSnapshot)
{
    Scene s(Size{640, 480}, "[options]\ngirls=1\ninterval=5\n");
    s.Step(100000);
    ASSERT_EQ(s.state->PictureCount, 13u);
    Surface bordered = s.Bordered();
    const Surface& snapshot = s.SurfaceOf(*s.state->SnapshotDC);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            ASSERT_EQ(snapshot.At(x, y), bordered.At(x, y)) << "the snapshot holds the border and nothing else";

    // The first call showed the first slide of the first pass.
    std::vector<int> firstPass(s.state->DrawOrder.get(), s.state->DrawOrder.get() + 13);
    std::sort(firstPass.begin(), firstPass.end());
    for (int i = 0; i < 13; ++i)
        EXPECT_EQ(firstPass[static_cast<std::size_t>(i)], i);
    DWORD t = 100000;
    auto slide = [&]() {
        int index = s.state->DrawOrder[s.state->DrawPosition];
        t += 5001;
        s.Step(t);
        EXPECT_EQ(s.state->LastSlideTime, t);
        return index;
    };
    for (int i = 1; i < 13; ++i)
        slide();
    for (int pass = 1; pass < 3; ++pass) {
        std::set<int> shown;
        for (int i = 0; i < 13; ++i) {
            int index = slide();
            shown.insert(index);
            // Inside the picture area and outside the corner squares: the
            // snapshot ANDed with the stretched picture.
            const TRect& a = s.state->PictureArea;
            char name[16];
            std::snprintf(name, sizeof name, "IDB_SHADOW%02d", index % 100);
            auto dib = vyla::ParsePackedDib(s.sys.host.Resources().bitmaps.find(std::string(name))->second);
            int bad = 0;
            for (int y = a.top; y < a.bottom; y += 3)
                for (int x = a.left; x < a.right; x += 3) {
                    if (!OutsideCorners(*s.state, x, y))
                        continue;
                    Pixel want = bordered.At(x, y) & vyla::DibPixel(*dib, (x - a.left) * dib->info.width / a.Width(),
                                                                      (y - a.top) * dib->info.height / a.Height());
                    bad += s.Screen().At(x, y) != want;
                }
            EXPECT_EQ(bad, 0) << "pass " << pass << " picture " << index;
        }
        EXPECT_EQ(shown.size(), 13u) << "pass " << pass;
    }
}

TEST(SceneSlides, ASlideNeedsStrictlyMoreThanTheInterval)
{
    Scene s(Size{640, 480}, "[options]\ngirls=1\ninterval=5\n");
    s.Step(100000);
    unsigned position = s.state->DrawPosition;
    s.Step(105000);
    EXPECT_EQ(s.state->DrawPosition, position);
    s.Step(105001);
    EXPECT_EQ(s.state->DrawPosition, (position + 1) % 13);
}

TEST(SceneSlides, NegativeIntervalWaitsForTheWrap)
{
    Scene s(Size{640, 480}, "[options]\ngirls=1\ninterval=-5\n");
    s.Step(100000);
    EXPECT_EQ(s.state->DrawPosition, 0u);
    EXPECT_EQ(s.state->LastSlideTime, 0u);
    s.Step(4294962296u);
    EXPECT_EQ(s.state->LastSlideTime, 0u);
    s.Step(4294962297u);
    EXPECT_EQ(s.state->LastSlideTime, 4294962297u);
}

TEST(SceneSlides, MissingFirstPictureMeansNoSlideshow)
{
    SyntheticArt art = MakeSceneArt();
    art.Remove("IDB_SHADOW00");
    Scene s(Size{640, 480}, "[options]\ngirls=1\ninterval=1\n", std::move(art));
    ASSERT_NE(s.state->SnapshotDC, nullptr);
    s.Step(100000);
    EXPECT_EQ(s.state->PictureCount, 0u);
    Surface bordered = s.Bordered();
    for (DWORD t = 102000; t < 110000; t += 1500)
        s.Step(t);
    EXPECT_EQ(CountDifferencesOutsideCorners(*s.state, s.Screen(), bordered), 0);
    EXPECT_EQ(s.state->LastSlideTime, 0u);
}

TEST(SceneSlides, OnlyFivePictures)
{
    Scene s(Size{640, 480}, "[options]\ngirls=1\n", MakeSceneArt(5));
    s.Step(100000);
    ASSERT_EQ(s.state->PictureCount, 5u);
    std::vector<int> order(s.state->DrawOrder.get(), s.state->DrawOrder.get() + 5);
    std::sort(order.begin(), order.end());
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(SceneSlides, FlowersTurnOverTheBorderBeforeTheFirstSlideIsDue)
{
    Scene s(Size{640, 480}, "[options]\ngirls=1\n");  // first slide at tick 60001
    s.Step(1000);
    const int first[4] = {0, 0, 0, 0};
    ExpectCornersComposed(s, CornerBufferFrom(*s.state, s.Bordered()), first);
}

TEST(Shuffle, TakesTheNthFreeSlot)
{
    HeadlessSystem sys;
    int one = -1;
    ShuffleOrder(&one, 1);
    EXPECT_EQ(one, 0);
    // Find seeds whose first remainders are (2, 0, 0) and (1, 1, 0).
    auto remainders = [](unsigned seed) {
        SeedRandom(seed);
        int a = NextRandom() % 3, b = NextRandom() % 2;
        NextRandom();
        return std::pair{a, b};
    };
    for (auto [want, expected] : {std::pair{std::pair{2, 0}, std::vector<int>{2, 0, 1}},
                                  std::pair{std::pair{1, 1}, std::vector<int>{1, 2, 0}}}) {
        unsigned seed = 0;
        while (remainders(seed) != want)
            ++seed;
        SeedRandom(seed);
        int order[3] = {-1, -1, -1};
        ShuffleOrder(order, 3);
        EXPECT_EQ(std::vector<int>(order, order + 3), expected);
    }
}

TEST(SceneTeardown, FreesEverySurfaceAndShowsTheCursor)
{
    Scene s(Size{640, 480}, "[options]\ngirls=1\ninterval=1\n");
    for (DWORD t = 100000; t < 104000; t += 11)
        s.Step(t);
    EXPECT_EQ(s.sys.runtime.cursorCount, -1);
    s.app.reset();
    EXPECT_EQ(s.sys.runtime.Gdi().LiveObjects(), 0u);
    EXPECT_EQ(s.sys.runtime.Gdi().LiveDCs(), 0u);
    EXPECT_EQ(s.sys.runtime.cursorCount, 0);
}
