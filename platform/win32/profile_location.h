// Where a settings file is read and written on Windows.
//
// The system's rule puts a file named without a directory in the Windows
// directory. A standard user cannot write there; a 32-bit module is quietly
// redirected to the user's virtual store, a 64-bit one is simply refused.
// So that a user's choices are never silently lost, a write the system's
// rule refuses goes to the user's own copy (%APPDATA%\Vyla\<name>), and once
// that copy exists it is the one read and written. Both are read and
// saved by the same code as on every platform (ini/ini_file.h).
#pragma once

#include <string>

#include "system_api.h"
#include "framework/profile.h"

namespace vyla::win32 {

class ProfileLocation {
public:
    // userDirectory: where the user's copies live; empty: no user copies,
    // the system's rule alone.
    explicit ProfileLocation(std::wstring userDirectory);
    // %APPDATA%\Vyla of the user running the process.
    static ProfileLocation ForCurrentUser();

    UINT ReadInt(const char* section, const char* key, int defaultValue, const char* fileName) const;
    // Every entry in one replacement of the file, all or nothing; when the
    // system's place refuses, the user's copy is tried, and the result
    // names the last place tried.
    TProfileWriteResult WriteTexts(const char* section, const TProfileEntries& entries, const char* fileName) const;

    // Where the system's rule puts the file: a bare name in the Windows
    // directory, any other name as given.
    static std::wstring SystemPlace(const char* fileName);

    // The user's copy of the file (empty without a user directory).
    std::wstring UserCopy(const char* fileName) const;
    bool HasUserCopy(const char* fileName) const;

private:
    std::wstring userDirectory_;
};

}  // namespace vyla::win32
