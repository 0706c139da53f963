// The framework's platform hooks on Windows, over the real USER, GDI and
// KERNEL: the C runtime's arguments and time, backing stores for windows
// that show what is beneath them (win32/window_surface.h), settings files by
// the system's rule with the user's own copy as fallback
// (win32/profile_location.h), Unicode dialogs and message boxes, and exact
// idle waits (win32/idle_wait.h).
#include "framework/platform_hooks.h"

#include <cstdlib>
#include <ctime>

#include "win32/idle_wait.h"
#include "win32/modal_dialog.h"
#include "win32/monitor_covers.h"
#include "win32/profile_location.h"
#include "win32/wide_text.h"
#include "win32/window_surface.h"

using vyla::win32::MonitorCovers;
using vyla::win32::ProfileLocation;
using vyla::win32::WindowSurface;

int RuntimeArgc()
{
    return __argc;
}

char** RuntimeArgv()
{
    return __argv;
}

long long CalendarTime()
{
    return static_cast<long long>(std::time(nullptr));
}

std::uint32_t& RandomState()
{
    // One sequence per process, as the C library's rand has.
    static std::uint32_t state = 1;
    return state;
}

bool EmptyCommandLineConfigures()
{
    // Explorer's Configure starts a saver without arguments.
    return true;
}

HDC AcquireWindowDC(HWND window)
{
    WindowSurface* surface = WindowSurface::Find(window);
    // A window shown before the framework could take its picture gets one
    // late: the screen under it then shows the window itself.
    if (!surface && IsWindowVisible(window) && WindowSurface::ShowsWhatIsBeneath(window))
        surface = WindowSurface::Attach(window);
    return surface ? surface->BeginDrawing() : GetDC(window);
}

void ReleaseWindowDC(HWND window, HDC dc)
{
    WindowSurface* surface = WindowSurface::Find(window);
    if (surface && surface->Dc() == dc)
        surface->EndDrawing(window);
    else
        ReleaseDC(window, dc);
}

void NoteWindowDrawing(HWND window, HDC dc)
{
    WindowSurface* surface = WindowSurface::Find(window);
    if (surface && surface->Dc() == dc)
        surface->NoteDrawing();
}

void ShowScreenMiniature(HWND window)
{
    if (WindowSurface* surface = WindowSurface::AttachMiniature(window)) {
        RECT client{};
        GetClientRect(window, &client);
        if (HDC target = GetDC(window)) {
            surface->Paint(target, client);
            ReleaseDC(window, target);
        }
    }
}

bool WindowSurfaceMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (msg) {
    case WM_SHOWWINDOW:
        // Sent while the window is still hidden: the screen shows what is beneath.
        if (wParam && WindowSurface::ShowsWhatIsBeneath(window)) {
            WindowSurface::Attach(window);
            // A saver over the primary monitor leaves no other monitor bare.
            if (MonitorCovers::FillsPrimaryMonitor(window))
                MonitorCovers::Cover(window);
        }
        return false;
    case WM_WINDOWPOSCHANGED:
        if (WindowSurface* surface = WindowSurface::Find(window);
            surface && !(reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_NOSIZE))
            surface->Resize(window);
        return false;
    case WM_ERASEBKGND:
        if (WindowSurface* surface = WindowSurface::Find(window)) {
            RECT client{};
            GetClientRect(window, &client);
            surface->Paint(reinterpret_cast<HDC>(wParam), client);
            result = 1;
            return true;
        }
        return false;
    case WM_PAINT:
        if (WindowSurface* surface = WindowSurface::Find(window)) {
            PAINTSTRUCT ps;
            if (HDC dc = BeginPaint(window, &ps)) {
                surface->Paint(dc, ps.rcPaint);
                EndPaint(window, &ps);
            }
            result = 0;
            return true;
        }
        return false;
    case WM_NCDESTROY:
        WindowSurface::Detach(window);
        MonitorCovers::Forget(window);
        return false;
    default:
        return false;
    }
}

UINT ReadProfileInt(const char* section, const char* key, int defaultValue, const char* fileName)
{
    return ProfileLocation::ForCurrentUser().ReadInt(section, key, defaultValue, fileName);
}

TProfileWriteResult WriteProfileTexts(const char* section, const TProfileEntries& entries, const char* fileName)
{
    return ProfileLocation::ForCurrentUser().WriteTexts(section, entries, fileName);
}

INT_PTR RunModalDialog(HINSTANCE instance, const char* templateName, HWND owner, DLGPROC proc, LPARAM param)
{
    return vyla::win32::RunUnicodeDialog(instance, templateName, owner, proc, param);
}

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type)
{
    // The framework's texts are UTF-8: shown through the wide call they read
    // the same under any code page.
    return MessageBoxW(owner, vyla::win32::Widened(text, CP_UTF8).c_str(), vyla::win32::Widened(caption, CP_UTF8).c_str(), type);
}

struct TIdleWait::TState {
    vyla::win32::IdleWait wait;
};

TIdleWait::TIdleWait() : State(std::make_unique<TState>()) {}

TIdleWait::~TIdleWait() = default;

void TIdleWait::Wait(DWORD timeoutMs)
{
    State->wait.Wait(timeoutMs);
}
