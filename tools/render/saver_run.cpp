#include "saver_run.h"

#include <optional>

#include "headless/headless_host.h"
#include "framework/framework.h"

namespace vyla::render {

SaverRunResult RunSaver(const SaverSetup& setup, const TickList& ticks, FrameSink& sink)
{
    headless::HeadlessHost host(setup.desktop.GetSize(), BuiltinResources());
    portable::Runtime runtime(host);
    runtime.SetArguments({"vyla", "/s"});
    host.SetDesktop(setup.desktop);
    host.SetProfileDirectory(setup.profileDirectory);
    host.SetCalendarTime(setup.calendarTime);
    host.SetTick(setup.startTick);
    // One poll per idle call, and a few while the window comes and goes: a
    // run that polls far more than that has gone wrong and is ended.
    host.SetPollLimit(ticks.Count() + 10'000);

    SaverRunResult result;
    TickList::Reader next = ticks.Read();
    std::optional<std::uint32_t> lastTick;  // the tick of the idle call just made
    int stepsSeen = 0;
    bool acting = true;
    bool sinkStopped = false;
    // Runs once before every idle call: first the outcome of the previous
    // call, then the clock for the next one, or the end of the run.
    host.SetDriver([&](headless::HeadlessHost& h) {
        if (!acting)
            return;
        const int steps = h.DrawingDoneCount();
        if (lastTick && steps != stepsSeen) {
            ++result.frames;
            sinkStopped = !sink.Frame(*lastTick, h.Screen());
        }
        stepsSeen = steps;
        if (!sinkStopped && !next.Done()) {
            lastTick = next.Next();
            h.SetTick(*lastTick);
            ++result.idleCalls;
            return;
        }
        acting = false;
        HWND saver = h.TopWindow();
        if (!saver || !PostMessageA(saver, WM_CLOSE, 0, 0))
            PostQuitMessage(0);
    });

    std::string commandLine = "/s";
    result.exitCode = WinMain(GetModuleHandleA(nullptr), nullptr, commandLine.data(), SW_SHOWNORMAL);
    result.completed = !acting && !sinkStopped && next.Done() && !host.PollLimitReached() && result.exitCode == 0;
    result.reports = host.Reports();
    return result;
}

}  // namespace vyla::render
