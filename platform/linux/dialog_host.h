// The host of a run that shows only the settings dialog, on a display
// system whose saver runs elsewhere (Wayland's runs one process per
// output): GTK finds the display itself, so no screen or input is needed.
#pragma once

#include "linux/linux_host.h"
#include "portable/raster/surface.h"
#include "portable/runtime.h"
#include "portable/winapi/functions.h"

namespace vyla::linux {

class DialogHost final : public LinuxHost {
public:
    raster::Surface& Screen() override { return screen_; }
    Point CursorPos() override { return {}; }
    void PollEvents() override
    {
        if (Events().TakeSignal())
            PostQuitMessage(0);
    }
    void WaitEvents(int timeoutMs) override
    {
        if (portable::Runtime::Current().Queue().empty())
            Events().Wait(-1, EventWait::EndAfter(timeoutMs));
    }

private:
    raster::Surface screen_;
};

}  // namespace vyla::linux
