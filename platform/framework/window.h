// TWindow: a window object bound to a system window, or an alias of one.
#pragma once

#include <string>

#include "system_api.h"
#include "framework/response_table.h"
#include "framework/point_rect.h"

class TApplication;
class TModule;

// Creation attributes; X, Y, W and H follow the window once it exists.
struct TWindowAttr {
    DWORD Style = WS_CHILD | WS_VISIBLE;
    DWORD ExStyle = 0;
    int X = CW_USEDEFAULT;
    int Y = 0;
    int W = CW_USEDEFAULT;
    int H = 0;
    int Id = 0;
};

class TWindow {
public:
    // A window to be created later by Create(). Null title: none. Null
    // module: the global module (the application, once it exists).
    TWindow(TWindow* parent, const char* title = nullptr, TModule* module = nullptr);
    // An alias for an existing window: deleting it leaves the window alone.
    explicit TWindow(HWND handle, TModule* module = nullptr);
    virtual ~TWindow();
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;

    // Registers the class if needed and creates the system window; throws
    // TXFramework when that fails.
    virtual void Create();
    // Runs once the system window exists.
    virtual void SetupWindow();
    virtual const char* GetClassName();
    virtual void GetWindowClass(WNDCLASSA& wndClass);
    // The close path: destroys the window.
    virtual void CloseWindow(int retVal = 0);
    // The response-table lookup.
    virtual bool Find(TEventInfo& info);
    // Whatever the system does with the message being handled.
    virtual LRESULT DefaultProcessing();

    void Destroy(int retVal = 0);
    bool ShowWindow(int cmdShow);
    bool SetWindowPos(HWND insertAfter, int x, int y, int w, int h, UINT flags);
    void SetParent(TWindow* parent) { Parent = parent; }
    bool PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    // A modal message box owned by this window; texts in UTF-8.
    int MessageBox(const char* text, const char* caption = nullptr, UINT type = 0);

    HWND GetHandle() const { return HWindow; }
    operator HWND() const { return HWindow; }
    TWindow* GetParentO() const { return Parent; }
    TModule* GetModule() const;
    TApplication* GetApplication() const;
    const std::string& GetTitle() const { return Title; }
    bool IsAlias() const { return Alias; }

    TWindowAttr Attr;

protected:
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // Hands an exception thrown in a handler to the message loop, which
    // rethrows it once the system has returned.
    void SuspendThrow();

    void EvCreateHandler();
    void EvClose();
    void EvDestroy();
    void EvNcDestroy();
    LRESULT EvWindowPosChanged(WPARAM wParam, LPARAM lParam);

    static LRESULT CALLBACK InitWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND HWindow = nullptr;
    TWindow* Parent = nullptr;
    std::string Title;
    TModule* Module = nullptr;
    const TEventInfo* CurrentEvent = nullptr;

private:
    // Attr's place and size from the window on the screen.
    void TakePlaceOf(HWND window);

    bool Alias = false;
};
