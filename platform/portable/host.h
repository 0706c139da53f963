// What a backend provides to the portable runtime: the screen, time, the
// pointer, input and dialogs. The headless backend implements it for tests
// and rendering; the X11 backend for a real display.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "common/geometry.h"
#include "common/resource_set.h"
#include "portable/winapi/types.h"
#include "portable/raster/surface.h"

namespace vyla::portable {

class DialogSession;

class Host {
public:
    virtual ~Host() = default;

    // The picture the screen shows. Window and desktop drawing contexts draw
    // straight into it.
    virtual raster::Surface& Screen() = 0;
    // Pixels of the screen changed (screen coordinates).
    virtual void ScreenDrawn(const Rect& area) { (void)area; }
    // A window or desktop drawing context was released: what changed may be shown now.
    virtual void DrawingDone() {}

    virtual DWORD TickCount() = 0;
    virtual std::int64_t CalendarTime() = 0;  // seconds since 1970
    virtual Point CursorPos() = 0;
    virtual void CursorVisibilityChanged(bool visible) { (void)visible; }

    // Called whenever the message queue is found empty: turn pending input
    // into posted messages.
    virtual void PollEvents() = 0;
    // Block until input may be pending, at most timeoutMs (negative: no limit).
    virtual void WaitEvents(int timeoutMs) = 0;

    // Top-level windows that become visible, hidden or move.
    virtual void WindowShown(HWND window, const Rect& rect) { (void)window, (void)rect; }
    virtual void WindowHidden(HWND window) { (void)window; }
    virtual void WindowMoved(HWND window, const Rect& rect) { (void)window, (void)rect; }

    // Runs a modal dialog until it has ended (the session says so).
    virtual void RunModalDialog(DialogSession& dialog) = 0;

    // Where a settings file given by a bare name lives.
    virtual std::filesystem::path ProfileDirectory() = 0;

    virtual const ResourceSet& Resources() = 0;

    // A message box: the program's only report to the user.
    virtual void Report(std::string_view caption, std::string_view text) = 0;
};

}  // namespace vyla::portable
