#include "framework/window.h"

#include <exception>
#include <string>

#include "framework/application.h"
#include "framework/exception.h"
#include "framework/frame_window.h"
#include "framework/platform_hooks.h"
#include "framework/module.h"

namespace {

// Attaches a TWindow to its system window while it is being created.
TWindow* AttachedWindow(HWND hwnd, UINT msg, LPARAM lParam)
{
    auto* self = reinterpret_cast<TWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self && msg == WM_NCCREATE) {
        const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        self = static_cast<TWindow*>(cs->lpCreateParams);
        if (self)
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    return self;
}

}  // namespace

TWindow::TWindow(TWindow* parent, const char* title, TModule* module)
    : Parent(parent), Title(title ? title : ""), Module(module)
{
}

TWindow::TWindow(HWND handle, TModule* module) : HWindow(handle), Module(module), Alias(true)
{
    TakePlaceOf(handle);
}

void TWindow::TakePlaceOf(HWND window)
{
    RECT r{};
    if (GetWindowRect(window, &r)) {
        Attr.X = r.left;
        Attr.Y = r.top;
        Attr.W = r.right - r.left;
        Attr.H = r.bottom - r.top;
    }
}

TWindow::~TWindow()
{
    if (HWindow && !Alias && IsWindow(HWindow)) {
        // Detach first: the window's last messages must not reach a half-destroyed object.
        SetWindowLongPtrA(HWindow, GWLP_USERDATA, 0);
        DestroyWindow(HWindow);
    }
    HWindow = nullptr;
}

TModule* TWindow::GetModule() const
{
    return Module ? Module : GlobalModule;
}

TApplication* TWindow::GetApplication() const
{
    return dynamic_cast<TApplication*>(GetModule());
}

const char* TWindow::GetClassName()
{
    return "VylaWindow";
}

void TWindow::GetWindowClass(WNDCLASSA& wc)
{
    wc = WNDCLASSA{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = InitWndProc;
    wc.hInstance = GetModule() ? GetModule()->GetHandle() : nullptr;
    wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(COLOR_WINDOW + 1));
    wc.lpszClassName = GetClassName();
}

void TWindow::Create()
{
    if (HWindow)
        return;
    HINSTANCE instance = GetModule() ? GetModule()->GetHandle() : nullptr;
    const char* className = GetClassName();
    WNDCLASSA existing{};
    if (!GetClassInfoA(instance, className, &existing)) {
        WNDCLASSA wc{};
        GetWindowClass(wc);
        wc.lpszClassName = className;
        if (!RegisterClassA(&wc))
            throw TXFramework(std::string("Cannot register the window class ") + className);
    }
    HWND parent = Parent ? Parent->GetHandle() : nullptr;
    HWND hwnd = CreateWindowExA(Attr.ExStyle, className, Title.empty() ? nullptr : Title.c_str(), Attr.Style, Attr.X, Attr.Y,
                                Attr.W, Attr.H, parent, reinterpret_cast<HMENU>(static_cast<std::intptr_t>(Attr.Id)), instance,
                                this);
    if (TApplication* app = GetApplication())
        app->ResumeThrow();
    if (!hwnd)
        throw TXFramework(std::string("Cannot create the window ") + className);
    TakePlaceOf(hwnd);
}

void TWindow::SetupWindow() {}

void TWindow::CloseWindow(int retVal)
{
    Destroy(retVal);
}

void TWindow::Destroy(int)
{
    if (HWindow && !Alias)
        DestroyWindow(HWindow);
}

bool TWindow::ShowWindow(int cmdShow)
{
    return HWindow && ::ShowWindow(HWindow, cmdShow);
}

bool TWindow::SetWindowPos(HWND insertAfter, int x, int y, int w, int h, UINT flags)
{
    return HWindow && ::SetWindowPos(HWindow, insertAfter, x, y, w, h, flags);
}

int TWindow::MessageBox(const char* text, const char* caption, UINT type)
{
    return ShowMessageBox(HWindow, text ? text : "", caption ? caption : Title.c_str(), type);
}

bool TWindow::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return ::PostMessageA(HWindow, msg, wParam, lParam) != FALSE;
}

bool TWindow::Find(TEventInfo& info)
{
    static constexpr TResponseTableEntry entries[] = {
        EvVoid<WM_CREATE, &TWindow::EvCreateHandler>(),
        EvVoid<WM_CLOSE, &TWindow::EvClose>(),
        EvVoid<WM_DESTROY, &TWindow::EvDestroy>(),
        EvVoid<WM_NCDESTROY, &TWindow::EvNcDestroy>(),
        EvMessage<WM_WINDOWPOSCHANGED, &TWindow::EvWindowPosChanged>(),
    };
    return SearchEntries(entries, info);
}

void TWindow::EvCreateHandler()
{
    SetupWindow();
}

void TWindow::EvClose()
{
    CloseWindow();
}

void TWindow::EvDestroy()
{
    // The main window going ends the application's message loop.
    TApplication* app = GetApplication();
    if (app && static_cast<TWindow*>(app->GetMainWindow()) == this)
        PostQuitMessage(0);
    DefaultProcessing();
}

void TWindow::EvNcDestroy()
{
    DefaultProcessing();
    if (HWindow)
        SetWindowLongPtrA(HWindow, GWLP_USERDATA, 0);
    HWindow = nullptr;
}

LRESULT TWindow::EvWindowPosChanged(WPARAM, LPARAM lParam)
{
    if (const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam)) {
        Attr.X = pos->x;
        Attr.Y = pos->y;
        Attr.W = pos->cx;
        Attr.H = pos->cy;
    }
    return DefaultProcessing();
}

LRESULT TWindow::DefaultProcessing()
{
    if (!CurrentEvent)
        return 0;
    return DefWindowProcA(HWindow, CurrentEvent->Msg, CurrentEvent->WParam, CurrentEvent->LParam);
}

LRESULT TWindow::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    TEventInfo info{msg, msg == WM_COMMAND ? LOWORD(wParam) : 0u, msg == WM_COMMAND ? HIWORD(wParam) : 0u, wParam, lParam};
    const TEventInfo* outer = CurrentEvent;
    CurrentEvent = &info;
    LRESULT result = Find(info) ? info.Entry->Dispatcher(*this, wParam, lParam) : DefaultProcessing();
    CurrentEvent = outer;
    return result;
}

void TWindow::SuspendThrow()
{
    if (TApplication* app = GetApplication())
        app->SuspendThrow(std::current_exception());
    else
        std::terminate();
}

LRESULT CALLBACK TWindow::InitWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    // The window's surface comes first: it may paint for the window, and it
    // must see the last message even of a window whose object is gone.
    if (LRESULT handled = 0; WindowSurfaceMessage(hwnd, msg, wParam, lParam, handled))
        return handled;
    TWindow* self = AttachedWindow(hwnd, msg, lParam);
    if (!self)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    if (!self->HWindow)
        self->HWindow = hwnd;
    // Exceptions must not unwind through the system's frames.
    try {
        return self->WindowProc(msg, wParam, lParam);
    } catch (...) {
        self->SuspendThrow();
        return msg == WM_CREATE ? -1 : 0;
    }
}
