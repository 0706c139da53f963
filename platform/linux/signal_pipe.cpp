#include "linux/signal_pipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace vyla::linux {

namespace {

// A signal handler gets no context, so the pipe's write end is the one
// place it can find; only the live SignalPipe sets it.
volatile sig_atomic_t gWriteFd = -1;
// Set with the byte, so that looking for a signal costs no system call.
volatile sig_atomic_t gSignalled = 0;

void OnSignal(int)
{
    int saved = errno;
    gSignalled = 1;
    char byte = 1;
    // A full pipe already says "a signal came": a failed write loses nothing.
    [[maybe_unused]] ssize_t n = write(gWriteFd, &byte, 1);
    errno = saved;
}

}  // namespace

SignalPipe::SignalPipe()
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    readFd_ = fds[0];
    writeFd_ = fds[1];
    gWriteFd = writeFd_;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &previousInt_);
    sigaction(SIGTERM, &action, &previousTerm_);
}

SignalPipe::~SignalPipe()
{
    if (readFd_ < 0)
        return;
    sigaction(SIGINT, &previousInt_, nullptr);
    sigaction(SIGTERM, &previousTerm_, nullptr);
    gWriteFd = -1;
    gSignalled = 0;
    close(readFd_);
    close(writeFd_);
}

bool SignalPipe::TakeSignal()
{
    if (readFd_ < 0 || !gSignalled)
        return false;
    gSignalled = 0;
    char buffer[64];
    while (read(readFd_, buffer, sizeof buffer) > 0) {
    }
    return true;
}

}  // namespace vyla::linux
