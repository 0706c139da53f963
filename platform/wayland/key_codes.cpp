#include "wayland/key_codes.h"

#include <linux/input-event-codes.h>

#include <string_view>



namespace vyla::wayland {

namespace {

constexpr WPARAM kMkLButton = 0x0001;
constexpr WPARAM kMkRButton = 0x0002;
constexpr WPARAM kMkMButton = 0x0010;
constexpr LPARAM kAltContext = LPARAM{1} << 29;

// A row of keys whose codes follow each other, each giving its character.
struct KeyRow {
    std::uint32_t first;
    std::string_view keys;
};

constexpr KeyRow kRows[] = {
    {KEY_1, "1234567890"},
    {KEY_Q, "QWERTYUIOP"},
    {KEY_A, "ASDFGHJKL"},
    {KEY_Z, "ZXCVBNM"},
};

struct KeyPair {
    std::uint32_t code;
    UINT vk;
};

constexpr KeyPair kKeys[] = {
    {KEY_ESC, VK_ESCAPE},   {KEY_BACKSPACE, 0x08},  {KEY_TAB, 0x09},       {KEY_ENTER, VK_RETURN},
    {KEY_KPENTER, VK_RETURN}, {KEY_LEFTSHIFT, VK_SHIFT}, {KEY_RIGHTSHIFT, VK_SHIFT}, {KEY_LEFTCTRL, VK_CONTROL},
    {KEY_RIGHTCTRL, VK_CONTROL}, {KEY_LEFTALT, VK_MENU}, {KEY_RIGHTALT, VK_MENU}, {KEY_PAUSE, 0x13},
    {KEY_CAPSLOCK, 0x14},   {KEY_SPACE, 0x20},      {KEY_PAGEUP, 0x21},    {KEY_PAGEDOWN, 0x22},
    {KEY_END, 0x23},        {KEY_HOME, 0x24},       {KEY_LEFT, 0x25},      {KEY_UP, 0x26},
    {KEY_RIGHT, 0x27},      {KEY_DOWN, 0x28},       {KEY_INSERT, 0x2D},    {KEY_DELETE, 0x2E},
    {KEY_LEFTMETA, 0x5B},   {KEY_RIGHTMETA, 0x5C},  {KEY_F11, 0x7A},       {KEY_F12, 0x7B},
};

bool IsAltKey(std::uint32_t code)
{
    return code == KEY_LEFTALT || code == KEY_RIGHTALT;
}

LPARAM Position(int x, int y)
{
    return MAKELPARAM(x, y);
}

}  // namespace

UINT VirtualKeyForCode(std::uint32_t code)
{
    for (const KeyRow& row : kRows)
        if (code >= row.first && code - row.first < row.keys.size())
            return static_cast<UINT>(row.keys[code - row.first]);
    if (code >= KEY_F1 && code <= KEY_F10)
        return 0x70 + (code - KEY_F1);
    for (const KeyPair& key : kKeys)
        if (key.code == code)
            return key.vk;
    return 0;
}

InputMessage KeyDown(std::uint32_t code, bool altHeld)
{
    // The scan code is the Linux key code, as X11 gives it (its key code less 8).
    LPARAM lParam = 1 | (static_cast<LPARAM>(code & 0xFF) << 16);
    if (altHeld)
        lParam |= kAltContext;
    UINT message = altHeld || IsAltKey(code) ? WM_SYSKEYDOWN : WM_KEYDOWN;
    return {message, VirtualKeyForCode(code), lParam};
}

std::optional<InputMessage> ButtonDown(std::uint32_t button, int x, int y)
{
    switch (button) {
    case BTN_LEFT:
        return InputMessage{WM_LBUTTONDOWN, kMkLButton, Position(x, y)};
    case BTN_MIDDLE:
        return InputMessage{WM_MBUTTONDOWN, kMkMButton, Position(x, y)};
    case BTN_RIGHT:
        return InputMessage{WM_RBUTTONDOWN, kMkRButton, Position(x, y)};
    default:
        return std::nullopt;
    }
}

InputMessage MouseMove(int x, int y)
{
    return {WM_MOUSEMOVE, 0, Position(x, y)};
}

}  // namespace vyla::wayland
