// The X window that shows the saver: override-redirect, so no window
// manager frames or moves it, covering its area of the screen, with a blank
// cursor while the program hides the cursor, and holding the pointer and
// keyboard grabs so every input of the user comes to it.
#pragma once

#include <X11/Xlib.h>

#include "common/geometry.h"
#include "x11/x_connection.h"

namespace vyla::x11 {

class SaverWindow {
public:
    // Creates and maps the window at area (screen coordinates).
    SaverWindow(XConnection& connection, const Rect& area, bool cursorVisible);
    ~SaverWindow();
    SaverWindow(const SaverWindow&) = delete;
    SaverWindow& operator=(const SaverWindow&) = delete;

    ::Window Id() const { return window_; }
    Point Origin() const { return area_.TopLeft(); }
    const Rect& Area() const { return area_; }

    void SetCursorVisible(bool visible);
    Cursor BlankCursor() const { return blankCursor_; }
    void MoveTo(const Rect& area);

    // Tries to take whichever of the two grabs is not yet held (another
    // client may hold one for a moment); true once both are held.
    bool TryGrab();
    bool Grabbed() const { return pointerGrabbed_ && keyboardGrabbed_; }

private:
    static Rect Usable(const Rect& area);

    XConnection& connection_;
    Rect area_;
    ::Window window_ = 0;
    Cursor blankCursor_ = 0;
    bool pointerGrabbed_ = false;
    bool keyboardGrabbed_ = false;
};

}  // namespace vyla::x11
