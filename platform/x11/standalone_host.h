// The saver on its own on an X display. When the program shows its saver
// window, the desktop is read from the root window into the screen and an
// override-redirect window covering the screen is mapped; from then on what
// the program draws is sent to that window at the end of every drawing
// step, and reading the screen gives back what is on it. The window holds
// the pointer and keyboard grabs, and the user's input on it becomes the
// window messages a Windows saver would receive.
//
// With several monitors the program's screen is the primary monitor, and
// the other monitors are covered black. One standalone saver runs per
// display: one started while another runs closes before it draws.
#pragma once

#include <memory>
#include <optional>

#include "x11/cover_window.h"
#include "x11/saver_claim.h"
#include "x11/saver_window.h"
#include "x11/x11_host.h"

namespace vyla::x11 {

class StandaloneHost final : public X11Host {
public:
    explicit StandaloneHost(std::unique_ptr<XConnection> connection);

    void CursorVisibilityChanged(bool visible) override;
    void WindowShown(HWND window, const Rect& rect) override;
    void WindowHidden(HWND window) override;
    void WindowMoved(HWND window, const Rect& rect) override;

private:
    std::optional<View> ShownIn() const override;
    void HandleEvent(XEvent& event) override;
    int RetryInMs() const override;
    void Retry() override;

    void ReadDesktop();
    bool GrabPending() const;
    // Where the saver window's top-left corner is in the screen.
    Point FrameOrigin() const;
    // An event on the black cover, as the saver window would have seen it.
    void HandleCoverEvent(XEvent& event);

    // Declared so that the windows go before the claim.
    std::unique_ptr<SaverClaim> claim_;
    std::unique_ptr<CoverWindow> cover_;  // only with several monitors
    std::unique_ptr<SaverWindow> window_;
    bool cursorVisible_ = true;
    DWORD grabStart_ = 0;
    DWORD lastGrabAttempt_ = 0;
};

}  // namespace vyla::x11
