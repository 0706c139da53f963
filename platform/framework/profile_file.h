// Where a settings file named without a directory is read and written: the
// platform's rule for such files, applied by the platform.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "api/winapi.h"

// Why a settings file could not be written.
enum class TProfileError {
    None,
    AccessDenied,  // the place may not be written by this user
    ReadOnly,      // the file, or the disk it is on, is read-only
    DiskFull,
    NotAFile,      // a folder or a special file holds the name
    TooLarge,      // the file is (or would grow) past what a settings file may be
    Unreadable,    // the file exists but cannot be read, so it cannot be edited
    Other,         // SystemCode says what the system reported
};

struct TProfileWriteResult {
    TProfileError Error = TProfileError::None;
    std::string File;    // the file that could not be written (the last place tried)
    int SystemCode = 0;  // the system's error number, when there was one
};

using TProfileEntries = std::vector<std::pair<std::string, std::string>>;

// The key's integer value from the named file, or defaultValue.
UINT ReadProfileInt(const char* section, const char* key, int defaultValue, const char* fileName);
// Stores the text under the key in the named file; false when it could not be stored.
bool WriteProfileText(const char* section, const char* key, const char* value, const char* fileName);
// Stores every key and value of entries in the section with one replacement
// of the named file: all of them land, or the file stays as it was.
TProfileWriteResult WriteProfileTexts(const char* section, const TProfileEntries& entries, const char* fileName);
