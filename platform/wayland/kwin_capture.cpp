#include "wayland/kwin_capture.h"

#include <gio/gio.h>
#include <fcntl.h>
#include <gio/gunixfdlist.h>
#include <unistd.h>
#include <wayland-client-protocol.h>

#include <vector>

#include "wayland/captured_pixels.h"

namespace vyla::wayland {

namespace {

constexpr const char* kService = "org.kde.KWin";
constexpr const char* kPath = "/org/kde/KWin/ScreenShot2";
constexpr const char* kInterface = "org.kde.KWin.ScreenShot2";
constexpr int kTimeoutMs = 3000;

// QImage::Format values KWin hands over.
constexpr std::uint32_t kQtRgb32 = 4, kQtArgb32 = 5, kQtArgb32Premultiplied = 6, kQtRgbx8888 = 16,
                        kQtRgba8888 = 17, kQtRgba8888Premultiplied = 18;

std::uint32_t Unsigned(GVariant* results, const char* key)
{
    std::uint32_t value = 0;
    g_variant_lookup(results, key, "u", &value);
    return value;
}

}  // namespace

std::uint32_t ShmFormatForQImage(std::uint32_t qimageFormat)
{
    switch (qimageFormat) {
    case kQtRgb32:
        return WL_SHM_FORMAT_XRGB8888;
    case kQtArgb32:
    case kQtArgb32Premultiplied:  // a desktop is opaque: premultiplied is the same
        return WL_SHM_FORMAT_ARGB8888;
    case kQtRgbx8888:
        return WL_SHM_FORMAT_XBGR8888;
    case kQtRgba8888:
    case kQtRgba8888Premultiplied:
        return WL_SHM_FORMAT_ABGR8888;
    default:
        return 0;
    }
}

std::unique_ptr<KWinCapture> KWinCapture::Connect()
{
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    if (!bus)
        return nullptr;
    // Whether KWin is there and has the interface: its introspection names it.
    GVariant* reply = g_dbus_connection_call_sync(bus, kService, kPath, "org.freedesktop.DBus.Introspectable",
                                                  "Introspect", nullptr, G_VARIANT_TYPE("(s)"),
                                                  G_DBUS_CALL_FLAGS_NO_AUTO_START, kTimeoutMs, nullptr, nullptr);
    bool offered = false;
    if (reply) {
        const char* xml = nullptr;
        g_variant_get(reply, "(&s)", &xml);
        offered = xml && g_strstr_len(xml, -1, kInterface);
        g_variant_unref(reply);
    }
    if (!offered) {
        g_object_unref(bus);
        return nullptr;
    }
    return std::unique_ptr<KWinCapture>(new KWinCapture(bus));
}

KWinCapture::~KWinCapture()
{
    g_object_unref(static_cast<GDBusConnection*>(bus_));
}

std::optional<raster::Surface> KWinCapture::Capture(wl_output*, std::string_view name)
{
    if (name.empty())
        return std::nullopt;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return std::nullopt;
    GUnixFDList* fdList = g_unix_fd_list_new_from_array(&fds[1], 1);  // takes the write end
    GVariantBuilder options;
    g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
    g_variant_builder_add(&options, "{sv}", "include-cursor", g_variant_new_boolean(FALSE));
    g_variant_builder_add(&options, "{sv}", "native-resolution", g_variant_new_boolean(TRUE));
    const std::string screen(name);
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_with_unix_fd_list_sync(
        static_cast<GDBusConnection*>(bus_), kService, kPath, kInterface, "CaptureScreen",
        g_variant_new("(sa{sv}h)", screen.c_str(), &options, 0), G_VARIANT_TYPE("(a{sv})"), G_DBUS_CALL_FLAGS_NONE,
        kTimeoutMs, fdList, nullptr, nullptr, &error);
    g_object_unref(fdList);  // closes our copy of the write end: the pipe ends when KWin's does
    if (error)
        g_error_free(error);
    if (!reply) {
        close(fds[0]);
        return std::nullopt;
    }
    GVariant* results = g_variant_get_child_value(reply, 0);
    const std::uint32_t width = Unsigned(results, "width"), height = Unsigned(results, "height"),
                        stride = Unsigned(results, "stride"), format = Unsigned(results, "format");
    g_variant_unref(results);
    g_variant_unref(reply);

    // KWin writes the pixels after it has answered.
    std::vector<std::byte> bytes;
    const std::size_t expected = static_cast<std::size_t>(stride) * height;
    if (width > 0 && height > 0 && width <= raster::Surface::kMaxSide && height <= raster::Surface::kMaxSide &&
        expected / height == stride)
        bytes.resize(expected);
    std::size_t got = 0;
    while (got < bytes.size()) {
        ssize_t n = read(fds[0], bytes.data() + got, bytes.size() - got);
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    close(fds[0]);
    if (bytes.empty() || got < bytes.size())
        return std::nullopt;
    return Convert(CapturedPixels{ShmFormatForQImage(format), Size{static_cast<int>(width), static_cast<int>(height)},
                                  stride, false, bytes});
}

}  // namespace vyla::wayland
