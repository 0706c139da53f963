// USER functions of the portable runtime: classes, windows, messages, the cursor.
#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "portable/winapi/functions.h"
#include "portable/runtime.h"

using vyla::Point;
using vyla::Rect;
using vyla::portable::Runtime;
using vyla::portable::Window;

namespace {

constexpr DWORD kErrorInvalidWindowHandle = 1400;
constexpr DWORD kErrorCannotFindClass = 1407;

Window* FindWindowOrFail(HWND hwnd)
{
    Runtime& rt = Runtime::Current();
    Window* w = rt.Windows().Find(hwnd);
    if (!w)
        rt.lastError = kErrorInvalidWindowHandle;
    return w;
}

Rect WindowRectOf(Runtime& rt, const Window& w)
{
    if (w.handle == rt.Windows().Desktop())
        return rt.ScreenRect();
    return w.rect;
}

bool IsSameOrChild(Runtime& rt, HWND ancestor, HWND hwnd)
{
    for (Window* w = rt.Windows().Find(hwnd); w; w = w->IsTopLevel() ? nullptr : rt.Windows().Find(w->parent))
        if (w->handle == ancestor)
            return true;
    return false;
}

bool MessageMatches(Runtime& rt, const MSG& m, HWND hwnd, UINT min, UINT max)
{
    if (hwnd && !IsSameOrChild(rt, hwnd, m.hwnd))
        return false;
    return (min == 0 && max == 0) || (m.message >= min && m.message <= max);
}

bool TakeMessage(Runtime& rt, MSG* out, HWND hwnd, UINT min, UINT max, UINT remove)
{
    auto& queue = rt.Queue();
    auto it = std::find_if(queue.begin(), queue.end(), [&](const MSG& m) { return MessageMatches(rt, m, hwnd, min, max); });
    if (it == queue.end())
        return false;
    *out = *it;
    if (remove & PM_REMOVE)
        queue.erase(it);
    return true;
}

}  // namespace

ATOM RegisterClassA(const WNDCLASSA* wc)
{
    return wc ? Runtime::Current().Windows().RegisterClass(*wc) : 0;
}

