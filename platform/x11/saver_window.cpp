#include "x11/saver_window.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>

namespace vyla::x11 {

namespace {

constexpr long kEventMask = ExposureMask | PointerMotionMask | ButtonPressMask | KeyPressMask | FocusChangeMask;

Cursor MakeBlankCursor(Display* display, ::Window window)
{
    char bits[1] = {0};
    Pixmap empty = XCreateBitmapFromData(display, window, bits, 1, 1);
    XColor black{};
    Cursor cursor = XCreatePixmapCursor(display, empty, empty, &black, &black, 0, 0);
    XFreePixmap(display, empty);
    return cursor;
}

}  // namespace

Rect SaverWindow::Usable(const Rect& area)
{
    // X has no empty windows: an empty area still gets one pixel.
    return Rect::FromXYWH(area.left, area.top, std::max(area.Width(), 1), std::max(area.Height(), 1));
}

SaverWindow::SaverWindow(XConnection& connection, const Rect& area, bool cursorVisible)
    : connection_(connection), area_(Usable(area))
{
    Display* display = connection_.Get();
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    // No background: mapping the window changes nothing on screen until the
    // first picture is sent, and that is the desktop as it was.
    attributes.background_pixmap = None;
    attributes.backing_store = NotUseful;
    attributes.event_mask = kEventMask;
    window_ = XCreateWindow(display, connection_.Root(), area_.left, area_.top, static_cast<unsigned>(area_.Width()),
                            static_cast<unsigned>(area_.Height()), 0, CopyFromParent, InputOutput, CopyFromParent,
                            CWOverrideRedirect | CWBackPixmap | CWBackingStore | CWEventMask, &attributes);

    XStoreName(display, window_, "Vyla Screen Saver");
    XClassHint classHint{const_cast<char*>("vyla"), const_cast<char*>("Vyla")};
    XSetClassHint(display, window_, &classHint);
    // A compositor need not redirect a full-screen saver.
    long bypass = 1;
    Atom bypassAtom = XInternAtom(display, "_NET_WM_BYPASS_COMPOSITOR", False);
    XChangeProperty(display, window_, bypassAtom, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&bypass), 1);

    blankCursor_ = MakeBlankCursor(display, window_);
    SetCursorVisible(cursorVisible);
    XMapRaised(display, window_);
    XFlush(display);
}

SaverWindow::~SaverWindow()
{
    if (connection_.Lost())
        return;
    Display* display = connection_.Get();
    if (pointerGrabbed_)
        XUngrabPointer(display, CurrentTime);
    if (keyboardGrabbed_)
        XUngrabKeyboard(display, CurrentTime);
    XDestroyWindow(display, window_);
    XFreeCursor(display, blankCursor_);
    XFlush(display);
}

void SaverWindow::SetCursorVisible(bool visible)
{
    if (connection_.Lost())
        return;
    if (visible)
        XUndefineCursor(connection_.Get(), window_);
    else
        XDefineCursor(connection_.Get(), window_, blankCursor_);
    XFlush(connection_.Get());
}

void SaverWindow::MoveTo(const Rect& area)
{
    area_ = Usable(area);
    if (connection_.Lost())
        return;
    XMoveResizeWindow(connection_.Get(), window_, area_.left, area_.top, static_cast<unsigned>(area_.Width()),
                      static_cast<unsigned>(area_.Height()));
    XFlush(connection_.Get());
}

bool SaverWindow::TryGrab()
{
    if (connection_.Lost())
        return false;
    Display* display = connection_.Get();
    // The window's own cursor shows during the grab, blank or not.
    if (!pointerGrabbed_)
        pointerGrabbed_ = XGrabPointer(display, window_, False, ButtonPressMask | PointerMotionMask, GrabModeAsync,
                                       GrabModeAsync, None, None, CurrentTime) == GrabSuccess;
    if (!keyboardGrabbed_)
        keyboardGrabbed_ = XGrabKeyboard(display, window_, False, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess;
    return Grabbed();
}

}  // namespace vyla::x11
