// The slideshow's order: a fresh random order for every pass, from a
// generator seeded with the calendar time when the pictures are loaded.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "support/scene_run.h"
#include "synthetic_art.h"

namespace {

using vyla::Size;
using vyla::testing::MakeSceneArt;
using vyla::testing::SyntheticArt;

using Order = std::vector<int>;

// A saver run with the slideshow on, every 5 s, 13 pictures.
struct WithArt {
    SyntheticArt art = MakeSceneArt();
};
class Slideshow : private WithArt, public vyla::testing::SceneRun {
public:
    Slideshow(std::int64_t calendarTime, DWORD startTick)
        : SceneRun(Size{320, 240}, "[options]\ngirls=1\ninterval=5\n", art.Set(),
                   [calendarTime](vyla::headless::HeadlessHost& host) { host.SetCalendarTime(calendarTime); })
    {
        tick = startTick;
        Step();  // loads the pictures, draws the order and shows the first slide
    }

    // The pictures shown by the next `passes` whole passes, pass by pass,
    // starting at a pass boundary.
    std::vector<Order> Passes(int passes)
    {
        while (state->DrawPosition != 0)
            Step();
        std::vector<Order> shown(static_cast<std::size_t>(passes));
        for (Order& pass : shown)
            for (unsigned i = 0; i < state->PictureCount; ++i) {
                pass.push_back(state->DrawOrder[state->DrawPosition]);
                Step();
            }
        return shown;
    }

    void Step()
    {
        tick += 5001;
        SceneRun::Step(tick);
    }

    DWORD tick = 0;
};

TEST(SlideOrder, EveryPassShowsEachPictureOnceInAFreshOrder)
{
    Slideshow show(1'700'000'000, 100000);
    ASSERT_EQ(show.state->PictureCount, 13u);
    const std::vector<Order> passes = show.Passes(4);
    for (const Order& pass : passes)
        EXPECT_EQ(std::set<int>(pass.begin(), pass.end()).size(), 13u);
    // Two passes of 13 agree by chance once in 13! (6e9): equal orders mean
    // the order was not drawn again.
    for (std::size_t a = 0; a < passes.size(); ++a)
        for (std::size_t b = a + 1; b < passes.size(); ++b)
            EXPECT_NE(passes[a], passes[b]) << "passes " << a << " and " << b << " show the same order";
}

TEST(SlideOrder, TheOrderFollowsTheCalendarTimeAndNothingElse)
{
    // The same second gives the same orders, whatever the tick count.
    const std::vector<Order> reference = Slideshow(1'700'000'000, 100000).Passes(2);
    EXPECT_EQ(Slideshow(1'700'000'000, 7'654'321).Passes(2), reference);
    // Other seconds give other orders.
    std::set<std::vector<Order>> seen{reference};
    for (std::int64_t seconds : {1'700'000'001LL, 1'700'003'600LL, 1'234'567'890LL})
        seen.insert(Slideshow(seconds, 100000).Passes(2));
    EXPECT_EQ(seen.size(), 4u) << "some calendar times gave the same slide orders";
}

}  // namespace
