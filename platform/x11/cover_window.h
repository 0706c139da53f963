// A black override-redirect window over the parts of the X screen the scene
// does not use (the monitors besides the primary one). It takes the same
// input as the saver window, so a move or a key on another monitor ends the
// saver even before the grabs are held.
#pragma once

#include <X11/Xlib.h>

#include "common/geometry.h"
#include "x11/x_connection.h"

namespace vyla::x11 {

class CoverWindow {
public:
    // Creates and maps a black window over area (root coordinates).
    CoverWindow(XConnection& connection, const Rect& area);
    ~CoverWindow();
    CoverWindow(const CoverWindow&) = delete;
    CoverWindow& operator=(const CoverWindow&) = delete;

    ::Window Id() const { return window_; }
    Point Origin() const { return area_.TopLeft(); }
    // The cursor shown over it; None for the parent's (the default one).
    void SetCursor(Cursor cursor);

private:
    XConnection& connection_;
    Rect area_;
    ::Window window_ = 0;
};

}  // namespace vyla::x11
