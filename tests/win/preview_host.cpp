// A stand-in for the system's screen-saver settings: a window with a
// 200 x 150 preview pane inside a drawn monitor, a "Settings..." and a
// "Preview" button. It starts a saver module as the system does and reports
// what the module did, or runs the preview in its own process.
//
//   vyla_preview_host spawn MODULE ARGS [--wait child|window|exit] [--cpu MS]
//                     [--end destroy-pane|close-host|close-window|none]
//       ARGS is the module's command line; {pane} and {host} in it become the
//       pane's and the host window's numbers. The host waits (20 s at most)
//       for the module to put a window in the pane (child), to show a
//       top-level window (window) or to end (exit), prints the module's
//       windows, measures its processor time over MS milliseconds, ends it
//       the way --end says, and prints its exit code and how long it took.
//   vyla_preview_host topmost X Y W H
//       shows an always-on-top window there that changes colour five times a
//       second, says "topmost" and stays until killed.
//   vyla_preview_host inside STOPFILE
//       runs the preview of this program's own saver (linked in) in its pane,
//       until the file STOPFILE exists; then destroys the pane.
//
// Output lines: "host rect=L,T,R,B pane=L,T,R,B", then for spawn
// "toplevel ..." and "child ..." lines, "cpu percent=P wall_ms=W", "alive 1"
// when the module still runs before the host ends it,
// "ended code=C after_ms=M" (or "ended never").
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "win_test_support.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int);

namespace {

constexpr int kPaneW = 200, kPaneH = 150;
constexpr int kPaneX = 90, kPaneY = 36;
constexpr const char* kHostTitle = "Vyla preview host";

HWND gHost = nullptr;
HWND gPane = nullptr;
const char* gStopFile = nullptr;

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        // The monitor around the pane, and its stand.
        HBRUSH bezel = CreateSolidBrush(RGB(40, 40, 46));
        HBRUSH stand = CreateSolidBrush(RGB(120, 120, 128));
        RECT frame{kPaneX - 12, kPaneY - 12, kPaneX + kPaneW + 12, kPaneY + kPaneH + 14};
        FillRect(dc, &frame, bezel);
        RECT neck{kPaneX + kPaneW / 2 - 14, frame.bottom, kPaneX + kPaneW / 2 + 14, frame.bottom + 14};
        FillRect(dc, &neck, stand);
        RECT foot{kPaneX + kPaneW / 2 - 50, neck.bottom, kPaneX + kPaneW / 2 + 50, neck.bottom + 6};
        FillRect(dc, &foot, stand);
        DeleteObject(bezel);
        DeleteObject(stand);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_TIMER:
        if (gStopFile && GetFileAttributesA(gStopFile) != INVALID_FILE_ATTRIBUTES && gPane) {
            KillTimer(hwnd, 1);
            DestroyWindow(gPane);
            gPane = nullptr;
        }
        return 0;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

void PrintRect(const char* name, HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    std::printf(" %s=%ld,%ld,%ld,%ld", name, r.left, r.top, r.right, r.bottom);
}

// The settings-like window; hidden until Show, so that what the screen
// shows can be chosen by the caller.
void MakeHost(bool visible)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "VylaPreviewHost";
    RegisterClassA(&wc);
    WNDCLASSA pc{};
    pc.lpfnWndProc = DefWindowProcA;
    pc.hInstance = instance;
    pc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    pc.lpszClassName = "VylaPreviewPane";
    RegisterClassA(&pc);

    RECT outer{0, 0, 380, 330};
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    AdjustWindowRect(&outer, style, FALSE);
    gHost = CreateWindowExA(0, wc.lpszClassName, kHostTitle, style, 360, 120, outer.right - outer.left,
                            outer.bottom - outer.top, nullptr, nullptr, instance, nullptr);
    gPane = CreateWindowExA(0, pc.lpszClassName, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, kPaneX, kPaneY, kPaneW,
                            kPaneH, gHost, nullptr, instance, nullptr);
    CreateWindowExA(0, "STATIC", "Screen saver", WS_CHILD | WS_VISIBLE, 20, 240, 100, 18, gHost, nullptr, instance, nullptr);
    HWND list = CreateWindowExA(0, "COMBOBOX", nullptr, WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 20, 260, 170, 200, gHost,
                                nullptr, instance, nullptr);
    SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Vyla Screen Saver"));
    SendMessageA(list, CB_SETCURSEL, 0, 0);
    CreateWindowExA(0, "BUTTON", "Settings...", WS_CHILD | WS_VISIBLE, 200, 259, 80, 24, gHost, nullptr, instance, nullptr);
    CreateWindowExA(0, "BUTTON", "Preview", WS_CHILD | WS_VISIBLE, 288, 259, 72, 24, gHost, nullptr, instance, nullptr);
    if (visible)
        ShowWindow(gHost, SW_SHOW);
}

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    for (std::size_t at; (at = text.find(from)) != std::string::npos;)
        text.replace(at, from.size(), to);
    return text;
}

