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
#include "support/text_files.h"

namespace vyla::x11::testing {

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

class TempDir {
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "vyla-x11-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            path_ = pattern;
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Who runs what will not run as root (the X screen-saver daemon runs no
// hack as root; lintian warns when it is): "nobody" when the tests run as
// root, anyone else as themselves.
struct UnprivilegedUser {
    std::vector<std::string> prefix;  // the command that drops to the user
    uid_t uid = 0;
    gid_t gid = 0;

    static UnprivilegedUser Choose()
    {
        UnprivilegedUser user{{}, getuid(), getgid()};
        if (geteuid() != 0)
            return user;
        const passwd* nobody = getpwnam("nobody");
        if (!nobody)
            return user;
        user.uid = nobody->pw_uid;
        user.gid = nobody->pw_gid;
        user.prefix = {"setpriv", "--reuid=" + std::to_string(user.uid), "--regid=" + std::to_string(user.gid),
                       "--clear-groups"};
        return user;
    }

    // Hands dir and everything under it to the user, who may not reach the
    // build tree or a root-only temporary directory otherwise.
    bool Own(const std::filesystem::path& dir) const
    {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dir))
            if (lchown(entry.path().c_str(), uid, gid) != 0)
                return false;
        return lchown(dir.c_str(), uid, gid) == 0;
    }
};

using vyla::testing::ReadText;
using vyla::testing::WriteText;

// Runs xdotool on the display; its exit code.
inline int Xdotool(const std::string& displayVariable, std::vector<std::string> args)
{
    args.insert(args.begin(), "xdotool");
    return RunCommand(args, {displayVariable});
}

}  // namespace vyla::x11::testing
