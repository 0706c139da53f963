// The saver shell end to end on the headless backend: the command lines the
// system sends and the run mode each picks, the configuration dialog's
// owner, the saver window's life and the inputs that end it. (Pacing and the
// loop's sleep: pacing_test.cpp; the preview: preview_test.cpp.)
#include <gtest/gtest.h>

#include <string>

#include "shell/command_line.h"
#include "shell/scrnsavapp.h"
#include "shell/scrnsavwin.h"
#include "support/headless_system.h"

using vyla::Point;
using vyla::headless::HeadlessHost;
using vyla::testing::HeadlessSystem;
using vyla::testing::MakeDialogClassWindow;
using vyla::testing::WindowNumber;

namespace {

// What a saver run looked like from the outside.
struct SaverRun {
    int exitCode = -99;
    HWND window = nullptr;
    int stepsBeforeInput = 0;
    bool windowAliveAfterInput = false;
    int polls = 0;
};

// Starts the program with cmd, lets it run for warmup polls (1 ms each),
// posts the input, and keeps polling until the program ends (or a bound).
SaverRun RunSaver(HeadlessSystem& sys, const char* cmd, UINT msg, WPARAM wp, LPARAM lp, int warmup = 60)
{
    SaverRun run;
    int after = -1;
    sys.host.SetDriver([&](HeadlessHost& h) {
        h.Advance(1);
        ++run.polls;
        if (!run.window)
            run.window = h.TopWindow();
        if (run.polls == warmup) {
            run.stepsBeforeInput = h.DrawingDoneCount();
            h.Inject(msg, wp, lp);
            after = 0;
        } else if (after >= 0 && ++after == 20) {
            run.windowAliveAfterInput = IsWindow(run.window) != FALSE;
            if (run.windowAliveAfterInput)
                h.Inject(WM_LBUTTONDOWN);  // end the run
        }
    });
    sys.host.SetPollLimit(100000);
    run.exitCode = sys.Run(cmd);
    return run;
}

// Each settings dialog the run shows: its owner goes to owner, Esc closes it.
void RecordOwnerAndEscape(HeadlessSystem& sys, HWND& owner)
{
    sys.host.SetDialogScript([&owner](vyla::portable::DialogSession& d) {
        owner = GetWindow(d.Handle(), GW_OWNER);
        d.PressEscape();
    });
}

}  // namespace

TEST(CommandLine, EachFormTheSystemSends)
{
    struct Case {
        const char* line;
        bool emptyConfigures;
        TSaverCommand command;
        bool hasWindow;
        std::uintptr_t window;
    };
    const std::uintptr_t kMax = ~std::uintptr_t{0};
    const Case cases[] = {
        {"/c", false, TSaverCommand::Configure, false, 0},
        {"-c", false, TSaverCommand::Configure, false, 0},
        {"/c:1234", false, TSaverCommand::Configure, true, 1234},
        {"/c 1234", false, TSaverCommand::Configure, true, 1234},
        {"-c:0", false, TSaverCommand::Configure, true, 0},
        // Too large for a handle: a number all the same, naming no window.
        {"/c:99999999999999999999999999", false, TSaverCommand::Configure, true, kMax},
        {"/p 66", false, TSaverCommand::Preview, true, 66},
        {"-p:66", false, TSaverCommand::Preview, true, 66},
        {"/a", false, TSaverCommand::Nothing, false, 0},
        {"/a 1234", false, TSaverCommand::Nothing, false, 0},
        {"", true, TSaverCommand::Configure, false, 0},
        {"", false, TSaverCommand::Run, false, 0},
        // Everything else runs.
        {"/s", true, TSaverCommand::Run, false, 0},
        {"/S", true, TSaverCommand::Run, false, 0},
        {"/C", true, TSaverCommand::Run, false, 0},
        {"/C:5", true, TSaverCommand::Run, false, 0},
        {"/c:", true, TSaverCommand::Run, false, 0},
        {"/c:12x", true, TSaverCommand::Run, false, 0},
        {"/c  12", true, TSaverCommand::Run, false, 0},
        {"/c5", true, TSaverCommand::Run, false, 0},
        {"/p", true, TSaverCommand::Run, false, 0},
        {"/p -5", true, TSaverCommand::Run, false, 0},
        {"/P 5", true, TSaverCommand::Run, false, 0},
        {"-a", true, TSaverCommand::Run, false, 0},
        {" ", true, TSaverCommand::Run, false, 0},
    };
    for (const Case& c : cases) {
        const TSaverRequest r = ParseSaverCommandLine(c.line, c.emptyConfigures);
        EXPECT_EQ(r.Command, c.command) << '"' << c.line << '"';
        EXPECT_EQ(r.HasWindow, c.hasWindow) << '"' << c.line << '"';
        EXPECT_EQ(r.Window, c.window) << '"' << c.line << '"';
    }
}