struct Found {
    DWORD pid;
    HWND window = nullptr;
};

BOOL CALLBACK PrintProcessWindow(HWND window, LPARAM param)
{
    auto* found = reinterpret_cast<Found*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != found->pid || !IsWindowVisible(window))
        return TRUE;
    char cls[128] = {}, text[128] = {};
    GetClassNameA(window, cls, sizeof cls);
    GetWindowTextA(window, text, sizeof text);
    std::printf("toplevel class=\"%s\" text=\"%s\"", cls, text);
    PrintRect("rect", window);
    HWND owner = GetWindow(window, GW_OWNER);
    std::printf(" owner=%s exstyle=0x%08lx\n", owner == gHost ? "host" : owner ? "other" : "none",
                static_cast<unsigned long>(GetWindowLongA(window, GWL_EXSTYLE)));
    if (!found->window)
        found->window = window;
    return TRUE;
}

// Only counted, not printed, while waiting.
BOOL CALLBACK FindProcessWindow(HWND window, LPARAM param)
{
    auto* f = reinterpret_cast<Found*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == f->pid && IsWindowVisible(window)) {
        f->window = window;
        return FALSE;
    }
    return TRUE;
}

bool ProcessHasWindow(DWORD pid)
{
    Found found{pid};
    EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&found));
    return found.window != nullptr;
}

void PrintPaneChildren()
{
    if (!gPane || !IsWindow(gPane))
        return;
    for (HWND child = GetWindow(gPane, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[128] = {};
        GetClassNameA(child, cls, sizeof cls);
        DWORD pid = 0;
        GetWindowThreadProcessId(child, &pid);
        std::printf("child class=\"%s\" style=0x%08lx pid=%s", cls, static_cast<unsigned long>(GetWindowLongA(child, GWL_STYLE)),
                    pid == GetCurrentProcessId() ? "host" : "module");
        PrintRect("rect", child);
        std::printf(" visible=%d\n", IsWindowVisible(child) ? 1 : 0);
    }
}

unsigned long long FileTimeValue(const FILETIME& t)
{
    return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

unsigned long long ProcessorTime(HANDLE process)
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        return 0;
    return FileTimeValue(kernel) + FileTimeValue(user);  // 100 ns units
}

int Spawn(int argc, char** argv)
{
    if (argc < 4)
        return 2;
    const std::string module = argv[2];
    std::string args = argv[3];
    std::string wait = "child", end = "none";
    DWORD cpuMs = 0;
    for (int i = 4; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--wait") == 0)
            wait = argv[i + 1];
        else if (std::strcmp(argv[i], "--end") == 0)
            end = argv[i + 1];
        else if (std::strcmp(argv[i], "--cpu") == 0)
            cpuMs = static_cast<DWORD>(std::strtoul(argv[i + 1], nullptr, 10));
        else
            return 2;
    }
    MakeHost(true);
    vyla::wintest::PumpMessages(300);
    std::printf("host");
    PrintRect("rect", gHost);
    PrintRect("pane", gPane);
    std::printf("\n");
    std::fflush(stdout);
    const auto number = [](HWND w) { return std::to_string(reinterpret_cast<std::uintptr_t>(w)); };
    args = Replace(Replace(args, "{pane}", number(gPane)), "{host}", number(gHost));
    std::string commandLine = "\"" + module + "\"" + (args.empty() ? "" : " " + args);

    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(module.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        std::printf("cannot start %s\n", module.c_str());
        return 1;
    }
    CloseHandle(pi.hThread);

    const DWORD start = GetTickCount();
    for (;;) {
        vyla::wintest::PumpMessages(20);
        const bool exited = WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0;
        if (wait == "exit" && exited)
            break;
        if (wait == "child" && gPane && GetWindow(gPane, GW_CHILD))
            break;
        if (wait == "window" && ProcessHasWindow(pi.dwProcessId))
            break;
        if (exited || GetTickCount() - start > 20000)
            break;
    }
    vyla::wintest::PumpMessages(300);  // let a window that was just made settle
    Found found{pi.dwProcessId};
    EnumWindows(PrintProcessWindow, reinterpret_cast<LPARAM>(&found));
    PrintPaneChildren();

    if (cpuMs) {
        const unsigned long long before = ProcessorTime(pi.hProcess);
        const DWORD wallStart = GetTickCount();
        vyla::wintest::PumpMessages(cpuMs);
        const DWORD wall = GetTickCount() - wallStart;
        const unsigned long long used = ProcessorTime(pi.hProcess) - before;
        std::printf("cpu percent=%.3f wall_ms=%lu\n", wall ? used / 100.0 / wall : 0.0, static_cast<unsigned long>(wall));
    }

    std::printf("alive %d\n", WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT ? 1 : 0);
    const DWORD endStart = GetTickCount();
    if (end == "destroy-pane" && gPane) {
        DestroyWindow(gPane);
        gPane = nullptr;
    } else if (end == "close-host") {
        DestroyWindow(gHost);
    } else if (end == "close-window" && found.window) {
        PostMessageA(found.window, WM_CLOSE, 0, 0);
    }
    DWORD code = STILL_ACTIVE;
    while (GetTickCount() - endStart < 10000) {
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0)
            break;
        vyla::wintest::PumpMessages(5);
    }
    if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0 && GetExitCodeProcess(pi.hProcess, &code))
        std::printf("ended code=%lu after_ms=%lu\n", static_cast<unsigned long>(code),
                    static_cast<unsigned long>(GetTickCount() - endStart));
    else
        std::printf("ended never\n");
    std::fflush(stdout);
    TerminateProcess(pi.hProcess, 99);
    CloseHandle(pi.hProcess);
    if (gHost && IsWindow(gHost))
        DestroyWindow(gHost);
    return 0;
}

