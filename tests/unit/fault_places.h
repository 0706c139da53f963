// Places where a settings file cannot be written, made for real: a child
// process that has dropped root's privileges (so permission bits count), or
// that has mounted a small or read-only tmpfs in a mount namespace of its
// own (so the disk really fills up or refuses writes). The child runs the
// body and exits with its result; the test process never changes.
#pragma once

#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace vyla::testing {

// Exit code of a child that could not make the place: the test is skipped.
inline constexpr int kPlaceUnavailable = 77;

// A check inside the child: reports to stderr, and the child fails.
inline void Require(bool condition, const std::string& what)
{
    if (!condition) {
        std::fprintf(stderr, "child check failed: %s\n", what.c_str());
        std::fflush(stderr);
        std::_Exit(1);
    }
}

// Runs body in a forked child after setup; the child's exit code (or 128 +
// signal). setup returns false when the place cannot be made here.
inline int RunInChild(const std::function<bool()>& setup, const std::function<void()>& body)
{
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (!setup())
            std::_Exit(kPlaceUnavailable);
        body();
        std::fflush(nullptr);
        std::_Exit(0);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Drops root to "nobody" so that permission bits apply; a no-op for any
// other user. Hands the directory to that user first.
inline bool BecomeUnprivileged(const std::filesystem::path& directory)
{
    if (::geteuid() != 0)
        return true;
    constexpr uid_t kNobody = 65534;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(directory))
        if (::lchown(entry.path().c_str(), kNobody, kNobody) != 0)
            return false;
    return ::lchown(directory.c_str(), kNobody, kNobody) == 0 && ::setgroups(0, nullptr) == 0 &&
           ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
}

inline bool WriteProcFile(const char* path, const std::string& text)
{
    std::ofstream out(path);
    out << text;
    out.flush();
    return static_cast<bool>(out);
}

// A mount namespace of this process's own; as root directly, otherwise
// inside a new user namespace where the user is root.
inline bool OwnMountNamespace()
{
    if (::unshare(CLONE_NEWNS) != 0) {
        const uid_t uid = ::geteuid();
        const gid_t gid = ::getegid();
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return false;
        WriteProcFile("/proc/self/setgroups", "deny");
        if (!WriteProcFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
            !WriteProcFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1"))
            return false;
    }
    // Nothing mounted here may reach the rest of the system.
    return ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

// Mounts a tmpfs of the given size over directory; read-only if asked.
inline bool MountTmpfs(const std::filesystem::path& directory, std::size_t bytes, bool readOnly = false)
{
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0777";
    return OwnMountNamespace() &&
           ::mount("tmpfs", directory.c_str(), "tmpfs", readOnly ? MS_RDONLY : 0, options.c_str()) == 0;
}

// Fills the file system holding directory until it refuses another byte.
inline void FillDisk(const std::filesystem::path& directory)
{
    const std::string filler = (directory / "filler").string();
    const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    Require(fd >= 0, "open filler");
    static const char block[4096] = {};
    for (std::size_t size : {sizeof block, std::size_t{1}})
        while (::write(fd, block, size) > 0) {
        }
    ::close(fd);
}

}  // namespace vyla::testing
