#include "ini/posix_file_system.h"

#include <cerrno>
#include <chrono>
#include <new>
#include <optional>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vyla::ini {

namespace fs = std::filesystem;

namespace {

// Owns a POSIX file descriptor.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    int Get() const { return fd_; }

private:
    int fd_;
};

int Descriptor(std::intptr_t handle) { return static_cast<int>(handle); }

int ErrorOf(int result) { return result == 0 ? 0 : errno; }

}  // namespace

ReadResult PosixFileSystem::ReadWholeFile(const Path& path)
{
    // An unreadable file keeps no error number here: it is reported as
    // unreadable, whatever the reason.
    try {
        // Non-blocking so that a pipe at the path cannot stall the open.
        FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
        if (!fd.IsOpen()) {
            const bool absent = errno == ENOENT || errno == ENOTDIR;
            return {absent ? ReadStatus::Missing : ReadStatus::Unreadable, {}};
        }
        struct stat info {};
        if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
            return {ReadStatus::Unreadable, {}};
        }
        if (static_cast<std::uintmax_t>(info.st_size) > kMaxFileBytes) {
            return {ReadStatus::TooLarge, {}};
        }
        std::string bytes;
        bytes.reserve(static_cast<std::size_t>(info.st_size));
        char buffer[64 * 1024];
        for (;;) {
            const ssize_t count = ::read(fd.Get(), buffer, sizeof buffer);
            if (count < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return {ReadStatus::Unreadable, {}};
            }
            if (count == 0) {
                break;
            }
            // The size seen by fstat is not trusted: the file may grow, or be
            // one whose size is not known in advance.
            if (bytes.size() + static_cast<std::size_t>(count) > kMaxFileBytes) {
                return {ReadStatus::TooLarge, {}};
            }
            bytes.append(buffer, static_cast<std::size_t>(count));
        }
        return {ReadStatus::Ok, std::move(bytes)};
    } catch (...) {
        return {ReadStatus::Unreadable, {}};
    }
}

FileState PosixFileSystem::Inspect(const Path& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return {};
    }
    FileState state{true, S_ISREG(info.st_mode) != 0};
    // A read-only file system is not the file's own permission: the
    // replacement fails on it and says so.
    if (state.regular && ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && errno != EROFS) {
        state.readOnly = true;
        state.readOnlyError = errno;
    }
    return state;
}

int PosixFileSystem::ResolveLinks(Path& path)
{
    constexpr int kMaxHops = 40;
    for (int hop = 0; hop < kMaxHops; ++hop) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(path, error))) {
            return 0;
        }
        const Path target = fs::read_symlink(path, error);
        if (error) {
            return ELOOP;
        }
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return ELOOP;
}

int PosixFileSystem::CreateDirectories(const Path& directory)
{
    std::error_code error;
    fs::create_directories(directory, error);
    return error.value();
}

int PosixFileSystem::CreateTemporaryBeside(const Path& target, TemporaryFile& made)
{
    // Keep the name well inside the usual 255-byte limit.
    const std::string stem = target.filename().string().substr(0, 128);
    const auto seed = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    constexpr int kAttempts = 100;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        Path candidate = target.parent_path() / ("." + stem + ".tmp-" + std::to_string(::getpid()) + "-" +
                                                 std::to_string(seed + static_cast<unsigned long long>(attempt)));
        // 0666 lets the umask decide, as for any newly created file.
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0) {
            made = {std::move(candidate), fd};
            return 0;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    return errno;
}

int PosixFileSystem::Write(std::intptr_t handle, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(Descriptor(handle), bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

int PosixFileSystem::TakePermissions(std::intptr_t handle, const Path& old)
{
    struct stat info {};
    if (::stat(old.c_str(), &info) != 0) {
        return 0;  // gone meanwhile: nothing to keep
    }
    // Ownership can only be kept with the right privileges; the mode always.
    [[maybe_unused]] const int chown_result = ::fchown(Descriptor(handle), info.st_uid, info.st_gid);
    return ErrorOf(::fchmod(Descriptor(handle), info.st_mode & 07777));
}

int PosixFileSystem::Flush(std::intptr_t handle) { return ErrorOf(::fsync(Descriptor(handle))); }

int PosixFileSystem::Close(std::intptr_t handle) { return ErrorOf(::close(Descriptor(handle))); }

int PosixFileSystem::RenameOver(const Path& from, const Path& to) { return ErrorOf(::rename(from.c_str(), to.c_str())); }

void PosixFileSystem::Remove(const Path& path) { ::unlink(path.c_str()); }

void PosixFileSystem::SyncDirectory(const Path& directory)
{
    FileDescriptor fd(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.IsOpen()) {
        Flush(fd.Get());
    }
}

std::span<const ErrorMeaning> PosixFileSystem::ErrorMeanings() const
{
    static constexpr ErrorMeaning kMeanings[] = {
        {EACCES, TProfileError::AccessDenied}, {EPERM, TProfileError::AccessDenied}, {EROFS, TProfileError::ReadOnly},
        {ENOSPC, TProfileError::DiskFull},     {EDQUOT, TProfileError::DiskFull},    {EFBIG, TProfileError::TooLarge},
        {EISDIR, TProfileError::NotAFile},
    };
    return kMeanings;
}

int PosixFileSystem::ErrorForThrown()
{
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return ENOMEM;
    } catch (...) {
        return EIO;
    }
}

}  // namespace vyla::ini
