// Headless sway for the Wayland tests: started as the unprivileged user
// (sway refuses root) with a runtime directory and HOME of its own, with
// the pixman renderer and no input devices, so it runs in any container.
// Its clients (the program under test, grim, wtype, swaymsg) run as the
// same user in a clean environment that names only this compositor.
#pragma once

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

class SwaySession {
public:
    // config: the text of sway's configuration file (it may name files in
    // Home()). nullptr, with *why in one line, when sway cannot start here.
    static std::unique_ptr<SwaySession> Start(const std::string& config, std::string* why);
    ~SwaySession();
    SwaySession(const SwaySession&) = delete;
    SwaySession& operator=(const SwaySession&) = delete;

    // A directory the user owns, for files the compositor or the clients read.
    const std::filesystem::path& Home() const { return home_.Path(); }
    // Hands everything under Home() to the user.
    bool OwnHome() const { return user_.Own(Home()); }

    // argv as the user, in the session's environment (for ChildProcess).
    std::vector<std::string> AsUser(const std::vector<std::string>& argv) const;
    // Runs a command as the user to its end; its exit code, or -1.
    int Run(const std::vector<std::string>& argv, int timeoutMs = 5000) const;

    // What the output shows (grim); nullopt when grim fails.
    std::optional<raster::Surface> Screenshot(const std::string& output) const;

private:
    SwaySession() = default;

    vyla::testing::TempDir home_;
    vyla::testing::UnprivilegedUser user_;
    std::unique_ptr<x11::testing::ChildProcess> sway_;
    std::string waylandDisplay_;
    std::string swaySocket_;
};

// Reads a binary PPM (P6, 8 bits) as grim writes it; nullopt if it is not one.
std::optional<raster::Surface> ReadPpm(const std::filesystem::path& file);

}  // namespace vyla::wayland::testing
