// Whole-file reads and crash-safe whole-file replacement for settings files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace vyla::ini {

// Larger files are not settings files; they are never read or rewritten.
inline constexpr std::uintmax_t kMaxFileBytes = 16 * 1024 * 1024;

enum class ReadStatus { Ok, Missing, Unreadable, TooLarge };

struct ReadResult {
    ReadStatus status = ReadStatus::Missing;
    std::string text;  // empty unless status is Ok
};

// Missing when nothing is at path (or a parent is not a directory);
// Unreadable for anything that is not a readable regular file.
ReadResult ReadFile(const std::filesystem::path& path) noexcept;

// Replaces the file at path with text so that readers see either the old or
// the new content, never a mix: the text goes to a new temporary file in the
// same directory, is flushed to disk, takes the old file's permissions and is
// renamed over the target. A missing parent directory is created; a symlink
// is written through (its target replaced, the link kept). On failure the
// temporary file is removed, the old file is untouched and false is returned.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view text) noexcept;

}  // namespace vyla::ini
