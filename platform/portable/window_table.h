// Windows and window classes of the portable runtime.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/geometry.h"
#include "portable/winapi/types.h"

namespace vyla::portable {

struct WindowClass {
    ATOM atom = 0;
    std::string name;
    WNDCLASSA record{};
};

struct Window {
    HWND handle = nullptr;
    const WindowClass* windowClass = nullptr;
    WNDPROC proc = nullptr;
    std::string text;
    DWORD style = 0;
    DWORD exStyle = 0;
    Rect rect;             // screen coordinates
    HWND parent = nullptr;  // child windows
    HWND owner = nullptr;   // top-level windows
    int id = 0;
    LONG_PTR userData = 0;
    bool visible = false;
    bool destroying = false;

    // Buttons and edit boxes of dialogs.
    UINT checkState = BST_UNCHECKED;
    // Dialogs.
    DLGPROC dialogProc = nullptr;
    bool dialogEnded = false;
    INT_PTR dialogResult = 0;

    bool IsTopLevel() const { return (style & WS_CHILD) == 0; }
};

class WindowTable {
public:
    WindowTable();

    static constexpr ATOM kDialogClassAtom = 0x8002;

    ATOM RegisterClass(const WNDCLASSA& record);
    const WindowClass* FindClass(LPCSTR nameOrAtom) const;
    bool UnregisterClass(LPCSTR nameOrAtom);

    Window& Create();
    void Remove(HWND handle);
    Window* Find(HWND handle);
    HWND Desktop() const { return desktop_; }

    // Windows in creation order (the desktop excluded).
    std::vector<Window*> All();
    std::vector<Window*> Children(HWND parent);

private:
    std::map<std::uintptr_t, std::unique_ptr<Window>> windows_;
    std::vector<std::unique_ptr<WindowClass>> classes_;
    std::uintptr_t nextHandle_ = 0x1000;
    ATOM nextAtom_ = 0xC000;
    HWND desktop_ = nullptr;
};

}  // namespace vyla::portable
