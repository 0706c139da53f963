// The program under headless mutter 43 (GNOME's compositor: no layer-shell,
// no screen capture without asking): the saver as a fullscreen window that
// a key ends with 0, the scene over the wallpaper GSettings names (taken
// through its screen-cast interface and PipeWire), and its own watcher starting it through mutter's idle
// monitor, again after input, and not while the session manager says a
// program inhibits idle. Input comes through mutter's remote-desktop
// interface (tests/wayland/mutter_input.cpp).
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include <gdk-pixbuf/gdk-pixbuf.h>

#include "compositor_session.h"
#include "desktop_picture.h"
#include "harness.h"
#include "headless_scene.h"
#include "scene_check.h"

namespace {

using vyla::wayland::testing::CompositorSession;
using vyla::wayland::testing::ProgramProcesses;
using vyla::x11::testing::ChildProcess;
using vyla::x11::testing::ExitCode;
using vyla::x11::testing::WaitFor;

constexpr int kStartMs = 10000;
constexpr int kEndMs = 5000;
constexpr vyla::Size kMonitor{640, 480};
constexpr vyla::Size kPicture{480, 320};
constexpr vyla::raster::Pixel kColour = 0x2E3440;

// What mutter's monitor shows (its screen-cast stream, to PNG); nullopt on failure.
std::optional<vyla::raster::Surface> Shot(CompositorSession& session)
{
    const auto file = session.Home() / "shot.png";
    std::filesystem::remove(file);
    if (session.Run({(session.Home() / "mutter_shot").string(), file.string()}, 15000) != 0)
        return std::nullopt;
    GdkPixbuf* p = gdk_pixbuf_new_from_file(file.c_str(), nullptr);
    if (!p)
        return std::nullopt;
    auto shot = vyla::raster::Surface::Create({gdk_pixbuf_get_width(p), gdk_pixbuf_get_height(p)});
    const int n = gdk_pixbuf_get_n_channels(p), stride = gdk_pixbuf_get_rowstride(p);
    for (int y = 0; shot && y < shot->Height(); ++y)
        for (int x = 0; x < shot->Width(); ++x) {
            const guchar* at = gdk_pixbuf_read_pixels(p) + y * stride + x * n;
            shot->Set(x, y, vyla::raster::Pixel{at[0]} << 16 | vyla::raster::Pixel{at[1]} << 8 | at[2]);
        }
    g_object_unref(p);
    return shot;
}

class SaverOnMutter : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::string why;
        session_ = CompositorSession::StartMutter({640, 480}, &why).release();
        if (!session_) {
            skip_ = why;
            return;
        }
        std::filesystem::copy_file(VYLA_PROGRAM, Program());
        std::filesystem::copy_file(VYLA_MUTTER_INPUT, session_->Home() / "mutter_input");
        std::filesystem::copy_file(VYLA_SESSION_INHIBITOR, session_->Home() / "session_inhibitor");
        std::filesystem::copy_file(VYLA_MUTTER_SHOT, session_->Home() / "mutter_shot");
        vyla::x11::testing::WritePng(vyla::x11::testing::DesktopPicture(kPicture), session_->Home() / "wall.png");
        session_->OwnHome();
    }
    static void TearDownTestSuite()
    {
        delete session_;
        session_ = nullptr;
    }
    void SetUp() override
    {
        if (!session_)
            GTEST_SKIP() << "mutter cannot run here: " << skip_;
    }

    static std::filesystem::path Program() { return session_->Home() / "vyla"; }
    static int Key() { return session_->Run({(session_->Home() / "mutter_input").string()}); }
    // The saver of a watcher: processes of the program beside the watcher.
    static bool SaverRuns() { return ProgramProcesses(Program()).size() > 1; }

    inline static CompositorSession* session_ = nullptr;
    inline static std::string skip_;
};

TEST_F(SaverOnMutter, AFullscreenWindowPerOutputThatAKeyEnds)
{
    ChildProcess saver(session_->AsUser({Program().string()}), {}, true);
    // The first process and the output's own, which stay.
    ASSERT_TRUE(WaitFor([&] { return ProgramProcesses(Program()).size() == 2 || !saver.Running(); }, kStartMs));
    std::this_thread::sleep_for(std::chrono::seconds(1));
    ASSERT_TRUE(saver.Running()) << "the saver ended at once, status " << ExitCode(saver.Wait(0));
    EXPECT_EQ(Key(), 0);
    EXPECT_EQ(ExitCode(saver.Wait(kEndMs)), 0) << "a key did not end the saver";
}

