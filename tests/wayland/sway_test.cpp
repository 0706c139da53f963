// The real program on headless sway with two outputs of different sizes,
// one of scale 2, each showing a known wallpaper (swaybg): every output
// shows its own scene over its own desktop, pixel for pixel (physical
// pixels) as the headless run computes it; an output made while the saver
// runs is covered too, and one given a new size gets a new scene;
// swayidle starts it; a second saver stands down; the settings dialog runs
// on Wayland; and a key, a pointer move or a button on the seat ends the
// saver on all outputs with exit status 0.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <memory>
#include <string>

#include "desktop_picture.h"
#include "harness.h"
#include "resources/configure_dialog.h"
#include "scene_check.h"
#include "compositor_session.h"

namespace {

using vyla::Size;
using vyla::raster::Surface;
using vyla::wayland::testing::CompositorSession;
using vyla::wayland::testing::ProgramProcesses;
using vyla::x11::testing::ChildProcess;
using vyla::x11::testing::ExitCode;
using vyla::x11::testing::HeadlessScene;
using vyla::x11::testing::OutputDirectory;
using vyla::x11::testing::RunHeadlessScene;
using vyla::x11::testing::SceneMismatches;
using vyla::x11::testing::WaitFor;
using vyla::x11::testing::WritePng;

constexpr int kStartMs = 10000;
constexpr int kEndMs = 5000;

struct Output {
    const char* name;
    Size size;  // its mode: physical pixels
    int scale;
    int x;      // position in the layout
};
// HEADLESS-1 comes with sway; the second is made with create_output.
const Output kOutputs[] = {{"HEADLESS-1", {640, 480}, 1, 0}, {"HEADLESS-2", {800, 600}, 2, 640}};
// Made while the saver runs; no wallpaper, so what it shows before is one colour.
const Output kLateOutput{"HEADLESS-3", {320, 240}, 1, 1040};

void Configure(CompositorSession& session, const Output& o, const std::string& wallpaper)
{
    std::vector<std::string> command{"swaymsg", "output", o.name, "mode",
                                     std::to_string(o.size.width) + "x" + std::to_string(o.size.height), "scale",
                                     std::to_string(o.scale), "position", std::to_string(o.x), "0"};
    if (!wallpaper.empty())
        command.insert(command.end(), {"bg", wallpaper, "center"});
    session.Run(command);
}

// Within a few steps of 256 in every channel: a wallpaper drawn scaled.
bool Near(vyla::raster::Pixel a, vyla::raster::Pixel b)
{
    for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 16)
            return false;
    return true;
}

class SaverOnSway : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::string why;
        session_ = CompositorSession::StartSway("default_border none\n", &why).release();
        if (!session_) {
            skip_ = why;
            return;
        }
        // The wallpapers and the programs where the user can reach them.
        for (const Output& o : kOutputs)
            WritePng(vyla::x11::testing::DesktopPicture(o.size), WallpaperFile(o));
        std::filesystem::copy_file(VYLA_PROGRAM, Program());
        std::filesystem::copy_file(VYLA_VIRTUAL_POINTER, VirtualPointer());
        session_->OwnHome();
        // An output's settings hold for it from when it appears.
        for (const Output& o : kOutputs)
            Configure(*session_, o, WallpaperFile(o).string());
        Configure(*session_, kLateOutput, "");
        session_->Run({"swaymsg", "create_output"});
    }

    static void TearDownTestSuite()
    {
        delete session_;
        session_ = nullptr;
    }

    void SetUp() override
    {
        if (!session_)
            GTEST_SKIP() << "sway cannot run here: " << skip_;
        // The desktops as the compositor shows them, wallpapers drawn.
        for (std::size_t i = 0; i < std::size(kOutputs); ++i) {
            const Output& o = kOutputs[i];
            const Surface wallpaper = vyla::x11::testing::DesktopPicture(o.size);
            const Size middle{o.size.width / 2, o.size.height / 2};
            ASSERT_TRUE(WaitFor(
                [&] {
                    auto shot = session_->Screenshot(o.name);
                    if (!shot || shot->GetSize() != o.size ||
                        !Near(shot->At(middle.width, middle.height), wallpaper.At(middle.width, middle.height)))
                        return false;
                    desktops_[i] = std::move(*shot);
                    return true;
                },
                kStartMs))
                << o.name << " does not show its wallpaper";
        }
    }

    static std::filesystem::path WallpaperFile(const Output& o)
    {
        return session_->Home() / (std::string(o.name) + ".png");
    }
    static std::filesystem::path Program() { return session_->Home() / "vyla"; }
    static std::filesystem::path VirtualPointer() { return session_->Home() / "vyla_virtual_pointer"; }

    // Starts the saver and waits until every output shows its scene.
    std::unique_ptr<ChildProcess> StartSaver()
    {
        auto saver = std::make_unique<ChildProcess>(session_->AsUser({Program().string()}), std::vector<std::string>{}, true);
        for (std::size_t i = 0; i < std::size(kOutputs); ++i)
            ExpectScene(kOutputs[i], desktops_[i], *saver);
        return saver;
    }

    // Waits until the output shows the scene over desktop, pixel for pixel.
    static void ExpectScene(const Output& o, const Surface& desktop, ChildProcess& saver)
    {
        const HeadlessScene scene = RunHeadlessScene(desktop);
        Surface shot;
        long mismatches = -1;
        bool shown = WaitFor(
            [&] {
                if (auto s = session_->Screenshot(o.name))
                    shot = std::move(*s);
                mismatches = SceneMismatches(shot, scene);
                return mismatches == 0 || !saver.Running();
            },
            kStartMs);
        WritePng(shot, OutputDirectory() / (std::string("sway-") + o.name + ".png"));
        if (mismatches != 0) {
            WritePng(scene.bordered, OutputDirectory() / (std::string("sway-") + o.name + "-expected.png"));
        }
        EXPECT_TRUE(shown && mismatches == 0) << o.name << ": " << mismatches
                                              << " pixels differ from the headless run; see sway-*.png in "
                                              << OutputDirectory();
    }

    static inline CompositorSession* session_ = nullptr;
    static inline std::string skip_;
    Surface desktops_[std::size(kOutputs)];
};

