// What an X input event on the saver window means as window messages: the
// messages a Windows saver would receive for the same user action.
#pragma once

#include <X11/Xlib.h>

#include <vector>

#include "portable/winapi/types.h"

namespace vyla::x11 {

struct InputMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    friend bool operator==(const InputMessage&, const InputMessage&) = default;
};

// keysym is the key of a KeyPress (its unshifted symbol), ignored otherwise.
// Events that mean nothing to a saver give no messages.
std::vector<InputMessage> InputMessages(const XEvent& event, KeySym keysym);

// The Windows virtual-key code for a key symbol; 0 when there is none.
UINT VirtualKeyFor(KeySym keysym);

}  // namespace vyla::x11
