#include "ini/win32_file_system.h"

#include <utility>

#include "system_api.h"

namespace vyla::ini {

namespace {

// Closes a file handle when it goes.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle()
    {
        if (IsOpen())
            CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

HANDLE HandleOf(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

int Code(DWORD error) { return static_cast<int>(error); }

// The last error, or fallback when a call failed without setting one.
int LastErrorOr(DWORD fallback)
{
    const DWORD error = GetLastError();
    return Code(error ? error : fallback);
}

ReadResult Unreadable(DWORD error)
{
    return {error == ERROR_ACCESS_DENIED ? ReadStatus::Denied : ReadStatus::Unreadable, {}, Code(error)};
}

std::wstring DirectoryOf(const std::wstring& path)
{
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

}  // namespace

ReadResult Win32FileSystem::ReadWholeFile(const Path& path)
{
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return {ReadStatus::Missing, {}};
        return Unreadable(error);
    }
    if (GetFileType(file.Get()) != FILE_TYPE_DISK)
        return Unreadable(0);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size))
        return Unreadable(GetLastError());
    if (static_cast<unsigned long long>(size.QuadPart) > kMaxFileBytes)
        return {ReadStatus::TooLarge, {}, 0};
    ReadResult result{ReadStatus::Ok, {}, 0};
    result.bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD got = 0;
    if (!result.bytes.empty() &&
        !ReadFile(file.Get(), result.bytes.data(), static_cast<DWORD>(result.bytes.size()), &got, nullptr))
        return Unreadable(GetLastError());
    result.bytes.resize(got);
    return result;
}

FileState Win32FileSystem::Inspect(const Path& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return {};
    return {true, !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)),
            (attributes & FILE_ATTRIBUTE_READONLY) != 0, 0};
}

int Win32FileSystem::CreateTemporaryBeside(const Path& target, TemporaryFile& made)
{
    std::wstring path = DirectoryOf(target.native()) + L"\\.vyla-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                        std::to_wstring(GetTickCount()) + L".tmp";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return Code(GetLastError());
    made = {Path(std::move(path)), reinterpret_cast<std::intptr_t>(file)};
    return 0;
}

int Win32FileSystem::Write(std::intptr_t handle, std::string_view bytes)
{
    DWORD written = 0;
    if (!WriteFile(HandleOf(handle), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
        return LastErrorOr(ERROR_WRITE_FAULT);
    return 0;
}

int Win32FileSystem::Flush(std::intptr_t handle)
{
    return FlushFileBuffers(HandleOf(handle)) ? 0 : LastErrorOr(ERROR_WRITE_FAULT);
}

int Win32FileSystem::Close(std::intptr_t handle)
{
    return CloseHandle(HandleOf(handle)) ? 0 : LastErrorOr(ERROR_WRITE_FAULT);
}

int Win32FileSystem::RenameOver(const Path& from, const Path& to)
{
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 0;
    return Code(GetLastError());
}

void Win32FileSystem::Remove(const Path& path) { DeleteFileW(path.c_str()); }

std::span<const ErrorMeaning> Win32FileSystem::ErrorMeanings() const
{
    static constexpr ErrorMeaning kMeanings[] = {
        {ERROR_ACCESS_DENIED, TProfileError::AccessDenied}, {ERROR_SHARING_VIOLATION, TProfileError::AccessDenied},
        {ERROR_LOCK_VIOLATION, TProfileError::AccessDenied}, {ERROR_WRITE_PROTECT, TProfileError::ReadOnly},
        {ERROR_DISK_FULL, TProfileError::DiskFull},         {ERROR_HANDLE_DISK_FULL, TProfileError::DiskFull},
        {ERROR_FILE_TOO_LARGE, TProfileError::TooLarge},
    };
    return kMeanings;
}

}  // namespace vyla::ini
