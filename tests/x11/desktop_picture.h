// A sample desktop picture for the X11 tests, `make run` and the benchmark:
// generated, so every run and every test knows exactly what the desktop
// shows, and varied enough that any raster mistake shows in it.
#pragma once

#include <X11/Xlib.h>

#include "portable/raster/surface.h"

namespace vyla::x11::testing {

// A dusk sky over hills with a low sun, at any size.
raster::Surface DesktopPicture(Size size);

// Makes the picture the root window's background and shows it. The X
// server keeps it after the client has gone only when it does not reset on
// the last client's exit (Xvfb -noreset).
bool SetRootPicture(Display* display, const raster::Surface& picture);

// As desktop-setting programs leave a wallpaper: the root's background and
// the pixmap named by _XROOTPMAP_ID, which lives as long as the connection.
bool SetWallpaper(Display* display, const raster::Surface& picture);

}  // namespace vyla::x11::testing
