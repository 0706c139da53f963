// The Win32 side of FileSystem: CreateFileW, FlushFileBuffers and MoveFileExW;
// a folder, a device or a read-only file at the name refused before reading.
#pragma once

#include "ini/file_system.h"

namespace vyla::ini {

class Win32FileSystem : public FileSystem {
public:
    ReadResult ReadWholeFile(const Path& path) override;
    // From the file's attributes.
    FileState Inspect(const Path& path) override;
    bool JudgesBeforeReading() const override { return true; }
    int ResolveLinks(Path&) override { return 0; }
    int CreateDirectories(const Path&) override { return 0; }
    // .vyla-<process>-<tick>.tmp in the target's directory.
    int CreateTemporaryBeside(const Path& target, TemporaryFile& made) override;
    int Write(std::intptr_t handle, std::string_view bytes) override;
    int TakePermissions(std::intptr_t, const Path&) override { return 0; }
    int Flush(std::intptr_t handle) override;  // FlushFileBuffers
    int Close(std::intptr_t handle) override;
    // MoveFileExW, replacing and writing through.
    int RenameOver(const Path& from, const Path& to) override;
    void Remove(const Path& path) override;
    void SyncDirectory(const Path&) override {}
    std::span<const ErrorMeaning> ErrorMeanings() const override;
    int ErrorForThrown() override { throw; }
};

}  // namespace vyla::ini
