#include "x11/input_messages.h"

#include <X11/keysym.h>

namespace vyla::x11 {

namespace {

// Mouse-message key-state flags.
constexpr WPARAM kMkLButton = 0x0001;
constexpr WPARAM kMkRButton = 0x0002;
constexpr WPARAM kMkShift = 0x0004;
constexpr WPARAM kMkControl = 0x0008;
constexpr WPARAM kMkMButton = 0x0010;

// Key-message lParam: repeat count in bits 0-15, scan code in 16-23, and
// bit 29 when Alt is held.
constexpr LPARAM kAltContext = LPARAM{1} << 29;

WPARAM MouseKeyState(unsigned state)
{
    WPARAM flags = 0;
    if (state & Button1Mask)
        flags |= kMkLButton;
    if (state & Button2Mask)
        flags |= kMkMButton;
    if (state & Button3Mask)
        flags |= kMkRButton;
    if (state & ShiftMask)
        flags |= kMkShift;
    if (state & ControlMask)
        flags |= kMkControl;
    return flags;
}

LPARAM Position(int x, int y)
{
    return MAKELPARAM(x, y);
}

bool IsAltKey(KeySym keysym)
{
    return keysym == XK_Alt_L || keysym == XK_Alt_R || keysym == XK_Meta_L || keysym == XK_Meta_R;
}

}  // namespace

UINT VirtualKeyFor(KeySym keysym)
{
    if (keysym >= XK_a && keysym <= XK_z)
        return static_cast<UINT>('A' + (keysym - XK_a));
    if (keysym >= XK_A && keysym <= XK_Z)
        return static_cast<UINT>('A' + (keysym - XK_A));
    if (keysym >= XK_0 && keysym <= XK_9)
        return static_cast<UINT>('0' + (keysym - XK_0));
    if (keysym >= XK_F1 && keysym <= XK_F24)
        return static_cast<UINT>(0x70 + (keysym - XK_F1));
    switch (keysym) {
    case XK_BackSpace:
        return 0x08;
    case XK_Tab:
    case XK_ISO_Left_Tab:
        return 0x09;
    case XK_Return:
    case XK_KP_Enter:
        return VK_RETURN;
    case XK_Shift_L:
    case XK_Shift_R:
        return VK_SHIFT;
    case XK_Control_L:
    case XK_Control_R:
        return VK_CONTROL;
    case XK_Alt_L:
    case XK_Alt_R:
    case XK_Meta_L:
    case XK_Meta_R:
        return VK_MENU;
    case XK_Pause:
        return 0x13;
    case XK_Caps_Lock:
        return 0x14;
    case XK_Escape:
        return VK_ESCAPE;
    case XK_space:
        return 0x20;
    case XK_Prior:
        return 0x21;
    case XK_Next:
        return 0x22;
    case XK_End:
        return 0x23;
    case XK_Home:
        return 0x24;
    case XK_Left:
        return 0x25;
    case XK_Up:
        return 0x26;
    case XK_Right:
        return 0x27;
    case XK_Down:
        return 0x28;
    case XK_Insert:
        return 0x2D;
    case XK_Delete:
        return 0x2E;
    case XK_Super_L:
        return 0x5B;
    case XK_Super_R:
        return 0x5C;
    default:
        return 0;
    }
}

std::vector<InputMessage> InputMessages(const XEvent& event, KeySym keysym)
{
    switch (event.type) {
    case MotionNotify:
        return {{WM_MOUSEMOVE, MouseKeyState(event.xmotion.state), Position(event.xmotion.x, event.xmotion.y)}};
    case ButtonPress: {
        const XButtonEvent& b = event.xbutton;
        WPARAM state = MouseKeyState(b.state);
        LPARAM at = Position(b.x, b.y);
        switch (b.button) {
        case Button1:
            return {{WM_LBUTTONDOWN, state | kMkLButton, at}};
        case Button2:
            return {{WM_MBUTTONDOWN, state | kMkMButton, at}};
        case Button3:
            return {{WM_RBUTTONDOWN, state | kMkRButton, at}};
        default:
            return {};  // wheel and side buttons: no button-down message on Windows either
        }
    }
    case KeyPress: {
        const XKeyEvent& k = event.xkey;
        bool altHeld = (k.state & Mod1Mask) != 0;
        bool system = altHeld || IsAltKey(keysym);
        LPARAM lParam = 1 | (static_cast<LPARAM>((k.keycode - 8) & 0xFF) << 16);
        if (altHeld)
            lParam |= kAltContext;
        return {{system ? WM_SYSKEYDOWN : WM_KEYDOWN, VirtualKeyFor(keysym), lParam}};
    }
    case FocusOut: {
        // The focus moving to our own grab (or back from it) is not a loss.
        int mode = event.xfocus.mode;
        if (mode != NotifyNormal && mode != NotifyUngrab)
            return {};
        if (event.xfocus.detail == NotifyInferior)
            return {};  // moved into a window of our own
        // Another client's keyboard grab on an ancestor ending: with the
        // focus following the pointer, it passes through this window on its
        // way back and stays here.
        if (mode == NotifyUngrab && event.xfocus.detail == NotifyPointer)
            return {};
        return {{WM_ACTIVATE, WA_INACTIVE, 0}, {WM_ACTIVATEAPP, FALSE, 0}};
    }
    default:
        return {};
    }
}

}  // namespace vyla::x11
