// A font for a dialog's controls that has glyphs for their captions.
//
// A dialog template without a font of its own draws its controls with the
// system font. On a system whose language for non-Unicode programs is not
// Japanese that font has no Japanese glyphs, and the captions would show as
// boxes or question marks. The dialog keeps its layout (its dialog units
// come from the system font when it is made); only the controls' font changes.
#pragma once

#include <string>
#include <string_view>

#include "system_api.h"

namespace vyla::win32 {

class DialogFont {
public:
    DialogFont() = default;
    ~DialogFont();
    DialogFont(const DialogFont&) = delete;
    DialogFont& operator=(const DialogFont&) = delete;

    // Gives every control of the dialog a font that shows all their
    // captions, when the font they draw with lacks a glyph for one of them.
    // The font lives as long as this object.
    void Apply(HWND dialog);
    // The font given to the controls; null when they kept their own.
    HFONT Handle() const { return font_; }

    // True when the font (null: the system font) has a glyph for every
    // printable character of text.
    static bool Shows(HFONT font, std::wstring_view text);
    // A font of the given cell height and weight that shows text, from the
    // faces that carry Japanese glyphs, or null when none is installed.
    static HFONT FindShowing(std::wstring_view text, LONG height, LONG weight);

private:
    HFONT font_ = nullptr;
};

}  // namespace vyla::win32
