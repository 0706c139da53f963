#include "wayland/wayland_connection.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include <poll.h>

namespace vyla::wayland {

namespace {

// The versions the saver is written for; a compositor may offer less.
constexpr std::uint32_t kCompositorVersion = 4;  // damage_buffer
constexpr std::uint32_t kShmVersion = 1;
constexpr std::uint32_t kSeatVersion = 5;
constexpr std::uint32_t kOutputVersion = 4;  // the output's name
constexpr std::uint32_t kLayerShellVersion = 4;
constexpr std::uint32_t kScreencopyVersion = 3;

template <typename T>
T* Bind(wl_registry* registry, std::uint32_t name, const wl_interface* interface, std::uint32_t offered,
        std::uint32_t wanted)
{
    return static_cast<T*>(wl_registry_bind(registry, name, interface, std::min(offered, wanted)));
}

}  // namespace

std::unique_ptr<Connection> Connection::Open(std::string* error)
{
    const char* name = std::getenv("WAYLAND_DISPLAY");
    if (!name || !*name) {
        *error = "WAYLAND_DISPLAY is not set";
        return nullptr;
    }
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        *error = std::string("cannot connect to the Wayland display \"") + name + "\": " + std::strerror(errno);
        return nullptr;
    }
    std::unique_ptr<Connection> connection(new Connection(display));
    if (!connection->Roundtrip()) {
        *error = "the Wayland display \"" + std::string(name) + "\" did not answer";
        return nullptr;
    }
    return connection;
}

Connection::Connection(wl_display* display) : display_(display), registry_(wl_display_get_registry(display))
{
    static const wl_registry_listener listener{&Connection::Global, &Connection::GlobalRemove};
    wl_registry_add_listener(registry_.get(), &listener, this);
}

Connection::~Connection()
{
    boundOutputs_.clear();
    fractionalScale_.reset();
    viewporter_.reset();
    screencopy_.reset();
    layerShell_.reset();
    wmBase_.reset();
    seat_.reset();
    shm_.reset();
    compositor_.reset();
    registry_.reset();
    wl_display_disconnect(display_);
}

void Connection::Global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                        std::uint32_t version)
{
    auto* self = static_cast<Connection*>(data);
    std::string_view which = interface;
    if (which == wl_compositor_interface.name && !self->compositor_)
        self->compositor_.reset(Bind<wl_compositor>(registry, name, &wl_compositor_interface, version, kCompositorVersion));
    else if (which == wl_shm_interface.name && !self->shm_)
        self->shm_.reset(Bind<wl_shm>(registry, name, &wl_shm_interface, version, kShmVersion));
    else if (which == wl_seat_interface.name && !self->seat_)
        self->seat_.reset(Bind<wl_seat>(registry, name, &wl_seat_interface, version, kSeatVersion));
    else if (which == zwlr_layer_shell_v1_interface.name && !self->layerShell_)
        self->layerShell_.reset(
            Bind<zwlr_layer_shell_v1>(registry, name, &zwlr_layer_shell_v1_interface, version, kLayerShellVersion));
    else if (which == xdg_wm_base_interface.name && !self->wmBase_) {
        self->wmBase_.reset(Bind<xdg_wm_base>(registry, name, &xdg_wm_base_interface, version, 1));
        // A client that does not answer pings is marked as hung.
        static const xdg_wm_base_listener ping{
            [](void*, xdg_wm_base* base, std::uint32_t serial) { xdg_wm_base_pong(base, serial); }};
        xdg_wm_base_add_listener(self->wmBase_.get(), &ping, nullptr);
    } else if (which == zwlr_screencopy_manager_v1_interface.name && !self->screencopy_)
        self->screencopy_.reset(Bind<zwlr_screencopy_manager_v1>(registry, name, &zwlr_screencopy_manager_v1_interface,
                                                                 version, kScreencopyVersion));
    else if (which == wp_viewporter_interface.name && !self->viewporter_)
        self->viewporter_.reset(Bind<wp_viewporter>(registry, name, &wp_viewporter_interface, version, 1));
    else if (which == wp_fractional_scale_manager_v1_interface.name && !self->fractionalScale_)
        self->fractionalScale_.reset(Bind<wp_fractional_scale_manager_v1>(
            registry, name, &wp_fractional_scale_manager_v1_interface, version, 1));
    else if (which == wl_output_interface.name) {
        self->outputs_.push_back(name);
        self->outputVersions_.push_back({name, version});
    }
}

void Connection::GlobalRemove(void* data, wl_registry*, std::uint32_t name)
{
    auto* self = static_cast<Connection*>(data);
    auto& outputs = self->outputs_;
    if (auto it = std::find(outputs.begin(), outputs.end(), name); it != outputs.end()) {
        outputs.erase(it);
        self->removed_.push_back(name);
    }
}

wl_output* Connection::BindOutput(std::uint32_t name)
{
    for (const OutputVersion& o : outputVersions_) {
        if (o.name != name || OutputRemoved(name))
            continue;
        auto* output = Bind<wl_output>(registry_.get(), name, &wl_output_interface, o.version, kOutputVersion);
        boundOutputs_.emplace_back(output);
        return output;
    }
    return nullptr;
}

bool Connection::OutputRemoved(std::uint32_t name) const
{
    return std::find(removed_.begin(), removed_.end(), name) != removed_.end();
}

bool Connection::Roundtrip()
{
    return !Failed() && wl_display_roundtrip(display_) >= 0;
}

bool Connection::DispatchPending()
{
    return !Failed() && wl_display_dispatch_pending(display_) >= 0;
}

bool Connection::DispatchReady()
{
    return !Failed() && ReadEvents(0);
}

bool Connection::DispatchUntil(const std::function<bool()>& done, std::chrono::steady_clock::time_point deadline)
{
    while (!done()) {
        if (Failed())
            return false;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return ReadEvents(0) && done();
        if (!ReadEvents(static_cast<int>(left.count())))
            return false;
    }
    return true;
}

bool Connection::ReadEvents(int timeoutMs)
{
    while (wl_display_prepare_read(display_) != 0)
        if (wl_display_dispatch_pending(display_) < 0)
            return false;
    Flush();
    pollfd fd{Fd(), POLLIN, 0};
    if (poll(&fd, 1, timeoutMs) > 0) {
        if (wl_display_read_events(display_) < 0)
            return false;
    } else {
        wl_display_cancel_read(display_);
    }
    return DispatchPending();
}

void Connection::Flush()
{
    // EAGAIN leaves the rest queued for the next flush; a real failure
    // shows in Failed().
    wl_display_flush(display_);
}

bool Connection::FailedByError() const
{
    int error = wl_display_get_error(display_);
    // The compositor going away (its end closed) is an ordinary end.
    return error != 0 && error != EPIPE && error != ECONNRESET;
}

std::string Connection::FailureText() const
{
    int error = wl_display_get_error(display_);
    if (error == EPROTO) {
        const wl_interface* interface = nullptr;
        std::uint32_t id = 0;
        std::uint32_t code = wl_display_get_protocol_error(display_, &interface, &id);
        return "the Wayland compositor reported a protocol error (" +
               std::string(interface ? interface->name : "unknown interface") + ", code " + std::to_string(code) + ")";
    }
    return "the connection to the Wayland compositor was lost: " + std::string(std::strerror(error));
}

}  // namespace vyla::wayland
