// What every Linux display backend's host shares: the clock, signals and
// the event loop's sleep, the GTK settings dialog, reports to the user, and
// where settings live. A backend adds the screen, the pointer and its
// display's events.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "linux/event_wait.h"
#include "portable/host.h"

namespace vyla::linux {

class LinuxHost : public portable::Host {
public:
    DWORD TickCount() override;
    std::int64_t CalendarTime() override;

    // The dialog with GTK; SIGINT and SIGTERM close it as its title bar would.
    void RunModalDialog(portable::DialogSession& dialog) override;
    std::filesystem::path ProfileDirectory() override;
    const ResourceSet& Resources() override { return resources_; }
    // A line on stderr; while the settings dialog is up, a GTK message box too.
    void Report(std::string_view caption, std::string_view text) override;

protected:
    LinuxHost();

    EventWait& Events() { return events_; }

private:
    EventWait events_;
    bool dialogRunning_ = false;
    ResourceSet resources_;
};

}  // namespace vyla::linux
