// The saver on one output of a Wayland compositor. Before the program
// runs, the output's desktop picture is taken into the screen and an
// overlay layer surface is placed over the whole output (above fullscreen
// windows, taking the keyboard), which stays empty until the program shows
// its saver window. From then on what the program draws goes to the
// compositor at the end of each step: the changed squares are copied into
// one of two shared-memory buffers (never one the compositor still reads)
// and only they are damaged; a frame goes only once the previous one has
// been shown. On an output of integer scale N the screen and buffers are
// N times the logical size, pixel for pixel the output's own; where the
// compositor tells a fractional scale (wp_fractional_scale_v1) they are
// that many times, rounded, shown at the logical size by wp_viewporter. The user's input on the surface becomes the window messages
// a Windows saver would receive; the cursor is hidden over it.
//
// The portable runtime is one per process, so each output runs in a
// process of its own (output_children.h).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "common/damage_region.h"
#include "linux/linux_host.h"
#include "wayland/shm_buffer.h"
#include "wayland/wayland_connection.h"

namespace vyla::wayland {

class OutputHost final : public linux::LinuxHost {
public:
    // The host for the output of that registry name; nullptr with *error
    // (one line) when the compositor cannot give it a surface.
    static std::unique_ptr<OutputHost> Open(std::unique_ptr<Connection> connection, std::uint32_t output,
                                            std::string* error);
    ~OutputHost() override;

    raster::Surface& Screen() override { return screen_; }
    void ScreenDrawn(const Rect& area) override { damage_.Add(area); }
    void DrawingDone() override { Present(); }

    Point CursorPos() override { return pointerAt_; }
    void CursorVisibilityChanged(bool visible) override;

    void PollEvents() override;
    void WaitEvents(int timeoutMs) override;

    void WindowShown(HWND window, const Rect& rect) override;
    void WindowHidden(HWND window) override;

    // The output's size changed during the run: the next run is set up for
    // the new size, over the desktop rescaled. False when no run is due.
    bool PrepareRerun();

    // The run ended because the connection failed by an error (a line on
    // stderr said so), not by the compositor going away.
    bool LostByError() const { return lostByError_; }

private:
    struct Buffer {
        std::unique_ptr<ShmBuffer> memory;
        DamageRegion stale;  // what the screen changed since this buffer was written
    };

    OutputHost(std::unique_ptr<Connection> connection, std::uint32_t output);
    bool Start(std::string* error);
    // The screen and buffers for the configured size and scale.
    bool BuildScreen(std::string* error);
    // A new size or scale: the screen is built again, at once before the
    // program runs, by a rerun while it does.
    void Rebuild(Size size);
    void Present();
    void CopyToBuffer(Buffer& buffer);
    void AfterDispatch();
    void RequestClose();
    void Post(UINT message, WPARAM wParam, LPARAM lParam);
    void HideCursor();
    void BindInput(std::uint32_t capabilities);
    // A pointer position on the surface, in the screen's pixels.
    Point InPixels(wl_fixed_t x, wl_fixed_t y) const;

    static void OutputScale(void* data, wl_output* output, std::int32_t factor);
    static void OutputName(void* data, wl_output* output, const char* name);
    static void PreferredScale(void* data, wp_fractional_scale_v1* scale, std::uint32_t scale120);
    static void LayerConfigure(void* data, zwlr_layer_surface_v1* surface, std::uint32_t serial, std::uint32_t width,
                               std::uint32_t height);
    static void LayerClosed(void* data, zwlr_layer_surface_v1* surface);
    static void OutputMode(void* data, wl_output* output, std::uint32_t flags, std::int32_t width,
                           std::int32_t height, std::int32_t refresh);
    // The fullscreen toplevel where there is no layer-shell.
    void PlaceWindow();
    static void WindowConfigure(void* data, xdg_toplevel* toplevel, std::int32_t width, std::int32_t height,
                                wl_array* states);
    static void WindowClose(void* data, xdg_toplevel* toplevel);
    static void SurfaceConfigure(void* data, xdg_surface* surface, std::uint32_t serial);
    static void FrameDone(void* data, wl_callback* callback, std::uint32_t time);
    static void SeatCapabilities(void* data, wl_seat* seat, std::uint32_t capabilities);
    static void SeatName(void* data, wl_seat* seat, const char* name);
    static void PointerEnter(void* data, wl_pointer* pointer, std::uint32_t serial, wl_surface* surface,
                             wl_fixed_t x, wl_fixed_t y);
    static void PointerLeave(void* data, wl_pointer* pointer, std::uint32_t serial, wl_surface* surface);
    static void PointerMotion(void* data, wl_pointer* pointer, std::uint32_t time, wl_fixed_t x, wl_fixed_t y);
    static void PointerButton(void* data, wl_pointer* pointer, std::uint32_t serial, std::uint32_t time,
                              std::uint32_t button, std::uint32_t state);
    static void KeyboardKeymap(void* data, wl_keyboard* keyboard, std::uint32_t format, int fd, std::uint32_t size);
    static void KeyboardKey(void* data, wl_keyboard* keyboard, std::uint32_t serial, std::uint32_t time,
                            std::uint32_t key, std::uint32_t state);
    static void KeyboardModifiers(void* data, wl_keyboard* keyboard, std::uint32_t serial, std::uint32_t depressed,
                                  std::uint32_t latched, std::uint32_t locked, std::uint32_t group);

    std::unique_ptr<Connection> connection_;
    std::uint32_t outputName_;
    wl_output* output_ = nullptr;  // owned by the connection
    Owned<wl_surface> surface_;
    Owned<zwlr_layer_surface_v1> layer_;
    Owned<xdg_surface> xdgSurface_;
    Owned<xdg_toplevel> toplevel_;
    Size windowSize_;
    Size modeSize_;  // the output's current mode, in pixels  // the toplevel's last configured size
    Owned<wl_callback> frame_;  // the last frame's, until it is shown
    Owned<wp_viewport> viewport_;              // where fractional scales can be drawn
    Owned<wp_fractional_scale_v1> fractional_;
    Owned<wl_pointer> pointer_;
    Owned<wl_keyboard> keyboard_;

    raster::Surface desktop_;  // as it was taken, at the output's resolution then
    raster::Surface screen_;
    DamageRegion damage_;  // changed since the last frame went
    std::array<Buffer, 2> buffers_;
    Size configured_;      // the surface's size in the compositor's logical units
    int scale_ = 1;        // the output's integer scale: buffer pixels per logical unit
    std::string outputLabel_;  // the output's name, where the compositor tells it
    std::uint32_t scale120_ = 0;  // the preferred fractional scale in 120ths; 0: none told
    double pixelsPerUnit_ = 1;    // the screen's pixels per logical unit, as built
    bool closed_ = false;
    bool resized_ = false;  // a new size came: a rerun is due
    Size pendingSize_;

    HWND saver_ = nullptr;  // the program's saver window while the surface shows it
    bool cursorVisible_ = true;
    std::uint32_t enterSerial_ = 0;
    bool pointerInside_ = false;
    Point pointerAt_;  // surface coordinates; the output's middle until the pointer enters
    bool altHeld_ = false;
    bool closeRequested_ = false;
    bool lostByError_ = false;
};

}  // namespace vyla::wayland
