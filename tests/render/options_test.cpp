// The renderer's command line: the tick list and the options.
#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "options.h"
#include "tick_list.h"
#include "usage_error.h"

using vyla::render::ParseOptions;
using vyla::render::RenderOptions;
using vyla::render::TickList;
using vyla::render::UsageError;

namespace {

RenderOptions Parse(std::vector<std::string_view> args)
{
    return ParseOptions(args);
}

std::vector<std::uint32_t> Ticks(std::string_view text)
{
    return TickList::Parse(text).ToVector();
}

}  // namespace

TEST(TickList, NumbersAndRangesInOrder)
{
    EXPECT_EQ(Ticks("5"), (std::vector<std::uint32_t>{5}));
    EXPECT_EQ(Ticks("0:30:10"), (std::vector<std::uint32_t>{0, 10, 20, 30}));
    EXPECT_EQ(Ticks("0:35:10"), (std::vector<std::uint32_t>{0, 10, 20, 30})) << "B need not be on the step";
    EXPECT_EQ(Ticks("7:7:3"), (std::vector<std::uint32_t>{7}));
    EXPECT_EQ(Ticks("100,3,50:52:1,0"), (std::vector<std::uint32_t>{100, 3, 50, 51, 52, 0})) << "the list need not grow";
    TickList list = TickList::Parse("1,10:40:10,2");
    EXPECT_EQ(list.Count(), 6u);
    EXPECT_EQ(list.Front(), 1u);
    EXPECT_EQ(list.Back(), 2u);
}

TEST(TickList, ReachesTheTopOfTheRangeWithoutWrapping)
{
    EXPECT_EQ(Ticks("4294967295"), (std::vector<std::uint32_t>{4294967295u}));
    EXPECT_EQ(Ticks("4294967290:4294967295:2"), (std::vector<std::uint32_t>{4294967290u, 4294967292u, 4294967294u}));
    EXPECT_EQ(Ticks("4294967294:4294967295:1000"), (std::vector<std::uint32_t>{4294967294u}));
    TickList whole = TickList::Parse("0:4294967295:1");
    EXPECT_EQ(whole.Count(), 4294967296u) << "kept as a range, not spelled out";
    EXPECT_EQ(whole.Back(), 4294967295u);
}

TEST(TickList, RejectsWhatIsNotAListOfTicks)
{
    for (std::string_view bad : {"", ",", "1,", ",1", "1,,2", "x", "1.5", "-1", "+1", " 1", "4294967296", "99999999999999999999",
                                 "1:2", "1:2:3:4", "1::3", ":2:1", "5:1:1", "0:10:0", "0x10", "1;2"})
        EXPECT_THROW(TickList::Parse(bad), UsageError) << '"' << bad << '"';
}

TEST(Options, DefaultsAndEveryOption)
{
    RenderOptions d = Parse({"--ticks", "1", "--out", "o"});
    EXPECT_EQ(d.screen, (vyla::Size{1024, 768}));
    EXPECT_FALSE(d.desktopImage || d.desktopColour || d.settings || d.clockSeconds || d.gif);
    EXPECT_EQ(d.start, 0u);
    EXPECT_EQ(d.gifScale, 2);

    RenderOptions o = Parse({"--size", "640x480", "--desktop-color", "1a2B3c", "--settings", "s.ini", "--clock-seconds",
                             "1700000000", "--start=4294967295", "--ticks=0:100:10", "--out", "dir", "--gif", "a.gif",
                             "--gif-scale", "3"});
    EXPECT_EQ(o.screen, (vyla::Size{640, 480}));
    EXPECT_EQ(o.desktopColour, 0x1A2B3Cu);
    EXPECT_EQ(o.settings, std::filesystem::path("s.ini"));
    EXPECT_EQ(o.clockSeconds, 1700000000);
    EXPECT_EQ(o.start, 4294967295u);
    EXPECT_EQ(o.ticks.Count(), 11u);
    EXPECT_EQ(o.out, std::filesystem::path("dir"));
    EXPECT_EQ(o.gif, std::filesystem::path("a.gif"));
    EXPECT_EQ(o.gifScale, 3);

    EXPECT_EQ(Parse({"--desktop", "p.jpg", "--ticks", "1", "--out", "o"}).desktopImage, std::filesystem::path("p.jpg"));
    EXPECT_EQ(Parse({"--desktop-color", "#FFFFFF", "--ticks", "1", "--out", "o"}).desktopColour, 0xFFFFFFu);
    EXPECT_EQ(Parse({"--size", "16384x1", "--ticks", "1", "--out", "o"}).screen, (vyla::Size{16384, 1}));
}

TEST(Options, HelpStopsParsing)
{
    bool help = false;
    std::vector<std::string_view> args{"--bogus-but-later-ignored", "--help"};
    EXPECT_THROW(ParseOptions(args, &help), UsageError) << "arguments before --help still count";
    args = {"--help", "--bogus"};
    ParseOptions(args, &help);
    EXPECT_TRUE(help);
}

TEST(Options, RejectsBadArguments)
{
    const std::vector<std::vector<std::string_view>> bad = {
        {},
        {"--ticks", "1"},                                     // no --out
        {"--out", "o"},                                       // no --ticks
        {"--ticks", "1", "--out"},                            // value missing
        {"--ticks", "1", "--out", ""},                        // empty name
        {"--ticks", "1", "--out", "o", "extra"},              // stray argument
        {"--ticks", "1", "--out", "o", "--frobnicate", "1"},  // unknown option
        {"--ticks", "1", "--out", "o", "-s", "1"},
        {"--ticks", "1", "--out", "o", "--size", "1024"},
        {"--ticks", "1", "--out", "o", "--size", "0x768"},
        {"--ticks", "1", "--out", "o", "--size", "1024x-1"},
        {"--ticks", "1", "--out", "o", "--size", "16385x10"},
        {"--ticks", "1", "--out", "o", "--size", "10x10x10"},
        {"--ticks", "1", "--out", "o", "--desktop-color", "fff"},
        {"--ticks", "1", "--out", "o", "--desktop-color", "12345g"},
        {"--ticks", "1", "--out", "o", "--desktop-color", "1234567"},
        {"--ticks", "1", "--out", "o", "--desktop", "a.png", "--desktop-color", "000000"},
        {"--ticks", "1", "--out", "o", "--clock-seconds", "soon"},
        {"--ticks", "1", "--out", "o", "--start", "-1"},
        {"--ticks", "1", "--out", "o", "--start", "4294967296"},
        {"--ticks", "1", "--out", "o", "--gif-scale", "2"},  // without --gif
        {"--ticks", "1", "--out", "o", "--gif", "a.gif", "--gif-scale", "0"},
        {"--ticks", "1", "--out", "o", "--gif", "a.gif", "--gif-scale", "17"},
        {"--ticks", "1", "--out", "o", "--size", "100x4", "--gif", "a.gif", "--gif-scale", "5"},
        {"--ticks", "nope", "--out", "o"},
    };
    for (const auto& args : bad) {
        std::string joined;
        for (auto a : args)
            joined += std::string(a) + ' ';
        EXPECT_THROW(ParseOptions(args), UsageError) << joined;
    }
}
