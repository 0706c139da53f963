#include "x11/standalone_host.h"

#include "portable/winapi/functions.h"
#include "x11/input_messages.h"
#include "x11/pixel_format.h"

#include <X11/Xutil.h>

namespace vyla::x11 {

namespace {

// Another client (a screen locker, a menu) may hold a grab for a moment.
constexpr DWORD kGrabTryMs = 1000;
constexpr DWORD kGrabRetryMs = 50;

}  // namespace

StandaloneHost::StandaloneHost(std::unique_ptr<XConnection> connection) : X11Host(std::move(connection))
{
    // The program's screen is the primary monitor.
    ResizeScreen(Monitor().GetSize());
}

void StandaloneHost::CursorVisibilityChanged(bool visible)
{
    cursorVisible_ = visible;
    if (window_)
        window_->SetCursorVisible(visible);
    if (cover_ && window_)
        cover_->SetCursor(visible ? None : window_->BlankCursor());
}

void StandaloneHost::ReadDesktop()
{
    raster::Surface& screen = Screen();
    screen.Fill(0);
    if (screen.Bounds().IsEmpty())
        return;
    Display* display = Connection().Get();
    const Rect& monitor = Monitor();
    XImage* image = XGetImage(display, Connection().Root(), monitor.left, monitor.top, static_cast<unsigned>(screen.Width()),
                              static_cast<unsigned>(screen.Height()), AllPlanes, ZPixmap);
    if (!image)
        return;  // the saver starts from a black screen
    CopyFromImage(*image, screen, PixelFormat::ForScreen(display, Connection().ScreenNumber()));
    XDestroyImage(image);
}

void StandaloneHost::WindowShown(HWND window, const Rect& rect)
{
    // One saver window; dialogs are GTK's.
    if (DisplayLost() || IsDialog(window) || window_)
        return;
    // A saver started while another runs stands down before it draws.
    claim_ = SaverClaim::Take(Connection());
    if (!claim_) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        return;
    }
    StartPresenting();
    ReadDesktop();
    const Rect whole = Rect::FromSize(Connection().ScreenSize());
    if (Monitor() != whole)
        cover_ = std::make_unique<CoverWindow>(Connection(), whole);
    window_ = std::make_unique<SaverWindow>(Connection(), rect.Translated(Monitor().left, Monitor().top), cursorVisible_);
    if (cover_ && !cursorVisible_)
        cover_->SetCursor(window_->BlankCursor());
    saver_ = window;
    grabStart_ = lastGrabAttempt_ = TickCount();
    window_->TryGrab();
}

void StandaloneHost::WindowHidden(HWND window)
{
    if (window != saver_)
        return;
    window_.reset();
    cover_.reset();
    claim_.reset();
    saver_ = nullptr;
}

void StandaloneHost::WindowMoved(HWND window, const Rect& rect)
{
    if (window != saver_ || !window_)
        return;
    window_->MoveTo(rect.Translated(Monitor().left, Monitor().top));
}

std::optional<X11Host::View> StandaloneHost::ShownIn() const
{
    if (!window_)
        return std::nullopt;
    return View{window_->Id(), FrameOrigin()};
}

Point StandaloneHost::FrameOrigin() const
{
    Point origin = window_->Origin();
    return Point{origin.x - Monitor().left, origin.y - Monitor().top};
}

bool StandaloneHost::GrabPending() const
{
    return window_ && !window_->Grabbed() && !DisplayLost();
}

int StandaloneHost::RetryInMs() const
{
    return GrabPending() ? static_cast<int>(kGrabRetryMs) : -1;
}

void StandaloneHost::Retry()
{
    if (!GrabPending())
        return;
    DWORD now = TickCount();
    if (now - grabStart_ > kGrabTryMs || now - lastGrabAttempt_ < kGrabRetryMs)
        return;
    lastGrabAttempt_ = now;
    window_->TryGrab();
}

void StandaloneHost::HandleEvent(XEvent& event)
{
    if (claim_ && claim_->Answer(event))
        return;
    if (window_ && cover_ && event.xany.window == cover_->Id())
        HandleCoverEvent(event);
    if (!window_ || event.xany.window != window_->Id())
        return;
    if (event.type == Expose) {
        const XExposeEvent& e = event.xexpose;
        Point origin = FrameOrigin();
        ShowAgain(Rect::FromXYWH(std::int64_t{origin.x} + e.x, std::int64_t{origin.y} + e.y, e.width, e.height));
        return;
    }
    KeySym keysym = event.type == KeyPress ? XLookupKeysym(&event.xkey, 0) : NoSymbol;
    for (const InputMessage& m : InputMessages(event, keysym))
        PostMessageA(saver_, m.message, m.wParam, m.lParam);
}

void StandaloneHost::HandleCoverEvent(XEvent& event)
{
    // Positions become the saver window's, as a grab would report them.
    int dx = cover_->Origin().x - window_->Origin().x;
    int dy = cover_->Origin().y - window_->Origin().y;
    if (event.type == MotionNotify) {
        event.xmotion.x += dx;
        event.xmotion.y += dy;
    } else if (event.type == ButtonPress) {
        event.xbutton.x += dx;
        event.xbutton.y += dy;
    } else if (event.type != KeyPress) {
        return;
    }
    event.xany.window = window_->Id();
}

}  // namespace vyla::x11
