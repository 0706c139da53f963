#include "framework/profile.h"

#include "framework/platform_hooks.h"

namespace {

std::string DecimalText(int value)
{
    char text[16];
    wsprintfA(text, "%d", value);
    return text;
}

}  // namespace

TProfile::TProfile(const char* section, const char* fileName) : Section(section ? section : ""), FileName(fileName ? fileName : "")
{
}

int TProfile::GetInt(const char* key, int defaultInt) const
{
    return static_cast<int>(ReadProfileInt(Section.c_str(), key, defaultInt, FileName.c_str()));
}

TProfileBatch::TProfileBatch(const char* section, const char* fileName)
    : Section(section ? section : ""), FileName(fileName ? fileName : "")
{
}

void TProfileBatch::WriteInt(const char* key, int value)
{
    Entries.emplace_back(key ? key : "", DecimalText(value));
}

bool TProfileBatch::Commit()
{
    Result = WriteProfileTexts(Section.c_str(), Entries, FileName.c_str());
    return Result.Error == TProfileError::None;
}
