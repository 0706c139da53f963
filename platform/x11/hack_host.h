// A hack of the X screen-saver daemon: the program draws in a window it is
// given (the daemon's, a settings program's preview pane, or the root), as
// a screen of that window's size, over the desktop picture HackTarget
// chooses. No window of its own, no grab, no claim, no input.
//
// The scene is built for one screen size: when the window is resized the
// run ends as a close would, and main() runs the program again after
// PrepareRerun.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "x11/hack_target.h"
#include "x11/x11_host.h"

namespace vyla::x11 {

class HackHost final : public X11Host {
public:
    // A host drawing in window (nullopt: the root); nullptr, with the
    // reason in *error, when it cannot be drawn in.
    static std::unique_ptr<HackHost> Attach(std::unique_ptr<XConnection> connection, std::optional<::Window> window,
                                            std::string* error);

    void WindowShown(HWND window, const Rect& rect) override;
    void WindowHidden(HWND window) override;

    // After a run: true when it ended because the window changed size and
    // the screen has been made the new size, so the program is to run again.
    bool PrepareRerun();

private:
    HackHost(std::unique_ptr<XConnection> connection, std::unique_ptr<HackTarget> target);

    std::optional<View> ShownIn() const override;
    void HandleEvent(XEvent& event) override;

    std::unique_ptr<HackTarget> target_;
    bool rerunPending_ = false;
};

}  // namespace vyla::x11
