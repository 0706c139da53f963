#include "shell/scrnsavwin.h"

#include "framework/platform_hooks.h"

// With a parent the window is a preview: a child covering the parent's
// client area, the cursor left alone, input left to the parent.
TScrnSavWindow::TScrnSavWindow(TWindow* parent, const char* title, TModule* module)
    : TFrameWindow(parent, title, module)
{
    if (IsPreview()) {
        Attr.Style = WS_CHILD | WS_VISIBLE;
        RECT pane{};
        GetClientRect(parent->GetHandle(), &pane);
        Attr.X = 0;
        Attr.Y = 0;
        Attr.W = pane.right;
        Attr.H = pane.bottom;
        return;
    }
    ShowCursor(FALSE);
    // No caption, border or menu, and hidden until the framework shows it.
    Attr.Style = WS_POPUP;
    // Above every other window, always-on-top ones included.
    Attr.ExStyle = WS_EX_TOPMOST;
}

TScrnSavWindow::~TScrnSavWindow()
{
    if (!IsPreview())
        ShowCursor(TRUE);
}

int TScrnSavWindow::ScreenMetric(int index) const
{
    if (IsPreview() && (index == SM_CXSCREEN || index == SM_CYSCREEN))
        return index == SM_CXSCREEN ? Attr.W : Attr.H;
    return GetSystemMetrics(index);
}

const char* TScrnSavWindow::GetClassName()
{
    return "OWLScreenSaverClass";
}

void TScrnSavWindow::GetWindowClass(WNDCLASSA& wc)
{
    TWindow::GetWindowClass(wc);
    wc.hIcon = nullptr;
    wc.style |= CS_SAVEBITS;
    // Never erased: what the screen showed stays visible.
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

void TScrnSavWindow::SetupWindow()
{
    TFrameWindow::SetupWindow();
    GetCursorPos(&StartCursorPos);
    if (IsPreview()) {
        // The pane's desktop: the screen as it is now, shrunk to the pane.
        ShowScreenMiniature(GetHandle());
        return;
    }
    RECT desktop{};
    GetWindowRect(GetDesktopWindow(), &desktop);
    SetWindowPos(nullptr, desktop.left, desktop.top, desktop.right - desktop.left, desktop.bottom - desktop.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void TScrnSavWindow::StepAnimation() {}

DWORD TScrnSavWindow::NextStepDelay()
{
    return 0;
}

bool TScrnSavWindow::Find(TEventInfo& info)
{
    static constexpr TResponseTableEntry entries[] = {
        EvMouse<WM_MOUSEMOVE, &TScrnSavWindow::EvMouseMove>(),
        EvMouse<WM_LBUTTONDOWN, &TScrnSavWindow::EvButtonDown>(),
        EvMouse<WM_RBUTTONDOWN, &TScrnSavWindow::EvButtonDown>(),
        EvMouse<WM_MBUTTONDOWN, &TScrnSavWindow::EvButtonDown>(),
        ::EvActivate<&TScrnSavWindow::EvActivate>(),
        ::EvActivateApp<&TScrnSavWindow::EvActivateApp>(),
        EvKey<WM_KEYDOWN, &TScrnSavWindow::EvKeyDown>(),
        EvKey<WM_SYSKEYDOWN, &TScrnSavWindow::EvKeyDown>(),
        ::EvSysCommand<&TScrnSavWindow::EvSysCommand>(),
    };
    return SearchEntries(entries, info) || TFrameWindow::Find(info);
}

void TScrnSavWindow::RequestClose()
{
    // A preview belongs to the window it shows in, which ends it.
    if (IsPreview())
        return;
    // Posted, never sent: the window goes once the current step and handler are done.
    PostMessageA(GetHandle(), WM_CLOSE, 0, 0);
}

void TScrnSavWindow::EvMouseMove(UINT, const TPoint& point)
{
    // The client area starts at the desktop's origin, so client and screen
    // positions agree. The move reported when the window appears under the
    // cursor is at the start position and keeps the saver running.
    if (point.x != StartCursorPos.x || point.y != StartCursorPos.y)
        RequestClose();
}

void TScrnSavWindow::EvButtonDown(UINT, const TPoint&)
{
    RequestClose();
}

void TScrnSavWindow::EvActivate(UINT state, bool, HWND)
{
    if (state == WA_INACTIVE)
        RequestClose();
}

void TScrnSavWindow::EvActivateApp(bool active, DWORD)
{
    if (!active)
        RequestClose();
}

void TScrnSavWindow::EvKeyDown(UINT, UINT, UINT)
{
    RequestClose();
}

void TScrnSavWindow::EvSysCommand(UINT command, const TPoint&)
{
    // A request to start a screen saver while this one runs is swallowed.
    if ((command & 0xFFF0) == SC_SCREENSAVE)
        return;
    DefaultProcessing();
}
