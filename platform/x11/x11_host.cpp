#include "x11/x11_host.h"

#include <algorithm>
#include <cstdio>

#include "linux/monotonic_clock.h"
#include "portable/runtime.h"
#include "portable/winapi/functions.h"
#include "x11/monitor_layout.h"

namespace vyla::x11 {

X11Host::X11Host(std::unique_ptr<XConnection> connection) : connection_(std::move(connection))
{
    monitor_ = ChoosePrimaryMonitor(QueryMonitors(connection_->Get(), connection_->Root()), connection_->ScreenSize());
    lastCursor_ = Point{monitor_.Width() / 2, monitor_.Height() / 2};
}

raster::Surface& X11Host::Screen()
{
    AwaitPresented();
    return screen_;
}

void X11Host::AwaitPresented()
{
    if (presenter_ && presenter_->ReadPending())
        presenter_->AwaitRead();
}

bool X11Host::ResizeScreen(Size size)
{
    AwaitPresented();
    presenter_.reset();
    auto surface = raster::Surface::Create(size);
    if (!surface)
        return false;
    screen_ = std::move(*surface);
    damage_.SetBounds(screen_.Bounds());
    return true;
}

void X11Host::StartPresenting()
{
    if (presenter_)
        return;
    presenter_ = std::make_unique<ScreenPresenter>(*connection_, screen_.GetSize());
    // Drawing straight into the shared image spares a copy per change.
    if (auto frame = presenter_->SharedFrame())
        screen_ = std::move(*frame);
}

void X11Host::DrawingDone()
{
    if (!damage_.IsEmpty())
        PresentDamage();
}

void X11Host::PresentDamage()
{
    auto areas = damage_.Take();
    // With nothing showing the screen the changes are dropped: showing it
    // sends everything.
    if (!presenter_ || connection_->Lost())
        return;
    if (auto view = ShownIn())
        presenter_->Present(screen_, areas, view->window, view->origin);
}

Point X11Host::CursorPos()
{
    if (connection_->Lost())
        return lastCursor_;
    ::Window root = 0, child = 0;
    int rootX = 0, rootY = 0, winX = 0, winY = 0;
    unsigned mask = 0;
    if (XQueryPointer(connection_->Get(), connection_->Root(), &root, &child, &rootX, &rootY, &winX, &winY, &mask))
        lastCursor_ = Point{rootX - monitor_.left, rootY - monitor_.top};
    return lastCursor_;
}

bool X11Host::IsDialog(HWND window)
{
    const portable::Window* w = portable::Runtime::Current().Windows().Find(window);
    return w && w->dialogProc;
}

void X11Host::RequestClose()
{
    // As the user's input would: the window closes and the program unwinds.
    if (saver_ && IsWindow(saver_))
        PostMessageA(saver_, WM_CLOSE, 0, 0);
    else
        PostQuitMessage(0);
}

void X11Host::NoteDisplayLost()
{
    if (lossNoted_)
        return;
    lossNoted_ = true;
    std::fputs("vyla: the connection to the X display was lost\n", stderr);
    RequestClose();
}

void X11Host::PollEvents()
{
    if (Events().TakeSignal()) {
        signalled_ = true;
        RequestClose();
    }
    if (!connection_->Quiet())
        ReadEvents();
    if (connection_->Lost()) {
        NoteDisplayLost();
        return;
    }
    Retry();
    if (!damage_.IsEmpty())
        PresentDamage();
}

void X11Host::ReadEvents()
{
    XEvent event;
    while (connection_->NextEvent(&event)) {
        if (!presenter_ || !presenter_->TakeCompletion(event))
            HandleEvent(event);
    }
}

void X11Host::WaitEvents(int timeoutMs)
{
    // Sleeps until there is something for the program: a message, a change
    // to show, a signal, a retry, or the end of the timeout. X traffic that
    // brings none of these (the server's notes that it has read a presented
    // image) is read here and the sleep goes on, so the idle loop is not
    // woken for nothing.
    std::int64_t end = linux::EventWait::EndAfter(timeoutMs);
    if (int retry = RetryInMs(); retry >= 0) {
        std::int64_t due = linux::MonotonicNs() + std::int64_t{retry} * 1'000'000;
        end = end < 0 ? due : std::min(end, due);
    }
    // Events may wait unread after an Xlib call since the last look.
    for (bool look = !connection_->Quiet();; look = true) {
        if (look) {
            ReadEvents();
            if (connection_->Lost() || !portable::Runtime::Current().Queue().empty() || !damage_.IsEmpty())
                return;
        }
        if (connection_->Lost() || Events().Wait(connection_->Fd(), end) != linux::EventWait::Woken::Readable)
            return;  // the end, or a signal to see to
    }
}

}  // namespace vyla::x11
