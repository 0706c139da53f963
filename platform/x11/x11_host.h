// The X11 backend's part shared by its two hosts: the portable runtime's
// screen sent to an X window as it changes (through shared memory where the
// server offers it), the pointer, the connection's events and the sleep on
// them, and losing the display.
//
//   StandaloneHost (standalone_host.h)  the saver on its own: its window over
//                                       the desktop, grabs, input
//   HackHost (hack_host.h)              a hack of the X screen-saver daemon:
//                                       draws in a window it is given
//
// Each adds where the screen shows and what the connection's events mean.
// Cursor positions are relative to the primary monitor's origin.
#pragma once

#include <memory>
#include <optional>

#include "linux/linux_host.h"
#include "common/damage_region.h"
#include "x11/screen_presenter.h"
#include "x11/x_connection.h"

namespace vyla::x11 {

class X11Host : public linux::LinuxHost {
public:
    // Whoever asks may draw: the server has read what was presented.
    raster::Surface& Screen() override;
    void ScreenDrawn(const Rect& area) override { damage_.Add(area); }
    void DrawingDone() override;

    Point CursorPos() override;

    void PollEvents() override;
    void WaitEvents(int timeoutMs) override;

    // The X server went away during the run.
    bool DisplayLost() const { return connection_->Lost(); }

protected:
    explicit X11Host(std::unique_ptr<XConnection> connection);

    // Where the screen shows: a window, and where the window's top-left
    // corner is in screen coordinates.
    struct View {
        ::Window window = 0;
        Point origin;
    };
    // nullopt while nothing shows the screen.
    virtual std::optional<View> ShownIn() const = 0;
    // An event of the connection; the presenter has taken its own.
    virtual void HandleEvent(XEvent& event) = 0;
    // Something tried again until it works (a grab): how soon the next try
    // is due (-1: nothing to try), and the try, made at every poll.
    virtual int RetryInMs() const { return -1; }
    virtual void Retry() {}

    XConnection& Connection() { return *connection_; }
    // The primary monitor, on the root window.
    const Rect& Monitor() const { return monitor_; }
    // The screen becomes a black one of the given size, shown by a presenter
    // made anew; false when no screen of that size can be had.
    bool ResizeScreen(Size size);
    // Makes the presenter once; the screen becomes its shared image where it
    // can. Before anything is drawn for showing.
    void StartPresenting();
    // The area (screen coordinates) is to be sent again.
    void ShowAgain(const Rect& area) { damage_.Add(area); }
    // Ends the run as the user's input would.
    void RequestClose();
    // SIGINT or SIGTERM came.
    bool Signalled() const { return signalled_; }
    static bool IsDialog(HWND window);

    HWND saver_ = nullptr;  // the program's saver window while the screen shows it

private:
    void AwaitPresented();
    void ReadEvents();
    void PresentDamage();
    void NoteDisplayLost();

    std::unique_ptr<XConnection> connection_;
    Rect monitor_;
    raster::Surface screen_;
    DamageRegion damage_;
    std::unique_ptr<ScreenPresenter> presenter_;
    Point lastCursor_;
    bool signalled_ = false;
    bool lossNoted_ = false;
};

}  // namespace vyla::x11
