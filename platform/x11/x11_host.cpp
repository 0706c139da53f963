#include "x11/x11_host.h"

#include <poll.h>
#include <sys/prctl.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>

#include "portable/winapi/functions.h"
#include "portable/dialog_session.h"
#include "portable/runtime.h"
#include "linux/gtk_dialog.h"
#include "x11/input_messages.h"
#include "x11/monitor_layout.h"
#include "x11/pixel_format.h"
#include "linux/profile_location.h"

#include <X11/Xutil.h>

namespace vyla::x11 {

namespace {

// Another client (a screen locker, a menu) may hold a grab for a moment.
constexpr DWORD kGrabTryMs = 1000;
constexpr DWORD kGrabRetryMs = 50;

// The idle loop sleeps until the millisecond a frame is due. Letting a
// wake-up come up to this much later lets the kernel serve it with an
// interrupt it takes anyway; the frame is still within its millisecond.
constexpr unsigned long kTimerSlackNs = 200'000;

bool IsDialog(HWND window)
{
    const portable::Window* w = portable::Runtime::Current().Windows().Find(window);
    return w && w->dialogProc;
}

}  // namespace

std::unique_ptr<X11Host> X11Host::Open(const char* displayName)
{
    auto connection = XConnection::Open(displayName);
    if (!connection)
        return nullptr;
    return std::unique_ptr<X11Host>(new X11Host(std::move(connection)));
}

X11Host::X11Host(std::unique_ptr<XConnection> connection)
    : connection_(std::move(connection)), resources_(BuiltinResources())
{
    Display* display = connection_->Get();
    int screen = connection_->ScreenNumber();
    Size whole{DisplayWidth(display, screen), DisplayHeight(display, screen)};
    monitor_ = ChoosePrimaryMonitor(QueryMonitors(display, connection_->Root()), whole);
    Size size = monitor_.GetSize();
    if (auto surface = raster::Surface::Create(size))
        screen_ = std::move(*surface);
    damage_.SetBounds(screen_.Bounds());
    lastCursor_ = Point{size.width / 2, size.height / 2};
    int previousSlack = prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0);
    if (previousSlack >= 0 && prctl(PR_SET_TIMERSLACK, kTimerSlackNs, 0, 0, 0) == 0)
        previousTimerSlackNs_ = static_cast<unsigned long>(previousSlack);
}

X11Host::~X11Host()
{
    // The windows and image need the connection: they go first.
    window_.reset();
    cover_.reset();
    claim_.reset();
    target_.reset();
    presenter_.reset();
    if (previousTimerSlackNs_ != 0)
        prctl(PR_SET_TIMERSLACK, previousTimerSlackNs_, 0, 0, 0);
}

raster::Surface& X11Host::Screen()
{
    // Whoever asks may draw: the server must have read what was presented.
    AwaitPresented();
    return screen_;
}

void X11Host::AwaitPresented()
{
    if (presenter_ && presenter_->ReadPending()) {
        xQuiet_ = false;
        presenter_->AwaitRead();
    }
}

namespace {

std::int64_t MonotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

}  // namespace

DWORD X11Host::TickCount()
{
    return static_cast<DWORD>(MonotonicNs() / 1'000'000);  // wraps like the system's tick count
}

std::int64_t X11Host::CalendarTime()
{
    return static_cast<std::int64_t>(std::time(nullptr));
}

Point X11Host::CursorPos()
{
    if (connection_->Lost())
        return lastCursor_;
    xQuiet_ = false;
    ::Window root = 0, child = 0;
    int rootX = 0, rootY = 0, winX = 0, winY = 0;
    unsigned mask = 0;
    if (XQueryPointer(connection_->Get(), connection_->Root(), &root, &child, &rootX, &rootY, &winX, &winY, &mask))
        lastCursor_ = Point{rootX - monitor_.left, rootY - monitor_.top};
    return lastCursor_;
}

void X11Host::CursorVisibilityChanged(bool visible)
{
    cursorVisible_ = visible;
    xQuiet_ = false;
    if (window_)
        window_->SetCursorVisible(visible);
    if (cover_ && window_)
        cover_->SetCursor(visible ? None : window_->BlankCursor());
}

void X11Host::ReadDesktop()
{
    AwaitPresented();
    screen_.Fill(0);
    if (screen_.Bounds().IsEmpty())
        return;
    Display* display = connection_->Get();
    XImage* image = XGetImage(display, connection_->Root(), monitor_.left, monitor_.top, static_cast<unsigned>(screen_.Width()),
                              static_cast<unsigned>(screen_.Height()), AllPlanes, ZPixmap);
    if (!image)
        return;  // the saver starts from a black screen
    CopyFromImage(*image, screen_, PixelFormat::ForScreen(display, connection_->ScreenNumber()));
    XDestroyImage(image);
}

bool X11Host::DrawInto(std::optional<::Window> window, std::string* error)
{
    auto target = HackTarget::Attach(*connection_, window.value_or(connection_->Root()), error);
    if (!target)
        return false;
    auto surface = raster::Surface::Create(target->GetSize());
    if (!surface) {
        *error = "the window is too large";
        return false;
    }
    target_ = std::move(target);
    screen_ = std::move(*surface);
    damage_.SetBounds(screen_.Bounds());
    xQuiet_ = false;
    return true;
}

