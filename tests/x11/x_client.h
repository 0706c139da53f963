// The tests' own view of the X display: what the screen shows, which
// windows are up, who holds the grabs, what the cursor looks like.
#pragma once

#include <X11/Xlib.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "common/geometry.h"
#include "portable/raster/surface.h"

namespace vyla::x11::testing {

class XClient {
public:
    static std::unique_ptr<XClient> Connect(const std::string& displayName);
    ~XClient();
    XClient(const XClient&) = delete;
    XClient& operator=(const XClient&) = delete;

    Display* Get() const { return display_; }
    ::Window Root() const { return DefaultRootWindow(display_); }
    Size ScreenSize() const;

    // What the screen shows.
    raster::Surface Screenshot();
    raster::Surface Screenshot(const Rect& area);

    // A viewable override-redirect top-level window named name.
    std::optional<::Window> FindOverrideWindow(const std::string& name);
    // A top-level window's rectangle on screen, frame excluded.
    std::optional<Rect> WindowRect(::Window window);

    // Both the pointer and the keyboard are grabbed by some other client.
    bool OthersHoldGrabs();
    // The cursor shown is fully transparent.
    bool CursorIsBlank();
    Point PointerPosition();

    // A pointer-motion event at position (window coordinates), sent to the window.
    void SendMotion(::Window window, Point position);
    // What a window manager sends when the user clicks a window's close box.
    void SendDeleteWindow(::Window window);

private:
    explicit XClient(Display* display) : display_(display) {}
    Display* display_;
};

// Writes a PNG file; false on failure.
bool WritePng(const raster::Surface& picture, const std::filesystem::path& file);

}  // namespace vyla::x11::testing
