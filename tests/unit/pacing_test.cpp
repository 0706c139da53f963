// Idle pacing and how long the message loop may sleep between idle calls:
// the pacing rule of each mode, the scene's timers, and whole runs on a clock
// that moves only by sleeping. Sleeping the announced time must never make a
// step, a frame or a slide later than a loop that polled every millisecond.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "support/scene_run.h"
#include "shell/scrnsavapp.h"
#include "shell/scrnsavwin.h"
#include "synthetic_art.h"

using vyla::Size;
using vyla::headless::HeadlessHost;
using vyla::testing::HeadlessSystem;
using vyla::testing::MakeSceneArt;

namespace {

// A saver window whose next step is due after a fixed time and takes a
// fixed time; counts steps.
class TTestWindow : public TScrnSavWindow {
public:
    TTestWindow(HeadlessHost& host, DWORD delay, DWORD stepCost)
        : TScrnSavWindow(nullptr, nullptr, nullptr), Host(host), Delay(delay), StepCost(stepCost)
    {
    }
    void StepAnimation() override
    {
        ++Steps;
        Host.Advance(StepCost);
    }
    DWORD NextStepDelay() override { return Delay; }
    HeadlessHost& Host;
    DWORD Delay, StepCost;
    int Steps = 0;
};

// The generic shell in a pacing mode with that window.
struct App {
    explicit App(int mode, DWORD windowDelay = 0, DWORD stepCost = 0)
        : window(new TTestWindow(sys.host, windowDelay, stepCost))
    {
        app.SaverWindow = window;
        app.PacingMode = mode;
    }
    ~App() { delete window; }
    HeadlessSystem sys;
    TScrnSavApp app{"test"};
    TTestWindow* window;
};

}  // namespace

struct PacingCase {
    int mode;
    std::uint32_t last;
    std::uint32_t now;
    bool steps;
};

class Pacing : public ::testing::TestWithParam<PacingCase> {};

TEST_P(Pacing, StepsOnlyWhenTheModesIntervalHasPassed)
{
    const PacingCase& c = GetParam();
    App a(c.mode);
    a.app.ConfigMode = false;
    a.app.LastTick = c.last;
    a.sys.host.SetTick(c.now);
    EXPECT_TRUE(a.app.IdleAction(0));
    EXPECT_EQ(a.window->Steps, c.steps ? 1 : 0);
    EXPECT_EQ(a.app.LastTick, c.steps ? c.now : c.last);
}

INSTANTIATE_TEST_SUITE_P(Modes, Pacing,
                         ::testing::Values(PacingCase{1, 1000, 1010, false}, PacingCase{1, 1000, 1011, true},
                                           PacingCase{0, 1000, 1050, false}, PacingCase{0, 1000, 1051, true},
                                           PacingCase{1, 1000, 1051, true}, PacingCase{2, 1000, 1000, true},
                                           PacingCase{3, 1000, 1050, false}, PacingCase{3, 1000, 1051, true},
                                           PacingCase{-1, 1000, 1050, false}, PacingCase{-1, 1000, 1051, true},
                                           // The tick count wraps: 16 below the wrap to 16 above is 32 ms.
                                           PacingCase{1, 4294967280u, 16, true}, PacingCase{0, 4294967280u, 16, false}));

TEST(Pacing, TheIntervalRunsFromTheEndOfAStep)
{
    App a(1, 0, 30);  // each step takes 30 ms
    a.app.LastTick = 0;
    a.sys.host.SetTick(0);
    std::vector<DWORD> starts;
    for (DWORD t = 100; t < 400; ++t) {
        if (a.sys.host.TickCount() < t)
            a.sys.host.SetTick(t);
        int before = a.window->Steps;
        DWORD at = a.sys.host.TickCount();
        a.app.IdleAction(0);
        if (a.window->Steps != before)
            starts.push_back(at);
    }
    ASSERT_GE(starts.size(), 3u);
    for (std::size_t i = 1; i < starts.size(); ++i)
        EXPECT_EQ(starts[i] - starts[i - 1], 41u);
}

TEST(Pacing, ConfigurationModeAsksForNoMoreIdleCalls)
{
    App a(0);  // the mode the generic shell starts in
    a.app.ConfigMode = true;
    a.app.LastTick = 5;
    a.sys.host.SetTick(100000);
    EXPECT_FALSE(a.app.IdleAction(0));
    EXPECT_EQ(a.window->Steps, 0);
    EXPECT_EQ(a.app.LastTick, 5u);
}

