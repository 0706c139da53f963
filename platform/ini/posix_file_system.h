// The POSIX side of FileSystem: descriptors, fsync and rename, symbolic links
// written through, a missing directory created, owner and mode kept.
#pragma once

#include "ini/file_system.h"

namespace vyla::ini {

class PosixFileSystem : public FileSystem {
public:
    ReadResult ReadWholeFile(const Path& path) override;
    FileState Inspect(const Path& path) override;
    bool JudgesBeforeReading() const override { return false; }
    int ResolveLinks(Path& path) override;
    int CreateDirectories(const Path& directory) override;
    int CreateTemporaryBeside(const Path& target, TemporaryFile& made) override;
    int Write(std::intptr_t handle, std::string_view bytes) override;
    int TakePermissions(std::intptr_t handle, const Path& old) override;
    int Flush(std::intptr_t handle) override;  // fsync
    int Close(std::intptr_t handle) override;
    int RenameOver(const Path& from, const Path& to) override;  // rename
    void Remove(const Path& path) override;
    // fsync of the directory, through Flush.
    void SyncDirectory(const Path& directory) override;
    std::span<const ErrorMeaning> ErrorMeanings() const override;
    int ErrorForThrown() override;
};

}  // namespace vyla::ini
