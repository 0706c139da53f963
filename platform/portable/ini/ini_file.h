// Settings kept in an initialisation file ("[section]" headers, "key=value"
// lines), read by key and written several keys in one replacement. Files
// that start with a byte-order mark (UTF-8, UTF-16 LE or BE) are read
// through it and written back in their own encoding.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "portable/ini/ini_document.h"
#include "portable/ini/ini_io.h"
#include "portable/ini/ini_text.h"

namespace vyla::ini {

// Sets every entry in section with one atomic replacement of the file: all
// of them land, or the file stays byte for byte as it was. A missing file
// counts as empty and is created. A file that exists but cannot be read
// (Unreadable, TooLarge) is never replaced, nor is anything written when an
// entry !CanWrite or the result would be over kMaxFileBytes.
WriteResult WriteValues(const std::filesystem::path& path, std::string_view section,
                        std::span<const Entry> entries) noexcept;

// Sets one key the same way; false when nothing was written.
bool WriteValue(const std::filesystem::path& path, std::string_view section, std::string_view key,
                std::string_view value) noexcept;

// The value of key in section of the file; nullopt when the key is absent or
// the file cannot be read.
std::optional<std::string> ReadValue(const std::filesystem::path& path, std::string_view section,
                                     std::string_view key) noexcept;

}  // namespace vyla::ini
