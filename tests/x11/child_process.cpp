#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace vyla::x11::testing {

namespace {

pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env, int stdoutFd, bool keepOutput)
{
    pid_t pid = fork();
    if (pid != 0)
        return pid;
    // The child: only async-signal-safe work from here on would be proper,
    // but the test process has a single thread at this point.
    int devNull = open("/dev/null", O_RDWR);
    dup2(devNull, 0);
    if (stdoutFd >= 0)
        dup2(stdoutFd, 1);
    else if (!keepOutput)
        dup2(devNull, 1);
    if (!keepOutput)
        dup2(devNull, 2);
    for (const auto& e : env)
        putenv(const_cast<char*>(e.c_str()));
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::vector<std::string>& env, bool keepOutput)
    : pid_(Spawn(argv, env, -1, keepOutput))
{
}

ChildProcess::~ChildProcess()
{
    if (Running()) {
        kill(pid_, SIGKILL);
        Wait(2000);
    }
}

bool ChildProcess::Running()
{
    if (pid_ <= 0 || status_)
        return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
        status_ = status;
        return false;
    }
    return true;
}

std::optional<int> ChildProcess::Wait(int timeoutMs)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Running()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return status_;
}

void ChildProcess::Signal(int signal)
{
    if (Running())
        kill(pid_, signal);
}

int RunCommand(const std::vector<std::string>& argv, const std::vector<std::string>& env, int timeoutMs)
{
    ChildProcess child(argv, env);
    auto status = child.Wait(timeoutMs);
    return status && WIFEXITED(*status) ? WEXITSTATUS(*status) : -1;
}

std::pair<int, std::string> RunCommandOutput(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                                             int timeoutMs)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return {-1, {}};
    pid_t pid = Spawn(argv, env, fds[1], false);
    close(fds[1]);
    std::string output;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd p{fds[0], POLLIN, 0};
        if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0)
            break;
        char buffer[256];
        ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        output.append(buffer, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) != pid) {
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return {-1, output};
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

}  // namespace vyla::x11::testing
