#include "wayland/idle_source.h"

#include <wayland-client.h>

#include <cerrno>
#include <cstring>

#include "ext-idle-notify-v1-client.h"
#include "idle-client.h"

namespace vyla::wayland {

namespace {

class WaylandIdleSource final : public linux::IdleSource {
public:
    WaylandIdleSource(wl_display* display, int seconds) : display_(display), timeoutMs_(seconds * 1000u) {}
    ~WaylandIdleSource() override
    {
        Release();
        if (notifier_)
            ext_idle_notifier_v1_destroy(notifier_);
        if (kdeIdle_)
            wl_proxy_destroy(reinterpret_cast<wl_proxy*>(kdeIdle_));
        if (seat_)
            wl_seat_destroy(seat_);
        if (registry_)
            wl_registry_destroy(registry_);
        wl_display_disconnect(display_);
    }
    WaylandIdleSource(const WaylandIdleSource&) = delete;
    WaylandIdleSource& operator=(const WaylandIdleSource&) = delete;

    // Learns the globals; false with *error when idle cannot be watched.
    bool Bind(std::string* error)
    {
        registry_ = wl_display_get_registry(display_);
        wl_registry_add_listener(registry_, &kRegistryListener, this);
        if (wl_display_roundtrip(display_) < 0) {
            *error = "the Wayland compositor went away";
            return false;
        }
        if (!seat_) {
            *error = "the Wayland compositor has no seat";
            return false;
        }
        if (!notifier_ && !kdeIdle_) {
            *error = "the Wayland compositor offers neither ext_idle_notifier_v1 nor org_kde_kwin_idle";
            return false;
        }
        return true;
    }

    // A new notification: the compositor counts its timeout from now.
    bool Arm(std::string* error) override
    {
        Release();
        idled_ = false;
        if (notifier_) {
            notification_ = ext_idle_notifier_v1_get_idle_notification(notifier_, timeoutMs_, seat_);
            ext_idle_notification_v1_add_listener(notification_, &kNotificationListener, this);
        } else {
            kdeTimeout_ = org_kde_kwin_idle_get_idle_timeout(kdeIdle_, seat_, timeoutMs_);
            org_kde_kwin_idle_timeout_add_listener(kdeTimeout_, &kKdeTimeoutListener, this);
        }
        if (wl_display_flush(display_) < 0 && errno != EAGAIN) {
            *error = "the Wayland compositor went away";
            return false;
        }
        return true;
    }

    void Prepare(std::vector<pollfd>& fds, std::int64_t&) override
    {
        wl_display_dispatch_pending(display_);
        wl_display_flush(display_);
        fds.push_back({wl_display_get_fd(display_), POLLIN, 0});
    }

    Event Dispatch(std::span<const pollfd> fds) override
    {
        if (!fds.empty() && (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) && wl_display_dispatch(display_) < 0)
            return Event::Lost;
        if (!idled_)
            return Event::Nothing;
        idled_ = false;
        return Event::Idle;
    }

    std::string Name() const override
    {
        return notifier_ ? "Wayland compositor's ext_idle_notifier_v1" : "Wayland compositor's org_kde_kwin_idle";
    }

private:
    void Release()
    {
        if (notification_)
            ext_idle_notification_v1_destroy(notification_);
        if (kdeTimeout_)
            org_kde_kwin_idle_timeout_release(kdeTimeout_);
        notification_ = nullptr;
        kdeTimeout_ = nullptr;
    }

    static void Global(void* data, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t)
    {
        auto* self = static_cast<WaylandIdleSource*>(data);
        if (std::strcmp(interface, wl_seat_interface.name) == 0 && !self->seat_)
            self->seat_ = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
        else if (std::strcmp(interface, ext_idle_notifier_v1_interface.name) == 0)
            self->notifier_ = static_cast<ext_idle_notifier_v1*>(
                wl_registry_bind(registry, name, &ext_idle_notifier_v1_interface, 1));
        else if (std::strcmp(interface, org_kde_kwin_idle_interface.name) == 0)
            self->kdeIdle_ =
                static_cast<org_kde_kwin_idle*>(wl_registry_bind(registry, name, &org_kde_kwin_idle_interface, 1));
    }
    static void GlobalRemove(void*, wl_registry*, std::uint32_t) {}
    static void NotificationIdled(void* data, ext_idle_notification_v1*)
    {
        static_cast<WaylandIdleSource*>(data)->idled_ = true;
    }
    static void NotificationResumed(void*, ext_idle_notification_v1*) {}
    static void KdeIdle(void* data, org_kde_kwin_idle_timeout*) { static_cast<WaylandIdleSource*>(data)->idled_ = true; }
    static void KdeResumed(void*, org_kde_kwin_idle_timeout*) {}

    static constexpr wl_registry_listener kRegistryListener{Global, GlobalRemove};
    static constexpr ext_idle_notification_v1_listener kNotificationListener{NotificationIdled, NotificationResumed};
    static constexpr org_kde_kwin_idle_timeout_listener kKdeTimeoutListener{KdeIdle, KdeResumed};

    wl_display* display_;
    std::uint32_t timeoutMs_;
    wl_registry* registry_ = nullptr;
    wl_seat* seat_ = nullptr;
    ext_idle_notifier_v1* notifier_ = nullptr;
    org_kde_kwin_idle* kdeIdle_ = nullptr;
    ext_idle_notification_v1* notification_ = nullptr;
    org_kde_kwin_idle_timeout* kdeTimeout_ = nullptr;
    bool idled_ = false;
};

}  // namespace

std::unique_ptr<linux::IdleSource> OpenWaylandIdleSource(int seconds, std::string* error)
{
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        *error = "cannot connect to the Wayland compositor";
        return nullptr;
    }
    auto source = std::make_unique<WaylandIdleSource>(display, seconds);
    if (!source->Bind(error))
        return nullptr;
    return source;
}

}  // namespace vyla::wayland
