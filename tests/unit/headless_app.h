// Runs the real program on the headless backend: a virtual screen, a clock
// the test moves, a settings directory of the test's own.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "headless/headless_host.h"
#include "framework/framework.h"
#include "support/text_files.h"

namespace vyla::testing {

class TempDir {
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "vyla-test-XXXXXX").string();
        path_ = mkdtemp(pattern.data()) ? std::filesystem::path(pattern) : std::filesystem::path();
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// A host and an active runtime for one test.
class HeadlessSystem {
public:
    explicit HeadlessSystem(Size screen = Size{640, 480}, ResourceSet resources = BuiltinResources())
        : host(screen, std::move(resources)), runtime(host)
    {
        host.SetProfileDirectory(settingsDir.Path());
        host.SetTick(100000);
        host.SetCalendarTime(1'700'000'000);
        host.SetCursorPos(Point{320, 240});
    }

    // Runs the program as the system would start it.
    int Run(const char* commandLine)
    {
        std::string cmd = commandLine;
        return WinMain(GetModuleHandleA(nullptr), nullptr, cmd.data(), SW_SHOWNORMAL);
    }

    std::filesystem::path SettingsFile() const { return settingsDir.Path() / "vyla.ini"; }

    TempDir settingsDir;
    headless::HeadlessHost host;
    portable::Runtime runtime;
};

}  // namespace vyla::testing
