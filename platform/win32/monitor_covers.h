// Black windows over the monitors a full-screen window leaves bare.
//
// A saver fills the primary monitor, the screen the system's metrics
// describe; every other monitor would go on showing the desktop. The covers
// hide those monitors and pass every closing input they receive to the
// window they cover for, so that input on any monitor counts.
#pragma once

#include <vector>

#include "system_api.h"

namespace vyla::win32 {

class MonitorCovers {
public:
    // A visible-to-be top-level popup that fills the primary monitor: the
    // windows that get covers.
    static bool FillsPrimaryMonitor(HWND window);
    // Covers every monitor that owner's window does not reach. The covers
    // are owned by owner, so they go when it goes.
    static void Cover(HWND owner);
    // Forgets that owner was covered (its covers go with it).
    static void Forget(HWND owner);
    // The monitors' rectangles that lie wholly outside area.
    static std::vector<RECT> BareMonitors(const RECT& area);

private:
    static LRESULT CALLBACK CoverProc(HWND cover, UINT msg, WPARAM wParam, LPARAM lParam);
};

}  // namespace vyla::win32