TEST(RunMode, ExactlySlashCOrDashCOpensTheDialog)
{
    for (const char* cmd : {"/c", "-c"}) {
        HeadlessSystem sys;
        bool saw = false;
        sys.host.SetDialogScript([&](vyla::portable::DialogSession& d) {
            saw = true;
            char title[32];
            GetWindowTextA(d.Handle(), title, sizeof title);
            EXPECT_STREQ(title, "Orvane");
            EXPECT_TRUE(sys.host.CursorVisible());
            EXPECT_EQ(FindWindowA("Vyla Screen Saver", nullptr), nullptr);
            d.PressEscape();
        });
        EXPECT_EQ(sys.Run(cmd), 0) << cmd;
        EXPECT_TRUE(saw) << cmd;
        EXPECT_EQ(sys.runtime.cursorCount, 0);
        EXPECT_EQ(sys.host.DrawingDoneCount(), 0) << "no saver window draws in configuration mode";
    }
}

TEST(RunMode, AnythingElseStartsTheSaver)
{
    // The empty line runs the saver here; on Windows it configures.
    for (const char* cmd : {"", "/s", "/S", "/C", "-C", " /c", "/c ", "/c:", "/c abc", "/C:1234", "/p", "/P 5", "/s 1234"}) {
        HeadlessSystem sys;
        SaverRun run = RunSaver(sys, cmd, WM_LBUTTONDOWN, 0, 0);
        EXPECT_EQ(sys.host.DialogsRun(), 0) << '"' << cmd << '"';
        EXPECT_NE(run.window, nullptr) << '"' << cmd << '"';
        EXPECT_GT(run.stepsBeforeInput, 0) << '"' << cmd << '"';
        EXPECT_EQ(run.exitCode, 0);
    }
}

TEST(RunMode, SlashAEndsAtOnceWithNothingShown)
{
    for (const char* cmd : {"/a", "/a 1234"}) {
        HeadlessSystem sys;
        EXPECT_EQ(sys.Run(cmd), 0) << cmd;
        EXPECT_EQ(sys.host.DialogsRun(), 0) << cmd;
        EXPECT_EQ(sys.host.DrawingDoneCount(), 0) << cmd;
        EXPECT_EQ(sys.host.TopWindow(), nullptr) << cmd;
        EXPECT_EQ(sys.runtime.cursorCount, 0) << cmd;
    }
}

