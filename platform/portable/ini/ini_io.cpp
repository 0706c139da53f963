#include "portable/ini/ini_io.h"

#include <cerrno>
#include <chrono>
#include <new>
#include <optional>
#include <system_error>
#include <utility>

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

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Follows symlinks in the last path component, so that the file they lead to
// is the one replaced. nullopt for a loop.
std::optional<fs::path> FollowSymlinks(fs::path path)
{
    constexpr int kMaxHops = 40;
    for (int hop = 0; hop < kMaxHops; ++hop) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(path, error))) {
            return path;
        }
        const fs::path target = fs::read_symlink(path, error);
        if (error) {
            return std::nullopt;
        }
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return std::nullopt;
}

// A file created next to the target under a fresh name; removed again unless
// it has been renamed into place.
class TemporaryFile {
public:
    // nullopt with errno set when no file could be made.
    static std::optional<TemporaryFile> CreateNextTo(const fs::path& target)
    {
        // Keep the name well inside the usual 255-byte limit.
        const std::string stem = target.filename().string().substr(0, 128);
        const auto seed = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
        constexpr int kAttempts = 100;
        for (int attempt = 0; attempt < kAttempts; ++attempt) {
            fs::path candidate = target.parent_path() / ("." + stem + ".tmp-" + std::to_string(::getpid()) + "-" +
                                                         std::to_string(seed + static_cast<unsigned long long>(attempt)));
            // 0666 lets the umask decide, as for any newly created file.
            const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
            if (fd >= 0) {
                return TemporaryFile(std::move(candidate), fd);
            }
            if (errno != EEXIST) {
                return std::nullopt;
            }
        }
        return std::nullopt;
    }

    TemporaryFile(TemporaryFile&& other) noexcept
        : path_(std::move(other.path_)), fd_(std::exchange(other.fd_, -1)), placed_(std::exchange(other.placed_, true))
    {
    }
    TemporaryFile& operator=(TemporaryFile&&) = delete;
    ~TemporaryFile()
    {
        const int saved = errno;  // the failure being reported is the caller's
        if (fd_ >= 0) {
            ::close(fd_);
        }
        if (!placed_) {
            ::unlink(path_.c_str());
        }
        errno = saved;
    }

    int Descriptor() const { return fd_; }
    const fs::path& Path() const { return path_; }

    // Closes now, reporting the error a deferred write may surface only here.
    bool Close()
    {
        const int fd = std::exchange(fd_, -1);
        return ::close(fd) == 0;
    }

    bool RenameTo(const fs::path& target, DurabilityCalls& calls)
    {
        placed_ = calls.Rename(path_.c_str(), target.c_str()) == 0;
        return placed_;
    }

private:
    TemporaryFile(fs::path path, int fd) : path_(std::move(path)), fd_(fd) {}

    fs::path path_;
    int fd_ = -1;
    bool placed_ = false;
};

// Makes a finished rename survive a crash; a failure here loses nothing that
// the rename has not already made visible, so it is not reported.
void SyncDirectory(const fs::path& directory, DurabilityCalls& calls)
{
    FileDescriptor fd(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.IsOpen()) {
        calls.Sync(fd.Get());
    }
}

WriteResult SystemFailure(int error = errno) { return {WriteFailure::System, error}; }

WriteResult ReplaceFile(const fs::path& path, std::string_view text, DurabilityCalls& calls)
{
    const std::optional<fs::path> target = FollowSymlinks(path);
    if (!target) {
        return SystemFailure(ELOOP);
    }
    if (target->filename().empty()) {
        return {WriteFailure::NotARegularFile, 0};
    }
    const fs::path directory = target->has_parent_path() ? target->parent_path() : fs::path(".");
    std::error_code error;
    fs::create_directories(directory, error);
    if (error) {
        return SystemFailure(error.value());
    }

    struct stat old_file {};
    const bool has_old_file = ::stat(target->c_str(), &old_file) == 0;
    if (has_old_file && !S_ISREG(old_file.st_mode)) {
        return {WriteFailure::NotARegularFile, 0};  // never replace a directory, device or pipe
    }
    // Replacing is done through the directory, which would defeat a file its
    // owner made read-only.
    if (has_old_file && ::faccessat(AT_FDCWD, target->c_str(), W_OK, AT_EACCESS) != 0 && errno != EROFS) {
        return {WriteFailure::ReadOnlyFile, errno};
    }

    std::optional<TemporaryFile> temporary = TemporaryFile::CreateNextTo(*target);
    if (!temporary) {
        return SystemFailure();
    }
    const int fd = temporary->Descriptor();
    if (!WriteAll(fd, text)) {
        return SystemFailure();
    }
    if (has_old_file) {
        // Ownership can only be kept with the right privileges; the mode always.
        [[maybe_unused]] const int chown_result = ::fchown(fd, old_file.st_uid, old_file.st_gid);
        if (::fchmod(fd, old_file.st_mode & 07777) != 0) {
            return SystemFailure();
        }
    }
    if (calls.Sync(fd) != 0 || !temporary->Close() || !temporary->RenameTo(*target, calls)) {
        return SystemFailure();
    }
    SyncDirectory(directory, calls);
    return {};
}

}  // namespace

ReadResult ReadFile(const fs::path& path) noexcept
{
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
        std::string text;
        text.reserve(static_cast<std::size_t>(info.st_size));
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
            if (text.size() + static_cast<std::size_t>(count) > kMaxFileBytes) {
                return {ReadStatus::TooLarge, {}};
            }
            text.append(buffer, static_cast<std::size_t>(count));
        }
        return {ReadStatus::Ok, std::move(text)};
    } catch (...) {
        return {ReadStatus::Unreadable, {}};
    }
}

int DurabilityCalls::Sync(int fd) { return ::fsync(fd); }

int DurabilityCalls::Rename(const char* from, const char* to) { return ::rename(from, to); }

WriteResult ReplaceFileContents(const fs::path& path, std::string_view text, DurabilityCalls& calls) noexcept
{
    try {
        return ReplaceFile(path, text, calls);
    } catch (const std::bad_alloc&) {
        return SystemFailure(ENOMEM);
    } catch (...) {
        return SystemFailure(EIO);
    }
}

WriteResult ReplaceFileContents(const fs::path& path, std::string_view text) noexcept
{
    DurabilityCalls system_calls;
    return ReplaceFileContents(path, text, system_calls);
}

bool WriteFileAtomically(const fs::path& path, std::string_view text) noexcept
{
    return ReplaceFileContents(path, text).Ok();
}

}  // namespace vyla::ini
