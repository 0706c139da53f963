// The saver run behind vyla-render: which idle calls give frames, and what
// the frames show.
#include <gtest/gtest.h>

#include <map>

#include "render_test_support.h"
#include "saver_run.h"
#include "temp_dir.h"

using vyla::Rect;
using vyla::Size;
using vyla::raster::Pixel;
using vyla::raster::Surface;
using vyla::render::RunSaver;
using vyla::render::SaverRunResult;
using vyla::render::SaverSetup;
using vyla::render::TempDir;
using vyla::render::TickList;
namespace rt = vyla::render::testing;

namespace {

// Keeps the tick of every frame, and the screens of the ticks asked for.
class Recorder : public vyla::render::FrameSink {
public:
    explicit Recorder(std::vector<std::uint32_t> keep = {}, std::uint64_t stopAfter = 0)
        : keep_(std::move(keep)), stopAfter_(stopAfter) {}
    bool Frame(std::uint32_t tick, const Surface& screen) override
    {
        ticks.push_back(tick);
        if (std::find(keep_.begin(), keep_.end(), tick) != keep_.end())
            screens[tick] = screen;
        return stopAfter_ == 0 || ticks.size() < stopAfter_;
    }
    std::vector<std::uint32_t> ticks;
    std::map<std::uint32_t, Surface> screens;

private:
    std::vector<std::uint32_t> keep_;
    std::uint64_t stopAfter_;
};

struct Saver {
    explicit Saver(Size size = Size{640, 480}, Pixel desktop = 0xFFFFFF)
    {
        setup.desktop = *Surface::Create(size, desktop);
        setup.profileDirectory = settings.Path();
        setup.calendarTime = 1'700'000'000;
    }
    void Settings(const std::string& text) { rt::WriteText(settings.Path() / "vyla.ini", text); }
    SaverRunResult Run(const char* ticks, Recorder& recorder) { return RunSaver(setup, TickList::Parse(ticks), recorder); }

    TempDir settings;
    SaverSetup setup;
};

bool HasCrimson(const Surface& s, const Rect& area)
{
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            Pixel p = s.At(x, y);
            if ((p >> 16 & 0xFF) > 150 && (p >> 8 & 0xFF) < 60 && (p & 0xFF) < 60)
                return true;
        }
    return false;
}

}  // namespace

TEST(SaverRun, AFrameAfterEveryIdleCallThatStepped)
{
    struct Case {
        std::uint32_t start;
        const char* ticks;
    };
    for (Case c : {Case{0, "0:1000:10"}, Case{0, "0:300:1"}, Case{500, "0:2000:25"}, Case{0, "100,105,111,112,123,200,150"},
                   Case{4294967000u, "4294967000:4294967290:7,3:400:7"}}) {
        Saver saver;
        saver.setup.startTick = c.start;
        Recorder recorder;
        SaverRunResult run = saver.Run(c.ticks, recorder);
        EXPECT_TRUE(run.completed) << c.ticks;
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.idleCalls, TickList::Parse(c.ticks).Count());
        EXPECT_EQ(recorder.ticks, rt::ExpectedSteps(c.start, TickList::Parse(c.ticks).ToVector())) << c.ticks;
        EXPECT_EQ(run.frames, recorder.ticks.size());
    }
}

TEST(SaverRun, FramesShowTheBorderThenTheTurningFlowers)
{
    Saver saver;  // 640 x 480, white desktop, every setting 0: crimson, 200 ms, no slides
    Recorder recorder({20, 220, 240, 440});
    ASSERT_TRUE(saver.Run("0:1000:10", recorder).completed);
    ASSERT_EQ(recorder.screens.size(), 4u);
    const Surface& first = recorder.screens[20];
    const Rect area{48, 54, 582, 428};  // the picture area of a 640 x 480 screen
    const Rect corner{0, 0, 128, 128};  // the top-left flower's square
    EXPECT_EQ(first.GetSize(), (Size{640, 480}));
    EXPECT_FALSE(rt::DiffersIn(first, *Surface::Create(Size{640, 480}, 0xFFFFFF), area)) << "inside the border, the desktop";
    EXPECT_TRUE(rt::DiffersIn(first, *Surface::Create(Size{640, 480}, 0xFFFFFF), Rect{0, 0, 640, 54})) << "the border";
    EXPECT_FALSE(HasCrimson(first, corner)) << "no flower before 200 ms";

    const Surface& frame1 = recorder.screens[220];
    const Surface& frame1Again = recorder.screens[240];
    const Surface& frame2 = recorder.screens[440];
    EXPECT_TRUE(HasCrimson(frame1, corner));
    for (const Rect& c : {Rect{0, 0, 128, 128}, Rect{512, 0, 640, 128}, Rect{0, 352, 128, 480}, Rect{512, 352, 640, 480}}) {
        EXPECT_TRUE(rt::DiffersIn(frame1, frame2, c)) << "each flower turns a step: " << c.left << "," << c.top;
        EXPECT_FALSE(rt::DiffersIn(frame1, frame1Again, c)) << "a step with no frame due changes nothing";
    }
    EXPECT_FALSE(rt::DiffersIn(frame1, frame2, Rect{128, 128, 512, 352})) << "away from the corners nothing moves";
}

TEST(SaverRun, TheSlideshowDrawsInsideTheBorder)
{
    Saver saver(Size{640, 480}, 0xE0E0E0);
    saver.Settings("[options]\ngirls=1\ninterval=1\n");
    Recorder recorder({20, 1020, 1040});
    ASSERT_TRUE(saver.Run("0:1100:10", recorder).completed);
    const Rect area{48, 54, 582, 428};
    ASSERT_EQ(recorder.screens.size(), 3u);
    EXPECT_FALSE(rt::DiffersIn(recorder.screens[20], *Surface::Create(Size{640, 480}, 0xE0E0E0), area))
        << "the first slide waits for more than the interval";
    EXPECT_TRUE(rt::DiffersIn(recorder.screens[20], recorder.screens[1020], area)) << "a silhouette at 1020";
    EXPECT_FALSE(rt::DiffersIn(recorder.screens[1020], recorder.screens[1040], Rect{128, 128, 512, 352}));
}

TEST(SaverRun, ASinkCanEndTheRunEarly)
{
    Saver saver;
    Recorder recorder({}, 3);
    SaverRunResult run = saver.Run("0:1000:10", recorder);
    EXPECT_FALSE(run.completed);
    EXPECT_EQ(run.exitCode, 0) << "the saver still closes normally";
    EXPECT_EQ(recorder.ticks.size(), 3u);
    EXPECT_LT(run.idleCalls, 20u);
}

TEST(SaverRun, NoTickToUseStillClosesTheSaver)
{
    Saver saver;
    Recorder recorder;
    SaverRunResult run = RunSaver(saver.setup, TickList{}, recorder);
    EXPECT_TRUE(run.completed);
    EXPECT_EQ(run.idleCalls, 0u);
    EXPECT_TRUE(recorder.ticks.empty());
}
