// vyla_frame_timing: the saver on the X11 host, exactly as `vyla` runs it,
// with a scene window that notes when each corner frame and slide is drawn
// against the tick at which it became due. Ends on SIGTERM or input like the
// saver, then prints one line of figures (ticks are milliseconds):
//
//   frames N period_ms P late_max L late_le2 S slides M slide_late_max K steps T
//   draw_cpu_ms D other_cpu_ms O copy_cpu_ms C
//
// where "late" is the tick a frame was drawn at minus the first tick at
// which it was due (0: drawn within that millisecond), T counts every
// StepAnimation call, D is the mean CPU time of a step that drew a corner
// frame and nothing else (composing, and handing the changes to X), and O the
// program's remaining CPU time per frame (waking, reading events, slides).
// C is the reference, taken in the same process after each frame: a memcpy
// of the four corner squares' pixels (one pass), between buffers touched only
// that often, so as cold as the scene's.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <vector>

#include "framework/framework.h"
#include "portable/runtime.h"
#include "scene/vylaapp.h"
#include "support/scene_probe.h"
#include "x11/standalone_host.h"  // after the framework: Xlib defines macros

namespace {

struct Timing {
    std::vector<std::uint32_t> frameTicks;
    std::vector<std::uint32_t> frameLate;
    std::vector<std::uint32_t> slideLate;
    long steps = 0;
    double drawCpuMs = 0;  // steps that drew a corner frame and no slide
    long drawnFrames = 0;
    double firstCpuMs = -1;  // the process's CPU time at the first steady frame
    double lastCpuMs = 0;    // ... and at the last
    double copyCpuMs = 0;    // the reference copies
    long copies = 0;
};

double CpuMs(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

class TTimedWindow : public TVylaScrnSavWindow {
public:
    TTimedWindow(Timing& timing) : TVylaScrnSavWindow(nullptr, "Vyla Screen Saver", nullptr), Log(timing) {}

    void StepAnimation() override
    {
        const bool steady = State.BorderDrawn;  // the border's step is due at once
        const std::uint32_t start = GetTickCount();
        const std::uint32_t frameDue = State.LastFrameTime + static_cast<std::uint32_t>(State.FrameDelay) + 1;
        const std::uint32_t slideDue = State.LastSlideTime + State.SlideInterval + 1;
        const std::uint32_t lastFrame = State.LastFrameTime, lastSlide = State.LastSlideTime;
        const double cpu = CpuMs(CLOCK_THREAD_CPUTIME_ID);
        TVylaScrnSavWindow::StepAnimation();
        const double spent = CpuMs(CLOCK_THREAD_CPUTIME_ID) - cpu;
        ++Log.steps;
        if (steady && State.LastFrameTime != lastFrame) {
            Log.frameTicks.push_back(State.LastFrameTime);
            Log.frameLate.push_back(State.LastFrameTime - frameDue);
            if (State.LastSlideTime == lastSlide) {
                Log.drawCpuMs += spent;
                ++Log.drawnFrames;
            }
            CopyCorners();
            Log.lastCpuMs = CpuMs(CLOCK_PROCESS_CPUTIME_ID) - Log.copyCpuMs;
            if (Log.firstCpuMs < 0)
                Log.firstCpuMs = Log.lastCpuMs;
        }
        if (steady && lastSlide != 0 && State.LastSlideTime != lastSlide)
            Log.slideLate.push_back(start - slideDue);
    }

private:
    void CopyCorners()
    {
        const auto pixels = 4 * static_cast<std::size_t>(State.CornerWidth) * static_cast<std::size_t>(State.CornerHeight);
        if (From.size() != pixels) {
            From.assign(pixels, 0x00808080u);
            To.assign(pixels, 0u);
        }
        const double cpu = CpuMs(CLOCK_THREAD_CPUTIME_ID);
        std::memcpy(To.data(), From.data(), pixels * sizeof(std::uint32_t));
        Log.copyCpuMs += CpuMs(CLOCK_THREAD_CPUTIME_ID) - cpu;
        ++Log.copies;
    }

    Timing& Log;
    const TVylaScrnSavWindowProbe State{*this};
    std::vector<std::uint32_t> From, To;
};

class TTimedApp : public TVylaScrnSavApp {
public:
    explicit TTimedApp(Timing& timing) : TVylaScrnSavApp("Vyla Screen Saver"), Log(timing) {}
    void MakeSaverWindow() override { SaverWindow = new TTimedWindow(Log); }

private:
    Timing& Log;
};

void Print(const Timing& t)
{
    double period = 0;
    if (t.frameTicks.size() > 1)
        period = static_cast<double>(t.frameTicks.back() - t.frameTicks.front()) / static_cast<double>(t.frameTicks.size() - 1);
    auto max = [](const std::vector<std::uint32_t>& v) { return v.empty() ? 0u : *std::max_element(v.begin(), v.end()); };
    auto within2 = std::count_if(t.frameLate.begin(), t.frameLate.end(), [](std::uint32_t l) { return l <= 2; });
    // Between the first and the last steady frame: frames - 1 periods.
    const double draw = t.drawnFrames ? t.drawCpuMs / static_cast<double>(t.drawnFrames) : 0;
    const double perFrame = t.frameTicks.size() > 1 ? (t.lastCpuMs - t.firstCpuMs) / static_cast<double>(t.frameTicks.size() - 1) : 0;
    std::printf("frames %zu period_ms %.2f late_max %u late_le2 %ld slides %zu slide_late_max %u steps %ld "
                "draw_cpu_ms %.3f other_cpu_ms %.3f copy_cpu_ms %.3f\n",
                t.frameTicks.size(), period, max(t.frameLate), static_cast<long>(within2), t.slideLate.size(),
                max(t.slideLate), t.steps, draw, std::max(0.0, perFrame - draw),
                t.copies ? t.copyCpuMs / static_cast<double>(t.copies) : 0);
}

}  // namespace

int main()
{
    std::signal(SIGPIPE, SIG_IGN);
    auto connection = vyla::x11::XConnection::Open(nullptr);
    if (!connection) {
        std::fputs("vyla_frame_timing: cannot open the X display\n", stderr);
        return 1;
    }
    vyla::x11::StandaloneHost host(std::move(connection));
    vyla::portable::Runtime runtime(host);
    Timing timing;
    TApplication::InitHInstance = GetModuleHandleA(nullptr);
    TApplication::InitCmdLine = "";
    TApplication::InitCmdShow = SW_SHOWNORMAL;
    int status;
    {
        TTimedApp app(timing);
        status = app.Run();
    }
    Print(timing);
    return status;
}
