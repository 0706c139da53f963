#include "wayland/desktop_capture.h"

#include <cstdlib>
#include <cstring>

#include "wayland/gnome_wallpaper.h"

#include <chrono>

#include "wayland/captured_pixels.h"
#include "wayland/kwin_capture.h"
#include "wayland/shm_buffer.h"

namespace vyla::wayland {

namespace {

// A compositor that has not copied an output by then will not.
constexpr auto kCaptureTimeout = std::chrono::seconds(3);

// One frame's exchange: the buffer formats offered, then the copy's end.
struct FrameState {
    std::uint32_t version = 1;
    bool chosen = false;
    std::uint32_t format = 0;
    Size size;
    std::uint32_t stride = 0;
    bool offersDone = false;  // all formats offered (version 3), or the one (earlier)
    bool yInverted = false;
    bool ready = false;
    bool failed = false;
};

void OnBuffer(void* data, zwlr_screencopy_frame_v1*, std::uint32_t format, std::uint32_t width, std::uint32_t height,
              std::uint32_t stride)
{
    auto* state = static_cast<FrameState*>(data);
    if (!state->chosen && CanConvert(format) && width > 0 && height > 0 && width <= raster::Surface::kMaxSide &&
        height <= raster::Surface::kMaxSide) {
        state->chosen = true;
        state->format = format;
        state->size = Size{static_cast<int>(width), static_cast<int>(height)};
        state->stride = stride;
    }
    // Before version 3 the one buffer event is all there is.
    if (state->version < 3)
        state->offersDone = true;
}

void OnFlags(void* data, zwlr_screencopy_frame_v1*, std::uint32_t flags)
{
    static_cast<FrameState*>(data)->yInverted = (flags & ZWLR_SCREENCOPY_FRAME_V1_FLAGS_Y_INVERT) != 0;
}

void OnReady(void* data, zwlr_screencopy_frame_v1*, std::uint32_t, std::uint32_t, std::uint32_t)
{
    static_cast<FrameState*>(data)->ready = true;
}

void OnFailed(void* data, zwlr_screencopy_frame_v1*)
{
    static_cast<FrameState*>(data)->failed = true;
}

void OnDamage(void*, zwlr_screencopy_frame_v1*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {}

void OnDmabuf(void*, zwlr_screencopy_frame_v1*, std::uint32_t, std::uint32_t, std::uint32_t) {}

void OnBufferDone(void* data, zwlr_screencopy_frame_v1*)
{
    static_cast<FrameState*>(data)->offersDone = true;
}

const zwlr_screencopy_frame_v1_listener kFrameListener{&OnBuffer, &OnFlags, &OnReady, &OnFailed,
                                                       &OnDamage, &OnDmabuf, &OnBufferDone};

}  // namespace

std::optional<raster::Surface> ScreencopyCapture::Capture(wl_output* output, std::string_view)
{
    zwlr_screencopy_manager_v1* manager = connection_.Screencopy();
    if (!manager || !output)
        return std::nullopt;
    const auto deadline = std::chrono::steady_clock::now() + kCaptureTimeout;
    FrameState state;
    // Without the cursor: the saver hides it.
    Owned<zwlr_screencopy_frame_v1> frame(
        zwlr_screencopy_manager_v1_capture_output(manager, 0, output));
    state.version = zwlr_screencopy_frame_v1_get_version(frame.get());
    zwlr_screencopy_frame_v1_add_listener(frame.get(), &kFrameListener, &state);
    if (!connection_.DispatchUntil([&] { return state.offersDone || state.failed; }, deadline) || state.failed ||
        !state.chosen)
        return std::nullopt;
    auto buffer = ShmBuffer::Create(connection_.Shm(), state.size, state.stride, state.format);
    if (!buffer)
        return std::nullopt;
    zwlr_screencopy_frame_v1_copy(frame.get(), buffer->Get());
    if (!connection_.DispatchUntil([&] { return state.ready || state.failed; }, deadline) || state.failed)
        return std::nullopt;
    return Convert(CapturedPixels{state.format, state.size, state.stride, state.yInverted, buffer->Bytes()});
}

std::unique_ptr<DesktopCapture> ChooseDesktopCapture(Connection& connection, Size outputSize)
{
    if (connection.Screencopy())
        return std::make_unique<ScreencopyCapture>(connection);
    if (auto kwin = KWinCapture::Connect())
        return kwin;
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    if (!connection.LayerShell() || (desktop && std::strstr(desktop, "GNOME")))
        return std::make_unique<GnomeWallpaperCapture>(outputSize);
    return nullptr;
}

}  // namespace vyla::wayland