BOOL GetClassInfoA(HINSTANCE, LPCSTR className, WNDCLASSA* wc)
{
    const auto* c = Runtime::Current().Windows().FindClass(className);
    if (!c || !wc)
        return FALSE;
    *wc = c->record;
    wc->lpszClassName = className;
    return TRUE;
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE)
{
    return Runtime::Current().Windows().UnregisterClass(className) ? TRUE : FALSE;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width, int height,
                     HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    Runtime& rt = Runtime::Current();
    const auto* wc = rt.Windows().FindClass(className);
    if (!wc) {
        rt.lastError = kErrorCannotFindClass;
        return nullptr;
    }
    Window* parentWindow = parent ? rt.Windows().Find(parent) : nullptr;
    if (parent && !parentWindow) {
        rt.lastError = kErrorInvalidWindowHandle;
        return nullptr;
    }
    if ((style & WS_CHILD) && !parentWindow)
        return nullptr;

    // A popup given the default position and size starts empty at the origin;
    // an overlapped window gets a sensible place on the screen.
    if (x == CW_USEDEFAULT || width == CW_USEDEFAULT) {
        Rect screen = rt.ScreenRect();
        bool popup = (style & WS_POPUP) != 0;
        if (x == CW_USEDEFAULT)
            x = y = popup ? 0 : screen.Width() / 8;
        if (width == CW_USEDEFAULT) {
            width = popup ? 0 : screen.Width() / 2;
            height = popup ? 0 : screen.Height() / 2;
        }
    }

    Window& w = rt.Windows().Create();
    w.windowClass = wc;
    w.proc = wc->record.lpfnWndProc;
    w.text = windowName ? windowName : "";
    w.style = style & ~WS_VISIBLE;
    w.exStyle = exStyle;
    if (style & WS_CHILD) {
        w.parent = parent;
        w.id = static_cast<int>(reinterpret_cast<std::intptr_t>(menu));
        Point origin = WindowRectOf(rt, *parentWindow).TopLeft();
        w.rect = Rect::FromXYWH(std::int64_t{origin.x} + x, std::int64_t{origin.y} + y, width, height);
    } else {
        w.owner = parent;
        w.rect = Rect::FromXYWH(x, y, width, height);
    }
    HWND hwnd = w.handle;

    CREATESTRUCTA cs{param, instance, menu, parent, height, width, y, x, static_cast<LONG>(style), windowName, className, exStyle};
    if (!SendMessageA(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (SendMessageA(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (!rt.Windows().Find(hwnd))
        return nullptr;  // destroyed while being created
    if (style & WS_VISIBLE)
        ShowWindow(hwnd, SW_SHOW);
    return hwnd;
}

BOOL DestroyWindow(HWND hwnd)
{
    Runtime& rt = Runtime::Current();
    Window* w = FindWindowOrFail(hwnd);
    if (!w || w->destroying || hwnd == rt.Windows().Desktop())
        return FALSE;
    w->destroying = true;
    if (w->visible) {
        w->visible = false;
        if (w->IsTopLevel())
            rt.GetHost().WindowHidden(hwnd);
    }
    SendMessageA(hwnd, WM_DESTROY, 0, 0);
    // Owned windows and children go with their window.
    std::vector<HWND> dependants;
    for (Window* other : rt.Windows().All())
        if (other->handle != hwnd && (other->parent == hwnd || other->owner == hwnd))
            dependants.push_back(other->handle);
    for (HWND other : dependants)
        if (rt.Windows().Find(other))
            DestroyWindow(other);
    SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
    // Messages posted to a window that is gone have no effect.
    std::erase_if(rt.Queue(), [hwnd](const MSG& m) { return m.hwnd == hwnd; });
    rt.Windows().Remove(hwnd);
    return TRUE;
}

BOOL IsWindow(HWND hwnd)
{
    return hwnd && Runtime::Current().Windows().Find(hwnd) ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hwnd)
{
    Window* w = Runtime::Current().Windows().Find(hwnd);
    return w && w->visible ? TRUE : FALSE;
}

BOOL ShowWindow(HWND hwnd, int cmdShow)
{
    Runtime& rt = Runtime::Current();
    Window* w = FindWindowOrFail(hwnd);
    if (!w)
        return FALSE;
    BOOL wasVisible = w->visible ? TRUE : FALSE;
    if (cmdShow == SW_HIDE) {
        if (w->visible) {
            w->visible = false;
            SendMessageA(hwnd, WM_SHOWWINDOW, FALSE, 0);
            if (w->IsTopLevel())
                rt.GetHost().WindowHidden(hwnd);
        }
        return wasVisible;
    }
    if (w->visible)
        return wasVisible;
    w->visible = true;
    SendMessageA(hwnd, WM_SHOWWINDOW, TRUE, 0);
    if (!rt.Windows().Find(hwnd) || !w->IsTopLevel())
        return wasVisible;
    rt.GetHost().WindowShown(hwnd, w->rect);
    // A top-level window that appears is activated, and one that appears
    // under the cursor is told where the cursor is, as the system does.
    SendMessageA(hwnd, WM_ACTIVATEAPP, TRUE, 0);
    if (rt.Windows().Find(hwnd))
        SendMessageA(hwnd, WM_ACTIVATE, WA_ACTIVE, 0);
    if (Window* still = rt.Windows().Find(hwnd)) {
        Point cursor = rt.GetHost().CursorPos();
        if (still->rect.Contains(cursor))
            PostMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(cursor.x - still->rect.left, cursor.y - still->rect.top));
    }
    return wasVisible;
}

BOOL UpdateWindow(HWND hwnd)
{
    return IsWindow(hwnd);
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    Runtime& rt = Runtime::Current();
    Window* w = FindWindowOrFail(hwnd);
    if (!w || hwnd == rt.Windows().Desktop())
        return FALSE;
    Rect r = w->rect;
    if (!(flags & SWP_NOMOVE))
        r = Rect::FromXYWH(x, y, r.Width(), r.Height());
    if (!(flags & SWP_NOSIZE))
        r = Rect::FromXYWH(r.left, r.top, std::max(cx, 0), std::max(cy, 0));
    w->rect = r;
    WINDOWPOS pos{hwnd, insertAfter, r.left, r.top, r.Width(), r.Height(), flags};
    if (w->visible && w->IsTopLevel())
        rt.GetHost().WindowMoved(hwnd, r);
    SendMessageA(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    return TRUE;
}

namespace {
// The window's rectangle on the screen, or its client area (windows here
// have no frames: the client area is the whole window, at 0, 0).
BOOL WindowArea(HWND hwnd, RECT* rect, bool client)
{
    Runtime& rt = Runtime::Current();
    Window* w = FindWindowOrFail(hwnd);
    if (!w || !rect)
        return FALSE;
    Rect r = WindowRectOf(rt, *w);
    *rect = client ? RECT{0, 0, r.Width(), r.Height()} : RECT{r.left, r.top, r.right, r.bottom};
    return TRUE;
}
}  // namespace

BOOL GetWindowRect(HWND hwnd, RECT* rect)
{
    return WindowArea(hwnd, rect, false);
}

BOOL GetClientRect(HWND hwnd, RECT* rect)
{
    return WindowArea(hwnd, rect, true);
}

HWND GetDesktopWindow()
{
    return Runtime::Current().Windows().Desktop();
}

HWND GetParent(HWND hwnd)
{
    Window* w = FindWindowOrFail(hwnd);
    if (!w)
        return nullptr;
    if (!w->IsTopLevel())
        return w->parent;
    return (w->style & WS_POPUP) ? w->owner : nullptr;
}

HWND GetWindow(HWND hwnd, UINT cmd)
{
    Window* w = FindWindowOrFail(hwnd);
    if (!w || cmd != GW_OWNER)
        return nullptr;
    return w->owner;
}

HWND FindWindowA(LPCSTR className, LPCSTR windowName)
{
    Runtime& rt = Runtime::Current();
    const auto* wc = className ? rt.Windows().FindClass(className) : nullptr;
    if (className && !wc)
        return nullptr;
    for (Window* w : rt.Windows().All()) {
        if (!w->IsTopLevel() || w->destroying)
            continue;
        if (wc && w->windowClass != wc)
            continue;
        if (windowName && w->text != windowName)
            continue;
        return w->handle;
    }
    return nullptr;
}

int GetWindowTextA(HWND hwnd, LPSTR buffer, int max)
{
    Window* w = FindWindowOrFail(hwnd);
    if (!buffer || max <= 0)
        return 0;
    if (!w) {
        buffer[0] = '\0';
        return 0;
    }
    std::size_t n = std::min(w->text.size(), static_cast<std::size_t>(max - 1));
    std::memcpy(buffer, w->text.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

BOOL SetWindowTextA(HWND hwnd, LPCSTR text)
{
    Window* w = FindWindowOrFail(hwnd);
    if (!w)
        return FALSE;
    w->text = text ? text : "";
    return TRUE;
}

LONG_PTR GetWindowLongPtrA(HWND hwnd, int index)
{
    Window* w = FindWindowOrFail(hwnd);
    return w && index == GWLP_USERDATA ? w->userData : 0;
}

LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value)
{
    Window* w = FindWindowOrFail(hwnd);
    if (!w || index != GWLP_USERDATA)
        return 0;
    return std::exchange(w->userData, value);
}

int GetClassNameA(HWND hwnd, LPSTR buffer, int max)
{
    Window* w = FindWindowOrFail(hwnd);
    if (!buffer || max <= 0)
        return 0;
    std::string name = w && w->windowClass ? w->windowClass->name : std::string();
    std::size_t n = std::min(name.size(), static_cast<std::size_t>(max - 1));
    std::memcpy(buffer, name.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE)
            SendMessageA(hwnd, WM_CLOSE, 0, 0);
        return 0;
    case WM_WINDOWPOSCHANGED: {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (!pos)
            return 0;
        SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(pos->x, pos->y));
        SendMessageA(hwnd, WM_SIZE, 0, MAKELPARAM(pos->cx, pos->cy));
        return 0;
    }
    default:
        return 0;
    }
}

LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return proc ? proc(hwnd, msg, wParam, lParam) : 0;
}

LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window* w = FindWindowOrFail(hwnd);
    if (!w || !w->proc)
        return 0;
    return w->proc(hwnd, msg, wParam, lParam);
}

BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Runtime& rt = Runtime::Current();
    if (hwnd && !FindWindowOrFail(hwnd))
        return FALSE;
    Point cursor = rt.GetHost().CursorPos();
    rt.Queue().push_back(MSG{hwnd, msg, wParam, lParam, rt.GetHost().TickCount(), POINT{cursor.x, cursor.y}});
    return TRUE;
}

