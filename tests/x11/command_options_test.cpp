// The Linux program's command line, parsed in-process: the forms the X
// screen-saver daemon and users write, and every bad input's one-line reason;
// then the real program's exit status and output for them.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "harness.h"
#include "linux/command_options.h"

using vyla::linux::CommandOptions;
using vyla::linux::DurationText;
using vyla::linux::ParseDuration;
using vyla::linux::ParseCommandLine;
using vyla::linux::ParseWindowId;
using vyla::linux::SettingOverride;

namespace {

CommandOptions Parsed(std::vector<std::string> args)
{
    auto result = ParseCommandLine(args);
    EXPECT_TRUE(result.options) << "refused: " << result.error;
    return result.options.value_or(CommandOptions{});
}

std::string Refusal(std::vector<std::string> args)
{
    auto result = ParseCommandLine(args);
    EXPECT_FALSE(result.options) << "accepted";
    EXPECT_EQ(result.error.find('\n'), std::string::npos) << "one line";
    return result.error;
}

}  // namespace

TEST(CommandOptions, TodaysCommandLinesPassThroughUnchanged)
{
    EXPECT_EQ(Parsed({}).commandLine, "");
    EXPECT_FALSE(Parsed({}).HackMode());
    EXPECT_EQ(Parsed({"/c"}).commandLine, "/c");
    EXPECT_EQ(Parsed({"-c"}).commandLine, "-c");
    // Windows-style arguments other than the dialog's still mean the saver.
    EXPECT_EQ(Parsed({"/s"}).commandLine, "/s");
    EXPECT_EQ(Parsed({"/p", "1234"}).commandLine, "/p 1234");
    EXPECT_EQ(Parsed({"/c:1234"}).commandLine, "/c:1234");
    EXPECT_EQ(Parsed({"--", "--root"}).commandLine, "--root");
}

TEST(CommandOptions, WhereToDrawInEveryForm)
{
    EXPECT_TRUE(Parsed({"--root"}).root);
    EXPECT_TRUE(Parsed({"-root"}).root);
    EXPECT_EQ(Parsed({"--window-id", "0x1a00003"}).windowId, 0x1a00003u);
    EXPECT_EQ(Parsed({"-window-id", "0X1A00003"}).windowId, 0x1a00003u);
    EXPECT_EQ(Parsed({"--window-id=27262979"}).windowId, 27262979u);
    EXPECT_TRUE(Parsed({"-window-id", "42"}).HackMode());
    EXPECT_EQ(Parsed({"--root"}).commandLine, "");
    // The daemon's settings program previews a hack with its command plus
    // the preview's window.
    auto preview = Parsed({"--root", "--speed", "fast", "--window-id", "0x2400007"});
    EXPECT_EQ(preview.windowId, 0x2400007u);
    EXPECT_EQ(preview.commandLine, "");
}

TEST(CommandOptions, WindowIds)
{
    EXPECT_EQ(ParseWindowId("0xffffffff"), 0xffffffffu);
    EXPECT_EQ(ParseWindowId("4294967295"), 4294967295u);
    for (const char* bad : {"", "0", "0x", "0x0", "0x100000000", "4294967296", "-5", "+5", "12a", "0x1g", " 12",
                            "99999999999999999999999"})
        EXPECT_FALSE(ParseWindowId(bad)) << '"' << bad << '"';
}

TEST(CommandOptions, SettingsBecomeTheFilesValuesInOrder)
{
    auto options = Parsed({"--color", "white", "-speed=fast", "--girls", "--interval", "5", "--no-girls",
                           "--speed", "slow", "-color", "crimson", "--speed=normal"});
    std::vector<SettingOverride> expected{{"color", 1}, {"speed", 2}, {"girls", 1}, {"interval", 5},
                                          {"girls", 0}, {"speed", 0}, {"color", 0}, {"speed", 1}};
    EXPECT_EQ(options.settings, expected);
    EXPECT_EQ(Parsed({"--interval", "86400"}).settings.back().value, 86400);
    EXPECT_EQ(Parsed({"--interval=1"}).settings.back().value, 1);
    // Settings apply to the saver on the whole screen too.
    EXPECT_FALSE(Parsed({"--speed", "fast"}).HackMode());
}

TEST(CommandOptions, HelpAndVersionWinOverEverythingAfterThem)
{
    EXPECT_EQ(Parsed({"--help"}).action, CommandOptions::Action::ShowHelp);
    EXPECT_EQ(Parsed({"-h"}).action, CommandOptions::Action::ShowHelp);
    EXPECT_EQ(Parsed({"--version", "--bogus"}).action, CommandOptions::Action::ShowVersion);
    EXPECT_EQ(Parsed({"--root", "-help"}).action, CommandOptions::Action::ShowHelp);
    // An error before them still counts.
    Refusal({"--bogus", "--help"});
}

