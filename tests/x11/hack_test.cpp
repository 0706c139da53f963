// The real program as a hack: under the real X screen-saver daemon, and
// drawing into a window it is given.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <chrono>
#include <cstring>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>

#include "child_process.h"
#include "desktop_picture.h"
#include "harness.h"
#include "headless_scene.h"
#include "scene_check.h"
#include "x_client.h"
#include "xvfb_server.h"
#include "xvfb_suite.h"

using namespace vyla::x11::testing;

namespace {

constexpr Size kScreen{800, 600};
// Room for the daemon's settings program's window.
constexpr Size kDaemonScreen{1024, 768};
// Generous bounds for waiting on a loaded machine; no test measures speed.
constexpr int kStartMs = 20000;
constexpr int kEndMs = 10000;

// Processes running program, by their command line.
std::vector<pid_t> ProgramProcesses(const std::string& program)
{
    std::vector<pid_t> found;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || !std::all_of(name.begin(), name.end(), [](unsigned char c) { return std::isdigit(c) != 0; }))
            continue;
        std::string cmdline = ReadText(entry.path() / "cmdline");
        if (cmdline.substr(0, cmdline.find('\0')) == program)
            found.push_back(static_cast<pid_t>(std::stol(name)));
    }
    return found;
}

// System V shared-memory segments made by any of these processes.
int SegmentsMadeBy(const std::set<pid_t>& creators)
{
    std::istringstream table(ReadText("/proc/sysvipc/shm"));
    std::string line;
    std::getline(table, line);  // the header
    int count = 0;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        long key = 0, id = 0, perms = 0, size = 0, cpid = 0;
        fields >> key >> id >> perms >> size >> cpid;
        if (creators.count(static_cast<pid_t>(cpid)))
            ++count;
    }
    return count;
}


}  // namespace

// ---------------------------------------------------------------------------
// Under the X screen-saver daemon.

class HackUnderDaemon : public XvfbSuite<HackUnderDaemon> {
protected:
    // Only the background, no wallpaper property: what the hack shows can
    // then come only from the daemon's screenshot.
    static void SetUpTestSuite() { StartServer(kDaemonScreen); }

    void SetUp() override
    {
        XvfbSuite::SetUp();
        if (HasFatalFailure())
            return;
        BeforeDaemon();
        user_ = UnprivilegedUser::Choose();
        const auto home = home_.Path();
        std::filesystem::create_directories(home / ".config");
        // Only Vyla, chosen; no fading, locking or splash screen to wait for.
        WriteText(home / ".xscreensaver", "mode: one\n"
                                          "selected: 0\n"
                                          "lock: False\n"
                                          "fade: False\n"
                                          "unfade: False\n"
                                          "splash: False\n"
                                          "grabDesktopImages: True\n"
                                          "timeout: 2:00:00\n"
                                          "cycle: 2:00:00\n"
                                          "programs: " + hack_.string() + " --root \\n\n");
        // The hack as the install lays it out (a link to the program), under
        // the private HOME: the daemon's user may not reach the build tree.
        ASSERT_EQ(RunCommand({"cmake", "--install", VYLA_BUILD_DIR, "--prefix", (home / "usr").string()}, {}, kStartMs), 0);
        ASSERT_TRUE(std::filesystem::is_symlink(hack_)) << hack_;
        ASSERT_TRUE(user_.Own(home));

        std::vector<std::string> argv = user_.prefix;
        for (std::string word : {"env", "-i"})
            argv.push_back(word);
        argv.push_back("HOME=" + home.string());
        argv.push_back(server_->DisplayVariable());
        argv.push_back("PATH=/usr/libexec/xscreensaver:/usr/bin:/bin");
        for (std::string word : {"xscreensaver", "--no-splash"})
            argv.push_back(word);
        daemon_ = std::make_unique<ChildProcess>(argv, std::vector<std::string>{}, true);
        // The daemon answers commands once it is up.
        ASSERT_TRUE(WaitFor([&] { return Command("-version") == 0 || !daemon_->Running(); }, kStartMs));
        ASSERT_TRUE(daemon_->Running()) << "the daemon ended at once";
    }

