// A child process for the tests: started with extra environment, waited for
// with a bound, never left behind.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vyla::x11::testing {

class ChildProcess {
public:
    // Runs argv[0] (searched in PATH) with the environment plus env
    // (NAME=value entries). stdout and stderr go to /dev/null unless
    // keepOutput.
    ChildProcess(const std::vector<std::string>& argv, const std::vector<std::string>& env, bool keepOutput = false);
    ~ChildProcess();  // kills it if it still runs
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t Pid() const { return pid_; }
    bool Started() const { return pid_ > 0; }
    // True while it has not ended (and reaps it once it has).
    bool Running();
    // The raw wait status once it ended within timeoutMs.
    std::optional<int> Wait(int timeoutMs);
    void Signal(int signal);

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

// Runs a command to its end (at most timeoutMs); its exit code, or -1.
int RunCommand(const std::vector<std::string>& argv, const std::vector<std::string>& env, int timeoutMs = 5000);

// Its standard output, for commands such as xdotool search.
std::pair<int, std::string> RunCommandOutput(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                                             int timeoutMs = 5000);

}  // namespace vyla::x11::testing