TEST(CommandOptions, BadInputsAreRefusedWithTheirReason)
{
    EXPECT_NE(Refusal({"--bogus"}).find("--bogus"), std::string::npos);
    EXPECT_NE(Refusal({"-x"}).find("-x"), std::string::npos);
    EXPECT_NE(Refusal({"-"}).find("unknown"), std::string::npos);
    EXPECT_NE(Refusal({"-C"}).find("unknown"), std::string::npos);
    EXPECT_NE(Refusal({"--color", "red"}).find("\"red\""), std::string::npos);
    EXPECT_NE(Refusal({"--color"}).find("crimson or white"), std::string::npos);
    EXPECT_NE(Refusal({"--color="}).find("crimson or white"), std::string::npos);
    EXPECT_NE(Refusal({"--color", "White"}).find("\"White\""), std::string::npos);
    EXPECT_NE(Refusal({"--speed", "warp"}).find("slow, normal or fast"), std::string::npos);
    EXPECT_NE(Refusal({"--speed"}).find("slow, normal or fast"), std::string::npos);
    for (const char* bad : {"0", "-5", "86401", "5s", "1.5", "", "99999999999999999999"})
        EXPECT_NE(Refusal({"--interval", bad}).find("--interval"), std::string::npos) << '"' << bad << '"';
    EXPECT_NE(Refusal({"--interval"}).find("--interval"), std::string::npos);
    EXPECT_NE(Refusal({"--window-id"}).find("window id"), std::string::npos);
    EXPECT_NE(Refusal({"--window-id", "zz"}).find("\"zz\""), std::string::npos);
    EXPECT_NE(Refusal({"--window-id", "0"}).find("\"0\""), std::string::npos);
    EXPECT_NE(Refusal({"--girls=1"}).find("takes no value"), std::string::npos);
    EXPECT_NE(Refusal({"--root=yes"}).find("takes no value"), std::string::npos);
    // The dialog would write what it shows: settings for one run, or a
    // window, cannot go with it.
    EXPECT_NE(Refusal({"--color", "white", "/c"}).find("dialog"), std::string::npos);
    EXPECT_NE(Refusal({"-c", "--root"}).find("dialog"), std::string::npos);
}

TEST(CommandOptions, IdleDurationsReadAndWrittenBack)
{
    const struct {
        const char* text;
        std::optional<int> seconds;
    } cases[] = {{"10m", 600}, {"90s", 90}, {"90", 90}, {"1", 1}, {"1440m", 86400}, {"86400", 86400},
                 {"0", std::nullopt}, {"0m", std::nullopt}, {"1441m", std::nullopt}, {"86401s", std::nullopt},
                 {"", std::nullopt}, {"m", std::nullopt}, {"10h", std::nullopt}, {"-5", std::nullopt},
                 {"1.5m", std::nullopt}, {"99999999999999999999", std::nullopt}};
    for (const auto& c : cases) {
        EXPECT_EQ(ParseDuration(c.text), c.seconds) << c.text;
        if (c.seconds) {
            EXPECT_EQ(ParseDuration(DurationText(*c.seconds)), c.seconds) << c.text;
        }
    }
    EXPECT_EQ(DurationText(600), "10m");
    EXPECT_EQ(DurationText(90), "90s");
}

TEST(CommandOptions, TheWatcherKeepsTheSaversOptionsAndAutostartStandsAlone)
{
    auto watch = Parsed({"--watch-idle", "10m", "--color=white", "--backend", "x11"});
    EXPECT_EQ(watch.watchIdleSeconds, 600);
    EXPECT_EQ(watch.saverOptions, (std::vector<std::string>{"--color=white", "--backend", "x11"}));
    EXPECT_EQ(Parsed({"--autostart=90"}).autostartSeconds, 90);
    EXPECT_TRUE(Parsed({"--autostart", "off"}).autostartOff);
    EXPECT_NE(Refusal({"--watch-idle", "off"}).find("duration"), std::string::npos);
    EXPECT_NE(Refusal({"--watch-idle", "5", "--root"}).find("--watch-idle"), std::string::npos);
    EXPECT_NE(Refusal({"--watch-idle", "5", "/s"}).find("--watch-idle"), std::string::npos);
    EXPECT_NE(Refusal({"--autostart", "5", "--color", "white"}).find("--autostart"), std::string::npos);
}

// ---------------------------------------------------------------------------
// The real program's answers: no display needed.

namespace {

using vyla::x11::testing::ProgramPath;
using vyla::x11::testing::ReadText;
using vyla::x11::testing::RunCommand;
using vyla::x11::testing::TempDir;

constexpr int kEndMs = 10000;

struct Outcome {
    int code;
    std::string out, err;
};

Outcome RunProgram(const std::string& arguments)
{
    TempDir dir;
    const auto out = dir.Path() / "out", err = dir.Path() / "err";
    int code = RunCommand({"sh", "-c", std::string(ProgramPath()) + " " + arguments + " >" + out.string() + " 2>" +
                                           err.string()},
                          {"DISPLAY=:nothing-here", "WAYLAND_DISPLAY="}, kEndMs);
    return Outcome{code, ReadText(out), ReadText(err)};
}

}  // namespace

TEST(HackCommandLine, BadInputsExitTwoWithOneLineAndTheUsage)
{
    for (const char* bad : {"--bogus", "--color red", "--speed", "--interval 0", "--interval -3", "--window-id zz",
                            "-x", "--girls=yes", "--color white /c", "--watch-idle 0", "--watch-idle 2h",
                            "--autostart never", "--watch-idle"}) {
        Outcome r = RunProgram(bad);
        EXPECT_EQ(r.code, 2) << bad;
        EXPECT_TRUE(r.out.empty()) << bad;
        EXPECT_TRUE(r.err.starts_with("vyla: ")) << bad << ": " << r.err;
        const std::string first = r.err.substr(0, r.err.find('\n'));
        EXPECT_NE(r.err.find("\nUsage: "), std::string::npos) << bad << ": the usage follows the one line";
        EXPECT_EQ(r.err.find("vyla: ", first.size()), std::string::npos) << bad << ": one line of complaint";
    }
}

TEST(HackCommandLine, HelpAndVersionNeedNoDisplay)
{
    Outcome help = RunProgram("--help");
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.starts_with("Usage: ")) << help.out;
    EXPECT_TRUE(help.err.empty());
    Outcome version = RunProgram("-version");
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out, "vyla " VYLA_VERSION "\n");
    // Good options still need the display: status 1 as before.
    EXPECT_EQ(RunProgram("--color white").code, 1);
    EXPECT_EQ(RunProgram("/c").code, 1);
}