    void TearDown() override
    {
        if (daemon_ && daemon_->Running()) {
            Command("-exit");
            daemon_->Wait(kEndMs);
        }
        daemon_.reset();
        // A hack the daemon left behind would be a failure of the test above;
        // it must not outlive this one.
        for (pid_t pid : ProgramProcesses(hack_.string()))
            kill(pid, SIGKILL);
    }

    int Command(const std::string& word)
    {
        return RunCommand({"xscreensaver-command", word}, {server_->DisplayVariable()}, kEndMs);
    }

    // The daemon reads the monitors' layout when it starts.
    virtual void BeforeDaemon() {}

    TempDir home_;
    const std::filesystem::path hack_ = home_.Path() / "usr/libexec/xscreensaver/vyla";
    UnprivilegedUser user_;
    std::unique_ptr<ChildProcess> daemon_;
};

TEST_F(HackUnderDaemon, ActivateShowsTheSceneOverTheDesktopAndDeactivateEndsIt)
{
    const HeadlessScene scene = RunHeadlessScene(*desktop_);
    ASSERT_EQ(Command("-activate"), 0);

    std::set<pid_t> hacks;
    ASSERT_TRUE(WaitFor(
        [&] {
            for (pid_t pid : ProgramProcesses(hack_.string()))
                hacks.insert(pid);
            return !hacks.empty();
        },
        kStartMs))
        << "the daemon did not start the hack";

    Surface shot;
    long mismatches = -1;
    bool shown = ShowsScene(*client_, Rect::FromSize(kDaemonScreen), scene, kStartMs, &shot, &mismatches);
    WritePng(shot, OutputDirectory() / "xscreensaver.png");
    if (!shown)
        WritePng(scene.bordered, OutputDirectory() / "xscreensaver-expected.png");
    EXPECT_TRUE(shown) << mismatches << " pixels outside the corners differ from the headless run; see xscreensaver*.png in "
                       << OutputDirectory();
    // The daemon's window, not one of Vyla's, covers the screen.
    EXPECT_FALSE(client_->FindOverrideWindow(kSaverName));

    const auto asked = std::chrono::steady_clock::now();
    ASSERT_EQ(Command("-deactivate"), 0);
    EXPECT_TRUE(WaitFor([&] { return ProgramProcesses(hack_.string()).empty(); }, kEndMs)) << "the hack stayed after -deactivate";
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - asked);
    RecordProperty("hack_end_ms", static_cast<int>(took.count()));
    EXPECT_EQ(SegmentsMadeBy(hacks), 0) << "shared memory left behind";
}

