// Shared pieces of the tests that run the real program on Xvfb.
#pragma once

#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "common/geometry.h"
#include "portable/raster/surface.h"
#include "support/temp_dir.h"
#include "support/text_files.h"
#include "support/unprivileged_user.h"

namespace vyla::x11::testing {

using vyla::Point;
using vyla::Rect;
using vyla::Size;
using vyla::raster::Surface;

// The standalone saver window's title.
inline constexpr const char* kSaverName = "Vyla Screen Saver";

// The program under test and where screenshots go (set by the build).
inline const char* ProgramPath()
{
    return VYLA_PROGRAM;
}
inline std::filesystem::path OutputDirectory()
{
    return VYLA_TEST_OUTPUT_DIR;
}

// Status of a child that ended normally, -1 otherwise.
inline int ExitCode(const std::optional<int>& status)
{
    return status && WIFEXITED(*status) ? WEXITSTATUS(*status) : -1;
}

// Polls condition every few milliseconds until it holds or timeoutMs pass.
inline bool WaitFor(const std::function<bool()>& condition, int timeoutMs)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

using vyla::testing::TempDir;
using vyla::testing::UnprivilegedUser;
using vyla::testing::ReadText;
using vyla::testing::WriteText;

// Runs xdotool on the display; its exit code.
inline int Xdotool(const std::string& displayVariable, std::vector<std::string> args)
{
    args.insert(args.begin(), "xdotool");
    return RunCommand(args, {displayVariable});
}

}  // namespace vyla::x11::testing
