// A settings file on Windows, read and written by the same line rules and
// byte-order marks as everywhere else (portable/ini): several keys in one
// replacement of the file, all or nothing.
#pragma once

#include <span>
#include <string>

#include "framework/profile.h"
#include "system_api.h"
#include "portable/ini/ini_document.h"

namespace vyla::win32 {

class SettingsFile {
public:
    explicit SettingsFile(std::wstring path);

    const std::wstring& Path() const { return path_; }

    // The key's value; nullopt when the key or the file is absent or the
    // file cannot be read.
    std::optional<std::string> Read(const char* section, const char* key) const;

    // Sets every entry in the section: the new content goes to a temporary
    // file next to the old one, is flushed to disk and then moved over it,
    // so readers see the old file or the new one. Nothing changes on failure.
    TProfileError Write(const char* section, std::span<const ini::Entry> entries) const;
    // The system's error number of the last failed Write, if it had one.
    DWORD LastSystemError() const { return lastError_; }

private:
    std::wstring path_;
    mutable DWORD lastError_ = 0;
};

}  // namespace vyla::win32
