#include "win32/monitor_covers.h"

namespace vyla::win32 {
namespace {

constexpr const char* kCoverClass = "VylaMonitorCover";
// Set on an owner once it has its covers: showing it again adds none.
constexpr const char* kCoveredProperty = "VylaMonitorsCovered";

bool Overlap(const RECT& a, const RECT& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

BOOL CALLBACK CollectMonitor(HMONITOR, HDC, LPRECT rect, LPARAM param)
{
    reinterpret_cast<std::vector<RECT>*>(param)->push_back(*rect);
    return TRUE;
}

// True when the class exists, registered now or before.
bool RegisterCoverClass(HINSTANCE instance, WNDPROC proc)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kCoverClass;
    // Registering twice fails harmlessly: the first registration stands.
    return RegisterClassA(&wc) != 0 || GetClassInfoA(instance, kCoverClass, &wc) != FALSE;
}

// A point of the cover's client area as a point of the owner's client area,
// packed as a mouse message carries it.
LPARAM InOwnerClient(HWND cover, HWND owner, LPARAM lParam)
{
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    MapWindowPoints(cover, owner, &p, 1);
    return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(p.x)), static_cast<WORD>(static_cast<SHORT>(p.y)));
}

}  // namespace

bool MonitorCovers::FillsPrimaryMonitor(HWND window)
{
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    if ((style & WS_CHILD) || !(style & WS_POPUP) || (style & WS_CAPTION) == WS_CAPTION)
        return false;
    RECT r{};
    GetWindowRect(window, &r);
    const RECT primary{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return r.left <= primary.left && r.top <= primary.top && r.right >= primary.right && r.bottom >= primary.bottom;
}

std::vector<RECT> MonitorCovers::BareMonitors(const RECT& area)
{
    std::vector<RECT> monitors;
    EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
    // Monitors do not overlap one another; one the window touches at all
    // shows the window, and a cover there would hide part of it.
    std::erase_if(monitors, [&](const RECT& m) { return Overlap(m, area); });
    return monitors;
}

void MonitorCovers::Cover(HWND owner)
{
    if (GetPropA(owner, kCoveredProperty) || !SetPropA(owner, kCoveredProperty, reinterpret_cast<HANDLE>(1)))
        return;
    RECT area{};
    GetWindowRect(owner, &area);
    const std::vector<RECT> bare = BareMonitors(area);
    if (bare.empty())
        return;
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner, GWLP_HINSTANCE));
    if (!RegisterCoverClass(instance, CoverProc))
        return;
    for (const RECT& m : bare) {
        // Above everything, as the saver is; never active, so the saver keeps
        // the keyboard and its activation.
        HWND cover = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kCoverClass, "",
                                     WS_POPUP, m.left, m.top, m.right - m.left, m.bottom - m.top, owner, nullptr,
                                     instance, nullptr);
        if (cover)
            ShowWindow(cover, SW_SHOWNOACTIVATE);
    }
}

void MonitorCovers::Forget(HWND owner)
{
    RemovePropA(owner, kCoveredProperty);
}

LRESULT CALLBACK MonitorCovers::CoverProc(HWND cover, UINT msg, WPARAM wParam, LPARAM lParam)
{
    HWND owner = GetWindow(cover, GW_OWNER);
    switch (msg) {
    case WM_MOUSEACTIVATE:
        // A click on a cover reaches the saver as a click, not as a change of
        // the active window.
        return MA_NOACTIVATE;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (owner)
            PostMessageA(owner, msg, wParam, InOwnerClient(cover, owner, lParam));
        return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (owner)
            PostMessageA(owner, msg, wParam, lParam);
        return 0;
    default:
        return DefWindowProcA(cover, msg, wParam, lParam);
    }
}

}  // namespace vyla::win32
