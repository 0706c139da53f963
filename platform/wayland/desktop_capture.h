// The desktop picture of an output, taken before the saver shows anything
// on it. Each way a compositor offers to take it is one DesktopCapture;
// ChooseDesktopCapture picks the one the compositor has: wlr-screencopy
// (wlroots), else KWin's screenshot interface (kwin_capture.h). Without
// any, the saver starts from black; GNOME gives no program its screen
// without asking the user, so there it is the wallpaper GSettings names. (ext-image-copy-capture-v1 belongs
// here too once wayland-protocols has it.)
#pragma once

#include <wayland-client.h>

#include <memory>
#include <optional>
#include <string_view>

#include "portable/raster/surface.h"
#include "wayland/wayland_connection.h"

namespace vyla::wayland {

class DesktopCapture {
public:
    virtual ~DesktopCapture() = default;
    // What the output (name: as wl_output gives it) shows now, at its
    // buffer's resolution, upright; nullopt when the compositor refuses or fails.
    virtual std::optional<raster::Surface> Capture(wl_output* output, std::string_view name) = 0;
};

// wlr-screencopy (wlroots compositors); any shared-memory format the
// compositor offers that Convert knows.
class ScreencopyCapture final : public DesktopCapture {
public:
    explicit ScreencopyCapture(Connection& connection) : connection_(connection) {}
    std::optional<raster::Surface> Capture(wl_output* output, std::string_view name) override;

private:
    Connection& connection_;
};

// The compositor's way to take the picture; on GNOME (no layer-shell, or
// XDG_CURRENT_DESKTOP naming it) the wallpaper drawn for an output of
// outputSize (gnome_wallpaper.h); nullptr when there is none.
std::unique_ptr<DesktopCapture> ChooseDesktopCapture(Connection& connection, Size outputSize);

}  // namespace vyla::wayland
