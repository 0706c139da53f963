// The real program on the headless backend: a virtual screen, a clock the
// test moves, a settings directory of the test's own.
#pragma once

#include <filesystem>
#include <string>

#include "framework/framework.h"
#include "headless/headless_host.h"
#include "support/temp_dir.h"
#include "support/text_files.h"

namespace vyla::testing {

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

// A window's number as the system writes it on a command line ("/p 1234").
inline std::string WindowNumber(HWND window)
{
    return std::to_string(reinterpret_cast<std::uintptr_t>(window));
}

// A window of the system's dialog class, as another program's settings window.
inline HWND MakeDialogClassWindow(DWORD style, int x, int y, int w, int h, HWND parent = nullptr)
{
    return CreateWindowExA(0, MAKEINTATOM(0x8002), "", style, x, y, w, h, parent, nullptr, nullptr, nullptr);
}

}  // namespace vyla::testing