bool X11Host::PrepareRerun()
{
    if (!target_ || !rerunPending_ || ending_ || target_->Gone() || connection_->Lost())
        return false;
    rerunPending_ = false;
    targetShown_ = false;
    saverHandle_ = nullptr;
    // The next run's scene is built for the window's new size.
    AwaitPresented();
    presenter_.reset();
    auto surface = raster::Surface::Create(target_->GetSize());
    if (!surface)
        return false;
    screen_ = std::move(*surface);
    damage_.Take();
    damage_.SetBounds(screen_.Bounds());
    xQuiet_ = false;
    return true;
}

void X11Host::ShowInTarget(HWND window)
{
    if (targetShown_ || target_->Gone())
        return;
    xQuiet_ = false;
    if (!presenter_) {
        presenter_ = std::make_unique<ScreenPresenter>(*connection_, screen_.GetSize());
        if (auto frame = presenter_->SharedFrame())
            screen_ = std::move(*frame);
    }
    AwaitPresented();
    target_->ReadDesktop(screen_);
    saverHandle_ = window;
    targetShown_ = true;
    // The window is on screen already: no exposure will ask for the picture.
    damage_.Add(screen_.Bounds());
}

void X11Host::HandleTargetEvent(const XEvent& event)
{
    Rect exposed;
    switch (target_->Take(event, &exposed)) {
    case HackTarget::Change::Exposed:
        damage_.Add(exposed);
        break;
    case HackTarget::Change::Resized:
        rerunPending_ = true;
        RequestClose();
        break;
    case HackTarget::Change::Destroyed:
        ending_ = true;
        RequestClose();
        break;
    case HackTarget::Change::Nothing:
        break;
    }
}

bool X11Host::Presenting() const
{
    if (!presenter_ || connection_->Lost())
        return false;
    if (target_)
        return targetShown_ && !target_->Gone();
    return window_ != nullptr;
}

void X11Host::WindowShown(HWND window, const Rect& rect)
{
    if (connection_->Lost() || IsDialog(window))
        return;
    if (target_) {
        ShowInTarget(window);
        return;
    }
    // One saver window; dialogs are GTK's.
    if (window_)
        return;
    xQuiet_ = false;
    // A saver started while another runs stands down before it draws. (A
    // hack under the screen-saver daemon must not: it runs one per monitor.)
    claim_ = SaverClaim::Take(*connection_);
    if (!claim_) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        return;
    }
    if (!presenter_) {
        presenter_ = std::make_unique<ScreenPresenter>(*connection_, screen_.GetSize());
        // Drawing straight into the shared image spares a copy per change.
        if (auto frame = presenter_->SharedFrame())
            screen_ = std::move(*frame);
    }
    ReadDesktop();
    Rect whole = Rect::FromXYWH(0, 0, DisplayWidth(connection_->Get(), connection_->ScreenNumber()),
                               DisplayHeight(connection_->Get(), connection_->ScreenNumber()));
    if (monitor_ != whole)
        cover_ = std::make_unique<CoverWindow>(*connection_, whole);
    window_ = std::make_unique<SaverWindow>(*connection_, rect.Translated(monitor_.left, monitor_.top), cursorVisible_);
    if (cover_ && !cursorVisible_)
        cover_->SetCursor(window_->BlankCursor());
    saverHandle_ = window;
    grabStart_ = lastGrabAttempt_ = TickCount();
    window_->TryGrab();
}

void X11Host::WindowHidden(HWND window)
{
    if (window != saverHandle_)
        return;
    xQuiet_ = false;
    targetShown_ = false;
    window_.reset();
    cover_.reset();
    claim_.reset();
    saverHandle_ = nullptr;
}

void X11Host::WindowMoved(HWND window, const Rect& rect)
{
    if (window != saverHandle_ || !window_)
        return;
    xQuiet_ = false;
    window_->MoveTo(rect.Translated(monitor_.left, monitor_.top));
}

void X11Host::DrawingDone()
{
    if (damage_.IsEmpty())
        return;
    if (!Presenting()) {
        damage_.Take();  // nothing shows it; the window's first exposure sends everything
        return;
    }
    PresentDamage();
}

void X11Host::PresentDamage()
{
    auto areas = damage_.Take();
    if (!Presenting())
        return;
    xQuiet_ = false;
    if (target_)
        presenter_->Present(screen_, areas, target_->Id(), Point{});
    else
        presenter_->Present(screen_, areas, window_->Id(), FrameOrigin());
}

bool X11Host::GrabPending() const
{
    return window_ && !window_->Grabbed() && !connection_->Lost();
}

void X11Host::RetryGrab()
{
    if (!GrabPending())
        return;
    DWORD now = TickCount();
    if (now - grabStart_ > kGrabTryMs || now - lastGrabAttempt_ < kGrabRetryMs)
        return;
    lastGrabAttempt_ = now;
    xQuiet_ = false;
    window_->TryGrab();
}

