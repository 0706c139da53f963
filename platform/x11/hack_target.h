// A window the program is given to draw in, as a hack of the X screen-saver
// daemon draws: someone else's window (the daemon's, a preview pane, or the
// root). The program makes no window of its own, takes no grab, leaves the
// cursor alone and reads no input; it watches the window only for being
// exposed, resized or destroyed.
#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <optional>
#include <string>

#include "common/geometry.h"
#include "portable/raster/surface.h"
#include "x11/x_connection.h"

namespace vyla::x11 {

class HackTarget {
public:
    // nullptr, with the reason in *error, when the window does not exist or
    // cannot be drawn in at the screen's default depth.
    static std::unique_ptr<HackTarget> Attach(XConnection& connection, ::Window window, std::string* error);
    ~HackTarget();
    HackTarget(const HackTarget&) = delete;
    HackTarget& operator=(const HackTarget&) = delete;

    ::Window Id() const { return window_; }
    Size GetSize() const { return size_; }
    bool Gone() const { return gone_; }

    // Fills picture (the window's size) with the desktop as it is to show
    // through the saver: the daemon's screenshot on the window, else the
    // root's wallpaper, else what the window shows now; the part under the
    // window each time. Black where none of them reaches.
    void ReadDesktop(raster::Surface& picture);

    enum class Change { Nothing, Exposed, Resized, Destroyed };
    // What an event says about the window; exposed gets the area (window
    // coordinates) for Exposed. Events of other windows give Nothing.
    Change Take(const XEvent& event, Rect* exposed);

private:
    HackTarget(XConnection& connection, ::Window window, Size size);

    Point OriginOnRoot();
    // A PIXMAP property's value, 0 if there is none.
    Pixmap PixmapProperty(::Window owner, const char* name);
    // Copies the part of drawable that lies under the window (window at
    // origin, in the drawable's coordinates) into picture; false when
    // nothing could be read.
    bool CopyFrom(Drawable drawable, Point origin, raster::Surface& picture);
    bool CopyFromPixmap(Pixmap pixmap, Point windowOnRoot, raster::Surface& picture);

    XConnection& connection_;
    ::Window window_;
    Size size_;
    bool gone_ = false;
};

}  // namespace vyla::x11
