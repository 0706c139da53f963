// A connection to a Wayland compositor and the globals the saver uses:
// the compositor, shared memory, the seat, layer-shell, screencopy and the
// outputs. Every object is released with the connection.
#pragma once

#include <wayland-client.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "wayland/layer_shell_protocol.h"
#include "fractional-scale-v1-client.h"
#include "viewporter-client.h"
#include "xdg-shell-client.h"
#include "wlr-screencopy-unstable-v1-client.h"

namespace vyla::wayland {

// Protocol objects owned as values: each destroyed with its own request.
// (The generated wrappers are static, so they are called from here.)
inline void Destroy(wl_registry* p) { wl_registry_destroy(p); }
inline void Destroy(wl_compositor* p) { wl_compositor_destroy(p); }
inline void Destroy(wl_shm* p) { wl_shm_destroy(p); }
inline void Destroy(wl_seat* p) { wl_seat_get_version(p) >= WL_SEAT_RELEASE_SINCE_VERSION ? wl_seat_release(p) : wl_seat_destroy(p); }
inline void Destroy(wl_output* p) { wl_output_get_version(p) >= WL_OUTPUT_RELEASE_SINCE_VERSION ? wl_output_release(p) : wl_output_destroy(p); }
inline void Destroy(wl_surface* p) { wl_surface_destroy(p); }
inline void Destroy(wl_callback* p) { wl_callback_destroy(p); }
inline void Destroy(wl_pointer* p) { wl_pointer_get_version(p) >= WL_POINTER_RELEASE_SINCE_VERSION ? wl_pointer_release(p) : wl_pointer_destroy(p); }
inline void Destroy(wl_keyboard* p) { wl_keyboard_get_version(p) >= WL_KEYBOARD_RELEASE_SINCE_VERSION ? wl_keyboard_release(p) : wl_keyboard_destroy(p); }
inline void Destroy(zwlr_layer_shell_v1* p) { zwlr_layer_shell_v1_get_version(p) >= ZWLR_LAYER_SHELL_V1_DESTROY_SINCE_VERSION ? zwlr_layer_shell_v1_destroy(p) : wl_proxy_destroy(reinterpret_cast<wl_proxy*>(p)); }
inline void Destroy(zwlr_layer_surface_v1* p) { zwlr_layer_surface_v1_destroy(p); }
inline void Destroy(zwlr_screencopy_manager_v1* p) { zwlr_screencopy_manager_v1_destroy(p); }
inline void Destroy(zwlr_screencopy_frame_v1* p) { zwlr_screencopy_frame_v1_destroy(p); }
inline void Destroy(xdg_wm_base* p) { xdg_wm_base_destroy(p); }
inline void Destroy(xdg_surface* p) { xdg_surface_destroy(p); }
inline void Destroy(xdg_toplevel* p) { xdg_toplevel_destroy(p); }
inline void Destroy(wp_viewporter* p) { wp_viewporter_destroy(p); }
inline void Destroy(wp_viewport* p) { wp_viewport_destroy(p); }
inline void Destroy(wp_fractional_scale_manager_v1* p) { wp_fractional_scale_manager_v1_destroy(p); }
inline void Destroy(wp_fractional_scale_v1* p) { wp_fractional_scale_v1_destroy(p); }

struct ProxyDeleter {
    template <typename T>
    void operator()(T* proxy) const
    {
        if (proxy)
            Destroy(proxy);
    }
};
template <typename T>
using Owned = std::unique_ptr<T, ProxyDeleter>;

class Connection {
public:
    // Connects to $WAYLAND_DISPLAY and learns the globals; nullptr with
    // *error (one line) when there is no compositor to talk to.
    static std::unique_ptr<Connection> Open(std::string* error);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    wl_display* Display() const { return display_; }
    int Fd() const { return wl_display_get_fd(display_); }

    wl_compositor* Compositor() const { return compositor_.get(); }
    wl_shm* Shm() const { return shm_.get(); }
    wl_seat* Seat() const { return seat_.get(); }
    zwlr_layer_shell_v1* LayerShell() const { return layerShell_.get(); }
    // Windows: where there is no layer-shell (mutter), the saver is a
    // fullscreen toplevel on each output.
    xdg_wm_base* WmBase() const { return wmBase_.get(); }
    zwlr_screencopy_manager_v1* Screencopy() const { return screencopy_.get(); }
    // Drawing at a fractional scale: both, or nullptr where not offered.
    wp_viewporter* Viewporter() const { return viewporter_.get(); }
    wp_fractional_scale_manager_v1* FractionalScale() const { return fractionalScale_.get(); }

    // The outputs' registry names, which are the same for every client of
    // the compositor: the parent names an output to a child by it.
    const std::vector<std::uint32_t>& Outputs() const { return outputs_; }
    // Binds the output of that registry name; nullptr if there is none.
    wl_output* BindOutput(std::uint32_t name);
    // The output of that name was removed since it was bound.
    bool OutputRemoved(std::uint32_t name) const;

    // Sends what is queued and waits for the compositor to have handled it,
    // dispatching the events that come; false when the connection failed.
    bool Roundtrip();
    // Dispatches what has been read; false when the connection failed.
    bool DispatchPending();
    // Reads what the compositor sent, without waiting, and dispatches it.
    bool DispatchReady();
    // Dispatches events as they come until done() holds (true), the
    // connection fails or the deadline passes (false).
    bool DispatchUntil(const std::function<bool()>& done, std::chrono::steady_clock::time_point deadline);
    // Sends the requests made so far (what does not fit now goes later).
    void Flush();

    // The connection failed. ByError: by a protocol error or another fault,
    // rather than by the compositor going away.
    bool Failed() const { return wl_display_get_error(display_) != 0; }
    bool FailedByError() const;
    // One line on what went wrong, for FailedByError.
    std::string FailureText() const;

private:
    explicit Connection(wl_display* display);
    // Reads what comes within timeoutMs and dispatches it; false when the
    // connection failed.
    bool ReadEvents(int timeoutMs);
    static void Global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                       std::uint32_t version);
    static void GlobalRemove(void* data, wl_registry* registry, std::uint32_t name);

    struct OutputVersion {
        std::uint32_t name;
        std::uint32_t version;
    };

    wl_display* display_;
    Owned<wl_registry> registry_;
    Owned<wl_compositor> compositor_;
    Owned<wl_shm> shm_;
    Owned<wl_seat> seat_;
    Owned<zwlr_layer_shell_v1> layerShell_;
    Owned<xdg_wm_base> wmBase_;
    Owned<zwlr_screencopy_manager_v1> screencopy_;
    Owned<wp_viewporter> viewporter_;
    Owned<wp_fractional_scale_manager_v1> fractionalScale_;
    std::vector<std::uint32_t> outputs_;
    std::vector<OutputVersion> outputVersions_;
    std::vector<std::uint32_t> removed_;
    std::vector<Owned<wl_output>> boundOutputs_;
};

}  // namespace vyla::wayland
