#include "linux/idle_watch.h"

#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>

#include "linux/monotonic_clock.h"
#include "linux/signal_pipe.h"

extern char** environ;

namespace vyla::linux {

namespace {

// A saver the watcher started: its pid, and a pidfd that is readable once
// it has ended. Ending the watcher ends it first.
class RunningSaver {
public:
    static std::optional<RunningSaver> Start(const std::vector<std::string>& argv, std::string* error)
    {
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        // posix_spawn, not fork: a D-Bus source has threads of its own, and
        // a forked copy of them must not run.
        pid_t pid = -1;
        if (int e = posix_spawn(&pid, args[0], nullptr, nullptr, args.data(), environ); e != 0) {
            *error = "cannot start " + argv[0] + ": " + std::strerror(e);
            return std::nullopt;
        }
        int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
        if (pidfd < 0) {
            *error = std::string("cannot watch the saver: ") + std::strerror(errno);
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
            return std::nullopt;
        }
        return RunningSaver(pid, pidfd);
    }

    RunningSaver(RunningSaver&& other) noexcept : pid_(other.pid_), pidfd_(other.pidfd_)
    {
        other.pid_ = -1;
        other.pidfd_ = -1;
    }
    RunningSaver& operator=(RunningSaver&&) = delete;
    ~RunningSaver()
    {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
            }
        }
        if (pidfd_ >= 0)
            close(pidfd_);
    }

    int Fd() const { return pidfd_; }
    // Reaps it once its pidfd said it ended.
    void Reap()
    {
        while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
    }

private:
    RunningSaver(pid_t pid, int pidfd) : pid_(pid), pidfd_(pidfd) {}
    pid_t pid_ = -1;
    int pidfd_ = -1;
};

}  // namespace

std::vector<std::string> SaverCommand(const std::vector<std::string>& options)
{
    std::error_code ignored;
    std::vector<std::string> argv{std::filesystem::read_symlink("/proc/self/exe", ignored).string()};
    argv.insert(argv.end(), options.begin(), options.end());
    return argv;
}

int WatchIdle(IdleSource& source, const std::vector<std::string>& saverArgv)
{
    SignalPipe signals;
    std::string error;
    if (!source.Arm(&error)) {
        std::fprintf(stderr, "vyla: cannot watch idle through %s: %s\n", source.Name().c_str(), error.c_str());
        return 1;
    }
    std::optional<RunningSaver> saver;
    std::vector<pollfd> fds;
    for (;;) {
        fds.assign({{signals.ReadFd(), POLLIN, 0}, {saver ? saver->Fd() : -1, POLLIN, 0}});
        std::int64_t wakeAt = -1;
        source.Prepare(fds, wakeAt);
        timespec timeout{};
        if (wakeAt >= 0) {
            std::int64_t left = std::max<std::int64_t>(0, wakeAt - MonotonicNs());
            timeout = {static_cast<time_t>(left / 1'000'000'000), static_cast<long>(left % 1'000'000'000)};
        }
        if (ppoll(fds.data(), fds.size(), wakeAt >= 0 ? &timeout : nullptr, nullptr) < 0 && errno != EINTR) {
            std::fprintf(stderr, "vyla: cannot wait for idle: %s\n", std::strerror(errno));
            return 1;
        }
        if (signals.TakeSignal())
            return 0;  // the saver, if any, ends with it
        IdleSource::Event event = source.Dispatch(std::span(fds).subspan(2));
        if (event == IdleSource::Event::Lost) {
            std::fprintf(stderr, "vyla: the session's %s went away\n", source.Name().c_str());
            return 1;
        }
        if (saver && fds[1].revents) {
            saver->Reap();
            saver.reset();
            if (!source.Arm(&error)) {
                std::fprintf(stderr, "vyla: cannot watch idle through %s: %s\n", source.Name().c_str(),
                             error.c_str());
                return 1;
            }
            continue;
        }
        // Idle while the saver runs is its own doing.
        if (event != IdleSource::Event::Idle || saver)
            continue;
        if (source.Inhibited()) {
            // Asked again a whole duration later, not in a loop.
            source.Arm(&error);
            continue;
        }
        if (auto started = RunningSaver::Start(saverArgv, &error)) {
            saver.emplace(std::move(*started));
        } else {
            std::fprintf(stderr, "vyla: %s\n", error.c_str());
            source.Arm(&error);
        }
    }
}

}  // namespace vyla::linux