TEST(ConfigMode, TheDesktopDialogOwnsTheSettingsDialog)
{
    HeadlessSystem sys;
    HWND desktopDialog = CreateWindowExA(0, MAKEINTATOM(0x8002), "Desktop", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(desktopDialog, nullptr);
    HWND owner = nullptr;
    RecordOwnerAndEscape(sys, owner);
    EXPECT_EQ(sys.Run("/c"), 0);
    EXPECT_EQ(owner, desktopDialog);
    char title[16];
    EXPECT_TRUE(IsWindow(desktopDialog)) << "deleting the alias leaves the window alone";
    GetWindowTextA(desktopDialog, title, sizeof title);
    EXPECT_STREQ(title, "Desktop");
}

TEST(ConfigMode, WithoutADesktopDialogTheDialogHasNoOwner)
{
    HeadlessSystem sys;
    HWND owner = reinterpret_cast<HWND>(1);
    RecordOwnerAndEscape(sys, owner);
    EXPECT_EQ(sys.Run("-c"), 0);
    EXPECT_EQ(owner, nullptr);
}

TEST(ConfigMode, TheNamedWindowOwnsTheDialogAndNoOtherDoes)
{
    HeadlessSystem sys;
    HWND desktopDialog = CreateWindowExA(0, MAKEINTATOM(0x8002), "Desktop", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND settings = MakeDialogClassWindow(WS_POPUP, 50, 50, 300, 200);
    ASSERT_NE(settings, nullptr);
    HWND owner = nullptr;
    RecordOwnerAndEscape(sys, owner);
    for (const std::string& cmd : {"/c:" + WindowNumber(settings), "/c " + WindowNumber(settings), "-c:" + WindowNumber(settings)}) {
        owner = nullptr;
        EXPECT_EQ(sys.Run(cmd.c_str()), 0) << cmd;
        EXPECT_EQ(owner, settings) << cmd;
        EXPECT_TRUE(IsWindow(settings)) << "the owner outlives the dialog";
    }
    // A number that is no window: no owner, not even the "Desktop" dialog.
    DestroyWindow(settings);
    owner = desktopDialog;
    EXPECT_EQ(sys.Run(("/c:" + WindowNumber(settings)).c_str()), 0);
    EXPECT_EQ(owner, nullptr);
    EXPECT_EQ(sys.host.DialogsRun(), 4);
    EXPECT_EQ(sys.runtime.cursorCount, 0);
}

TEST(SaverRun, EndToEndFromStartToAOnePixelMove)
{
    HeadlessSystem sys;
    WNDCLASSA wc{};
    RECT rect{};
    bool cursorHiddenWhileRunning = false;
    int polls = 0;
    HWND window = nullptr;
    sys.host.SetDriver([&](HeadlessHost& h) {
        h.Advance(1);
        if (++polls == 1) {
            window = h.TopWindow();
            GetClassInfoA(nullptr, "Vyla Screen Saver", &wc);
            GetWindowRect(window, &rect);
            char title[64];
            GetWindowTextA(window, title, sizeof title);
            EXPECT_STREQ(title, "Vyla Screen Saver");
            cursorHiddenWhileRunning = !h.CursorVisible() && sys.runtime.cursorCount == -1;
        }
        if (polls == 500)
            h.Inject(WM_MOUSEMOVE, 0, MAKELPARAM(321, 240));
    });
    EXPECT_EQ(sys.Run("/s"), 0);
    EXPECT_NE(window, nullptr);
    EXPECT_FALSE(IsWindow(window));
    // The class record: no icon, CS_SAVEBITS, the null brush.
    EXPECT_EQ(wc.hIcon, nullptr);
    EXPECT_TRUE(wc.style & CS_SAVEBITS);
    EXPECT_EQ(wc.hbrBackground, GetStockObject(NULL_BRUSH));
    // Placed over the whole desktop.
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, 640);
    EXPECT_EQ(rect.bottom, 480);
    EXPECT_TRUE(cursorHiddenWhileRunning);
    EXPECT_EQ(sys.runtime.cursorCount, 0);
    EXPECT_TRUE(sys.host.CursorVisible());
    // Mode 1 with the clock moving 1 ms per idle call: a step every 11 ms.
    EXPECT_NEAR(sys.host.DrawingDoneCount(), 500 / 11, 1);
    EXPECT_FALSE(sys.host.PollLimitReached());
}

struct InputCase {
    const char* name;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
    bool closes;
};

class SaverInput : public ::testing::TestWithParam<InputCase> {};

TEST_P(SaverInput, ClosesOnlyOnTheUsersSign)
{
    const InputCase& c = GetParam();
    HeadlessSystem sys;  // the cursor starts at (320, 240)
    SaverRun run = RunSaver(sys, "/s", c.msg, c.wp, c.lp);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.windowAliveAfterInput, !c.closes);
    EXPECT_EQ(sys.runtime.cursorCount, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, SaverInput,
    ::testing::Values(InputCase{"MoveOnePixelRight", WM_MOUSEMOVE, 0, MAKELPARAM(321, 240), true},
                      InputCase{"MoveOnePixelUp", WM_MOUSEMOVE, 0, MAKELPARAM(320, 239), true},
                      InputCase{"MoveToStart", WM_MOUSEMOVE, 0, MAKELPARAM(320, 240), false},
                      InputCase{"LeftButton", WM_LBUTTONDOWN, 0, 0, true},
                      InputCase{"RightButton", WM_RBUTTONDOWN, 0, 0, true},
                      InputCase{"MiddleButton", WM_MBUTTONDOWN, 0, 0, true},
                      InputCase{"ButtonRelease", WM_LBUTTONUP, 0, 0, false},
                      InputCase{"Deactivated", WM_ACTIVATE, WA_INACTIVE, 0, true},
                      InputCase{"Activated", WM_ACTIVATE, WA_ACTIVE, 0, false},
                      InputCase{"ClickActivated", WM_ACTIVATE, WA_CLICKACTIVE, 0, false},
                      InputCase{"AppDeactivated", WM_ACTIVATEAPP, FALSE, 0, true},
                      InputCase{"AppActivated", WM_ACTIVATEAPP, TRUE, 0, false},
                      InputCase{"AnyKey", WM_KEYDOWN, 'A', 0, true},
                      InputCase{"ShiftAlone", WM_KEYDOWN, VK_SHIFT, 0, true},
                      InputCase{"AltAlone", WM_SYSKEYDOWN, VK_MENU, 0, true},
                      InputCase{"KeyRelease", WM_KEYUP, 'A', 0, false},
                      InputCase{"ScreenSaveRequest", WM_SYSCOMMAND, SC_SCREENSAVE, 0, false},
                      InputCase{"ScreenSaveRequestLowBits", WM_SYSCOMMAND, SC_SCREENSAVE | 0xF, 0, false},
                      InputCase{"SystemClose", WM_SYSCOMMAND, SC_CLOSE, 0, true}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(SaverRun, SeveralClosingInputsEndItOnce)
{
    HeadlessSystem sys;
    int polls = 0;
    sys.host.SetDriver([&](HeadlessHost& h) {
        h.Advance(1);
        if (++polls == 30) {
            h.Inject(WM_KEYDOWN, 'X');
            h.Inject(WM_LBUTTONDOWN);
            h.Inject(WM_MOUSEMOVE, 0, MAKELPARAM(0, 0));
        }
    });
    EXPECT_EQ(sys.Run(""), 0);
    EXPECT_EQ(sys.runtime.cursorCount, 0);
    EXPECT_TRUE(sys.runtime.Queue().empty());
}

TEST(SaverRun, AFailureToBuildTheSceneIsReportedAndEndsTheRun)
{
    // So wide a screen that the scaled sprite strip exceeds the largest
    // bitmap the raster makes: construction throws, the reporter answers.
    HeadlessSystem sys(vyla::Size{40000, 8});
    EXPECT_EQ(sys.Run("/s"), 1);
    ASSERT_EQ(sys.host.Reports().size(), 1u);
    EXPECT_NE(sys.host.Reports()[0].find("bitmap"), std::string::npos);
    EXPECT_EQ(sys.runtime.cursorCount, 0) << "the half-built window still shows the cursor again";
}

TEST(GenericShell, SaverWindowPacesAtFiftyMillisecondsAndConfigModeShowsNothing)
{
    HeadlessSystem sys;
    TApplication::InitCmdLine = "/c";
    {
        TScrnSavApp app("generic");
        EXPECT_EQ(app.Run(), 0);
        EXPECT_EQ(sys.host.DialogsRun(), 0);
    }
    TApplication::InitCmdLine = "/s";
    TScrnSavApp app("generic");
    std::uint32_t installedAt = 0;
    int polls = 0;
    sys.host.SetDriver([&](HeadlessHost& h) {
        if (++polls == 1)
            installedAt = app.LastTick;
        h.Advance(1);
        if (polls == 200)
            h.Inject(WM_RBUTTONDOWN);
    });
    EXPECT_EQ(app.PacingMode, 0);
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(installedAt, 100000u);
    WNDCLASSA wc{};
    EXPECT_TRUE(GetClassInfoA(nullptr, "OWLScreenSaverClass", &wc));
    EXPECT_EQ(sys.runtime.cursorCount, 0);
}
