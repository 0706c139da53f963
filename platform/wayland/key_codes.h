// What Wayland input on the saver's surface means as window messages: the
// messages a Windows saver receives for the same action, as the X11 backend
// gives them (platform/x11/input_messages.cpp).
#pragma once

#include <cstdint>
#include <optional>

#include "portable/winapi/types.h"

namespace vyla::wayland {

struct InputMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    friend bool operator==(const InputMessage&, const InputMessage&) = default;
};

// The Windows virtual-key code for a Linux input key code (the key's place
// on a US keyboard, as Windows gives it); 0 when there is none.
UINT VirtualKeyForCode(std::uint32_t code);

// A key press (never a release: releases of keys held when the saver
// started must not end it). altHeld: an Alt modifier is down.
InputMessage KeyDown(std::uint32_t code, bool altHeld);

// A button press (Linux BTN_ codes); nullopt for buttons that give no
// message on Windows either (side buttons).
std::optional<InputMessage> ButtonDown(std::uint32_t button, int x, int y);

InputMessage MouseMove(int x, int y);

}  // namespace vyla::wayland
