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

// Why a file could not be replaced.
enum class WriteFailure {
    None,
    NotARegularFile,  // a directory, pipe or device holds the name
    ReadOnlyFile,     // the file exists and its permissions forbid writing it
    TooLarge,         // the result would be over kMaxFileBytes
    Unreadable,       // the old file cannot be read, so it cannot be edited
    Refused,          // an entry the file could not hold (see CanWrite)
    System,           // a system call failed; error says which error
};

struct WriteResult {
    WriteFailure failure = WriteFailure::None;
    int error = 0;  // the errno value for System (and ReadOnlyFile), else 0

    bool Ok() const { return failure == WriteFailure::None; }
};

// The two calls whose order makes a replacement survive a crash: the new
// content must be on disk (Sync) before its name replaces the old (Rename).
// Tests substitute them to see the order; everything else uses the system's.
class DurabilityCalls {
public:
    virtual ~DurabilityCalls() = default;
    virtual int Sync(int fd);                                // fsync
    virtual int Rename(const char* from, const char* to);    // rename
};

// Replaces the file at path with text so that readers see either the old or
// the new content, never a mix: the text goes to a new temporary file in the
// same directory, is flushed to disk, takes the old file's permissions and is
// renamed over the target. A missing parent directory is created; a symlink
// is written through (its target replaced, the link kept). A file its
// permissions mark read-only is not replaced. On failure the temporary file
// is removed, the old file is untouched and the result says why.
WriteResult ReplaceFileContents(const std::filesystem::path& path, std::string_view text,
                                DurabilityCalls& calls) noexcept;
WriteResult ReplaceFileContents(const std::filesystem::path& path, std::string_view text) noexcept;

// ReplaceFileContents(path, text).Ok().
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view text) noexcept;

}  // namespace vyla::ini
