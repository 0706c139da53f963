#include "win32/profile_location.h"

#include <shlobj.h>

namespace vyla::win32 {
namespace {

std::wstring Widen(const char* text)
{
    if (!text || !*text)
        return {};
    int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), n);
    wide.resize(static_cast<std::size_t>(n - 1));
    return wide;
}

// The last component of a file name.
std::wstring BaseName(const std::wstring& name)
{
    std::size_t slash = name.find_last_of(L"\\/:");
    return slash == std::wstring::npos ? name : name.substr(slash + 1);
}

}  // namespace

ProfileLocation::ProfileLocation(std::wstring userDirectory) : userDirectory_(std::move(userDirectory)) {}

ProfileLocation ProfileLocation::ForCurrentUser()
{
    wchar_t appData[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData)) || !*appData)
        return ProfileLocation(std::wstring());
    return ProfileLocation(std::wstring(appData) + L"\\Vyla");
}

std::wstring ProfileLocation::UserCopy(const char* fileName) const
{
    std::wstring base = BaseName(Widen(fileName));
    if (userDirectory_.empty() || base.empty())
        return {};
    return userDirectory_ + L"\\" + base;
}

bool ProfileLocation::HasUserCopy(const char* fileName) const
{
    std::wstring copy = UserCopy(fileName);
    if (copy.empty())
        return false;
    DWORD attributes = GetFileAttributesW(copy.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

UINT ProfileLocation::ReadInt(const char* section, const char* key, int defaultValue, const char* fileName) const
{
    if (HasUserCopy(fileName))
        return GetPrivateProfileIntW(Widen(section).c_str(), Widen(key).c_str(), defaultValue, UserCopy(fileName).c_str());
    return GetPrivateProfileIntA(section, key, defaultValue, fileName);
}

bool ProfileLocation::WriteText(const char* section, const char* key, const char* value, const char* fileName) const
{
    auto writeUserCopy = [&] {
        std::wstring text = Widen(value);
        // A null value removes the key, as it does for the system's rule.
        return WritePrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(), value ? text.c_str() : nullptr,
                                          UserCopy(fileName).c_str()) != FALSE;
    };
    if (HasUserCopy(fileName))
        return writeUserCopy();
    if (WritePrivateProfileStringA(section, key, value, fileName))
        return true;
    if (UserCopy(fileName).empty())
        return false;
    // The directory may exist already; the write tells whether all is well.
    CreateDirectoryW(userDirectory_.c_str(), nullptr);
    return writeUserCopy();
}

}  // namespace vyla::win32
