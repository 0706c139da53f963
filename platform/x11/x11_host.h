// The X11 backend: the portable runtime's screen, clock, pointer and input
// on a real X display, and its dialogs with GTK.
//
// The screen surface is the saver window's framebuffer. When the program
// shows its saver window, the desktop is read from the root window into it
// and an override-redirect window covering the screen is mapped; from then
// on what the program draws is sent to that window at the end of every
// drawing step, and reading the screen gives back what is on it. Where the
// server shares memory with us, the framebuffer is the shared image itself.
//
// With several monitors the program's screen is the primary monitor: its
// origin is the framebuffer's, and the other monitors are covered black.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "portable/host.h"
#include "x11/cover_window.h"
#include "x11/damage_region.h"
#include "x11/saver_claim.h"
#include "x11/hack_target.h"
#include "x11/saver_window.h"
#include "x11/screen_presenter.h"
#include "linux/signal_pipe.h"
#include "x11/x_connection.h"

namespace vyla::x11 {

class X11Host final : public portable::Host {
public:
    // nullptr if the display cannot be opened; displayName null for $DISPLAY.
    static std::unique_ptr<X11Host> Open(const char* displayName);
    ~X11Host() override;
    X11Host(const X11Host&) = delete;
    X11Host& operator=(const X11Host&) = delete;

    raster::Surface& Screen() override;
    void ScreenDrawn(const Rect& area) override { damage_.Add(area); }
    void DrawingDone() override;

    DWORD TickCount() override;
    std::int64_t CalendarTime() override;
    Point CursorPos() override;
    void CursorVisibilityChanged(bool visible) override;

    void PollEvents() override;
    void WaitEvents(int timeoutMs) override;

    void WindowShown(HWND window, const Rect& rect) override;
    void WindowHidden(HWND window) override;
    void WindowMoved(HWND window, const Rect& rect) override;

    void RunModalDialog(portable::DialogSession& dialog) override;
    std::filesystem::path ProfileDirectory() override;
    const ResourceSet& Resources() override { return resources_; }
    void Report(std::string_view caption, std::string_view text) override;

    // Hack mode: from now on the screen is the given window (the root for
    // nullopt), as an X screen-saver daemon's hack draws. Call before the
    // program runs; false, with the reason in *error, if it cannot be used.
    bool DrawInto(std::optional<::Window> window, std::string* error);
    // After a run: true when it ended because the window changed size and
    // the screen has been made the new size, so the program is to run again.
    bool PrepareRerun();

    // The X server went away during the run.
    bool DisplayLost() const { return connection_->Lost(); }
    // Shared memory is in use for drawing (for diagnostics and tests).
    bool UsesSharedMemory() const { return presenter_ && presenter_->UsesSharedMemory(); }

private:
    explicit X11Host(std::unique_ptr<XConnection> connection);

    void ReadDesktop();
    void AwaitPresented();
    void ReadEvents();
    void HandleEvent(XEvent& event);
    void PresentDamage();
    void RetryGrab();
    bool GrabPending() const;
    void RequestClose();
    void NoteDisplayLost();
    // Where the saver window's top-left corner is in the framebuffer.
    Point FrameOrigin() const;
    // An event on the black cover, as the saver window would have seen it.
    void HandleCoverEvent(XEvent& event);
    void ShowInTarget(HWND window);
    void HandleTargetEvent(const XEvent& event);
    bool Presenting() const;

    std::unique_ptr<XConnection> connection_;
    Rect monitor_;  // the program's screen on the root window
    raster::Surface screen_;
    DamageRegion damage_;
    linux::SignalPipe signals_;
    std::unique_ptr<ScreenPresenter> presenter_;
    std::unique_ptr<SaverClaim> claim_;
    std::unique_ptr<CoverWindow> cover_;  // only with several monitors
    std::unique_ptr<SaverWindow> window_;
    std::unique_ptr<HackTarget> target_;  // hack mode: the window drawn in
    bool targetShown_ = false;
    bool rerunPending_ = false;
    bool ending_ = false;  // a signal came: no rerun
    HWND saverHandle_ = nullptr;
    bool cursorVisible_ = true;
    bool dialogRunning_ = false;  // a settings dialog is on screen
    Point lastCursor_;
    DWORD grabStart_ = 0;
    DWORD lastGrabAttempt_ = 0;
    bool lossNoted_ = false;
    // Nothing can be waiting unread: the connection was drained, or found
    // idle by poll(), and no Xlib call since could have read from it. Any
    // call other than the event reading clears it. Spares the idle loop a
    // system call per wait.
    bool xQuiet_ = false;
    unsigned long previousTimerSlackNs_ = 0;  // 0: not changed
    ResourceSet resources_;
};

}  // namespace vyla::x11