// For every mode and every elapsed time around the threshold (also across the
// tick wrap): no step before the announced delay, a step exactly at it.
TEST(IdleDelay, PacingAloneAnnouncesExactlyTheFirstTickThatSteps)
{
    for (int mode : {0, 1, 3, -1}) {
        for (std::uint32_t last : {1000u, 4294967280u}) {
            for (std::uint32_t elapsed = 0; elapsed < 60; ++elapsed) {
                App a(mode);
                a.app.LastTick = last;
                a.sys.host.SetTick(last + elapsed);
                DWORD delay = a.app.IdleDelay();
                SCOPED_TRACE(testing::Message() << "mode " << mode << " last " << last << " elapsed " << elapsed);
                ASSERT_LE(delay, 51u);
                if (delay > 0) {
                    a.sys.host.SetTick(last + elapsed + delay - 1);
                    a.app.IdleAction(0);
                    EXPECT_EQ(a.window->Steps, 0);
                }
                a.sys.host.SetTick(last + elapsed + delay);
                a.app.IdleAction(0);
                EXPECT_EQ(a.window->Steps, 1);
            }
        }
    }
}

TEST(IdleDelay, TheLaterOfPacingAndTheWindowCountsAndConfigurationSleepsForMessages)
{
    {
        App a(1, 40);  // pacing allows a step now, the window has nothing for 40 ms
        a.app.LastTick = 1000;
        a.sys.host.SetTick(1011);
        EXPECT_EQ(a.app.IdleDelay(), 40u);
    }
    {
        App a(1, 5);  // the window is due sooner than pacing allows
        a.app.LastTick = 1000;
        a.sys.host.SetTick(1000);
        EXPECT_EQ(a.app.IdleDelay(), 11u);
    }
    {
        App a(2, 0);  // a step on every idle call: the framework's short pause
        EXPECT_EQ(a.app.IdleDelay(), 1u);
    }
    {
        App a(1, 0);
        a.app.ConfigMode = true;
        EXPECT_EQ(a.app.IdleDelay(), INFINITE);
    }
    HeadlessSystem sys;
    TApplication plain("plain");
    EXPECT_EQ(plain.IdleDelay(), 1u);
}

namespace {

// The scene over 320x240 with test art, its timers asked at chosen ticks.
struct WithArt {
    vyla::testing::SyntheticArt art = MakeSceneArt();
};
class SceneDelay : private WithArt, public vyla::testing::SceneRun {
public:
    explicit SceneDelay(const char* settings) : SceneRun(Size{320, 240}, settings, art.Set()) {}
};

}  // namespace

TEST(SceneDelay, TheBorderIsDueAtOnceThenTheNearerOfFrameAndSlide)
{
    SceneDelay s("[options]\nspeed=1\ngirls=1\ninterval=1\n");
    EXPECT_EQ(s.DelayAt(100000), 0u);
    s.Step(100000);  // border, first slide, first frame
    ASSERT_EQ(s.state->LastFrameTime, 100000u);
    ASSERT_EQ(s.state->LastSlideTime, 100000u);
    EXPECT_EQ(s.DelayAt(100000), 101u);
    EXPECT_EQ(s.DelayAt(100100), 1u);
    EXPECT_EQ(s.DelayAt(100101), 0u);
    // Frames at 100101, ..., 100909: the slide at 101001 is nearer than the
    // frame after 100909 would be (101010).
    for (DWORD t = 100101; t <= 100909; t += 101)
        s.Step(t);
    EXPECT_EQ(s.DelayAt(100909), 92u);
    unsigned position = s.state->DrawPosition;
    s.Step(100909 + 91);
    EXPECT_EQ(s.state->DrawPosition, position);
    s.Step(100909 + 92);
    EXPECT_NE(s.state->LastSlideTime, 100000u);
}

