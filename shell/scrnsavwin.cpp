#include "shell/scrnsavwin.h"

TScrnSavWindow::TScrnSavWindow(TWindow* parent, const char* title, TModule* module)
    : TFrameWindow(parent, title, nullptr, false, module)
{
    ShowCursor(FALSE);
    // No caption, border or menu, and hidden until the framework shows it.
    Attr.Style = WS_POPUP;
}

TScrnSavWindow::~TScrnSavWindow()
{
    ShowCursor(TRUE);
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