TEST_F(HackUnderDaemon, TheSettingsProgramReadsTheDescriptionAndPreviewsVyla)
{
    // xscreensaver-settings reads descriptions from one fixed directory; a
    // private mount namespace shows it one holding only vyla.xml, leaving
    // the system's untouched. That takes root.
    if (geteuid() != 0 || RunCommand({"unshare", "--mount", "true"}, {}) != 0)
        GTEST_SKIP() << "needs root, allowed to make a private mount namespace";
    TempDir config;
    std::filesystem::copy_file(VYLA_HACK_CONFIG, config.Path() / "vyla.xml");
    ASSERT_EQ(chmod(config.Path().c_str(), 0755), 0);
    const auto output = home_.Path() / "settings.log";
    const std::string command =
        "mount --bind " + config.Path().string() + " /usr/share/xscreensaver/config && exec " +
        [&] {
            std::string words;
            for (const auto& w : user_.prefix)
                words += w + " ";
            return words;
        }() +
        "env -i HOME=" + home_.Path().string() + " " + server_->DisplayVariable() +
        " PATH=/usr/bin:/bin xscreensaver-settings >" + output.string() + " 2>&1";
    // The wallpaper, named for this test only: the other proves that the
    // daemon's screenshot is used.
    ASSERT_TRUE(SetWallpaper(client_->Get(), *desktop_));
    struct Unname {
        Display* display;
        ~Unname()
        {
            XDeleteProperty(display, DefaultRootWindow(display), XInternAtom(display, "_XROOTPMAP_ID", False));
            XSync(display, False);
        }
    } unname{client_->Get()};
    ChildProcess settings({"unshare", "--mount", "--propagation", "private", "sh", "-c", command}, {}, true);

    // It previews the selected hack at once, in a pane of its window.
    std::optional<::Window> pane;
    ASSERT_TRUE(WaitFor(
        [&] {
            for (pid_t pid : ProgramProcesses(hack_.string())) {
                std::string cmdline = ReadText("/proc/" + std::to_string(pid) + "/cmdline");
                auto at = cmdline.find(std::string("--window-id") + '\0');
                if (at != std::string::npos)
                    pane = std::stoul(cmdline.substr(at + 12), nullptr, 0);
            }
            return pane.has_value() || !settings.Running();
        },
        kStartMs))
        << "no preview of Vyla";
    ASSERT_TRUE(pane) << "xscreensaver-settings ended: " << ReadText(output);

    XWindowAttributes attributes{};
    ASSERT_TRUE(XGetWindowAttributes(client_->Get(), *pane, &attributes));
    int x = 0, y = 0;
    ::Window child = 0;
    XTranslateCoordinates(client_->Get(), *pane, client_->Root(), 0, 0, &x, &y, &child);
    const Rect area = Rect::FromXYWH(x, y, attributes.width, attributes.height);
    // A pane has no screenshot: the scene is drawn over the part of the
    // wallpaper under it.
    const HeadlessScene scene = RunHeadlessScene(Crop(*desktop_, area));
    Surface shot;
    long mismatches = -1;
    EXPECT_TRUE(ShowsScene(*client_, area, scene, kStartMs, &shot, &mismatches)) << mismatches << " pixels differ";
    WritePng(client_->Screenshot(), OutputDirectory() / "xscreensaver-settings.png");

    settings.Signal(SIGTERM);
    settings.Wait(kEndMs);
    // Whatever it complains about names the file.
    const std::string said = ReadText(output);
    EXPECT_EQ(said.find("vyla"), std::string::npos) << said;
    EXPECT_EQ(said.find("Vyla"), std::string::npos) << said;
}

// Two monitors side by side: the daemon gives each a window of its own, with
// a screenshot of that monitor only.
class HackUnderDaemonOnTwoMonitors : public HackUnderDaemon {
protected:
    const Rect kLeft = Rect::FromXYWH(0, 0, 512, 768);
    const Rect kRight = Rect::FromXYWH(512, 0, 512, 768);

    void BeforeDaemon() override
    {
        const std::vector<std::string> display{server_->DisplayVariable()};
        auto [code, monitors] = RunCommandOutput({"xrandr", "--listmonitors"}, display);
        ASSERT_EQ(code, 0);
        if (monitors.find(" left ") != std::string::npos)
            return;
        ASSERT_EQ(RunCommand({"xrandr", "--setmonitor", "left", "512/135x768/203+0+0", "screen"}, display), 0);
        ASSERT_EQ(RunCommand({"xrandr", "--setmonitor", "right", "512/135x768/203+512+0", "none"}, display), 0);
    }
};