TEST(SceneDelay, SumsAtTheTopOfTheTickRangeAndPastTheWrap)
{
    SceneDelay s("[options]\ngirls=1\ninterval=-5\n");  // 200 ms frames; a slide only near the wrap
    s.Step(100000);
    ASSERT_EQ(s.state->LastSlideTime, 0u);
    EXPECT_EQ(s.DelayAt(100000), 201u);
    // last + delay wraps to a small number: due on every call until the tick wraps too.
    s.state->LastFrameTime = 4294967200u;
    EXPECT_EQ(s.DelayAt(4294967250u), 0u);
    // last + delay is the top of the range: never strictly passed; the wait is
    // capped and asked again, and the slide (due at 2^32 - 5000 + 1) is nearer.
    s.state->LastFrameTime = 4294967295u - 200;
    EXPECT_EQ(s.DelayAt(4294962000u), 297u);
    EXPECT_EQ(s.DelayAt(4294962297u), 0u);
    // A slide at 4294962297: its next sum wraps below it, so it is due on
    // every call until the tick wraps; after that neither timer is near.
    s.state->LastSlideTime = 4294962297u;
    EXPECT_EQ(s.DelayAt(4294967290u), 0u);
    EXPECT_EQ(s.DelayAt(5), 0x7fffffffu);
}

// The real program on a clock that moves only while the loop sleeps: every
// frame and every slide comes exactly at the first tick it is due, or, when
// the previous step was too recent, at the first tick the pacing allows; and
// the loop wakes about once per drawing instead of once per millisecond.
TEST(IdleLoop, SleepingTheAnnouncedDelayDrawsEachFrameAndSlideOnItsTick)
{
    for (const char* settings : {"[options]\nspeed=2\ngirls=1\ninterval=1\n", "[options]\n"}) {
        SCOPED_TRACE(settings);
        vyla::testing::SyntheticArt art = MakeSceneArt();
        HeadlessSystem sys(Size{320, 240}, art.Set());
        vyla::testing::WriteText(sys.SettingsFile(), settings);
        sys.host.SetSleepsMoveClock(true);
        TApplication::InitCmdLine = "/s";
        TVylaScrnSavApp app("Vyla Screen Saver");
        std::vector<DWORD> frames, slides;
        std::uint32_t paceBase = 0, previousLastTick = 0;
        int late = 0;
        bool closing = false;
        DWORD start = sys.host.TickCount();
        DWORD closedAt = 0;
        sys.host.SetDriver([&](HeadlessHost& h) {
            if (!app.SaverWindow || closing)
                return;
            TVylaScrnSavWindowProbe win(*static_cast<TVylaScrnSavWindow*>(app.SaverWindow));
            // The step since the last poll, if any, was paced from the
            // LastTick seen then.
            paceBase = previousLastTick;
            previousLastTick = app.LastTick;
            auto expectOnTime = [&](std::vector<DWORD>& ticks, DWORD drawn, DWORD gap) {
                if (ticks.size() >= 2) {
                    DWORD due = std::max<DWORD>(ticks.back() + gap, paceBase + 11);
                    EXPECT_EQ(drawn, due) << "drawing " << ticks.size();
                    late += drawn != ticks.back() + gap;
                }
                ticks.push_back(drawn);
            };
            if (frames.empty() || frames.back() != win.LastFrameTime)
                expectOnTime(frames, win.LastFrameTime, win.FrameDelay + 1u);
            if (win.LastSlideTime != 0 && (slides.empty() || slides.back() != win.LastSlideTime))
                expectOnTime(slides, win.LastSlideTime, win.SlideInterval + 1u);
            if (h.TickCount() - start > 10'000) {
                closing = true;
                closedAt = h.TickCount();
                h.Inject(WM_KEYDOWN, 'A');
            }
        });
        sys.host.SetPollLimit(100'000);
        EXPECT_EQ(app.Run(), 0);
        EXPECT_FALSE(sys.host.PollLimitReached());
        EXPECT_EQ(sys.host.TickCount(), closedAt) << "the input ended the run without another sleep";

        ASSERT_GE(frames.size(), 40u);
        if (settings[10]) {
            ASSERT_GE(slides.size(), 9u);
        }
        // Pacing delays a drawing only when frame and slide fall within 11 ms.
        EXPECT_LE(late, static_cast<int>(slides.size()));
        // The old loop polled every millisecond: 10,000 polls in 10 s.
        EXPECT_LE(sys.host.Polls(), 2 * (frames.size() + slides.size()) + 10);
    }
}
