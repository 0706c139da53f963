#include "portable/window_table.h"

#include "portable/winapi/functions.h"

#include <algorithm>
#include <cstring>

namespace vyla::portable {

namespace {

bool SameClassName(const std::string& a, LPCSTR b)
{
    if (a.size() != std::strlen(b))
        return false;
    return std::equal(a.begin(), a.end(), b, [](char x, char y) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

LRESULT PlainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

WindowTable::WindowTable()
{
    // The system's own classes, with the atoms Windows gives them.
    auto builtin = [this](ATOM atom, const char* name) {
        auto c = std::make_unique<WindowClass>();
        c->atom = atom;
        c->name = name;
        c->record.lpfnWndProc = PlainWindowProc;
        c->record.lpszClassName = nullptr;
        classes_.push_back(std::move(c));
    };
    builtin(0x0080, "Button");
    builtin(0x0081, "Edit");
    builtin(0x0082, "Static");
    builtin(kDialogClassAtom, "#32770");
    builtin(0x8001, "#32769");  // the desktop

    Window& desktop = Create();
    desktop.windowClass = FindClass(MAKEINTATOM(0x8001));
    desktop.proc = PlainWindowProc;
    desktop.visible = true;
    desktop_ = desktop.handle;
}

ATOM WindowTable::RegisterClass(const WNDCLASSA& record)
{
    if (!record.lpszClassName || IS_INTRESOURCE(record.lpszClassName) || !record.lpfnWndProc)
        return 0;
    if (FindClass(record.lpszClassName))
        return 0;  // already registered
    auto c = std::make_unique<WindowClass>();
    c->atom = nextAtom_++;
    c->name = record.lpszClassName;
    c->record = record;
    c->record.lpszClassName = nullptr;  // the caller's string need not outlive the call
    c->record.lpszMenuName = nullptr;
    classes_.push_back(std::move(c));
    return classes_.back()->atom;
}

const WindowClass* WindowTable::FindClass(LPCSTR nameOrAtom) const
{
    if (!nameOrAtom)
        return nullptr;
    for (const auto& c : classes_) {
        if (IS_INTRESOURCE(nameOrAtom)) {
            if (c->atom == LOWORD(reinterpret_cast<std::uintptr_t>(nameOrAtom)))
                return c.get();
        } else if (SameClassName(c->name, nameOrAtom)) {
            return c.get();
        }
    }
    return nullptr;
}

bool WindowTable::UnregisterClass(LPCSTR nameOrAtom)
{
    const WindowClass* c = FindClass(nameOrAtom);
    if (!c || c->atom < 0xC000)
        return false;
    for (const auto& [handle, w] : windows_)
        if (w->windowClass == c)
            return false;  // still in use
    std::erase_if(classes_, [c](const auto& p) { return p.get() == c; });
    return true;
}

Window& WindowTable::Create()
{
    auto w = std::make_unique<Window>();
    w->handle = reinterpret_cast<HWND>(nextHandle_);
    nextHandle_ += 4;  // handles are never reused, so a stale one finds nothing
    Window& ref = *w;
    windows_.emplace(reinterpret_cast<std::uintptr_t>(ref.handle), std::move(w));
    return ref;
}

void WindowTable::Remove(HWND handle)
{
    windows_.erase(reinterpret_cast<std::uintptr_t>(handle));
}

Window* WindowTable::Find(HWND handle)
{
    auto it = windows_.find(reinterpret_cast<std::uintptr_t>(handle));
    return it == windows_.end() ? nullptr : it->second.get();
}

std::vector<Window*> WindowTable::All()
{
    std::vector<Window*> out;
    for (auto& [h, w] : windows_)
        if (w->handle != desktop_)
            out.push_back(w.get());
    return out;
}

std::vector<Window*> WindowTable::Children(HWND parent)
{
    std::vector<Window*> out;
    for (auto& [h, w] : windows_)
        if (w->parent == parent && !w->IsTopLevel())
            out.push_back(w.get());
    return out;
}

}  // namespace vyla::portable
