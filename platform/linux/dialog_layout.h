// The geometry and structure of a dialog template, as Windows' dialog
// manager reads it: dialog units to pixels, control kinds, radio groups.
#pragma once

#include <vector>

#include "common/dialog_template.h"
#include "common/geometry.h"

namespace vyla::linux {

// Pixels per four horizontal and per eight vertical dialog units.
struct DialogBaseUnits {
    int x = 8;  // the system font's, for a font that cannot be measured
    int y = 16;
    friend bool operator==(const DialogBaseUnits&, const DialogBaseUnits&) = default;
};

// From the pixel width of the 52 letters A-Z and a-z set in the dialog font
// and that font's height, as Windows measures its dialog font.
DialogBaseUnits BaseUnitsFromFont(int alphabetWidth, int fontHeight);

// A rectangle in dialog units in pixels; each edge is mapped and rounded on
// its own, so controls that touch in dialog units touch in pixels.
Rect DialogUnitsToPixels(DialogBaseUnits units, int x, int y, int cx, int cy);

enum class ControlKind { RadioButton, CheckBox, PushButton, DefaultPushButton, GroupBox, Text, Edit, Other };

ControlKind KindOf(const DialogControl& control);

// The ids of the radio buttons of each group, in template order. A group
// runs from a control with WS_GROUP (or the first control) to the next one.
std::vector<std::vector<int>> RadioGroups(const DialogTemplate& dialog);

}  // namespace vyla::linux
