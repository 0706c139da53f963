// The connection to the X server. Losing it (the server ends) must not end
// the process from inside Xlib: the connection notes the loss, makes no
// more requests, and the program unwinds normally.
//
// It also knows when nothing can be waiting unread, so that an idle loop
// need not ask the server on every turn: any Xlib call may read events off
// the socket into Xlib's queue, so handing out the display counts as such a
// call, and only the event reader, finding nothing left, makes the
// connection quiet again.
#pragma once

#include <X11/Xlib.h>

#include <memory>

#include "common/geometry.h"

namespace vyla::x11 {

class XConnection {
public:
    // nullptr if the display cannot be opened. name: null for $DISPLAY.
    static std::unique_ptr<XConnection> Open(const char* name);
    ~XConnection();
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;

    // The display, for any Xlib call: the connection is not quiet after it.
    Display* Get()
    {
        quiet_ = false;
        return display_;
    }
    // What Xlib keeps from the connection's setup; these make no request.
    int Fd() const { return ConnectionNumber(display_); }
    int ScreenNumber() const { return DefaultScreen(display_); }
    ::Window Root() const { return RootWindow(display_, ScreenNumber()); }
    Size ScreenSize() const;

    // Takes the next event waiting in Xlib's queue or on the socket; false
    // when there is none (or the connection is lost). Finding none makes
    // the connection quiet.
    bool NextEvent(XEvent* event);
    // Nothing can be waiting unread: the last look found nothing and no
    // Xlib call has been made since; or the connection is lost. Costs no
    // system call.
    bool Quiet() const;

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
    bool quiet_ = false;
};

}  // namespace vyla::x11
