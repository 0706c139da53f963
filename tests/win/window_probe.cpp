// Reports the top-level windows of the desktop it runs in, as the tests
// under Wine see the program's windows: class, title, place, and for each
// control its id, class, text and check state. Texts are printed in UTF-8.
//
//   vyla_window_probe [--wait TITLE_OR_CLASS] [--timeout MS]
//   vyla_window_probe --hold
//
// With --wait it first waits (up to the timeout, 20 s by default) until a
// visible top-level window of that class or title exists; exit code 1 when
// none came. With --hold it joins the desktop, says "holding" and stays until
// killed: a Wine desktop lasts while some process uses it, so the tests' runs
// all meet in one desktop instead of racing to start the next.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "win_test_support.h"

namespace {

std::string Utf8(const wchar_t* text)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1)
        return {};
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    out.resize(static_cast<std::size_t>(n - 1));
    return out;
}

std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        // One line per window or control, whatever its text holds.
        if (c == '\n' || c == '\r') {
            out += c == '\n' ? "\\n" : "\\r";
            continue;
        }
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + '"';
}

std::string Describe(HWND window)
{
    wchar_t cls[256] = {}, text[512] = {};
    GetClassNameW(window, cls, 256);
    // Asked of the window itself: an edit control keeps its text to itself.
    SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    RECT r{};
    GetWindowRect(window, &r);
    char line[256];
    std::snprintf(line, sizeof line, " rect=%ld,%ld,%ld,%ld style=0x%08lx", r.left, r.top, r.right, r.bottom,
                  static_cast<unsigned long>(GetWindowLongW(window, GWL_STYLE)));
    return "class=" + Quoted(Utf8(cls)) + " text=" + Quoted(Utf8(text)) + line;
}

BOOL CALLBACK PrintChild(HWND child, LPARAM)
{
    int id = GetDlgCtrlID(child);
    if (id >= 0x8000)
        id -= 0x10000;
    LRESULT check = SendMessageW(child, BM_GETCHECK, 0, 0);
    std::printf("  control id=%d %s checked=%ld\n", id, Describe(child).c_str(), static_cast<long>(check));
    return TRUE;
}

BOOL CALLBACK PrintTopLevel(HWND window, LPARAM)
{
    if (!IsWindowVisible(window))
        return TRUE;
    std::printf("window %s\n", Describe(window).c_str());
    EnumChildWindows(window, PrintChild, 0);
    return TRUE;
}

struct Search {
    std::wstring name;
    bool found = false;
};

BOOL CALLBACK FindTopLevel(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<Search*>(param);
    wchar_t cls[256] = {}, text[512] = {};
    GetClassNameW(window, cls, 256);
    GetWindowTextW(window, text, 512);
    if (IsWindowVisible(window) && (search->name == cls || search->name == text)) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--hold") == 0) {
        GetWindowThreadProcessId(GetDesktopWindow(), nullptr);
        std::printf("holding\n");
        std::fflush(stdout);
        Sleep(INFINITE);
        return 0;
    }
    const char* wait = nullptr;
    DWORD timeout = 20000;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--wait") == 0)
            wait = argv[i + 1];
        else if (std::strcmp(argv[i], "--timeout") == 0)
            timeout = static_cast<DWORD>(std::strtoul(argv[i + 1], nullptr, 10));
    }
    if (wait) {
        Search search{vyla::wintest::WideUtf8(wait)};
        DWORD start = GetTickCount();
        for (;;) {
            EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&search));
            if (search.found)
                break;
            if (GetTickCount() - start > timeout) {
                std::printf("timeout waiting for %s\n", wait);
                return 1;
            }
            Sleep(50);
        }
    }
    EnumWindows(PrintTopLevel, 0);
    std::fflush(stdout);
    return 0;
}
