#include "ini/ini_file.h"

#include <utility>
#include <vector>

#include "ini/ini_document.h"

namespace vyla::ini {

namespace {

TProfileWriteResult Refused(TProfileError error, int systemCode = 0) { return {error, {}, systemCode}; }

// A failed system call: what the user is told of its error number.
TProfileWriteResult Failed(const FileSystem& files, int error)
{
    for (const ErrorMeaning& known : files.ErrorMeanings()) {
        if (known.error == error) {
            return Refused(known.meaning, error);
        }
    }
    return Refused(TProfileError::Other, error);
}

// What holds the name, if it may not be replaced.
std::optional<TProfileWriteResult> Refusal(const FileState& state)
{
    if (!state.exists) {
        return std::nullopt;
    }
    if (!state.regular) {
        return Refused(TProfileError::NotAFile);  // never replace a folder, device or pipe
    }
    // Replacing is done through the directory, which would defeat a file its
    // owner made read-only.
    if (state.readOnly) {
        return Refused(TProfileError::ReadOnly, state.readOnlyError);
    }
    return std::nullopt;
}

// The temporary file until it is renamed into place; closed and removed if
// that never happens.
class Temporary {
public:
    Temporary(FileSystem& files, TemporaryFile file) : files_(files), file_(std::move(file)) {}
    ~Temporary()
    {
        if (open_) {
            files_.Close(file_.handle);
        }
        if (!placed_) {
            files_.Remove(file_.path);
        }
    }
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;

    std::intptr_t Handle() const { return file_.handle; }

    // Closes now: an error a deferred write kept may surface only here.
    int Close()
    {
        open_ = false;
        return files_.Close(file_.handle);
    }

    int RenameOver(const Path& target)
    {
        const int error = files_.RenameOver(file_.path, target);
        placed_ = error == 0;
        return error;
    }

private:
    FileSystem& files_;
    TemporaryFile file_;
    bool open_ = true;
    bool placed_ = false;
};

// Puts text in the place of the file at path, so that readers see the old
// content or the new, never a mix.
TProfileWriteResult Replace(FileSystem& files, const Path& path, std::string_view text)
{
    Path target = path;
    if (const int error = files.ResolveLinks(target)) {
        return Failed(files, error);
    }
    if (target.filename().empty()) {
        return Refused(TProfileError::NotAFile);
    }
    const Path directory = target.has_parent_path() ? target.parent_path() : Path(".");
    if (const int error = files.CreateDirectories(directory)) {
        return Failed(files, error);
    }
    // POSIX judges the file here; Windows has already, before reading it.
    const FileState old = files.Inspect(target);
    if (const auto refused = Refusal(old)) {
        return *refused;
    }

    TemporaryFile made;
    if (const int error = files.CreateTemporaryBeside(target, made)) {
        return Failed(files, error);
    }
    Temporary temporary(files, std::move(made));
    int error = files.Write(temporary.Handle(), text);
    if (!error && old.exists) {
        error = files.TakePermissions(temporary.Handle(), target);
    }
    // Flushed before the rename: the name must never stand for lost bytes.
    if (!error) {
        error = files.Flush(temporary.Handle());
    }
    if (!error) {
        error = temporary.Close();
    }
    if (!error) {
        error = temporary.RenameOver(target);
    }
    if (error) {
        return Failed(files, error);
    }
    files.SyncDirectory(directory);
    return {};
}

TProfileWriteResult Save(FileSystem& files, const Path& path, std::string_view section, const TProfileEntries& entries)
{
    if (files.JudgesBeforeReading()) {
        if (const auto refused = Refusal(files.Inspect(path))) {
            return *refused;
        }
    }
    const ReadResult current = files.ReadWholeFile(path);
    switch (current.status) {
    case ReadStatus::TooLarge:
        return Refused(TProfileError::TooLarge);
    case ReadStatus::Denied:
    case ReadStatus::Unreadable: {
        // A folder or a pipe in its place says more than "unreadable".
        const FileState state = files.Inspect(path);
        if (state.exists && !state.regular) {
            return Refused(TProfileError::NotAFile);
        }
        const bool denied = current.status == ReadStatus::Denied;
        return Refused(denied ? TProfileError::AccessDenied : TProfileError::Unreadable, current.error);
    }
    case ReadStatus::Ok:
    case ReadStatus::Missing:
        break;
    }

    std::vector<Entry> list;
    list.reserve(entries.size());
    for (const auto& [key, value] : entries) {
        list.push_back({key, value});
    }
    const std::optional<std::string> updated = WithValuesInFile(current.bytes, section, list);
    if (!updated) {
        return Refused(TProfileError::Other);  // an entry the file could not hold
    }
    if (updated->size() > kMaxFileBytes) {
        return Refused(TProfileError::TooLarge);  // it could never be read back
    }
    if (current.status == ReadStatus::Ok && *updated == current.bytes) {
        return {};
    }
    return Replace(files, path, *updated);
}

}  // namespace

std::optional<std::string> ReadValue(FileSystem& files, const Path& path, std::string_view section,
                                     std::string_view key)
{
    try {
        const ReadResult file = files.ReadWholeFile(path);
        if (file.status != ReadStatus::Ok) {
            return std::nullopt;
        }
        return FindValueInFile(file.bytes, section, key);
    } catch (...) {
        files.ErrorForThrown();
        return std::nullopt;
    }
}

TProfileWriteResult SaveValues(FileSystem& files, const Path& path, std::string_view section,
                               const TProfileEntries& entries)
{
    try {
        return Save(files, path, section, entries);
    } catch (...) {
        return Failed(files, files.ErrorForThrown());
    }
}

}  // namespace vyla::ini
