// A settings file on disk: one value read, or several keys of a section
// saved in one atomic replacement of the file. Files that start with a
// byte-order mark are read through it and written back in their own
// encoding (ini_document.h). Both platforms read and save through these two
// functions; their file-system calls come through FileSystem.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "framework/profile.h"
#include "ini/file_system.h"

namespace vyla::ini {

// The value of key in section of the file; nullopt when the key is absent or
// the file cannot be read.
std::optional<std::string> ReadValue(FileSystem& files, const Path& path, std::string_view section,
                                     std::string_view key);

// Sets every entry in section with one replacement of the file: all of them
// land, or the file stays byte for byte as it was. The file is read and
// edited, and when that changes it, the result goes to a temporary file
// beside it, which is flushed to disk and renamed over it; on any failure
// the temporary file is removed. A missing file counts as empty. A file that
// cannot be read (Unreadable, TooLarge), a folder or a special file in its
// place and a read-only file are never replaced; nothing is written when an
// entry cannot be stored (ini_text.h CanWrite) or the result would be over
// kMaxFileBytes. The result's File is left to the caller.
TProfileWriteResult SaveValues(FileSystem& files, const Path& path, std::string_view section,
                               const TProfileEntries& entries);

}  // namespace vyla::ini
