// KERNEL functions of the portable runtime: time, strings, settings files and resources.
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <string>

#include "portable/winapi/functions.h"
#include "ini/ini_file.h"
#include "ini/ini_text.h"
#include "ini/posix_file_system.h"
#include "portable/profile_path.h"
#include "portable/runtime.h"

using vyla::portable::ProfilePath;
using vyla::portable::Runtime;

std::filesystem::path vyla::portable::ProfilePath(const char* fileName)
{
    std::filesystem::path name(fileName);
    if (name.has_parent_path() || name.is_absolute())
        return name;
    return Runtime::Current().GetHost().ProfileDirectory() / name;
}

namespace {

constexpr DWORD kErrorResourceNotFound = 1814;

using BitmapEntry = std::pair<const std::string, std::span<const std::uint8_t>>;

}  // namespace

DWORD GetTickCount()
{
    return Runtime::Current().GetHost().TickCount();
}

DWORD GetLastError()
{
    return Runtime::Current().lastError;
}

int lstrcmpA(LPCSTR a, LPCSTR b)
{
    int r = std::strcmp(a ? a : "", b ? b : "");
    return (r > 0) - (r < 0);
}

int lstrlenA(LPCSTR s)
{
    return s ? static_cast<int>(std::strlen(s)) : 0;
}

UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, int defaultValue, LPCSTR fileName)
{
    if (!section || !key || !fileName)
        return static_cast<UINT>(defaultValue);
    if (const std::string* forced = Runtime::Current().FindProfileOverride(fileName, section, key))
        return static_cast<UINT>(vyla::ini::ParseInt(*forced));
    vyla::ini::PosixFileSystem files;
    auto value = vyla::ini::ReadValue(files, ProfilePath(fileName), section, key);
    // An absent or empty value gives the default, as the system's reader does.
    if (!value || value->empty())
        return static_cast<UINT>(defaultValue);
    return static_cast<UINT>(vyla::ini::ParseInt(*value));
}

HINSTANCE GetModuleHandleA(LPCSTR name)
{
    // The portable runtime has one module: the program.
    return name ? nullptr : reinterpret_cast<HINSTANCE>(0x400000);
}

HRSRC FindResourceA(HINSTANCE, LPCSTR name, LPCSTR type)
{
    Runtime& rt = Runtime::Current();
    if (!name || IS_INTRESOURCE(name) || type != RT_BITMAP) {
        rt.lastError = kErrorResourceNotFound;
        return nullptr;
    }
    const auto& bitmaps = rt.GetHost().Resources().bitmaps;
    auto it = bitmaps.find(std::string_view(name));
    if (it == bitmaps.end()) {
        rt.lastError = kErrorResourceNotFound;
        return nullptr;
    }
    return reinterpret_cast<HRSRC>(const_cast<BitmapEntry*>(&*it));
}

HGLOBAL LoadResource(HINSTANCE, HRSRC resource)
{
    if (!resource)
        return nullptr;
    auto* entry = reinterpret_cast<BitmapEntry*>(resource);
    return reinterpret_cast<HGLOBAL>(const_cast<std::uint8_t*>(entry->second.data()));
}

LPVOID LockResource(HGLOBAL data)
{
    return data;
}

DWORD SizeofResource(HINSTANCE, HRSRC resource)
{
    if (!resource)
        return 0;
    return static_cast<DWORD>(reinterpret_cast<BitmapEntry*>(resource)->second.size());
}

int wvsprintfA(LPSTR buffer, LPCSTR format, va_list args)
{
    // The system's formatter writes at most 1024 characters and the terminator.
    int n = std::vsnprintf(buffer, 1025, format, args);
    return n < 0 ? 0 : std::min(n, 1024);
}

int wsprintfA(LPSTR buffer, LPCSTR format, ...)
{
    va_list args;
    va_start(args, format);
    int n = wvsprintfA(buffer, format, args);
    va_end(args);
    return n;
}
