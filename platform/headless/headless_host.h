// The headless backend: a virtual screen, a clock that moves only when told,
// a cursor the caller places, and dialogs a script works as a user would.
// Tests and the renderer run the real application on it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "portable/dialog_session.h"
#include "portable/host.h"
#include "portable/runtime.h"

namespace vyla::headless {

class HeadlessHost : public portable::Host {
public:
    explicit HeadlessHost(Size screen = Size{1024, 768}, ResourceSet resources = {});

    // The screen. Its initial content is the desktop picture.
    raster::Surface& Screen() override { return screen_; }
    void SetDesktop(const raster::Surface& picture);  // copied, cropped or padded with black to the screen size
    void FillDesktop(raster::Pixel colour);

    // The clock.
    DWORD TickCount() override { return tick_; }
    void SetTick(DWORD tick) { tick_ = tick; }
    void Advance(DWORD ms) { tick_ += ms; }
    std::int64_t CalendarTime() override { return calendarTime_; }
    void SetCalendarTime(std::int64_t seconds) { calendarTime_ = seconds; }

    // The pointer.
    Point CursorPos() override { return cursor_; }
    void SetCursorPos(Point p) { cursor_ = p; }
    bool CursorVisible() const { return cursorVisible_; }
    void CursorVisibilityChanged(bool visible) override { cursorVisible_ = visible; }

    // Input. The driver runs each time the program finds its message queue
    // empty, which is once before every idle call: it may move the clock,
    // post messages or end the run. After pollLimit polls the run is ended
    // by posting a quit, so a faulty test cannot hang.
    using Driver = std::function<void(HeadlessHost&)>;
    void SetDriver(Driver driver) { driver_ = std::move(driver); }
    void SetPollLimit(std::uint64_t limit) { pollLimit_ = limit; }
    std::uint64_t Polls() const { return polls_; }
    bool PollLimitReached() const { return pollLimitReached_; }
    void PollEvents() override;
    // Waiting takes no time, unless sleeps move the clock: then a timed wait
    // moves it by its timeout, as a sleep on a real display would.
    void WaitEvents(int timeoutMs) override;
    void SetSleepsMoveClock(bool on) { sleepsMoveClock_ = on; }
    std::uint64_t Waits() const { return waits_; }
    // Posts a message to the visible top-level window, as input would.
    bool Inject(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

    // Top-level windows that are showing, in the order they appeared.
    void WindowShown(HWND window, const Rect& rect) override;
    void WindowHidden(HWND window) override;
    HWND TopWindow() const { return shown_.empty() ? nullptr : shown_.back(); }

    // Drawing through window and desktop contexts.
    void ScreenDrawn(const Rect& area) override
    {
        damage_ = damage_.United(area);
        drawnPixels_ += static_cast<std::uint64_t>(area.Width()) * static_cast<std::uint64_t>(area.Height());
    }
    // Screen pixels written so far, counted once for each time they were written.
    std::uint64_t DrawnPixels() const { return drawnPixels_; }
    void DrawingDone() override { ++drawingDone_; }
    int DrawingDoneCount() const { return drawingDone_; }
    Rect TakeDamage() { return std::exchange(damage_, Rect{}); }

    // Dialogs: the script acts as the user. If it leaves the dialog open,
    // the dialog is closed from its title bar.
    using DialogScript = std::function<void(portable::DialogSession&)>;
    void SetDialogScript(DialogScript script) { dialogScript_ = std::move(script); }
    void RunModalDialog(portable::DialogSession& dialog) override;
    int DialogsRun() const { return dialogsRun_; }

    std::filesystem::path ProfileDirectory() override { return profileDirectory_; }
    void SetProfileDirectory(std::filesystem::path dir) { profileDirectory_ = std::move(dir); }

    const ResourceSet& Resources() override { return resources_; }
    ResourceSet& MutableResources() { return resources_; }

    void Report(std::string_view caption, std::string_view text) override;
    const std::vector<std::string>& Reports() const { return reports_; }

private:
    raster::Surface screen_;
    DWORD tick_ = 0;
    std::int64_t calendarTime_ = 0;
    Point cursor_;
    bool cursorVisible_ = true;
    Driver driver_;
    std::uint64_t polls_ = 0;
    std::uint64_t pollLimit_ = 10'000'000;
    bool pollLimitReached_ = false;
    bool sleepsMoveClock_ = false;
    std::uint64_t waits_ = 0;
    std::vector<HWND> shown_;
    Rect damage_;
    std::uint64_t drawnPixels_ = 0;
    int drawingDone_ = 0;
    DialogScript dialogScript_;
    int dialogsRun_ = 0;
    std::filesystem::path profileDirectory_ = ".";
    ResourceSet resources_;
    std::vector<std::string> reports_;
};

}  // namespace vyla::headless
