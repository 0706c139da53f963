#include "wayland/output_children.h"

#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#include "linux/event_wait.h"
#include "linux/monotonic_clock.h"

namespace vyla::wayland {

namespace {

// Every child has taken its output's picture and placed its surface by
// then, so all flowers start on the same millisecond.
constexpr std::int64_t kStartDelayNs = 400'000'000;
// Children asked to end and still running then are killed.
constexpr int kEndGraceMs = 3000;

struct Child {
    std::uint32_t output = 0;
    pid_t pid = -1;
    int pidFd = -1;
    bool running = false;
};

int PidFdOpen(pid_t pid)
{
    return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
}

pid_t Spawn(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = fork();
    if (pid != 0)
        return pid;
    // A parent killed outright takes its children with it.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    execv("/proc/self/exe", argv.data());
    std::fprintf(stderr, "vyla: cannot run the program again for an output: %s\n", std::strerror(errno));
    _exit(1);
}

int ExitCodeOf(int status)
{
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

}  // namespace

std::vector<std::string> ChildArguments(const std::vector<std::string>& arguments, const ChildOutput& child)
{
    std::vector<std::string> result;
    result.push_back(arguments.empty() ? std::string("vyla") : arguments.front());
    // Before the parent's words: after a "--" they would be the saver's.
    result.push_back("--wayland-output=" + std::to_string(child.output));
    result.push_back("--start-at=" + std::to_string(child.startNs));
    if (arguments.size() > 1)
        result.insert(result.end(), arguments.begin() + 1, arguments.end());
    return result;
}

void SleepUntil(std::int64_t monotonicNs)
{
    timespec at{static_cast<time_t>(monotonicNs / 1'000'000'000), static_cast<long>(monotonicNs % 1'000'000'000)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
    }
}

int RunOnEveryOutput(const std::vector<std::string>& arguments, std::unique_ptr<Connection> connection)
{
    linux::EventWait events;  // SIGINT and SIGTERM, seen in the loop below
    const std::int64_t start = linux::MonotonicNs() + kStartDelayNs;
    std::vector<Child> children;
    auto startChild = [&](std::uint32_t output, std::int64_t at) {
        Child child;
        child.output = output;
        child.pid = Spawn(ChildArguments(arguments, ChildOutput{output, at}));
        if (child.pid < 0)
            return;
        child.pidFd = PidFdOpen(child.pid);
        child.running = true;
        children.push_back(child);
    };
    for (std::uint32_t output : connection->Outputs())
        startChild(output, start);
    if (children.empty()) {
        std::fputs("vyla: no process could be started for the outputs\n", stderr);
        return 1;
    }

    std::optional<int> result;
    std::int64_t killAt = -1;
    auto endAll = [&](int code) {
        if (result)
            return;
        result = code;
        killAt = linux::EventWait::EndAfter(kEndGraceMs);
        for (const Child& c : children)
            if (c.running)
                kill(c.pid, SIGTERM);
    };
    for (;;) {
        // New outputs get a child as soon as they are announced; one that
        // was there before the first frames starts on their clock.
        if (!result && connection && !connection->Failed())
            for (std::uint32_t output : connection->Outputs())
                if (std::none_of(children.begin(), children.end(), [&](const Child& c) { return c.output == output; }))
                    startChild(output, start);
        std::vector<pollfd> fds;
        for (const Child& c : children)
            fds.push_back({c.running ? c.pidFd : -1, POLLIN, 0});
        fds.push_back({events.SignalFd(), POLLIN, 0});
        const bool watching = connection && !connection->Failed();
        fds.push_back({watching ? connection->Fd() : -1, POLLIN, 0});
        if (watching)
            connection->Flush();
        int timeout = -1;
        if (std::any_of(children.begin(), children.end(), [](const Child& c) { return c.running && c.pidFd < 0; }))
            timeout = 100;
        if (killAt >= 0)
            timeout = std::min(timeout < 0 ? kEndGraceMs : timeout,
                               static_cast<int>(std::max<std::int64_t>(0, (killAt - linux::MonotonicNs()) / 1'000'000)));
        int ready = poll(fds.data(), fds.size(), timeout);
        if (ready < 0 && errno != EINTR)
            break;
        if (events.TakeSignal())
            endAll(0);
        if (watching && fds.back().revents != 0)
            connection->DispatchReady();
        bool anyRunning = false;
        for (std::size_t i = 0; i < children.size(); ++i) {
            Child& c = children[i];
            if (!c.running)
                continue;
            int status = 0;
            // Without a pidfd (an old kernel) each wake looks at every child.
            if ((c.pidFd < 0 || fds[i].revents != 0) && waitpid(c.pid, &status, c.pidFd < 0 ? WNOHANG : 0) == c.pid) {
                c.running = false;
                if (c.pidFd >= 0)
                    close(c.pidFd);
                // The compositor told the child its output went before the
                // child ended; after a round trip the parent knows it too.
                if (connection && !connection->Failed())
                    connection->Roundtrip();
                if (connection && connection->OutputRemoved(c.output) && ExitCodeOf(status) == 0)
                    continue;  // that output alone is done
                endAll(ExitCodeOf(status));
                continue;
            }
            anyRunning = true;
        }
        if (!anyRunning)
            break;
        if (killAt >= 0 && linux::MonotonicNs() >= killAt) {
            for (Child& c : children)
                if (c.running) {
                    kill(c.pid, SIGKILL);
                    waitpid(c.pid, nullptr, 0);
                    c.running = false;
                }
            break;
        }
    }
    return result.value_or(0);
}

}  // namespace vyla::wayland
