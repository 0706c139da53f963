#include "x11/monitor_layout.h"

#include <X11/extensions/Xrandr.h>

#include <algorithm>

namespace vyla::x11 {

Rect ChoosePrimaryMonitor(std::span<const MonitorArea> monitors, Size screen)
{
    const Rect whole = Rect::FromSize(screen);
    // A monitor wholly off the screen (a stale layout) cannot show anything.
    auto onScreen = [&](const MonitorArea& m) { return !m.area.Intersected(whole).IsEmpty(); };
    auto chosen = std::find_if(monitors.begin(), monitors.end(), [&](const MonitorArea& m) { return m.primary && onScreen(m); });
    if (chosen == monitors.end())
        chosen = std::find_if(monitors.begin(), monitors.end(), onScreen);
    return chosen == monitors.end() ? whole : chosen->area.Intersected(whole);
}

std::vector<MonitorArea> QueryMonitors(Display* display, ::Window root)
{
    std::vector<MonitorArea> monitors;
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase) || !XRRQueryVersion(display, &major, &minor) ||
        (major == 1 && minor < 5) || major < 1)
        return monitors;
    int count = 0;
    XRRMonitorInfo* info = XRRGetMonitors(display, root, True, &count);
    if (!info)
        return monitors;
    for (int i = 0; i < count; ++i)
        monitors.push_back({Rect::FromXYWH(info[i].x, info[i].y, info[i].width, info[i].height), info[i].primary != 0});
    XRRFreeMonitors(info);
    return monitors;
}

}  // namespace vyla::x11
