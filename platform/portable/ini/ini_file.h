// Settings kept in an initialisation file ("[section]" headers, "key=value"
// lines), read and written one key at a time.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "portable/ini/ini_io.h"
#include "portable/ini/ini_text.h"

namespace vyla::ini {

// Sets one key, rewriting the file atomically. A missing file counts as
// empty and is created. A file that exists but cannot be read (Unreadable,
// TooLarge) is never replaced: nothing is written and false is returned, as
// it is for an entry that !CanWrite or for a result over kMaxFileBytes.
bool WriteValue(const std::filesystem::path& path, std::string_view section, std::string_view key,
                std::string_view value) noexcept;

// The value of key in section of the file; nullopt when the key is absent or
// the file cannot be read.
std::optional<std::string> ReadValue(const std::filesystem::path& path, std::string_view section,
                                     std::string_view key) noexcept;

}  // namespace vyla::ini
