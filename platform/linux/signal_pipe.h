// SIGINT and SIGTERM as something an event loop can wait for: the handler
// writes a byte to a pipe whose read end joins the loop's poll().
#pragma once

#include <csignal>

namespace vyla::linux {

class SignalPipe {
public:
    // Installs the handlers; the previous ones come back on destruction.
    // One SignalPipe at a time: a signal handler can reach only one pipe.
    SignalPipe();
    ~SignalPipe();
    SignalPipe(const SignalPipe&) = delete;
    SignalPipe& operator=(const SignalPipe&) = delete;

    // Readable when a signal has come; -1 if no pipe could be made.
    int ReadFd() const { return readFd_; }
    // True if a signal came since the last call; empties the pipe.
    bool TakeSignal();

private:
    int readFd_ = -1;
    int writeFd_ = -1;
    struct sigaction previousInt_ {};
    struct sigaction previousTerm_ {};
};

}  // namespace vyla::linux
