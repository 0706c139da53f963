// Idle on an X display, from the MIT-SCREEN-SAVER extension: the server's
// count of milliseconds since the last input, read when a timer set from
// it runs out. The server's own screen saver is left as the user set it.
#pragma once

#include <memory>
#include <string>

#include "linux/idle_watch.h"

namespace vyla::x11 {

// nullptr (with *error) when the display cannot be opened or lacks the extension.
std::unique_ptr<linux::IdleSource> OpenXIdleSource(int seconds, std::string* error);

}  // namespace vyla::x11