// Pixel for pixel on both outputs, then a key typed ends it everywhere.
TEST_F(SaverOnSway, EveryOutputShowsItsSceneOverItsDesktopAndAKeyEndsIt)
{
    auto saver = StartSaver();
    ASSERT_TRUE(saver->Running());
    // The typing keyboard is new to the seat: the saver takes it first.
    EXPECT_EQ(session_->Run({"wtype", "-s", "500", "a"}), 0);
    EXPECT_EQ(ExitCode(saver->Wait(kEndMs)), 0) << "a key did not end the saver with status 0";
}

// A second saver started while one runs (two idle watchers firing) stands
// down at once with 0; the first still ends on a key.
TEST_F(SaverOnSway, ASecondSaverStandsDownWhileOneRuns)
{
    auto first = StartSaver();
    ChildProcess second(session_->AsUser({Program().string()}), std::vector<std::string>{}, true);
    EXPECT_EQ(ExitCode(second.Wait(kStartMs)), 0) << "the second saver did not stand down";
    EXPECT_TRUE(first->Running());
    EXPECT_EQ(session_->Run({"wtype", "-s", "500", "a"}), 0);
    EXPECT_EQ(ExitCode(first->Wait(kEndMs)), 0);
}

// The new output is captured, then covered by a saver of its own; a key
// still ends them all.
TEST_F(SaverOnSway, AnOutputMadeWhileItRunsIsCoveredToo)
{
    auto saver = StartSaver();
    ASSERT_TRUE(saver->Running());
    ASSERT_EQ(session_->Run({"swaymsg", "create_output"}), 0);
    // Before the saver it showed one colour, which the middle of the scene,
    // inside the border, still shows.
    std::optional<Surface> first;
    ASSERT_TRUE(WaitFor(
        [&] {
            first = session_->Screenshot(kLateOutput.name);
            return first && first->GetSize() == kLateOutput.size;
        },
        kStartMs));
    Surface desktop = *Surface::Create(kLateOutput.size);
    desktop.Fill(first->At(kLateOutput.size.width / 2, kLateOutput.size.height / 2));
    ExpectScene(kLateOutput, desktop, *saver);
    EXPECT_EQ(session_->Run({"wtype", "-s", "500", "a"}), 0);
    EXPECT_EQ(ExitCode(saver->Wait(kEndMs)), 0);
}

// A new mode ends the output's scene and builds one for the new size over
// the desktop as it was taken, rescaled (nearest neighbour).
TEST_F(SaverOnSway, AnOutputsNewSizeGetsASceneOfItsOwnOverTheSameDesktop)
{
    auto saver = StartSaver();
    ASSERT_TRUE(saver->Running());
    Output resized = kOutputs[0];
    resized.size = Size{480, 360};  // smaller: the outputs beside it stay where they are
    Configure(*session_, resized, WallpaperFile(kOutputs[0]).string());
    const Surface& before = desktops_[0];
    Surface desktop = *Surface::Create(resized.size);
    for (int y = 0; y < resized.size.height; ++y)
        for (int x = 0; x < resized.size.width; ++x)
            desktop.Set(x, y, before.At(x * before.Width() / resized.size.width, y * before.Height() / resized.size.height));
    ExpectScene(resized, desktop, *saver);
    EXPECT_TRUE(saver->Running()) << "a new size ended the saver";
    EXPECT_EQ(session_->Run({"wtype", "-s", "500", "a"}), 0);
    EXPECT_EQ(ExitCode(saver->Wait(kEndMs)), 0);
    Configure(*session_, kOutputs[0], WallpaperFile(kOutputs[0]).string());
}

