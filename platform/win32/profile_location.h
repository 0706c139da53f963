// Where a settings file is read and written on Windows.
//
// The system's rule puts a file named without a directory in the Windows
// directory. A standard user cannot write there; a 32-bit module is quietly
// redirected to the user's virtual store, a 64-bit one is simply refused.
// So that a user's choices are never silently lost, a write the system's
// rule refuses goes to the user's own copy (%APPDATA%\Vyla\<name>), and once
// that copy exists it is the one read and written.
#pragma once

#include <string>

#include "api/winapi.h"

namespace vyla::win32 {

class ProfileLocation {
public:
    // userDirectory: where the user's copies live; empty: no user copies,
    // the system's rule alone.
    explicit ProfileLocation(std::wstring userDirectory);
    // %APPDATA%\Vyla of the user running the process.
    static ProfileLocation ForCurrentUser();

    UINT ReadInt(const char* section, const char* key, int defaultValue, const char* fileName) const;
    bool WriteText(const char* section, const char* key, const char* value, const char* fileName) const;

    // The user's copy of the file (empty without a user directory).
    std::wstring UserCopy(const char* fileName) const;
    bool HasUserCopy(const char* fileName) const;

private:
    std::wstring userDirectory_;
};

}  // namespace vyla::win32
