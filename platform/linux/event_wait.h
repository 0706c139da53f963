// The sleep of a Linux display backend's event loop: until its connection
// has something to read, SIGINT or SIGTERM comes, or a time on the
// monotonic clock is reached.
//
// The program's idle loop sleeps until the millisecond a frame is due, so
// ends fall on millisecond boundaries (the tick count moves exactly then),
// and while an EventWait lives the process allows its wake-ups only a small
// timer slack: the kernel may serve one with an interrupt it takes anyway,
// and the frame is still drawn within its millisecond.
#pragma once

#include <cstdint>

#include "linux/signal_pipe.h"

namespace vyla::linux {

class EventWait {
public:
    EventWait();
    ~EventWait();
    EventWait(const EventWait&) = delete;
    EventWait& operator=(const EventWait&) = delete;

    // The end of a wait of timeoutMs from now (see MonotonicNs), on the next
    // millisecond boundary at or after it; -1 (no end) for a negative timeout.
    static std::int64_t EndAfter(int timeoutMs);

    enum class Woken {
        Readable,  // fd has something to read (or has hung up)
        Signal,    // see TakeSignal
        Ended,     // end passed, or the sleep was interrupted
    };
    // Sleeps until fd is readable, a signal comes or end (-1: none) passes.
    Woken Wait(int fd, std::int64_t end);

    // True if a signal came since the last call.
    bool TakeSignal() { return signals_.TakeSignal(); }
    // Readable when a signal has come, for other loops (a dialog's); -1 if none.
    int SignalFd() const { return signals_.ReadFd(); }

private:
    SignalPipe signals_;
    unsigned long previousTimerSlackNs_ = 0;  // 0: not changed
};

}  // namespace vyla::linux
