#include "wayland/output_host.h"

#include <linux/input-event-codes.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "portable/runtime.h"
#include "portable/winapi/functions.h"
#include "wayland/desktop_capture.h"
#include "wayland/key_codes.h"

namespace vyla::wayland {

namespace {

// A compositor that has not placed the surface by then will not.
constexpr auto kConfigureTimeout = std::chrono::seconds(3);
// Mod1, the Alt modifier, in the keymaps compositors send.
constexpr std::uint32_t kAltModifier = 1u << 3;

// The picture at another size, nearest neighbour: a desktop taken at the
// output's physical size for a surface of another one.
raster::Surface Resized(const raster::Surface& picture, Size size)
{
    auto result = raster::Surface::Create(size);
    if (!result)
        return {};
    if (picture.GetSize() == size) {
        *result = picture;
        return std::move(*result);
    }
    for (int y = 0; y < size.height; ++y) {
        int sy = static_cast<int>(std::int64_t{y} * picture.Height() / size.height);
        raster::Pixel* row = result->Row(y);
        for (int x = 0; x < size.width; ++x)
            row[x] = picture.At(static_cast<int>(std::int64_t{x} * picture.Width() / size.width), sy);
    }
    return std::move(*result);
}

bool IsDialog(HWND window)
{
    const portable::Window* w = portable::Runtime::Current().Windows().Find(window);
    return w && w->dialogProc;
}

}  // namespace

std::unique_ptr<OutputHost> OutputHost::Open(std::unique_ptr<Connection> connection, std::uint32_t output,
                                             std::string* error)
{
    std::unique_ptr<OutputHost> host(new OutputHost(std::move(connection), output));
    if (!host->Start(error))
        return nullptr;
    return host;
}

OutputHost::OutputHost(std::unique_ptr<Connection> connection, std::uint32_t output)
    : connection_(std::move(connection)), outputName_(output)
{
}

OutputHost::~OutputHost()
{
    frame_.reset();
    fractional_.reset();
    viewport_.reset();
    keyboard_.reset();
    pointer_.reset();
    layer_.reset();
    toplevel_.reset();
    xdgSurface_.reset();
    surface_.reset();
    for (Buffer& b : buffers_)
        b.memory.reset();
    connection_->Flush();
}

bool OutputHost::Start(std::string* error)
{
    Connection& c = *connection_;
    if (!c.LayerShell() && !c.WmBase()) {
        *error = "the Wayland compositor offers neither zwlr_layer_shell_v1 nor xdg_wm_base";
        return false;
    }
    if (!c.Compositor() || !c.Shm()) {
        *error = "the Wayland compositor offers no wl_compositor or wl_shm";
        return false;
    }
    output_ = c.BindOutput(outputName_);
    if (!output_) {
        *error = "the Wayland output " + std::to_string(outputName_) + " is gone";
        return false;
    }

    static const wl_output_listener outputListener{
        [](void*, wl_output*, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t, const char*,
           const char*, std::int32_t) {},                                                   // geometry
        &OutputHost::OutputMode,
        [](void*, wl_output*) {},                                                           // done
        &OutputHost::OutputScale,
        &OutputHost::OutputName,
        [](void*, wl_output*, const char*) {},  // description
    };
    wl_output_add_listener(output_, &outputListener, this);
    if (!c.Roundtrip()) {
        *error = c.FailureText();
        return false;
    }

    // The desktop first: nothing of the saver is on the output yet.
    std::optional<raster::Surface> desktop;
    if (auto capture = ChooseDesktopCapture(c, modeSize_))
        desktop = capture->Capture(output_, outputLabel_);

    surface_.reset(wl_compositor_create_surface(c.Compositor()));
    if (c.FractionalScale() && c.Viewporter()) {
        viewport_.reset(wp_viewporter_get_viewport(c.Viewporter(), surface_.get()));
        fractional_.reset(wp_fractional_scale_manager_v1_get_fractional_scale(c.FractionalScale(), surface_.get()));
        static const wp_fractional_scale_v1_listener scaleListener{&OutputHost::PreferredScale};
        wp_fractional_scale_v1_add_listener(fractional_.get(), &scaleListener, this);
    }
    if (c.LayerShell()) {
        layer_.reset(zwlr_layer_shell_v1_get_layer_surface(c.LayerShell(), surface_.get(), output_,
                                                           ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "vyla"));
        static const zwlr_layer_surface_v1_listener layerListener{&OutputHost::LayerConfigure,
                                                                  &OutputHost::LayerClosed};
        zwlr_layer_surface_v1_add_listener(layer_.get(), &layerListener, this);
        zwlr_layer_surface_v1_set_anchor(layer_.get(),
                                         ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                             ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
        // Over panels and docks too, not beside them.
        zwlr_layer_surface_v1_set_exclusive_zone(layer_.get(), -1);
        zwlr_layer_surface_v1_set_keyboard_interactivity(layer_.get(),
                                                         ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE);
        zwlr_layer_surface_v1_set_size(layer_.get(), 0, 0);
    } else {
        PlaceWindow();
    }
    wl_surface_commit(surface_.get());
    const auto deadline = std::chrono::steady_clock::now() + kConfigureTimeout;
    if (!c.DispatchUntil([this] { return !configured_.IsEmpty() || closed_; }, deadline) || closed_) {
        *error = c.Failed() ? c.FailureText() : "the Wayland compositor gave the saver no place on the output";
        return false;
    }
    // The preferred scale comes once the surface is placed.
    if (fractional_ && !c.Roundtrip()) {
        *error = c.FailureText();
        return false;
    }

    if (desktop)
        desktop_ = std::move(*desktop);
    if (!BuildScreen(error))
        return false;
    if (c.Seat()) {
        static const wl_seat_listener seatListener{&OutputHost::SeatCapabilities, &OutputHost::SeatName};
        wl_seat_add_listener(c.Seat(), &seatListener, this);
    }
    c.Flush();
    return true;
}

bool OutputHost::BuildScreen(std::string* error)
{
    // The scene is drawn at the output's own resolution: integer scales
    // are pixel-exact (the compositor shows the buffer as it is).
    const std::int64_t width = std::int64_t{configured_.width} * scale_, height = std::int64_t{configured_.height} * scale_;
    if (width > raster::Surface::kMaxSide || height > raster::Surface::kMaxSide)
        scale_ = 1;
    Size pixels{configured_.width * scale_, configured_.height * scale_};
    const bool fractional = viewport_ && scale120_ > 0 && scale120_ <= 4 * 120;
    if (fractional)
        pixels = Size{static_cast<int>((std::int64_t{configured_.width} * scale120_ + 60) / 120),
                      static_cast<int>((std::int64_t{configured_.height} * scale120_ + 60) / 120)};
    pixelsPerUnit_ = static_cast<double>(pixels.width) / configured_.width;
    // The desktop as it was taken, at this size; black without one.
    screen_ = desktop_.Bounds().IsEmpty() ? raster::Surface{} : Resized(desktop_, pixels);
    if (screen_.GetSize() != pixels) {
        auto black = raster::Surface::Create(pixels);
        if (!black) {
            *error = "no memory for a screen of " + std::to_string(pixels.width) + "x" + std::to_string(pixels.height);
            return false;
        }
        screen_ = std::move(*black);
    }
    damage_.SetBounds(screen_.Bounds());
    if (fractional) {
        wl_surface_set_buffer_scale(surface_.get(), 1);
        wp_viewport_set_destination(viewport_.get(), configured_.width, configured_.height);
    } else {
        wl_surface_set_buffer_scale(surface_.get(), scale_);
        if (viewport_)
            wp_viewport_set_destination(viewport_.get(), -1, -1);
    }
    const std::size_t stride = static_cast<std::size_t>(pixels.width) * 4;
    for (Buffer& b : buffers_) {
        b.memory = ShmBuffer::Create(connection_->Shm(), pixels, stride, WL_SHM_FORMAT_XRGB8888, [this] { Present(); });
        if (!b.memory) {
            *error = "no shared memory for the output's buffers";
            return false;
        }
        b.stale.SetBounds(screen_.Bounds());
        b.stale.Add(screen_.Bounds());
    }
    // The program thinks the pointer starts in the middle until it enters.
    pointerAt_ = Point{pixels.width / 2, pixels.height / 2};
    if (wl_region* opaque = wl_compositor_create_region(connection_->Compositor())) {
        wl_region_add(opaque, 0, 0, configured_.width, configured_.height);
        wl_surface_set_opaque_region(surface_.get(), opaque);
        wl_region_destroy(opaque);
    }
    return true;
}

bool OutputHost::PrepareRerun()
{
    if (!resized_ || closed_ || connection_->Failed() || connection_->OutputRemoved(outputName_))
        return false;
    resized_ = false;
    closeRequested_ = false;
    frame_.reset();
    configured_ = pendingSize_;
    std::string error;
    if (!BuildScreen(&error)) {
        std::fprintf(stderr, "vyla: %s\n", error.c_str());
        return false;
    }
    return true;
}

// ---- Showing --------------------------------------------------------------

void OutputHost::WindowShown(HWND window, const Rect&)
{
    if (saver_ || IsDialog(window) || closed_)
        return;
    saver_ = window;
    damage_.Add(screen_.Bounds());
    Present();
}

void OutputHost::WindowHidden(HWND window)
{
    if (window != saver_)
        return;
    saver_ = nullptr;
    frame_.reset();
    // Across a rerun the surface stays up, showing the last frame until
    // the new scene's first.
    if (surface_ && !resized_) {
        wl_surface_attach(surface_.get(), nullptr, 0, 0);
        wl_surface_commit(surface_.get());
    }
    connection_->Flush();
}

void OutputHost::Present()
{
    // A frame goes once the one before it is on the output, into a buffer
    // the compositor has let go; until then the changes wait.
    if (!saver_ || frame_ || damage_.IsEmpty() || connection_->Failed())
        return;
    Buffer* target = nullptr;
    for (Buffer& b : buffers_)
        if (!b.memory->Busy()) {
            target = &b;
            break;
        }
    if (!target)
        return;
    const std::vector<Rect> changed = damage_.Take();
    for (Buffer& b : buffers_)
        for (const Rect& r : changed)
            b.stale.Add(r);
    CopyToBuffer(*target);

    wl_surface* surface = surface_.get();
    wl_surface_attach(surface, target->memory->Get(), 0, 0);
    for (const Rect& r : changed)
        wl_surface_damage_buffer(surface, r.left, r.top, r.Width(), r.Height());
    frame_.reset(wl_surface_frame(surface));
    static const wl_callback_listener frameListener{&OutputHost::FrameDone};
    wl_callback_add_listener(frame_.get(), &frameListener, this);
    wl_surface_commit(surface);
    target->memory->MarkBusy();
    connection_->Flush();
}

void OutputHost::CopyToBuffer(Buffer& buffer)
{
    // XRGB8888 in memory is the raster's 0x00RRGGBB, row for row.
    std::byte* base = buffer.memory->Bytes().data();
    const std::size_t stride = buffer.memory->Stride();
    for (const Rect& r : buffer.stale.Take()) {
        const std::size_t bytes = static_cast<std::size_t>(r.Width()) * sizeof(raster::Pixel);
        for (int y = r.top; y < r.bottom; ++y)
            std::memcpy(base + static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(r.left) * sizeof(raster::Pixel),
                        screen_.Row(y) + r.left, bytes);
    }
}

void OutputHost::FrameDone(void* data, wl_callback*, std::uint32_t)
{
    auto* self = static_cast<OutputHost*>(data);
    self->frame_.reset();
    self->Present();
}

void OutputHost::OutputScale(void* data, wl_output*, std::int32_t factor)
{
    // Scales beyond 4 are not real displays' and would only cost memory.
    static_cast<OutputHost*>(data)->scale_ = std::clamp(factor, 1, 4);
}

void OutputHost::PreferredScale(void* data, wp_fractional_scale_v1*, std::uint32_t scale120)
{
    auto* self = static_cast<OutputHost*>(data);
    if (scale120 == self->scale120_)
        return;
    self->scale120_ = scale120;
    // Told after the screen was built: it is built again for the new scale.
    if (!self->screen_.Bounds().IsEmpty())
        self->Rebuild(self->resized_ ? self->pendingSize_ : self->configured_);
}

void OutputHost::Rebuild(Size size)
{
    pendingSize_ = size;
    if (portable::Runtime::HasCurrent()) {
        // The scene is built for one size: this run ends, and the next is
        // built over the desktop, rescaled (PrepareRerun).
        resized_ = true;
        RequestClose();
        return;
    }
    // No run yet: the screen is simply made again.
    configured_ = size;
    std::string error;
    if (!BuildScreen(&error))
        std::fprintf(stderr, "vyla: %s\n", error.c_str());
}

void OutputHost::OutputMode(void* data, wl_output*, std::uint32_t flags, std::int32_t width, std::int32_t height,
                            std::int32_t)
{
    if (flags & WL_OUTPUT_MODE_CURRENT)
        static_cast<OutputHost*>(data)->modeSize_ = Size{width, height};
}

void OutputHost::OutputName(void* data, wl_output*, const char* name)
{
    static_cast<OutputHost*>(data)->outputLabel_ = name ? name : "";
}

void OutputHost::LayerConfigure(void* data, zwlr_layer_surface_v1* surface, std::uint32_t serial, std::uint32_t width,
                                std::uint32_t height)
{
    auto* self = static_cast<OutputHost*>(data);
    zwlr_layer_surface_v1_ack_configure(surface, serial);
    if (width == 0 || height == 0 || width > raster::Surface::kMaxSide || height > raster::Surface::kMaxSide)
        return;
    const Size size{static_cast<int>(width), static_cast<int>(height)};
    if (self->configured_.IsEmpty()) {
        self->configured_ = size;
        return;
    }
    if (size != self->configured_ && !(self->resized_ && size == self->pendingSize_))
        self->Rebuild(size);
}

void OutputHost::PlaceWindow()
{
    Connection& c = *connection_;
    xdgSurface_.reset(xdg_wm_base_get_xdg_surface(c.WmBase(), surface_.get()));
    static const xdg_surface_listener surfaceListener{&OutputHost::SurfaceConfigure};
    xdg_surface_add_listener(xdgSurface_.get(), &surfaceListener, this);
    toplevel_.reset(xdg_surface_get_toplevel(xdgSurface_.get()));
    static const xdg_toplevel_listener toplevelListener{
        &OutputHost::WindowConfigure, &OutputHost::WindowClose,
        [](void*, xdg_toplevel*, std::int32_t, std::int32_t) {},  // bounds: not asked for (version 1)
        [](void*, xdg_toplevel*, wl_array*) {},                   // capabilities: likewise
    };
    xdg_toplevel_add_listener(toplevel_.get(), &toplevelListener, this);
    xdg_toplevel_set_title(toplevel_.get(), "Vyla Screen Saver");
    xdg_toplevel_set_app_id(toplevel_.get(), "vyla");
    xdg_toplevel_set_fullscreen(toplevel_.get(), output_);
}

void OutputHost::WindowConfigure(void* data, xdg_toplevel*, std::int32_t width, std::int32_t height, wl_array*)
{
    // Taken at the surface's configure, which closes the sequence.
    static_cast<OutputHost*>(data)->windowSize_ = Size{width, height};
}

void OutputHost::SurfaceConfigure(void* data, xdg_surface* surface, std::uint32_t serial)
{
    auto* self = static_cast<OutputHost*>(data);
    xdg_surface_ack_configure(surface, serial);
    // 0x0: the client chooses, which a fullscreen window does not; wait for a size.
    const Size size = self->windowSize_;
    if (size.width <= 0 || size.height <= 0 || size.width > raster::Surface::kMaxSide ||
        size.height > raster::Surface::kMaxSide)
        return;
    if (self->configured_.IsEmpty()) {
        self->configured_ = size;
        return;
    }
    if (size != self->configured_ && !(self->resized_ && size == self->pendingSize_))
        self->Rebuild(size);
}

void OutputHost::WindowClose(void* data, xdg_toplevel*)
{
    auto* self = static_cast<OutputHost*>(data);
    self->closed_ = true;
    self->RequestClose();
}

void OutputHost::LayerClosed(void* data, zwlr_layer_surface_v1*)
{
    auto* self = static_cast<OutputHost*>(data);
    self->closed_ = true;
    self->RequestClose();
}

// ---- Events ---------------------------------------------------------------

void OutputHost::RequestClose()
{
    // As the user's input would: the window closes and the program unwinds.
    if (closeRequested_ || !portable::Runtime::HasCurrent())
        return;
    closeRequested_ = true;
    if (saver_ && IsWindow(saver_))
        PostMessageA(saver_, WM_CLOSE, 0, 0);
    else
        PostQuitMessage(0);
}

void OutputHost::Post(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (saver_ && IsWindow(saver_))
        PostMessageA(saver_, message, wParam, lParam);
}

void OutputHost::AfterDispatch()
{
    if (connection_->Failed()) {
        if (connection_->FailedByError() && !lostByError_) {
            lostByError_ = true;
            std::fprintf(stderr, "vyla: %s\n", connection_->FailureText().c_str());
        }
        RequestClose();
        return;
    }
    // The output unplugged: this saver has nothing left to cover.
    if (connection_->OutputRemoved(outputName_))
        RequestClose();
}

void OutputHost::PollEvents()
{
    if (Events().TakeSignal())
        RequestClose();
    connection_->DispatchReady();
    AfterDispatch();
}

void OutputHost::WaitEvents(int timeoutMs)
{
    // Sleeps until there is something for the program: a message, a
    // signal, or the end of the timeout. The compositor's notes that a
    // frame was shown or a buffer let go are handled here (the next frame
    // goes then) and the sleep goes on.
    const std::int64_t end = linux::EventWait::EndAfter(timeoutMs);
    wl_display* display = connection_->Display();
    for (;;) {
        if (!connection_->DispatchPending() || !portable::Runtime::Current().Queue().empty()) {
            AfterDispatch();
            return;
        }
        while (wl_display_prepare_read(display) != 0)
            if (wl_display_dispatch_pending(display) < 0) {
                AfterDispatch();
                return;
            }
        connection_->Flush();
        if (Events().Wait(connection_->Fd(), end) != linux::EventWait::Woken::Readable) {
            wl_display_cancel_read(display);
            return;  // the end, or a signal to see to
        }
        if (wl_display_read_events(display) < 0) {
            AfterDispatch();
            return;
        }
        AfterDispatch();
        if (closeRequested_)
            return;
    }
}

// ---- Input ----------------------------------------------------------------

void OutputHost::SeatCapabilities(void* data, wl_seat* seat, std::uint32_t capabilities)
{
    static_cast<OutputHost*>(data)->BindInput(capabilities);
    (void)seat;
}

void OutputHost::SeatName(void*, wl_seat*, const char*) {}

void OutputHost::BindInput(std::uint32_t capabilities)
{
    wl_seat* seat = connection_->Seat();
    // Devices come and go with the seat's capabilities.
    if ((capabilities & WL_SEAT_CAPABILITY_POINTER) && !pointer_) {
        pointer_.reset(wl_seat_get_pointer(seat));
        static const wl_pointer_listener listener{
            &OutputHost::PointerEnter,
            &OutputHost::PointerLeave,
            &OutputHost::PointerMotion,
            &OutputHost::PointerButton,
            [](void*, wl_pointer*, std::uint32_t, std::uint32_t, wl_fixed_t) {},  // axis: the wheel, as on X11
            [](void*, wl_pointer*) {},                                             // frame
            [](void*, wl_pointer*, std::uint32_t) {},                              // axis_source
            [](void*, wl_pointer*, std::uint32_t, std::uint32_t) {},               // axis_stop
            [](void*, wl_pointer*, std::uint32_t, std::int32_t) {},                // axis_discrete
            [](void*, wl_pointer*, std::uint32_t, std::int32_t) {},                // axis_value120
        };
        wl_pointer_add_listener(pointer_.get(), &listener, this);
    } else if (!(capabilities & WL_SEAT_CAPABILITY_POINTER)) {
        pointer_.reset();
        pointerInside_ = false;
    }
    if ((capabilities & WL_SEAT_CAPABILITY_KEYBOARD) && !keyboard_) {
        keyboard_.reset(wl_seat_get_keyboard(seat));
        static const wl_keyboard_listener listener{
            &OutputHost::KeyboardKeymap,
            [](void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*) {},  // enter: held keys are not presses
            [](void*, wl_keyboard*, std::uint32_t, wl_surface*) {},             // leave
            &OutputHost::KeyboardKey,
            &OutputHost::KeyboardModifiers,
            [](void*, wl_keyboard*, std::int32_t, std::int32_t) {},  // repeat_info
        };
        wl_keyboard_add_listener(keyboard_.get(), &listener, this);
    } else if (!(capabilities & WL_SEAT_CAPABILITY_KEYBOARD)) {
        keyboard_.reset();
    }
    connection_->Flush();
}

void OutputHost::CursorVisibilityChanged(bool visible)
{
    cursorVisible_ = visible;
    if (!visible)
        HideCursor();
}

void OutputHost::HideCursor()
{
    // A pointer's image can be set only by the client it entered, with the
    // entering serial; a visible cursor is the compositor's default one.
    if (pointer_ && pointerInside_ && !cursorVisible_)
        wl_pointer_set_cursor(pointer_.get(), enterSerial_, nullptr, 0, 0);
}

void OutputHost::PointerEnter(void* data, wl_pointer*, std::uint32_t serial, wl_surface* surface, wl_fixed_t x,
                              wl_fixed_t y)
{
    auto* self = static_cast<OutputHost*>(data);
    if (surface != self->surface_.get())
        return;
    self->pointerInside_ = true;
    self->enterSerial_ = serial;
    // Entering is not moving: the saver appearing under a still pointer
    // must not end it. Where it entered is where a move is measured from.
    self->pointerAt_ = self->InPixels(x, y);
    self->HideCursor();
}

Point OutputHost::InPixels(wl_fixed_t x, wl_fixed_t y) const
{
    return Point{static_cast<int>(wl_fixed_to_double(x) * pixelsPerUnit_),
                 static_cast<int>(wl_fixed_to_double(y) * pixelsPerUnit_)};
}

void OutputHost::PointerLeave(void* data, wl_pointer*, std::uint32_t, wl_surface*)
{
    static_cast<OutputHost*>(data)->pointerInside_ = false;
}

void OutputHost::PointerMotion(void* data, wl_pointer*, std::uint32_t, wl_fixed_t x, wl_fixed_t y)
{
    auto* self = static_cast<OutputHost*>(data);
    Point at = self->InPixels(x, y);
    // Movement within a pixel does not show, as on X11.
    if (at == self->pointerAt_)
        return;
    self->pointerAt_ = at;
    InputMessage m = MouseMove(at.x, at.y);
    self->Post(m.message, m.wParam, m.lParam);
}

void OutputHost::PointerButton(void* data, wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t button,
                               std::uint32_t state)
{
    auto* self = static_cast<OutputHost*>(data);
    if (state != WL_POINTER_BUTTON_STATE_PRESSED)
        return;
    if (auto m = ButtonDown(button, self->pointerAt_.x, self->pointerAt_.y))
        self->Post(m->message, m->wParam, m->lParam);
}

void OutputHost::KeyboardKeymap(void*, wl_keyboard*, std::uint32_t, int fd, std::uint32_t)
{
    // Keys are told apart by their codes; the keymap is not needed.
    close(fd);
}

void OutputHost::KeyboardKey(void* data, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t key,
                             std::uint32_t state)
{
    auto* self = static_cast<OutputHost*>(data);
    // Only presses: the release of a key held when the saver started is not input.
    if (state != WL_KEYBOARD_KEY_STATE_PRESSED)
        return;
    InputMessage m = KeyDown(key, self->altHeld_);
    self->Post(m.message, m.wParam, m.lParam);
}

void OutputHost::KeyboardModifiers(void* data, wl_keyboard*, std::uint32_t, std::uint32_t depressed, std::uint32_t,
                                   std::uint32_t, std::uint32_t)
{
    static_cast<OutputHost*>(data)->altHeld_ = (depressed & kAltModifier) != 0;
}

}  // namespace vyla::wayland
