#include "linux/dialog_layout.h"

#include <strings.h>

#include <cstdint>

#include "portable/winapi/types.h"

namespace vyla::linux {

namespace {

// a * b / c rounded to the nearest integer, halves away from zero.
int MulDiv(int a, int b, int c)
{
    std::int64_t n = std::int64_t{a} * b;
    std::int64_t half = c / 2;
    return static_cast<int>(n >= 0 ? (n + half) / c : -((-n + half) / c));
}

bool ClassIs(const DialogControl& control, const char* name)
{
    return control.windowClass && strcasecmp(control.windowClass, name) == 0;
}

}  // namespace

DialogBaseUnits BaseUnitsFromFont(int alphabetWidth, int fontHeight)
{
    if (alphabetWidth <= 0 || fontHeight <= 0)
        return DialogBaseUnits{};
    // The average of the 52 letters, rounded.
    int x = (alphabetWidth / 26 + 1) / 2;
    return DialogBaseUnits{x > 0 ? x : 1, fontHeight};
}

Rect DialogUnitsToPixels(DialogBaseUnits units, int x, int y, int cx, int cy)
{
    return Rect{MulDiv(x, units.x, 4), MulDiv(y, units.y, 8), MulDiv(x + cx, units.x, 4), MulDiv(y + cy, units.y, 8)};
}

ControlKind KindOf(const DialogControl& control)
{
    if (ClassIs(control, "EDIT"))
        return ControlKind::Edit;
    if (ClassIs(control, "STATIC"))
        return ControlKind::Text;
    if (!ClassIs(control, "BUTTON"))
        return ControlKind::Other;
    switch (control.style & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
        return ControlKind::PushButton;
    case BS_DEFPUSHBUTTON:
        return ControlKind::DefaultPushButton;
    case 0x2:  // check box
    case BS_AUTOCHECKBOX:
        return ControlKind::CheckBox;
    case 0x4:  // radio button
    case BS_AUTORADIOBUTTON:
        return ControlKind::RadioButton;
    case BS_GROUPBOX:
        return ControlKind::GroupBox;
    default:
        return ControlKind::Other;
    }
}

std::vector<std::vector<int>> RadioGroups(const DialogTemplate& dialog)
{
    std::vector<std::vector<int>> groups(1);
    for (const DialogControl& control : dialog.controls) {
        if ((control.style & WS_GROUP) && !groups.back().empty())
            groups.emplace_back();
        if (KindOf(control) == ControlKind::RadioButton)
            groups.back().push_back(control.id);
    }
    if (groups.back().empty())
        groups.pop_back();
    return groups;
}

}  // namespace vyla::linux
