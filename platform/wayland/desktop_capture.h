// The desktop picture of an output, taken before the saver shows anything
// on it. Each way a compositor offers to take it is one DesktopCapture;
// ChooseDesktopCapture picks the one the compositor has. Without any, the
// saver starts from black.
#pragma once

#include <wayland-client.h>

#include <memory>
#include <optional>

#include "portable/raster/surface.h"
#include "wayland/wayland_connection.h"

namespace vyla::wayland {

class DesktopCapture {
public:
    virtual ~DesktopCapture() = default;
    // What the output shows now, at its buffer's resolution, upright;
    // nullopt when the compositor refuses or fails.
    virtual std::optional<raster::Surface> Capture(wl_output* output) = 0;
};

// wlr-screencopy (wlroots compositors); any shared-memory format the
// compositor offers that Convert knows.
class ScreencopyCapture final : public DesktopCapture {
public:
    explicit ScreencopyCapture(Connection& connection) : connection_(connection) {}
    std::optional<raster::Surface> Capture(wl_output* output) override;

private:
    Connection& connection_;
};

// The compositor's way to take the picture; nullptr when it offers none.
std::unique_ptr<DesktopCapture> ChooseDesktopCapture(Connection& connection);

}  // namespace vyla::wayland
