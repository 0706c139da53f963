#include "linux/event_wait.h"

#include <poll.h>
#include <sys/prctl.h>
#include <time.h>

#include "linux/monotonic_clock.h"

namespace vyla::linux {

namespace {

constexpr unsigned long kTimerSlackNs = 200'000;

}  // namespace

EventWait::EventWait()
{
    int previous = prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0);
    if (previous >= 0 && prctl(PR_SET_TIMERSLACK, kTimerSlackNs, 0, 0, 0) == 0)
        previousTimerSlackNs_ = static_cast<unsigned long>(previous);
}

EventWait::~EventWait()
{
    if (previousTimerSlackNs_ != 0)
        prctl(PR_SET_TIMERSLACK, previousTimerSlackNs_, 0, 0, 0);
}

std::int64_t EventWait::EndAfter(int timeoutMs)
{
    if (timeoutMs < 0)
        return -1;
    return (MonotonicNs() / 1'000'000 + timeoutMs) * 1'000'000;
}

EventWait::Woken EventWait::Wait(int fd, std::int64_t end)
{
    timespec left{};
    if (end >= 0) {
        std::int64_t ns = end - MonotonicNs();
        if (ns <= 0)
            return Woken::Ended;
        left.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
        left.tv_nsec = static_cast<long>(ns % 1'000'000'000);
    }
    pollfd fds[2] = {{fd, POLLIN, 0}, {signals_.ReadFd(), POLLIN, 0}};
    nfds_t count = signals_.ReadFd() >= 0 ? 2 : 1;
    int ready = ppoll(fds, count, end >= 0 ? &left : nullptr, nullptr);
    if (ready <= 0)
        return Woken::Ended;
    if (count > 1 && fds[1].revents != 0)
        return Woken::Signal;
    return Woken::Readable;
}

}  // namespace vyla::linux
