// Idle on GNOME: mutter's idle monitor (org.gnome.Mutter.IdleMonitor) on
// the session bus, and the session manager's flag for programs that
// inhibit idle (org.gnome.SessionManager), asked before each start.
#pragma once

#include <memory>
#include <string>

#include "linux/idle_watch.h"

namespace vyla::linux {

// nullptr (with *error) when the session bus has no idle monitor.
std::unique_ptr<IdleSource> OpenGnomeIdleSource(int seconds, std::string* error);

}  // namespace vyla::linux
