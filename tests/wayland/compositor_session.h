// A compositor for the Wayland tests, started as the unprivileged user
// (sway refuses root) with a runtime directory and HOME of its own:
//   headless sway, with the pixman renderer and no input devices;
//   kwin_wayland --virtual in a private D-Bus session, from a plain copy of
//   its binary (the packaged one carries a file capability that containers
//   may refuse), its screenshots and fake input open to the tests (its
//   test switches turn the permission checks off).
// Its clients (the program under test, grim, wtype, swaymsg, the helpers)
// run as the same user in a clean environment that names only this
// compositor (and its bus).
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "child_process.h"
#include "portable/raster/surface.h"
#include "support/temp_dir.h"
#include "support/unprivileged_user.h"

namespace vyla::wayland::testing {

class CompositorSession {
public:
    // config: the text of sway's configuration file. nullptr, with *why in
    // one line, when sway cannot start here.
    static std::unique_ptr<CompositorSession> StartSway(const std::string& config, std::string* why);
    // KWin on one virtual output of that size (logical units) and scale;
    // shot: the screenshot helper (tests/wayland/kwin_shot.cpp). nullptr,
    // with *why, when it cannot start.
    static std::unique_ptr<CompositorSession> StartKWin(Size size, const std::string& scale,
                                                        const std::filesystem::path& shot, std::string* why);
    // mutter 43, headless, on one virtual monitor of that size, in a private
    // D-Bus session (GSettings through dconf); nullptr, with *why, when it
    // cannot start.
    static std::unique_ptr<CompositorSession> StartMutter(Size size, std::string* why);
    ~CompositorSession();
    CompositorSession(const CompositorSession&) = delete;
    CompositorSession& operator=(const CompositorSession&) = delete;

    // A directory the user owns, for files the compositor or the clients read.
    const std::filesystem::path& Home() const { return home_.Path(); }
    // Hands everything under Home() to the user.
    bool OwnHome() const { return user_.Own(Home()); }

    // argv as the user, in the session's environment (for ChildProcess).
    std::vector<std::string> AsUser(const std::vector<std::string>& argv) const;
    // Runs a command as the user to its end; its exit code, or -1.
    int Run(const std::vector<std::string>& argv, int timeoutMs = 5000) const;

    // What the output shows (grim; KWin's screenshot interface); nullopt on failure.
    std::optional<raster::Surface> Screenshot(const std::string& output) const;

private:
    CompositorSession() = default;
    bool Prepare(std::string* why);
    bool WaitForSocket(std::string* why);

    vyla::testing::TempDir home_;
    vyla::testing::UnprivilegedUser user_;
    std::unique_ptr<x11::testing::ChildProcess> compositor_;
    bool kwin_ = false;
    bool privateBus_ = false;  // KWin and mutter: a dbus-run-session of their own
    std::string waylandDisplay_;
    std::string swaySocket_;  // sway's command socket
    std::string busAddress_;  // KWin's private session bus
};

// The processes running program (by its path), as the tests' user sees them.
std::vector<pid_t> ProgramProcesses(const std::filesystem::path& program);

// Reads a binary PPM (P6, 8 bits) as grim writes it; nullopt if it is not one.
std::optional<raster::Surface> ReadPpm(const std::filesystem::path& file);

}  // namespace vyla::wayland::testing
