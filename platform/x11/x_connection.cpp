#include "x11/x_connection.h"

namespace vyla::x11 {

namespace {

// Xlib's error handlers are process-wide and get no context of ours.
int gFirstError = 0;

int RecordError(Display*, XErrorEvent* error)
{
    if (gFirstError == 0)
        gFirstError = error->error_code;
    return 0;
}

int QuietIoError(Display*)
{
    // The exit handler below does the rest; returning lets Xlib call it.
    return 0;
}

}  // namespace

std::unique_ptr<XConnection> XConnection::Open(const char* name)
{
    Display* display = XOpenDisplay(name);
    if (!display)
        return nullptr;
    return std::unique_ptr<XConnection>(new XConnection(display));
}

XConnection::XConnection(Display* display) : display_(display)
{
    XSetErrorHandler(RecordError);
    XSetIOErrorHandler(QuietIoError);
    XSetIOErrorExitHandler(display_, OnConnectionLost, this);
}

XConnection::~XConnection()
{
    // After a loss Xlib's state is not safe to touch, not even to close it.
    if (!lost_)
        XCloseDisplay(display_);
}

void XConnection::OnConnectionLost(Display*, void* self)
{
    static_cast<XConnection*>(self)->lost_ = true;
}

Size XConnection::ScreenSize() const
{
    return Size{DisplayWidth(display_, ScreenNumber()), DisplayHeight(display_, ScreenNumber())};
}

bool XConnection::NextEvent(XEvent* event)
{
    if (lost_)
        return false;
    // Reads the socket when Xlib's queue is empty.
    if (XPending(display_) == 0) {
        quiet_ = !lost_;
        return false;
    }
    XNextEvent(display_, event);
    return true;
}

bool XConnection::Quiet() const
{
    return lost_ || (quiet_ && XEventsQueued(display_, QueuedAlready) == 0);
}

int XConnection::SyncAndTakeError()
{
    quiet_ = false;
    if (!lost_)
        XSync(display_, False);
    int code = gFirstError;
    gFirstError = 0;
    return code;
}

}  // namespace vyla::x11
