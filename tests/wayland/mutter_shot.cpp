// What mutter's monitor shows, for the tests: a screen-cast session of the
// primary monitor (cursor hidden), its PipeWire stream taken by a gstreamer
// pipeline to a PNG file. Usage: mutter_shot FILE.png. Exit 0 once written.
#include <gio/gio.h>

#include <cstdio>
#include <string>

namespace {

constexpr const char* kService = "org.gnome.Mutter.ScreenCast";
constexpr int kTimeoutMs = 5000;

GVariant* Call(GDBusConnection* bus, const char* path, const char* interface, const char* method, GVariant* parameters)
{
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_sync(bus, kService, path, interface, method, parameters, nullptr,
                                                  G_DBUS_CALL_FLAGS_NONE, kTimeoutMs, nullptr, &error);
    if (!reply) {
        std::fprintf(stderr, "mutter_shot: %s: %s\n", method, error ? error->message : "failed");
        g_clear_error(&error);
    }
    return reply;
}

void OnStreamAdded(GDBusConnection*, const char*, const char*, const char*, const char*, GVariant* parameters,
                   gpointer data)
{
    if (g_variant_is_of_type(parameters, G_VARIANT_TYPE("(u)")))
        g_variant_get(parameters, "(u)", static_cast<guint32*>(data));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    if (!bus)
        return 1;
    GVariantBuilder none;
    g_variant_builder_init(&none, G_VARIANT_TYPE("a{sv}"));
    GVariant* created = Call(bus, "/org/gnome/Mutter/ScreenCast", kService, "CreateSession",
                             g_variant_new("(a{sv})", &none));
    if (!created)
        return 1;
    const char* session = nullptr;
    g_variant_get(created, "(&o)", &session);
    const char* sessionInterface = "org.gnome.Mutter.ScreenCast.Session";
    GVariantBuilder properties;
    g_variant_builder_init(&properties, G_VARIANT_TYPE("a{sv}"));
    g_variant_builder_add(&properties, "{sv}", "cursor-mode", g_variant_new_uint32(0));
    GVariant* recorded =
        Call(bus, session, sessionInterface, "RecordMonitor", g_variant_new("(sa{sv})", "", &properties));
    if (!recorded)
        return 1;
    const char* stream = nullptr;
    g_variant_get(recorded, "(&o)", &stream);
    guint32 node = 0;
    g_dbus_connection_signal_subscribe(bus, kService, "org.gnome.Mutter.ScreenCast.Stream", "PipeWireStreamAdded",
                                       stream, nullptr, G_DBUS_SIGNAL_FLAGS_NONE, OnStreamAdded, &node, nullptr);
    if (GVariant* started = Call(bus, session, sessionInterface, "Start", nullptr))
        g_variant_unref(started);
    else
        return 1;
    const gint64 deadline = g_get_monotonic_time() + kTimeoutMs * 1000LL;
    while (node == 0 && g_get_monotonic_time() < deadline)
        if (!g_main_context_iteration(nullptr, FALSE))
            g_usleep(10000);
    int status = 1;
    if (node != 0) {
        // The first buffer is what the monitor shows now.
        const std::string pipeline = "timeout 10 gst-launch-1.0 -q pipewiresrc path=" + std::to_string(node) +
                                     " num-buffers=1 ! videoconvert ! video/x-raw,format=RGB ! pngenc snapshot=false"
                                     " ! multifilesink location=" + std::string(argv[1]) + ".%d";
        gint exit = 1;
        if (g_spawn_command_line_sync(pipeline.c_str(), nullptr, nullptr, &exit, nullptr) &&
            g_spawn_check_wait_status(exit, nullptr)) {
            const std::string last = std::string(argv[1]) + ".0";
            status = std::rename(last.c_str(), argv[1]) == 0 ? 0 : 1;
        }
    }
    if (GVariant* stopped = Call(bus, session, sessionInterface, "Stop", nullptr))
        g_variant_unref(stopped);
    g_variant_unref(recorded);
    g_variant_unref(created);
    g_object_unref(bus);
    return status;
}
