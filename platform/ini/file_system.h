// The file-system calls a settings file is read and saved through. The save
// itself (ini_file.cpp) is written once against this interface; POSIX and
// Win32 implement it (posix_file_system.h, win32_file_system.h), and a test
// can watch or fail any call by overriding it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "framework/profile.h"

namespace vyla::ini {

using Path = std::filesystem::path;

// Larger files are not settings files; they are never read or rewritten.
inline constexpr std::uintmax_t kMaxFileBytes = 16 * 1024 * 1024;

enum class ReadStatus {
    Ok,
    Missing,     // nothing at the path (or a parent is not a directory)
    Denied,      // the system refused this user (Windows; POSIX counts it as Unreadable)
    Unreadable,  // anything else that is not a readable regular file
    TooLarge,    // over kMaxFileBytes
};

struct ReadResult {
    ReadStatus status = ReadStatus::Missing;
    std::string bytes;  // empty unless status is Ok
    int error = 0;      // the system's error number behind Denied or Unreadable (Windows only)
};

// What holds a name, as a save judges it before replacing it.
struct FileState {
    bool exists = false;
    bool regular = false;    // a plain file: no folder, device or pipe
    bool readOnly = false;   // its permissions forbid writing it
    int readOnlyError = 0;   // the system's error number that said so, if any
};

// A system error number and what the user is told of it.
struct ErrorMeaning {
    int error = 0;
    TProfileError meaning = TProfileError::Other;
};

// A temporary file, open for writing.
struct TemporaryFile {
    Path path;
    std::intptr_t handle = -1;  // a descriptor or a HANDLE
};

// Each call that can fail returns 0 or the system's error number (errno, or
// a Windows error code); ErrorMeanings says what the user is told of it.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The whole file, refused past kMaxFileBytes.
    virtual ReadResult ReadWholeFile(const Path& path) = 0;
    // What holds the name now.
    virtual FileState Inspect(const Path& path) = 0;
    // Windows judges what holds the name before reading it, so that a
    // read-only file refuses even a save that changes nothing (which then
    // goes to the user's own copy); POSIX judges it only just before
    // replacing it, so such a save succeeds there.
    virtual bool JudgesBeforeReading() const = 0;
    // Turns path into the file a replacement writes. POSIX follows symbolic
    // links, so that a link stays and the file it leads to is replaced;
    // Windows replaces what holds the name.
    virtual int ResolveLinks(Path& path) = 0;
    // POSIX creates a missing directory; Windows does not, and a place whose
    // directory is missing refuses the file.
    virtual int CreateDirectories(const Path& directory) = 0;

    // A new file beside target under a name no other file has.
    virtual int CreateTemporaryBeside(const Path& target, TemporaryFile& made) = 0;
    virtual int Write(std::intptr_t handle, std::string_view bytes) = 0;
    // Gives the new file the old one's owner and mode (POSIX; Windows keeps none).
    virtual int TakePermissions(std::intptr_t handle, const Path& old) = 0;
    // Puts what was written on the disk.
    virtual int Flush(std::intptr_t handle) = 0;
    virtual int Close(std::intptr_t handle) = 0;
    // Moves from over to in one step: readers see the old file or the new one.
    virtual int RenameOver(const Path& from, const Path& to) = 0;
    virtual void Remove(const Path& path) = 0;
    // Makes a finished rename survive a crash (POSIX). A failure here loses
    // nothing the rename has not already made visible, so it is not reported.
    virtual void SyncDirectory(const Path& directory) = 0;

    // The error numbers that tell the user more than "the write failed".
    virtual std::span<const ErrorMeaning> ErrorMeanings() const = 0;
    // Called in a catch block when a read or save threw: the error number to
    // report. POSIX reports a failed allocation as ENOMEM and anything else
    // as EIO; Windows lets the exception go on to the framework.
    virtual int ErrorForThrown() = 0;
};

}  // namespace vyla::ini
