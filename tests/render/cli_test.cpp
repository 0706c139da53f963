// vyla-render as a user runs it: exit statuses, messages and the files written.
#include <gtest/gtest.h>

#include <algorithm>

#include "png_writer.h"
#include "render_test_support.h"
#include "temp_dir.h"

using vyla::Size;
using vyla::raster::Surface;
using vyla::render::TempDir;
namespace rt = vyla::render::testing;

namespace {

std::size_t Lines(const std::string& text)
{
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

std::vector<std::string> Args(TempDir& dir, std::vector<std::string> more)
{
    std::vector<std::string> args{"--size", "320x240", "--clock-seconds", "1700000000", "--out", (dir.Path() / "out").string()};
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

}  // namespace

TEST(Cli, BadArgumentsGiveOneLineAndStatus2)
{
    TempDir dir;
    const std::string d = dir.Path().string();
    rt::WriteText(dir.Path() / "file", "x");
    rt::WriteText(dir.Path() / "not-a-picture.png", "hello");
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"--ticks", "1"},
        {"--out", d + "/o"},
        {"--ticks", "1:", "--out", d + "/o"},
        {"--ticks", "1", "--out", d + "/o", "--size", "big"},
        {"--ticks", "1", "--out", d + "/o", "--whatever"},
        {"--ticks", "1", "--out", d + "/o", "--settings", d + "/absent.ini"},
        {"--ticks", "1", "--out", d + "/o", "--settings", d},
        {"--ticks", "1", "--out", d + "/o", "--desktop", d + "/absent.jpg"},
        {"--ticks", "1", "--out", d + "/o", "--desktop", d + "/not-a-picture.png"},
        {"--ticks", "1", "--out", d + "/file"},
        {"--ticks", "1", "--out", d + "/file/below"},
        {"--ticks", "1", "--out", d + "/o", "--gif", d + "/no/such/dir/a.gif"},
        {"--ticks", "1", "--out", d + "/o", "--desktop-color", "red"},
    };
    for (const auto& args : bad) {
        rt::ProgramRun run = rt::RunProgram(args, dir.Path());
        std::string joined;
        for (const auto& a : args)
            joined += a + ' ';
        EXPECT_EQ(run.status, 2) << joined;
        EXPECT_EQ(Lines(run.err), 1u) << joined << "\n" << run.err;
        EXPECT_EQ(run.err.rfind("vyla-render: ", 0), 0u) << run.err;
        EXPECT_EQ(run.out, "") << joined;
    }
}

TEST(Cli, HelpGoesToStandardOutput)
{
    TempDir dir;
    rt::ProgramRun run = rt::RunProgram({"--help"}, dir.Path());
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("--ticks"), std::string::npos);
    EXPECT_EQ(run.err, "");
}

TEST(Cli, AShortRunWritesExactlyTheFramesThatStepped)
{
    TempDir dir;
    const std::string settings = "[options]\r\nspeed=2\r\n";
    rt::WriteText(dir.Path() / "mine.ini", settings);
    rt::ProgramRun run = rt::RunProgram(Args(dir, {"--desktop-color", "336699", "--settings", (dir.Path() / "mine.ini").string(),
                                                   "--ticks", "0:1000:10", "--gif", (dir.Path() / "a.gif").string()}),
                                        dir.Path());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(rt::ReadText(dir.Path() / "mine.ini"), settings) << "the user's settings file is left alone";

    std::vector<std::uint32_t> ticks;
    for (std::uint32_t t = 0; t <= 1000; t += 10)
        ticks.push_back(t);
    std::set<std::uint64_t> expected;
    for (std::uint32_t t : rt::ExpectedSteps(0, ticks))
        expected.insert(t);
    EXPECT_EQ(rt::FrameTicks(dir.Path() / "out"), expected);
    EXPECT_EQ(*expected.begin(), 20u);

    auto frame = rt::ReadPng(dir.Path() / "out" / "500.png");
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->GetSize(), (Size{320, 240}));
    EXPECT_EQ(frame->At(160, 120), 0x336699u) << "the plain desktop shows in the middle";
    EXPECT_EQ(rt::ReadText(dir.Path() / "a.gif").substr(0, 6), "GIF89a");
}

TEST(Cli, ADesktopPictureFillsTheScreen)
{
    TempDir dir;
    // Four times as wide as high: the middle half, the green, fills a 4:3 screen.
    Surface picture = *Surface::Create(Size{400, 100});
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 400; ++x)
            picture.Set(x, y, x < 50 || x >= 350 ? 0xFF0000 : 0x00C000);
    ASSERT_EQ(vyla::render::WritePng(dir.Path() / "wide.png", picture), "");
    rt::ProgramRun run =
        rt::RunProgram(Args(dir, {"--desktop", (dir.Path() / "wide.png").string(), "--ticks", "20"}), dir.Path());
    ASSERT_EQ(run.status, 0) << run.err;
    auto frame = rt::ReadPng(dir.Path() / "out" / "20.png");
    ASSERT_TRUE(frame);
    for (int x : {70, 160, 250})
        EXPECT_EQ(frame->At(x, 120), 0x00C000u) << x;
}

TEST(Cli, AFrameThatCannotBeWrittenEndsTheRunWithStatus1)
{
    TempDir dir;
    std::filesystem::create_directories(dir.Path() / "out" / "40.png");  // in the way of the second frame
    rt::ProgramRun run = rt::RunProgram(Args(dir, {"--ticks", "0:100:10"}), dir.Path());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Lines(run.err), 1u) << run.err;
    EXPECT_NE(run.err.find("40.png"), std::string::npos) << run.err;
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "out" / "20.png"));
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "out" / "60.png"));
}

TEST(Cli, ASaverThatCannotStartGivesStatus1)
{
    TempDir dir;
    // The tallest screen, with too little memory for its sprite strips
    // (73728 x 4608 each): the screen itself and the corner buffers fit.
    rt::ProgramRun run = rt::RunProgram({"--size", "1024x16384", "--desktop-color", "000000", "--ticks", "0:100:10", "--out",
                                         (dir.Path() / "out").string(), "--gif", (dir.Path() / "a.gif").string()},
                                        dir.Path(), rlim_t{1} << 30);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Lines(run.err), 1u) << run.err;
    EXPECT_NE(run.err.find("bitmap"), std::string::npos) << run.err;
    EXPECT_TRUE(rt::FrameTicks(dir.Path() / "out").empty());
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "a.gif")) << "no frame, no animation file";
}
