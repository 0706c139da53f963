// The framework's message box: texts in UTF-8 whatever the system's code
// page, so that a message reads the same on every platform.
#pragma once

#include "api/winapi.h"

// Shows a modal message box owned by owner (may be null) and gives the
// button that closed it.
int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type);
