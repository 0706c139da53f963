// Where the scene goes on an X screen made of several monitors: on the
// primary monitor, as if it were the whole screen; the rest is covered black.
#pragma once

#include <X11/Xlib.h>

#include <span>
#include <vector>

#include "common/geometry.h"

namespace vyla::x11 {

struct MonitorArea {
    Rect area;  // root-window coordinates
    bool primary = false;
};

// The primary monitor's area clipped to the screen; without one flagged
// primary, the first monitor's; without a usable monitor, the whole screen.
Rect ChoosePrimaryMonitor(std::span<const MonitorArea> monitors, Size screen);

// The monitors RandR reports for the screen (none without RandR 1.5).
std::vector<MonitorArea> QueryMonitors(Display* display, ::Window root);

}  // namespace vyla::x11
