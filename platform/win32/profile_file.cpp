// The framework's settings files on Windows: the system's rule, with the
// user's own copy when the system's place cannot be written (see
// win32/profile_location.h).
#include "framework/profile_file.h"
#include "win32/profile_location.h"

using vyla::win32::ProfileLocation;

UINT ReadProfileInt(const char* section, const char* key, int defaultValue, const char* fileName)
{
    return ProfileLocation::ForCurrentUser().ReadInt(section, key, defaultValue, fileName);
}

bool WriteProfileText(const char* section, const char* key, const char* value, const char* fileName)
{
    return ProfileLocation::ForCurrentUser().WriteText(section, key, value, fileName);
}

TProfileWriteResult WriteProfileTexts(const char* section, const TProfileEntries& entries, const char* fileName)
{
    return ProfileLocation::ForCurrentUser().WriteTexts(section, entries, fileName);
}
