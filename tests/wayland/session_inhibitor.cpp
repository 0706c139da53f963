// Stands in for GNOME's session manager, which headless mutter runs
// without: owns org.gnome.SessionManager on the session bus and answers
// IsInhibited as gnome-session does while a program holds an idle
// inhibitor (flag 8), until it is ended. Prints "ready" once it owns the name.
#include <gio/gio.h>

#include <cstdio>

namespace {

constexpr const char* kIntrospection =
    "<node><interface name='org.gnome.SessionManager'>"
    "<method name='IsInhibited'><arg type='u' direction='in'/><arg type='b' direction='out'/></method>"
    "</interface></node>";

void OnCall(GDBusConnection*, const char*, const char*, const char*, const char* method, GVariant* parameters,
            GDBusMethodInvocation* invocation, gpointer)
{
    guint32 flags = 0;
    if (g_strcmp0(method, "IsInhibited") == 0 && g_variant_is_of_type(parameters, G_VARIANT_TYPE("(u)"))) {
        g_variant_get(parameters, "(u)", &flags);
        g_dbus_method_invocation_return_value(invocation, g_variant_new("(b)", (flags & 8) != 0));
        return;
    }
    g_dbus_method_invocation_return_dbus_error(invocation, "org.freedesktop.DBus.Error.UnknownMethod", method);
}

}  // namespace

int main()
{
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    if (!bus)
        return 1;
    GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
    static const GDBusInterfaceVTable vtable{OnCall, nullptr, nullptr, {}};
    g_dbus_connection_register_object(bus, "/org/gnome/SessionManager", node->interfaces[0], &vtable, nullptr,
                                      nullptr, nullptr);
    GVariant* reply = g_dbus_connection_call_sync(
        bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
        g_variant_new("(su)", "org.gnome.SessionManager", 4u), G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, 5000,
        nullptr, nullptr);
    guint32 result = 0;
    if (reply) {
        g_variant_get(reply, "(u)", &result);
        g_variant_unref(reply);
    }
    if (result != 1)  // the primary owner
        return 1;
    std::puts("ready");
    std::fflush(stdout);
    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    g_main_loop_run(loop);
    return 0;
}
