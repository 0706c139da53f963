// A private temporary directory, removed with everything in it.
#pragma once

#include <filesystem>

namespace vyla::render {

class TempDir {
public:
    TempDir();  // throws std::runtime_error when none can be made
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace vyla::render
