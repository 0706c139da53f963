// The connection to the X server. Losing it (the server ends) must not end
// the process from inside Xlib: the connection notes the loss, makes no
// more requests, and the program unwinds normally.
#pragma once

#include <X11/Xlib.h>

#include <memory>

namespace vyla::x11 {

class XConnection {
public:
    // nullptr if the display cannot be opened. name: null for $DISPLAY.
    static std::unique_ptr<XConnection> Open(const char* name);
    ~XConnection();
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;

    Display* Get() const { return display_; }
    int Fd() const { return ConnectionNumber(display_); }
    int ScreenNumber() const { return DefaultScreen(display_); }
    ::Window Root() const { return RootWindow(display_, ScreenNumber()); }

    // True once the server has gone; no Xlib call may follow.
    bool Lost() const { return lost_; }

    // Protocol errors do not end the process either: they are recorded, and
    // this waits for the server to catch up and returns (and forgets) the
    // code of the first error since the last call, 0 for none.
    int SyncAndTakeError();

private:
    explicit XConnection(Display* display);
    static void OnConnectionLost(Display* display, void* self);

    Display* display_;
    bool lost_ = false;
};

}  // namespace vyla::x11
