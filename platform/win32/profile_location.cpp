#include "win32/profile_location.h"

#include <shlobj.h>

#include "ini/ini_file.h"
#include "ini/ini_text.h"
#include "ini/win32_file_system.h"
#include "win32/wide_text.h"

namespace vyla::win32 {
namespace {

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
    std::wstring base = BaseName(Widened(fileName, CP_ACP));
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

std::wstring ProfileLocation::SystemPlace(const char* fileName)
{
    std::wstring name = Widened(fileName, CP_ACP);
    if (name.empty() || BaseName(name) != name)
        return name;
    wchar_t windows[MAX_PATH] = {};
    UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return name;
    return std::wstring(windows) + L"\\" + name;
}

UINT ProfileLocation::ReadInt(const char* section, const char* key, int defaultValue, const char* fileName) const
{
    ini::Win32FileSystem files;
    const std::wstring path = HasUserCopy(fileName) ? UserCopy(fileName) : SystemPlace(fileName);
    std::optional<std::string> value;
    if (section && key)
        value = ini::ReadValue(files, path, section, key);
    // An absent or empty value gives the default, as the system's reader does.
    if (!value || value->empty())
        return static_cast<UINT>(defaultValue);
    return static_cast<UINT>(ini::ParseInt(*value));
}

TProfileWriteResult ProfileLocation::WriteTexts(const char* section, const TProfileEntries& entries, const char* fileName) const
{
    auto write = [&](const std::wstring& path) {
        ini::Win32FileSystem files;
        TProfileWriteResult result = ini::SaveValues(files, path, section ? section : "", entries);
        if (result.Error != TProfileError::None)
            result.File = Narrowed(path, CP_UTF8);
        return result;
    };
    if (HasUserCopy(fileName))
        return write(UserCopy(fileName));
    TProfileWriteResult result = write(SystemPlace(fileName));
    if (result.Error == TProfileError::None || UserCopy(fileName).empty())
        return result;
    // The directory may exist already; the write tells whether all is well.
    CreateDirectoryW(userDirectory_.c_str(), nullptr);
    return write(UserCopy(fileName));
}

}  // namespace vyla::win32
