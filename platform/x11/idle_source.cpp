#include "x11/idle_source.h"

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

#include <algorithm>

#include "linux/monotonic_clock.h"

namespace vyla::x11 {

namespace {

class XIdleSource final : public linux::IdleSource {
public:
    XIdleSource(::Display* display, int seconds) : display_(display), durationNs_(seconds * 1'000'000'000LL) {}
    ~XIdleSource() override { XCloseDisplay(display_); }
    XIdleSource(const XIdleSource&) = delete;
    XIdleSource& operator=(const XIdleSource&) = delete;

    bool Arm(std::string*) override
    {
        armedAt_ = linux::MonotonicNs();
        armed_ = true;
        return true;
    }

    // One question to the server per wake-up: when the duration will be up,
    // counted from the last input (or the arming, if later).
    void Prepare(std::vector<pollfd>& fds, std::int64_t& wakeAt) override
    {
        fds.push_back({ConnectionNumber(display_), POLLIN, 0});
        if (!armed_)
            return;
        dueAt_ = DueAt();
        if (dueAt_ >= 0 && (wakeAt < 0 || dueAt_ < wakeAt))
            wakeAt = dueAt_;
    }

    Event Dispatch(std::span<const pollfd> fds) override
    {
        if (!fds.empty() && (fds[0].revents & (POLLHUP | POLLERR)))
            return Event::Lost;
        // Nothing is selected, but a server may still send (mapping changes).
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
        }
        if (!armed_ || linux::MonotonicNs() < dueAt_)
            return Event::Nothing;
        // Input may have come since the question: ask again.
        dueAt_ = DueAt();
        if (dueAt_ < 0)
            return Event::Lost;
        if (linux::MonotonicNs() < dueAt_)
            return Event::Nothing;
        armed_ = false;
        return Event::Idle;
    }

    std::string Name() const override { return "X display's MIT-SCREEN-SAVER extension"; }

private:
    // -1 when the server does not answer.
    std::int64_t DueAt()
    {
        XScreenSaverInfo* info = XScreenSaverAllocInfo();
        if (!info)
            return -1;
        Status ok = XScreenSaverQueryInfo(display_, DefaultRootWindow(display_), info);
        const std::int64_t idleNs = static_cast<std::int64_t>(info->idle) * 1'000'000;
        XFree(info);
        if (!ok)
            return -1;
        const std::int64_t now = linux::MonotonicNs();
        return std::max(now - idleNs, armedAt_) + durationNs_;
    }

    ::Display* display_;
    std::int64_t durationNs_;
    std::int64_t armedAt_ = 0;
    std::int64_t dueAt_ = -1;
    bool armed_ = false;
};

}  // namespace

std::unique_ptr<linux::IdleSource> OpenXIdleSource(int seconds, std::string* error)
{
    ::Display* display = XOpenDisplay(nullptr);
    if (!display) {
        *error = "cannot open the X display";
        return nullptr;
    }
    int event = 0;
    int failure = 0;
    if (!XScreenSaverQueryExtension(display, &event, &failure)) {
        XCloseDisplay(display);
        *error = "the X server has no MIT-SCREEN-SAVER extension";
        return nullptr;
    }
    return std::make_unique<XIdleSource>(display, seconds);
}

}  // namespace vyla::x11
