#include "win32/settings_file.h"

#include <optional>
#include <utility>

#include "portable/ini/ini_io.h"

namespace vyla::win32 {
namespace {

// Closes a file handle when it goes.
class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle()
    {
        if (IsOpen())
            CloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }
    bool Close() { return CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE)) != FALSE; }

private:
    HANDLE handle_;
};

enum class ReadStatus { Ok, Missing, Unreadable, TooLarge };

struct ReadResult {
    ReadStatus status = ReadStatus::Missing;
    std::string bytes;
    DWORD error = 0;
};

ReadResult ReadWholeFile(const std::wstring& path)
{
    Handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) {
        const DWORD error = GetLastError();
        const bool absent = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return {absent ? ReadStatus::Missing : ReadStatus::Unreadable, {}, error};
    }
    if (GetFileType(file.Get()) != FILE_TYPE_DISK)
        return {ReadStatus::Unreadable, {}, 0};
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size))
        return {ReadStatus::Unreadable, {}, GetLastError()};
    if (static_cast<unsigned long long>(size.QuadPart) > ini::kMaxFileBytes)
        return {ReadStatus::TooLarge, {}, 0};
    ReadResult result{ReadStatus::Ok, {}, 0};
    result.bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD got = 0;
    if (!result.bytes.empty() && !ReadFile(file.Get(), result.bytes.data(), static_cast<DWORD>(result.bytes.size()), &got, nullptr))
        return {ReadStatus::Unreadable, {}, GetLastError()};
    result.bytes.resize(got);
    return result;
}

TProfileError ErrorFor(DWORD error)
{
    switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return TProfileError::AccessDenied;
    case ERROR_WRITE_PROTECT:
        return TProfileError::ReadOnly;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return TProfileError::DiskFull;
    case ERROR_FILE_TOO_LARGE:
        return TProfileError::TooLarge;
    default:
        return TProfileError::Other;
    }
}

std::wstring DirectoryOf(const std::wstring& path)
{
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

}  // namespace

SettingsFile::SettingsFile(std::wstring path) : path_(std::move(path)) {}

std::optional<std::string> SettingsFile::Read(const char* section, const char* key) const
{
    const ReadResult file = ReadWholeFile(path_);
    if (file.status != ReadStatus::Ok || !section || !key)
        return std::nullopt;
    return ini::FindValueInFile(file.bytes, section, key);
}

TProfileError SettingsFile::Write(const char* section, std::span<const ini::Entry> entries) const
{
    lastError_ = 0;
    const DWORD attributes = GetFileAttributesW(path_.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))
            return TProfileError::NotAFile;
        if (attributes & FILE_ATTRIBUTE_READONLY)
            return TProfileError::ReadOnly;
    }
    const ReadResult current = ReadWholeFile(path_);
    if (current.status == ReadStatus::TooLarge)
        return TProfileError::TooLarge;
    if (current.status == ReadStatus::Unreadable) {
        lastError_ = current.error;
        return current.error == ERROR_ACCESS_DENIED ? TProfileError::AccessDenied : TProfileError::Unreadable;
    }
    const std::optional<std::string> updated = ini::WithValuesInFile(current.bytes, section ? section : "", entries);
    if (!updated)
        return TProfileError::Other;
    if (updated->size() > ini::kMaxFileBytes)
        return TProfileError::TooLarge;
    if (current.status == ReadStatus::Ok && *updated == current.bytes)
        return TProfileError::None;

    auto fail = [this](DWORD error) {
        lastError_ = error;
        return ErrorFor(error);
    };
    const std::wstring temporary = DirectoryOf(path_) + L"\\.vyla-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                   std::to_wstring(GetTickCount()) + L".tmp";
    Handle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen())
        return fail(GetLastError());
    DWORD written = 0;
    // Flushed before the move: the new name must never stand for lost bytes.
    const bool stored = WriteFile(file.Get(), updated->data(), static_cast<DWORD>(updated->size()), &written, nullptr) &&
                        written == updated->size() && FlushFileBuffers(file.Get());
    const DWORD writeError = GetLastError();
    if (!file.Close() || !stored) {
        const DWORD error = stored ? GetLastError() : writeError;
        DeleteFileW(temporary.c_str());
        return fail(error ? error : ERROR_WRITE_FAULT);
    }
    if (!MoveFileExW(temporary.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileW(temporary.c_str());
        return fail(error);
    }
    return TProfileError::None;
}

}  // namespace vyla::win32
