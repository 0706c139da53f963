// Where a settings file named without a directory is read and written: the
// platform's rule for such files, applied by the platform.
#pragma once

#include "api/winapi.h"

// The key's integer value from the named file, or defaultValue.
UINT ReadProfileInt(const char* section, const char* key, int defaultValue, const char* fileName);
// Stores the text under the key in the named file; false when it could not be stored.
bool WriteProfileText(const char* section, const char* key, const char* value, const char* fileName);
