// vyla_frame_timing: the saver on the X11 host, exactly as `vyla` runs it,
// with a scene window that notes when each corner frame and slide is drawn
// against the tick at which it became due. Ends on SIGTERM or input like the
// saver, then prints one line of figures (ticks are milliseconds):
//
//   frames N period_ms P late_max L late_le2 S slides M slide_late_max K steps T
//
// where "late" is the tick a frame was drawn at minus the first tick at
// which it was due (0: drawn within that millisecond), and T counts every
// StepAnimation call.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdint>
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
};

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
        TVylaScrnSavWindow::StepAnimation();
        ++Log.steps;
        if (steady && State.LastFrameTime != lastFrame) {
            Log.frameTicks.push_back(State.LastFrameTime);
            Log.frameLate.push_back(State.LastFrameTime - frameDue);
        }
        if (steady && lastSlide != 0 && State.LastSlideTime != lastSlide)
            Log.slideLate.push_back(start - slideDue);
    }

private:
    Timing& Log;
    const TVylaScrnSavWindowProbe State{*this};
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
    std::printf("frames %zu period_ms %.2f late_max %u late_le2 %ld slides %zu slide_late_max %u steps %ld\n",
                t.frameTicks.size(), period, max(t.frameLate), static_cast<long>(within2), t.slideLate.size(),
                max(t.slideLate), t.steps);
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
