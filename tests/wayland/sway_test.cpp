// The real program on headless sway with two outputs of different sizes,
// each showing a known wallpaper (swaybg): every output shows its own
// scene over its own desktop, pixel for pixel as the headless run computes
// it, and a key, a pointer move or a button on the seat ends the saver on
// all outputs with exit status 0.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "desktop_picture.h"
#include "harness.h"
#include "scene_check.h"
#include "sway_session.h"

namespace {

using vyla::Size;
using vyla::raster::Surface;
using vyla::wayland::testing::SwaySession;
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
    Size size;
    int x;  // position in the layout
};
// HEADLESS-1 comes with sway; the second is made with create_output.
const Output kOutputs[] = {{"HEADLESS-1", {640, 480}, 0}, {"HEADLESS-2", {400, 300}, 640}};

class SaverOnSway : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::string why;
        session_ = SwaySession::Start("default_border none\n", &why).release();
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
            session_->Run({"swaymsg", "output", o.name, "mode", std::to_string(o.size.width) + "x" + std::to_string(o.size.height),
                           "position", std::to_string(o.x), "0", "bg", WallpaperFile(o).string(), "center"});
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
                        shot->At(middle.width, middle.height) != wallpaper.At(middle.width, middle.height))
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
        for (std::size_t i = 0; i < std::size(kOutputs); ++i) {
            const Output& o = kOutputs[i];
            const HeadlessScene scene = RunHeadlessScene(desktops_[i]);
            Surface shot;
            long mismatches = -1;
            bool shown = WaitFor(
                [&] {
                    if (auto s = session_->Screenshot(o.name))
                        shot = std::move(*s);
                    mismatches = SceneMismatches(shot, scene);
                    return mismatches == 0 || !saver->Running();
                },
                kStartMs);
            if (mismatches != 0) {
                WritePng(shot, OutputDirectory() / (std::string("sway-") + o.name + ".png"));
                WritePng(scene.bordered, OutputDirectory() / (std::string("sway-") + o.name + "-expected.png"));
            }
            EXPECT_TRUE(shown && mismatches == 0)
                << o.name << ": " << mismatches << " pixels differ from the headless run; see sway-*.png in "
                << OutputDirectory();
        }
        return saver;
    }

    static inline SwaySession* session_ = nullptr;
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
