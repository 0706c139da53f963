// Runs a program on a desktop of its own, as the system runs a saver on
// WinSta0\Screen-saver, and lets the tests under Wine watch and end it.
//
//   vyla_desktop_host DESKTOP TIMEOUT_MS PROGRAM [ARGUMENTS...]
//
// Makes the desktop, starts the program on it and waits (up to the timeout)
// until a visible window of class "Vyla Screen Saver" shows there; prints
// "shown", or "no window" and exits 1. Then it reads standard input: the
// line "close" posts WM_CLOSE to that window, as a closing input does. It
// prints "exit N" with the program's exit code once the program ends (exit
// code 1 when it had not ended by the timeout).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "win_test_support.h"

namespace {

constexpr const wchar_t* kSaverClass = L"Vyla Screen Saver";

std::wstring Quoted(const std::wstring& arg)
{
    return arg.find_first_of(L" \t") == std::wstring::npos ? arg : L"\"" + arg + L"\"";
}

BOOL CALLBACK FindSaver(HWND window, LPARAM param)
{
    wchar_t cls[256] = {};
    GetClassNameW(window, cls, 256);
    if (IsWindowVisible(window) && std::wcscmp(cls, kSaverClass) == 0) {
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: vyla_desktop_host DESKTOP TIMEOUT_MS PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    const std::wstring name = vyla::wintest::WideUtf8(argv[1]);
    const DWORD timeout = static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10));
    std::wstring command;
    for (int i = 3; i < argc; ++i)
        command += (command.empty() ? L"" : L" ") + Quoted(vyla::wintest::WideUtf8(argv[i]));

    HDESK desktop = CreateDesktopW(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    if (!desktop) {
        std::printf("no desktop (error %lu)\n", GetLastError());
        return 1;
    }
    // Windows are found on the calling thread's desktop: join the new one
    // (this thread has no windows, so it may).
    if (!SetThreadDesktop(desktop)) {
        std::printf("cannot join the desktop (error %lu)\n", GetLastError());
        return 1;
    }
    std::wstring station = L"WinSta0\\" + name;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.lpDesktop = station.data();
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        std::printf("cannot start (error %lu)\n", GetLastError());
        return 1;
    }
    CloseHandle(process.hThread);

    HWND saver = nullptr;
    const DWORD start = GetTickCount();
    while (!saver && GetTickCount() - start < timeout &&
           WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
        EnumWindows(FindSaver, reinterpret_cast<LPARAM>(&saver));
        if (!saver)
            Sleep(50);
    }
    std::printf(saver ? "shown\n" : "no window\n");
    std::fflush(stdout);
    int code = saver ? 0 : 1;
    if (saver) {
        char line[64] = {};
        if (std::fgets(line, sizeof line, stdin) && std::strncmp(line, "close", 5) == 0)
            PostMessageW(saver, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process.hProcess, timeout) == WAIT_OBJECT_0) {
            DWORD exit = 0;
            GetExitCodeProcess(process.hProcess, &exit);
            std::printf("exit %lu\n", exit);
        } else {
            TerminateProcess(process.hProcess, 1);
            std::printf("still running\n");
            code = 1;
        }
    } else {
        TerminateProcess(process.hProcess, 1);
    }
    std::fflush(stdout);
    CloseHandle(process.hProcess);
    CloseDesktop(desktop);
    return code;
}
