// How a modal dialog reaches the screen: the framework's fourth platform hook.
//
// The dialog template's captions are Unicode. Where the system would turn
// them into the code page of non-Unicode programs, or draw them with a
// system font that has no glyphs for them, the platform keeps them Unicode
// and gives the controls a font that shows them. Elsewhere this is the plain
// modal dialog call.
#pragma once

#include "api/winapi.h"

// Runs the modal dialog of the named template, as DialogBoxParamA does:
// proc gets param with WM_INITDIALOG; the result is the one EndDialog gave.
INT_PTR RunModalDialog(HINSTANCE instance, const char* templateName, HWND owner, DLGPROC proc, LPARAM param);