void PostQuitMessage(int exitCode)
{
    Runtime& rt = Runtime::Current();
    rt.quitPosted = true;
    rt.quitCode = exitCode;
}

BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg)
{
    Runtime& rt = Runtime::Current();
    if (!msg)
        return FALSE;
    if (TakeMessage(rt, msg, hwnd, filterMin, filterMax, removeMsg))
        return TRUE;
    // Nothing waits: let the host turn pending input into messages.
    rt.GetHost().PollEvents();
    if (TakeMessage(rt, msg, hwnd, filterMin, filterMax, removeMsg))
        return TRUE;
    if (rt.quitPosted) {
        *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(rt.quitCode), 0, rt.GetHost().TickCount(), POINT{0, 0}};
        if (removeMsg & PM_REMOVE)
            rt.quitPosted = false;
        return TRUE;
    }
    return FALSE;
}

BOOL GetMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax)
{
    Runtime& rt = Runtime::Current();
    while (!PeekMessageA(msg, hwnd, filterMin, filterMax, PM_REMOVE))
        rt.GetHost().WaitEvents(-1);
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL TranslateMessage(const MSG*)
{
    return FALSE;
}

LRESULT DispatchMessageA(const MSG* msg)
{
    if (!msg || !msg->hwnd)
        return 0;
    return SendMessageA(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL WaitMessage()
{
    Runtime& rt = Runtime::Current();
    if (rt.Queue().empty() && !rt.quitPosted)
        rt.GetHost().WaitEvents(-1);
    return TRUE;
}

DWORD MsgWaitForMultipleObjects(DWORD, const void*, BOOL, DWORD milliseconds, DWORD)
{
    Runtime& rt = Runtime::Current();
    if (!rt.Queue().empty() || rt.quitPosted)
        return 0;
    rt.GetHost().WaitEvents(milliseconds == INFINITE ? -1 : static_cast<int>(std::min<DWORD>(milliseconds, 0x7fffffff)));
    return rt.Queue().empty() ? WAIT_TIMEOUT : 0;
}

int GetSystemMetrics(int index)
{
    Rect screen = Runtime::Current().ScreenRect();
    switch (index) {
    case SM_CXSCREEN:
        return screen.Width();
    case SM_CYSCREEN:
        return screen.Height();
    default:
        return 0;
    }
}

int ShowCursor(BOOL show)
{
    Runtime& rt = Runtime::Current();
    bool wasVisible = rt.cursorCount >= 0;
    rt.cursorCount += show ? 1 : -1;
    bool visible = rt.cursorCount >= 0;
    if (visible != wasVisible)
        rt.GetHost().CursorVisibilityChanged(visible);
    return rt.cursorCount;
}

BOOL GetCursorPos(POINT* point)
{
    if (!point)
        return FALSE;
    Point p = Runtime::Current().GetHost().CursorPos();
    *point = POINT{p.x, p.y};
    return TRUE;
}

HICON LoadIconA(HINSTANCE, LPCSTR)
{
    // The system icons exist but the portable runtime never draws them.
    return reinterpret_cast<HICON>(0x10001);
}

HCURSOR LoadCursorA(HINSTANCE, LPCSTR)
{
    return reinterpret_cast<HCURSOR>(0x10003);
}

int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT)
{
    Runtime::Current().GetHost().Report(caption ? caption : "Error", text ? text : "");
    return IDOK;
}