TEST_F(HackUnderDaemonOnTwoMonitors, EachMonitorShowsItsOwnSceneOverItsPartOfTheDesktop)
{
    ASSERT_EQ(Command("-activate"), 0);
    for (const Rect& monitor : {kLeft, kRight}) {
        const HeadlessScene scene = RunHeadlessScene(Crop(*desktop_, monitor));
        Surface shot;
        long mismatches = -1;
        EXPECT_TRUE(ShowsScene(*client_, monitor, scene, kStartMs, &shot, &mismatches))
            << "monitor at x " << monitor.left << ": " << mismatches << " pixels outside the corners differ";
    }
    WritePng(client_->Screenshot(), OutputDirectory() / "xscreensaver-two-monitors.png");
    ASSERT_EQ(Command("-deactivate"), 0);
    EXPECT_TRUE(WaitFor([&] { return ProgramProcesses(hack_.string()).empty(); }, kEndMs));
}

// ---------------------------------------------------------------------------
// In a window of the test's own, as in a settings program's preview.

class HackInWindow : public XvfbSuite<HackInWindow> {
protected:
    static void SetUpTestSuite() { StartServer(kScreen, Desktop::Wallpaper); }
    void TearDown() override
    {
        if (window_) {
            XDestroyWindow(client_->Get(), window_);
            XSync(client_->Get(), False);
        }
    }

    // A plain mapped window at area; the program gets its id.
    ::Window MakeWindow(const Rect& area)
    {
        Display* display = client_->Get();
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        attributes.background_pixel = BlackPixel(display, DefaultScreen(display));
        window_ = XCreateWindow(display, client_->Root(), area.left, area.top, static_cast<unsigned>(area.Width()),
                                static_cast<unsigned>(area.Height()), 0, CopyFromParent, InputOutput, CopyFromParent,
                                CWOverrideRedirect | CWBackPixel, &attributes);
        XMapRaised(display, window_);
        XSync(display, False);
        return window_;
    }

    std::unique_ptr<ChildProcess> StartHack(::Window window, std::vector<std::string> extra = {})
    {
        char id[32];
        std::snprintf(id, sizeof id, "0x%lx", static_cast<unsigned long>(window));
        std::vector<std::string> argv{ProgramPath(), "--window-id", id};
        argv.insert(argv.end(), extra.begin(), extra.end());
        return std::make_unique<ChildProcess>(
            argv, std::vector<std::string>{server_->DisplayVariable(), "XDG_CONFIG_HOME=" + settings_.Path().string()},
            true);
    }

    void ExpectScene(const Rect& area, const std::string& name)
    {
        const HeadlessScene scene = RunHeadlessScene(Crop(*desktop_, area));
        Surface shot;
        long mismatches = -1;
        bool shown = ShowsScene(*client_, area, scene, kStartMs, &shot, &mismatches);
        WritePng(shot, OutputDirectory() / (name + ".png"));
        if (!shown)
            WritePng(scene.bordered, OutputDirectory() / (name + "-expected.png"));
        EXPECT_TRUE(shown) << mismatches << " pixels outside the corners differ from the headless run; see " << name
                           << "*.png in " << OutputDirectory();
    }

    TempDir settings_;
    ::Window window_ = 0;
};

TEST_F(HackInWindow, APreviewWindowGetsASmallCompleteSceneAndNoGrabOrWindowOfItsOwn)
{
    const Rect area = Rect::FromXYWH(150, 120, 400, 300);
    auto hack = StartHack(MakeWindow(area));
    ExpectScene(area, "hack-preview");
    EXPECT_FALSE(client_->OthersHoldGrabs());
    EXPECT_FALSE(client_->FindOverrideWindow(kSaverName));
    EXPECT_FALSE(client_->CursorIsBlank());
    // Input is not its business.
    client_->SendMotion(window_, Point{5, 5});
    EXPECT_TRUE(hack->Running());

    hack->Signal(SIGTERM);
    EXPECT_EQ(ExitCode(hack->Wait(kEndMs)), 0);
}