void X11Host::HandleEvent(XEvent& event)
{
    if (presenter_ && presenter_->TakeCompletion(event))
        return;
    if (claim_ && claim_->Answer(event))
        return;
    if (target_) {
        HandleTargetEvent(event);
        return;
    }
    if (window_ && cover_ && event.xany.window == cover_->Id())
        HandleCoverEvent(event);
    if (!window_ || event.xany.window != window_->Id())
        return;
    if (event.type == Expose) {
        const XExposeEvent& e = event.xexpose;
        Point origin = FrameOrigin();
        damage_.Add(Rect::FromXYWH(std::int64_t{origin.x} + e.x, std::int64_t{origin.y} + e.y, e.width, e.height));
        return;
    }
    KeySym keysym = event.type == KeyPress ? XLookupKeysym(&event.xkey, 0) : NoSymbol;
    for (const InputMessage& m : InputMessages(event, keysym))
        PostMessageA(saverHandle_, m.message, m.wParam, m.lParam);
}

Point X11Host::FrameOrigin() const
{
    Point origin = window_->Origin();
    return Point{origin.x - monitor_.left, origin.y - monitor_.top};
}

void X11Host::HandleCoverEvent(XEvent& event)
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

void X11Host::RequestClose()
{
    // As the user's input would: the window closes and the program unwinds.
    if (saverHandle_ && IsWindow(saverHandle_))
        PostMessageA(saverHandle_, WM_CLOSE, 0, 0);
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
    if (signals_.TakeSignal()) {
        ending_ = true;
        RequestClose();
    }
    if (!connection_->Lost() && !xQuiet_)
        ReadEvents();
    if (connection_->Lost()) {
        NoteDisplayLost();
        return;
    }
    RetryGrab();
    if (!damage_.IsEmpty())
        PresentDamage();
}

void X11Host::ReadEvents()
{
    Display* display = connection_->Get();
    while (!connection_->Lost() && XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        HandleEvent(event);
    }
    xQuiet_ = true;
}

void X11Host::WaitEvents(int timeoutMs)
{
    // Sleeps until there is something for the program: a message, a change
    // to show, a signal, the grab's retry, or the end of the timeout. X
    // traffic that brings none of these (the server's notes that it has read
    // a presented image) is read here and the sleep goes on, so the idle loop
    // is not woken for nothing.
    const std::int64_t start = MonotonicNs();
    // The end falls on a millisecond boundary: the tick count moves exactly then.
    std::int64_t end = timeoutMs < 0 ? -1 : (start / 1'000'000 + timeoutMs) * 1'000'000;
    if (GrabPending()) {
        std::int64_t retry = start + std::int64_t{kGrabRetryMs} * 1'000'000;
        end = end < 0 ? retry : std::min(end, retry);
    }
    for (;;) {
        if (connection_->Lost())
            return;
        // Events may wait in Xlib's queue, or on the connection after an
        // Xlib call since the last look.
        if (!xQuiet_ || XEventsQueued(connection_->Get(), QueuedAlready) > 0) {
            ReadEvents();
            if (connection_->Lost() || !portable::Runtime::Current().Queue().empty() || !damage_.IsEmpty())
                return;
        }
        timespec left{};
        if (end >= 0) {
            std::int64_t ns = end - MonotonicNs();
            if (ns <= 0)
                return;
            left.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
            left.tv_nsec = static_cast<long>(ns % 1'000'000'000);
        }
        pollfd fds[2] = {{connection_->Fd(), POLLIN, 0}, {signals_.ReadFd(), POLLIN, 0}};
        nfds_t count = signals_.ReadFd() >= 0 ? 2 : 1;
        int ready = ppoll(fds, count, end >= 0 ? &left : nullptr, nullptr);
        if (ready <= 0 || (count > 1 && fds[1].revents != 0))
            return;  // timed out, interrupted, or a signal to see to
        if (fds[0].revents != 0)
            xQuiet_ = false;
    }
}

void X11Host::RunModalDialog(portable::DialogSession& dialog)
{
    dialogRunning_ = true;
    bool shown = linux::RunGtkDialog(dialog, signals_.ReadFd(), [this] { return signals_.TakeSignal(); });
    dialogRunning_ = false;
    if (!shown) {
        Report("vyla", "the settings dialog cannot be shown: GTK found no display");
        dialog.CloseFromTitleBar();
    }
    if (!dialog.Ended())
        EndDialog(dialog.Handle(), -1);
}

std::filesystem::path X11Host::ProfileDirectory()
{
    return linux::UserProfileDirectory();
}

void X11Host::Report(std::string_view caption, std::string_view text)
{
    std::string line = "vyla: " + std::string(caption) + ": " + std::string(text);
    std::replace_if(line.begin(), line.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    line += '\n';
    std::fputs(line.c_str(), stderr);
    // While the settings dialog is up the user is looking at the screen, not
    // at a terminal: the message goes in a box too. (During a saver run the
    // grabs would keep a box from being answered.)
    if (dialogRunning_)
        linux::ShowGtkMessage(caption, text);
}

}  // namespace vyla::x11