// GNOME's wallpaper, centred over its colour as GSettings says, under the
// scene, pixel for pixel as the headless run draws it over that desktop.
TEST_F(SaverOnMutter, TheSceneOverTheWallpaperPlacedAsSet)
{
    if (!std::filesystem::exists("/usr/bin/wireplumber") || !std::filesystem::exists("/usr/bin/gst-launch-1.0"))
        GTEST_SKIP() << "no PipeWire or gstreamer to take mutter's screen with";
    const std::string uri = "file://" + (session_->Home() / "wall.png").string();
    for (const char* key : {"picture-uri", "picture-uri-dark"})
        ASSERT_EQ(session_->Run({"gsettings", "set", "org.gnome.desktop.background", key, uri}), 0);
    ASSERT_EQ(session_->Run({"gsettings", "set", "org.gnome.desktop.background", "picture-options", "centered"}), 0);
    ASSERT_EQ(session_->Run({"gsettings", "set", "org.gnome.desktop.background", "primary-color", "#2e3440"}), 0);
    auto desktop = vyla::raster::Surface::Create(kMonitor, kColour);
    const vyla::raster::Surface picture = vyla::x11::testing::DesktopPicture(kPicture);
    for (int y = 0; y < kPicture.height; ++y)
        for (int x = 0; x < kPicture.width; ++x)
            desktop->Set(80 + x, 80 + y, picture.At(x, y));
    const auto scene = vyla::x11::testing::RunHeadlessScene(*desktop);

    ChildProcess saver(session_->AsUser({Program().string()}), {}, true);
    long mismatches = -1;
    vyla::raster::Surface last;
    EXPECT_TRUE(WaitFor(
        [&] {
            if (auto shot = Shot(*session_))
                last = std::move(*shot);
            mismatches = vyla::x11::testing::SceneMismatches(last, scene);
            return mismatches == 0 || !saver.Running();
        },
        kStartMs))
        << mismatches << " pixels differ";
    vyla::x11::testing::WritePng(last, vyla::x11::testing::OutputDirectory() / "mutter_scene.png");
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(Key(), 0);
    EXPECT_EQ(ExitCode(saver.Wait(kEndMs)), 0);
}

TEST_F(SaverOnMutter, ItsWatcherStartsItThroughTheIdleMonitorAgainAfterInput)
{
    ChildProcess watcher(session_->AsUser({Program().string(), "--watch-idle", "2"}), {}, true);
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(WaitFor([&] { return SaverRuns() || !watcher.Running(); }, kStartMs)) << "round " << round;
        ASSERT_TRUE(watcher.Running()) << "the watcher ended, status " << ExitCode(watcher.Wait(0));
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        EXPECT_EQ(Key(), 0);
        EXPECT_TRUE(WaitFor([&] { return !SaverRuns(); }, kEndMs)) << "round " << round << ": a key did not end it";
    }
    watcher.Signal(SIGTERM);
    EXPECT_EQ(ExitCode(watcher.Wait(kEndMs)), 0);
    EXPECT_TRUE(WaitFor([&] { return ProgramProcesses(Program()).empty(); }, kEndMs));
}

// The session manager is a stand-in (headless mutter runs none): while it
// says a program inhibits idle no saver starts; once it is gone, one does.
TEST_F(SaverOnMutter, NoSaverWhileTheSessionManagerSaysIdleIsInhibited)
{
    auto inhibitor = std::make_unique<ChildProcess>(
        session_->AsUser({(session_->Home() / "session_inhibitor").string()}), std::vector<std::string>{});
    // It owns the name before the watcher asks.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_TRUE(inhibitor->Running());
    ChildProcess watcher(session_->AsUser({Program().string(), "--watch-idle", "1"}), {}, true);
    EXPECT_FALSE(WaitFor([&] { return SaverRuns() || !watcher.Running(); }, 4000)) << "a saver despite the inhibitor";
    inhibitor.reset();
    EXPECT_TRUE(WaitFor([&] { return SaverRuns(); }, kStartMs)) << "no saver once the inhibitor was gone";
    watcher.Signal(SIGTERM);
    EXPECT_EQ(ExitCode(watcher.Wait(kEndMs)), 0);
    EXPECT_TRUE(WaitFor([&] { return ProgramProcesses(Program()).empty(); }, kEndMs));
}

}  // namespace