TEST_F(HackInWindow, RootMeansTheDaemonsWindowWhenItNamesOneElseTheRoot)
{
    const Rect area = Rect::FromXYWH(300, 200, 400, 300);
    char id[32];
    std::snprintf(id, sizeof id, "%lu", static_cast<unsigned long>(MakeWindow(area)));
    const std::vector<std::string> env{server_->DisplayVariable(), "XDG_CONFIG_HOME=" + settings_.Path().string()};
    {
        ChildProcess hack({ProgramPath(), "-root"}, {env[0], env[1], std::string("XSCREENSAVER_WINDOW=") + id}, true);
        ExpectScene(area, "hack-root-daemon-window");
        hack.Signal(SIGTERM);
        EXPECT_EQ(ExitCode(hack.Wait(kEndMs)), 0);
    }
    XDestroyWindow(client_->Get(), window_);
    XSync(client_->Get(), False);
    window_ = 0;
    {
        ChildProcess hack({ProgramPath(), "--root"}, env, true);
        ExpectScene(Rect::FromSize(kScreen), "hack-root");
        hack.Signal(SIGTERM);
        EXPECT_EQ(ExitCode(hack.Wait(kEndMs)), 0);
    }
    // What the root showed comes back.
    XClearWindow(client_->Get(), client_->Root());
    XSync(client_->Get(), False);
}

TEST_F(HackInWindow, AResizedWindowGetsTheSceneForItsNewSize)
{
    auto hack = StartHack(MakeWindow(Rect::FromXYWH(100, 100, 400, 300)));
    ExpectScene(Rect::FromXYWH(100, 100, 400, 300), "hack-before-resize");
    const Rect larger = Rect::FromXYWH(100, 100, 640, 360);
    XResizeWindow(client_->Get(), window_, static_cast<unsigned>(larger.Width()), static_cast<unsigned>(larger.Height()));
    XSync(client_->Get(), False);
    ExpectScene(larger, "hack-after-resize");
    hack->Signal(SIGINT);
    EXPECT_EQ(ExitCode(hack->Wait(kEndMs)), 0);
}

TEST_F(HackInWindow, EndsWhenTheWindowIsDestroyedAndSettingsOptionsHoldForTheRun)
{
    const Rect area = Rect::FromXYWH(0, 0, 400, 300);
    // White flowers and the fast speed, over a settings file that says
    // otherwise and must stay as it was.
    const std::string original = "[options]\r\ncolor=0\r\nspeed=0\r\n";
    WriteText(settings_.Path() / "vyla.ini", original);
    auto hack = StartHack(MakeWindow(area), {"--color", "white", "-speed", "fast"});
    const HeadlessScene crimson = RunHeadlessScene(Crop(*desktop_, area));
    // The border does not depend on the colour; the flowers do.
    Surface shot;
    ASSERT_TRUE(WaitFor(
        [&] {
            shot = client_->Screenshot(area);
            return MismatchesOutsideCorners(shot, crimson.bordered, crimson.corners) == 0 &&
                   !SamePixels(Crop(shot, crimson.corners[0]), Crop(crimson.bordered, crimson.corners[0]));
        },
        kStartMs));
    EXPECT_FALSE(ShowsAFrame(shot, crimson, 0)) << "crimson flowers despite --color white";

    XDestroyWindow(client_->Get(), window_);
    XSync(client_->Get(), False);
    window_ = 0;
    EXPECT_EQ(ExitCode(hack->Wait(kEndMs)), 0);
    EXPECT_EQ(ReadText(settings_.Path() / "vyla.ini"), original);
}

TEST_F(HackInWindow, AWindowThatIsNotThereIsOneLineAndStatusOne)
{
    auto [code, output] = RunCommandOutput(
        {"sh", "-c", std::string(ProgramPath()) + " --window-id 0x7fffff0 2>&1"}, {server_->DisplayVariable()}, kEndMs);
    EXPECT_EQ(code, 1);
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
    EXPECT_NE(output.find("0x7fffff0"), std::string::npos) << output;
}
