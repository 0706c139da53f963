#include "linux/gnome_idle.h"

#include <gio/gio.h>

#include <cstdint>

#include "linux/monotonic_clock.h"

namespace vyla::linux {

namespace {

constexpr const char* kMonitorName = "org.gnome.Mutter.IdleMonitor";
constexpr const char* kMonitorPath = "/org/gnome/Mutter/IdleMonitor/Core";
constexpr int kCallTimeoutMs = 2000;
// GsmInhibitorFlag: the session is asked not to be marked idle.
constexpr std::uint32_t kInhibitIdle = 8;

// mutter's watches: an idle watch fires each time the idle time reaches its
// interval, so one lives as long as the source. Armed while the session is
// already idle that long, it would fire only after the next input: then a
// timer counts the interval from the arming, and a user-active watch says
// when the idle watch takes over again.
class GnomeIdleSource final : public IdleSource {
public:
    GnomeIdleSource(GDBusConnection* bus, std::uint32_t intervalMs) : bus_(bus), intervalMs_(intervalMs)
    {
        context_ = g_main_context_default();
        g_main_context_acquire(context_);
        subscription_ = g_dbus_connection_signal_subscribe(bus_, kMonitorName, kMonitorName, "WatchFired",
                                                           kMonitorPath, nullptr, G_DBUS_SIGNAL_FLAGS_NONE,
                                                           OnWatchFired, this, nullptr);
    }
    ~GnomeIdleSource() override
    {
        RemoveWatch(idleWatch_);
        RemoveWatch(activeWatch_);
        g_dbus_connection_signal_unsubscribe(bus_, subscription_);
        g_object_unref(bus_);
        g_main_context_release(context_);
    }
    GnomeIdleSource(const GnomeIdleSource&) = delete;
    GnomeIdleSource& operator=(const GnomeIdleSource&) = delete;

    bool Arm(std::string* error) override
    {
        idle_ = false;
        armed_ = true;
        if (!idleWatch_ && !AddWatch("AddIdleWatch", g_variant_new("(t)", static_cast<guint64>(intervalMs_)),
                                     &idleWatch_, error))
            return false;
        // Already idle that long (the saver ended by itself, or idle was
        // inhibited): the idle watch fires only after the next input.
        // Until then a timer counts the interval from now.
        std::uint64_t idleMs = 0;
        timerAt_ = -1;
        if (IdleTime(&idleMs) && idleMs >= intervalMs_) {
            timerAt_ = MonotonicNs() + std::int64_t{intervalMs_} * 1'000'000;
            if (!activeWatch_)
                return AddWatch("AddUserActiveWatch", nullptr, &activeWatch_, error);
        }
        return true;
    }

    void Prepare(std::vector<pollfd>& fds, std::int64_t& wakeAt) override
    {
        g_main_context_prepare(context_, &priority_);
        int timeoutMs = -1;
        gfds_.resize(8);
        int n = 0;
        while ((n = g_main_context_query(context_, priority_, &timeoutMs, gfds_.data(),
                                         static_cast<int>(gfds_.size()))) > static_cast<int>(gfds_.size()))
            gfds_.resize(static_cast<std::size_t>(n));
        gfds_.resize(static_cast<std::size_t>(n));
        for (const GPollFD& g : gfds_)
            fds.push_back({g.fd, static_cast<short>(g.events), 0});
        std::int64_t at = timeoutMs >= 0 ? MonotonicNs() + timeoutMs * 1'000'000LL : -1;
        if (timerAt_ >= 0 && (at < 0 || timerAt_ < at))
            at = timerAt_;
        if (at >= 0 && (wakeAt < 0 || at < wakeAt))
            wakeAt = at;
    }

    Event Dispatch(std::span<const pollfd> fds) override
    {
        for (std::size_t i = 0; i < gfds_.size() && i < fds.size(); ++i)
            gfds_[i].revents = static_cast<gushort>(fds[i].revents);
        if (g_main_context_check(context_, priority_, gfds_.data(), static_cast<int>(gfds_.size())))
            g_main_context_dispatch(context_);
        if (g_dbus_connection_is_closed(bus_))
            return Event::Lost;
        if (timerAt_ >= 0 && activeWatch_ && MonotonicNs() >= timerAt_)
            idle_ = true;
        if (!idle_ || !armed_)
            return Event::Nothing;
        idle_ = false;
        armed_ = false;
        timerAt_ = -1;
        return Event::Idle;
    }

