// Input under mutter for the tests, through its remote-desktop interface:
// a key (evdev code, default KEY_A) pressed and released, or with "move" a
// relative pointer move. A new session loses its first event, so the input
// is sent once, and again after a pause. Exit 0 once sent.
#include <gio/gio.h>
#include <linux/input-event-codes.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

namespace {

constexpr const char* kService = "org.gnome.Mutter.RemoteDesktop";
constexpr int kTimeoutMs = 5000;

bool Call(GDBusConnection* bus, const char* path, const char* interface, const char* method, GVariant* parameters,
          GVariant** reply = nullptr)
{
    GError* error = nullptr;
    GVariant* result = g_dbus_connection_call_sync(bus, kService, path, interface, method, parameters, nullptr,
                                                   G_DBUS_CALL_FLAGS_NONE, kTimeoutMs, nullptr, &error);
    if (!result) {
        std::fprintf(stderr, "mutter_input: %s: %s\n", method, error ? error->message : "failed");
        g_clear_error(&error);
        return false;
    }
    if (reply)
        *reply = result;
    else
        g_variant_unref(result);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool move = argc > 1 && std::strcmp(argv[1], "move") == 0;
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    if (!bus)
        return 1;
    GVariant* created = nullptr;
    if (!Call(bus, "/org/gnome/Mutter/RemoteDesktop", kService, "CreateSession", nullptr, &created))
        return 1;
    const char* path = nullptr;
    g_variant_get(created, "(&o)", &path);
    const char* session = "org.gnome.Mutter.RemoteDesktop.Session";
    if (!Call(bus, path, session, "Start", nullptr))
        return 1;
    for (int round = 0; round < 2; ++round) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        bool sent = move ? Call(bus, path, session, "NotifyPointerMotionRelative", g_variant_new("(dd)", 30.0, 20.0))
                         : Call(bus, path, session, "NotifyKeyboardKeycode", g_variant_new("(ub)", KEY_A, TRUE)) &&
                               Call(bus, path, session, "NotifyKeyboardKeycode", g_variant_new("(ub)", KEY_A, FALSE));
        if (!sent)
            return 1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    Call(bus, path, session, "Stop", nullptr);
    g_variant_unref(created);
    g_object_unref(bus);
    return 0;
}
