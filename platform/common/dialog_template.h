// A dialog template as data: the one description of a dialog's layout that
// every backend builds its dialog from (the Windows resource script is
// checked against it by a test).
#pragma once

#include <cstdint>
#include <span>

namespace vyla {

struct DialogControl {
    int id;                   // -1 for controls nobody addresses
    const char* windowClass;  // "BUTTON", "EDIT" or "STATIC"
    const char* text;         // UTF-8
    std::uint32_t style;
    int x, y, cx, cy;  // dialog units
};

struct DialogTemplate {
    const char* name;
    std::uint32_t style;
    std::uint32_t exStyle;
    int x, y, cx, cy;     // dialog units
    const char* caption;  // UTF-8
    std::span<const DialogControl> controls;
};

}  // namespace vyla