    // Where the session manager runs; elsewhere nothing tells of inhibitors.
    bool Inhibited() override
    {
        GVariant* reply = g_dbus_connection_call_sync(
            bus_, "org.gnome.SessionManager", "/org/gnome/SessionManager", "org.gnome.SessionManager", "IsInhibited",
            g_variant_new("(u)", kInhibitIdle), G_VARIANT_TYPE("(b)"), G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs,
            nullptr, nullptr);
        if (!reply)
            return false;
        gboolean inhibited = FALSE;
        g_variant_get(reply, "(b)", &inhibited);
        g_variant_unref(reply);
        return inhibited;
    }

    std::string Name() const override { return "GNOME idle monitor"; }

private:
    bool AddWatch(const char* method, GVariant* parameters, std::uint32_t* id, std::string* error)
    {
        GError* failure = nullptr;
        GVariant* reply =
            g_dbus_connection_call_sync(bus_, kMonitorName, kMonitorPath, kMonitorName, method, parameters,
                                        G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr,
                                        &failure);
        if (!reply) {
            *error = std::string(method) + ": " + (failure ? failure->message : "no answer");
            g_clear_error(&failure);
            return false;
        }
        g_variant_get(reply, "(u)", id);
        g_variant_unref(reply);
        return true;
    }

    void RemoveWatch(std::uint32_t& id)
    {
        if (!id)
            return;
        GVariant* reply = g_dbus_connection_call_sync(bus_, kMonitorName, kMonitorPath, kMonitorName, "RemoveWatch",
                                                      g_variant_new("(u)", id), nullptr, G_DBUS_CALL_FLAGS_NONE,
                                                      kCallTimeoutMs, nullptr, nullptr);
        if (reply)
            g_variant_unref(reply);
        id = 0;
    }

    bool IdleTime(std::uint64_t* ms)
    {
        GVariant* reply = g_dbus_connection_call_sync(bus_, kMonitorName, kMonitorPath, kMonitorName, "GetIdletime",
                                                      nullptr, G_VARIANT_TYPE("(t)"), G_DBUS_CALL_FLAGS_NONE,
                                                      kCallTimeoutMs, nullptr, nullptr);
        if (!reply)
            return false;
        guint64 value = 0;
        g_variant_get(reply, "(t)", &value);
        g_variant_unref(reply);
        *ms = value;
        return true;
    }

    static void OnWatchFired(GDBusConnection*, const char*, const char*, const char*, const char*,
                             GVariant* parameters, gpointer data)
    {
        auto* self = static_cast<GnomeIdleSource*>(data);
        guint32 id = 0;
        if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(u)")))
            return;
        g_variant_get(parameters, "(u)", &id);
        if (id == self->idleWatch_ && !self->activeWatch_)
            self->idle_ = true;
        // A user-active watch fires once and is gone; the idle watch counts from here.
        if (id == self->activeWatch_) {
            self->activeWatch_ = 0;
            self->timerAt_ = -1;
        }
    }

    GDBusConnection* bus_;
    std::uint32_t intervalMs_;
    GMainContext* context_ = nullptr;
    guint subscription_ = 0;
    std::uint32_t idleWatch_ = 0;
    std::uint32_t activeWatch_ = 0;
    std::vector<GPollFD> gfds_;
    gint priority_ = 0;
    std::int64_t timerAt_ = -1;  // the interval from an arming while already idle
    bool idle_ = false;
    bool armed_ = false;
};

}  // namespace

std::unique_ptr<IdleSource> OpenGnomeIdleSource(int seconds, std::string* error)
{
    // No bus named: GIO would otherwise start one of its own (autolaunch).
    const char* address = g_getenv("DBUS_SESSION_BUS_ADDRESS");
    const char* runtime = g_getenv("XDG_RUNTIME_DIR");
    g_autofree char* userBus = runtime ? g_build_filename(runtime, "bus", nullptr) : nullptr;
    if ((!address || !*address) && !(userBus && g_file_test(userBus, G_FILE_TEST_EXISTS))) {
        *error = "no session bus";
        return nullptr;
    }
    GError* failure = nullptr;
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &failure);
    if (!bus) {
        *error = std::string("no session bus: ") + (failure ? failure->message : "");
        g_clear_error(&failure);
        return nullptr;
    }
    // Present only where mutter runs: is the name owned?
    GVariant* reply = g_dbus_connection_call_sync(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                  "org.freedesktop.DBus", "NameHasOwner",
                                                  g_variant_new("(s)", kMonitorName), G_VARIANT_TYPE("(b)"),
                                                  G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr, nullptr);
    gboolean owned = FALSE;
    if (reply) {
        g_variant_get(reply, "(b)", &owned);
        g_variant_unref(reply);
    }
    if (!owned) {
        g_object_unref(bus);
        *error = "the session bus has no org.gnome.Mutter.IdleMonitor";
        return nullptr;
    }
    return std::make_unique<GnomeIdleSource>(bus, static_cast<std::uint32_t>(seconds) * 1000u);
}

}  // namespace vyla::linux
