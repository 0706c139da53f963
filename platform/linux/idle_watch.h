// vyla --watch-idle: the watcher that starts the saver each time the
// session has been idle long enough. Where idle comes from is an
// IdleSource (GNOME's idle monitor, a Wayland idle protocol, X11's
// MIT-SCREEN-SAVER); the watcher sleeps in ppoll on the sources'
// descriptors, the saver's pidfd and the signal pipe, so it takes no CPU
// between events.
#pragma once

#include <poll.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vyla::linux {

class IdleSource {
public:
    enum class Event {
        Nothing,
        Idle,  // the session has had no input for the duration
        Lost,  // the session's connection is gone
    };

    virtual ~IdleSource() = default;

    // Watches afresh: Idle once there has been no input for the duration,
    // counted from the later of the last input and now. Called at the start
    // and after each saver; false (with *error) when the watch cannot be made.
    virtual bool Arm(std::string* error) = 0;
    // Before a sleep: appends the descriptors to wait on, and lowers wakeAt
    // (monotonic nanoseconds, -1: none) to when Dispatch must run anyway.
    virtual void Prepare(std::vector<pollfd>& fds, std::int64_t& wakeAt) = 0;
    // After it: fds are the entries Prepare appended, with their revents.
    virtual Event Dispatch(std::span<const pollfd> fds) = 0;
    // True while a program asks the session not to go idle, where the
    // source's own watch does not already hold back for it.
    virtual bool Inhibited() { return false; }
    // What the source is, for messages ("MIT-SCREEN-SAVER").
    virtual std::string Name() const = 0;
};

// Runs the watcher until SIGINT or SIGTERM (0, a running saver ended
// first) or the source is lost (1, with a line on stderr). saverArgv: the
// program and arguments to start as the saver (argv[0] a path).
int WatchIdle(IdleSource& source, const std::vector<std::string>& saverArgv);

// The saver's command: this program (its path in /proc/self/exe) with options.
std::vector<std::string> SaverCommand(const std::vector<std::string>& options);

}  // namespace vyla::linux
