#include "x11/cover_window.h"

#include <X11/Xutil.h>

#include <algorithm>

namespace vyla::x11 {

CoverWindow::CoverWindow(XConnection& connection, const Rect& area) : connection_(connection), area_(area)
{
    Display* display = connection_.Get();
    int screen = connection_.ScreenNumber();
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = BlackPixel(display, screen);
    attributes.event_mask = PointerMotionMask | ButtonPressMask | KeyPressMask;
    window_ = XCreateWindow(display, connection_.Root(), area_.left, area_.top,
                            static_cast<unsigned>(std::max(area_.Width(), 1)),
                            static_cast<unsigned>(std::max(area_.Height(), 1)), 0, CopyFromParent, InputOutput,
                            CopyFromParent, CWOverrideRedirect | CWBackPixel | CWEventMask, &attributes);
    XClassHint classHint{const_cast<char*>("vyla"), const_cast<char*>("Vyla")};
    XSetClassHint(display, window_, &classHint);
    XMapRaised(display, window_);
    XFlush(display);
}

CoverWindow::~CoverWindow()
{
    if (connection_.Lost())
        return;
    XDestroyWindow(connection_.Get(), window_);
    XFlush(connection_.Get());
}

void CoverWindow::SetCursor(Cursor cursor)
{
    if (connection_.Lost())
        return;
    if (cursor)
        XDefineCursor(connection_.Get(), window_, cursor);
    else
        XUndefineCursor(connection_.Get(), window_);
    XFlush(connection_.Get());
}

}  // namespace vyla::x11
