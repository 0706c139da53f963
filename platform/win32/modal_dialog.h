// Modal dialogs on Windows: made with the Unicode call, so the template's
// Unicode captions stay Unicode whatever the code page of non-Unicode
// programs, and drawn with a font that has glyphs for them.
#pragma once

#include "system_api.h"

namespace vyla::win32 {

// As DialogBoxParamA with the named template, proc and param.
INT_PTR RunUnicodeDialog(HINSTANCE instance, const char* templateName, HWND owner, DLGPROC proc, LPARAM param);

}  // namespace vyla::win32