int Inside(const char* stopFile)
{
    gStopFile = stopFile;
    // Hidden while the preview takes its picture of the screen, so that the
    // picture is the bare desktop; shown as soon as the loop runs.
    MakeHost(false);
    std::printf("host");
    PrintRect("rect", gHost);
    PrintRect("pane", gPane);
    std::printf("\n");
    std::fflush(stdout);
    SetTimer(gHost, 1, 100, nullptr);
    PostMessageA(gHost, WM_NULL, 0, 0);
    struct Shower {
        static void CALLBACK Show(HWND window, UINT, UINT_PTR id, DWORD)
        {
            KillTimer(window, id);
            ShowWindow(window, SW_SHOW);
            UpdateWindow(window);
        }
    };
    SetTimer(gHost, 2, 10, Shower::Show);
    std::string commandLine = "/p " + std::to_string(reinterpret_cast<std::uintptr_t>(gPane));
    const int code = WinMain(GetModuleHandleA(nullptr), nullptr, commandLine.data(), SW_SHOWNORMAL);
    std::printf("ended code=%d\n", code);
    std::fflush(stdout);
    DestroyWindow(gHost);
    return code;
}

LRESULT CALLBACK BlinkProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    static int phase = 0;
    switch (msg) {
    case WM_TIMER:
        ++phase;
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        HBRUSH brush = CreateSolidBrush(phase % 2 ? RGB(255, 0, 255) : RGB(0, 255, 0));
        RECT r{};
        GetClientRect(hwnd, &r);
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        EndPaint(hwnd, &ps);
        return 0;
    }
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

int Topmost(char** argv)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = BlinkProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VylaTopmostBlink";
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, "Vyla topmost", WS_POPUP | WS_VISIBLE,
                             std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]), nullptr, nullptr,
                             wc.hInstance, nullptr);
    SetTimer(w, 1, 200, nullptr);
    vyla::wintest::PumpMessages(300);
    std::printf("topmost\n");
    std::fflush(stdout);
    for (;;)
        vyla::wintest::PumpMessages(1000);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "spawn") == 0)
        return Spawn(argc, argv);
    if (argc == 6 && std::strcmp(argv[1], "topmost") == 0)
        return Topmost(argv);
    if (argc == 3 && std::strcmp(argv[1], "inside") == 0)
        return Inside(argv[2]);
    std::fprintf(stderr, "usage: vyla_preview_host spawn MODULE ARGS [options] | topmost X Y W H | inside STOPFILE\n");
    return 2;
}