// The processes running the program under test.

// README's line: swayidle starts the saver when the seat has been idle,
// and input ends it.
TEST_F(SaverOnSway, SwayidleStartsItAtIdle)
{
    auto idle = std::make_unique<ChildProcess>(
        session_->AsUser({"swayidle", "timeout", "2", Program().string()}), std::vector<std::string>{}, true);
    ASSERT_TRUE(WaitFor([&] { return !ProgramProcesses(Program()).empty() || !idle->Running(); }, kStartMs))
        << "swayidle did not start the saver";
    for (std::size_t i = 0; i < std::size(kOutputs); ++i)
        ExpectScene(kOutputs[i], desktops_[i], *idle);
    EXPECT_EQ(session_->Run({"wtype", "-s", "500", "a"}), 0);
    EXPECT_TRUE(WaitFor([&] { return ProgramProcesses(Program()).empty(); }, kEndMs)) << "a key did not end the saver";
    // Before the seat is idle again.
    idle.reset();
    for (pid_t pid : ProgramProcesses(Program()))
        kill(pid, SIGTERM);
}

// Its own watcher, through sway's idle protocol: the saver starts at idle
// (the watcher and the saver are the same program: more than one process),
// a key ends it, it starts again, and SIGTERM ends watcher and saver with 0.
TEST_F(SaverOnSway, ItsOwnWatcherStartsItAtIdleAndAgainAfterInput)
{
    ChildProcess watcher(session_->AsUser({Program().string(), "--watch-idle", "2"}), {}, true);
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(WaitFor([&] { return ProgramProcesses(Program()).size() > 1 || !watcher.Running(); }, kStartMs))
            << "round " << round << ": the watcher did not start the saver";
        ASSERT_TRUE(watcher.Running()) << "the watcher ended, status " << ExitCode(watcher.Wait(0));
        // Shown, so it has the keyboard.
        ExpectScene(kOutputs[0], desktops_[0], watcher);
        EXPECT_EQ(session_->Run({"wtype", "-s", "500", "a"}), 0);
        EXPECT_TRUE(WaitFor([&] { return ProgramProcesses(Program()).size() == 1; }, kEndMs))
            << "round " << round << ": a key did not end the saver";
    }
    ASSERT_TRUE(WaitFor([&] { return ProgramProcesses(Program()).size() > 1; }, kStartMs)) << "no third start";
    watcher.Signal(SIGTERM);
    EXPECT_EQ(ExitCode(watcher.Wait(kEndMs)), 0);
    EXPECT_TRUE(WaitFor([&] { return ProgramProcesses(Program()).empty(); }, kEndMs)) << "the saver outlived it";
}

// The settings dialog runs on Wayland itself (GTK), with no X display:
// the window appears, and Return confirms it, writing the settings file.
TEST_F(SaverOnSway, TheSettingsDialogRunsNativelyAndReturnSavesIt)
{
    const auto config = session_->Home() / "dialog-config";
    std::filesystem::create_directories(config);
    ASSERT_TRUE(session_->OwnHome());
    auto command = session_->AsUser({"env", "XDG_CONFIG_HOME=" + config.string(), Program().string(), "/c"});
    ChildProcess dialog(command, {}, true);
    ASSERT_TRUE(WaitFor(
        [&] {
            auto [code, tree] = vyla::x11::testing::RunCommandOutput(session_->AsUser({"swaymsg", "-t", "get_tree"}), {});
            return (code == 0 && tree.find("\"name\": \"" VYLA_CONFIGURE_CAPTION "\"") != std::string::npos) || !dialog.Running();
        },
        kStartMs))
        << "no dialog window on sway";
    EXPECT_EQ(session_->Run({"wtype", "-s", "500", "-k", "Return"}), 0);
    EXPECT_EQ(ExitCode(dialog.Wait(kEndMs)), 0);
    std::string written;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(config))
        if (entry.path().filename() == "vyla.ini")
            written = vyla::testing::ReadText(entry.path());
    for (const char* key : {"color=", "speed=", "girls=", "interval="})
        EXPECT_NE(written.find(key), std::string::npos) << key << " not written: \"" << written << "\"";
}

class SaverOnSwayEndsOn : public SaverOnSway, public ::testing::WithParamInterface<const char*> {};

// A new pointer device appears on the seat (the saver takes it), then acts.
TEST_P(SaverOnSwayEndsOn, ThePointer)
{
    auto saver = StartSaver();
    ASSERT_TRUE(saver->Running());
    EXPECT_EQ(session_->Run({VirtualPointer().string(), GetParam()}), 0);
    EXPECT_EQ(ExitCode(saver->Wait(kEndMs)), 0) << GetParam() << " did not end the saver with status 0";
}

INSTANTIATE_TEST_SUITE_P(Actions, SaverOnSwayEndsOn, ::testing::Values("move", "button"));

}  // namespace
