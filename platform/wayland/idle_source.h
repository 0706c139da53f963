// Idle on a Wayland compositor, from its idle protocol: ext-idle-notify-v1,
// else KDE's org_kde_kwin_idle (which sway 1.7 offers). The compositor
// holds the notification back while a program inhibits idle.
#pragma once

#include <memory>
#include <string>

#include "linux/idle_watch.h"

namespace vyla::wayland {

// nullptr (with *error) when there is no compositor, no seat, or neither protocol.
std::unique_ptr<linux::IdleSource> OpenWaylandIdleSource(int seconds, std::string* error);

}  // namespace vyla::wayland
