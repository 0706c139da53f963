#include "framework/profile.h"

#include "api/winapi.h"
#include "framework/profile_file.h"

TProfile::TProfile(const char* section, const char* fileName) : Section(section ? section : ""), FileName(fileName ? fileName : "")
{
}

int TProfile::GetInt(const char* key, int defaultInt) const
{
    return static_cast<int>(ReadProfileInt(Section.c_str(), key, defaultInt, FileName.c_str()));
}

bool TProfile::WriteInt(const char* key, int value)
{
    char text[16];
    wsprintfA(text, "%d", value);
    return WriteProfileText(Section.c_str(), key, text, FileName.c_str());
}
