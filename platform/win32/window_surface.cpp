#include "win32/window_surface.h"

#include <algorithm>

#include "win32/desktop_wallpaper.h"
#include "win32/monitor_covers.h"

namespace vyla::win32 {
namespace {

constexpr const char* kSurfaceProperty = "VylaWindowSurface";

RECT ClientSize(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    return client;
}

RECT Intersection(const RECT& a, const RECT& b)
{
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    if (r.left >= r.right || r.top >= r.bottom)
        r = RECT{};
    return r;
}

bool IsEmpty(const RECT& r)
{
    return r.left >= r.right || r.top >= r.bottom;
}

}  // namespace

bool WindowSurface::ShowsWhatIsBeneath(HWND window)
{
    if (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD)
        return false;
    auto brush = static_cast<ULONG_PTR>(GetClassLongPtrA(window, GCLP_HBRBACKGROUND));
    return brush == reinterpret_cast<ULONG_PTR>(GetStockObject(NULL_BRUSH));
}

std::unique_ptr<BackingStore> WindowSurface::GrabScreen(HWND window)
{
    RECT client = ClientSize(window);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    HDC screen = GetDC(nullptr);
    if (!screen)
        return nullptr;
    auto store = std::make_unique<BackingStore>(screen, client.right, client.bottom);
    if (store->IsOK()) {
        // On the system's own screen-saver desktop the screen shows a plain
        // colour: the picture there is the user's desktop as drawn from the
        // wallpaper settings.
        if (DesktopWallpaper::OnOwnDesktop())
            DesktopWallpaper::Paint(store->Dc(), RECT{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom});
        else
            BitBlt(store->Dc(), 0, 0, store->Width(), store->Height(), screen, origin.x, origin.y, SRCCOPY);
    }
    ReleaseDC(nullptr, screen);
    if (!store->IsOK())
        return nullptr;
    return store;
}

WindowSurface::WindowSurface(std::unique_ptr<BackingStore> store)
    : store_(std::move(store)), changed_(CreateRectRgn(0, 0, 0, 0))
{
}

WindowSurface* WindowSurface::Attach(HWND window)
{
    if (WindowSurface* existing = Find(window))
        return existing;
    return Install(window, GrabScreen(window));
}

std::unique_ptr<BackingStore> WindowSurface::GrabMiniature(HWND window)
{
    RECT client = ClientSize(window);
    HDC screen = GetDC(nullptr);
    if (!screen)
        return nullptr;
    auto store = std::make_unique<BackingStore>(screen, client.right, client.bottom);
    if (store->IsOK()) {
        // Averaged, not sampled: a shrunk picture keeps its colours.
        SetStretchBltMode(store->Dc(), HALFTONE);
        SetBrushOrgEx(store->Dc(), 0, 0, nullptr);
        StretchBlt(store->Dc(), 0, 0, store->Width(), store->Height(), screen, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                   GetSystemMetrics(SM_CYSCREEN), SRCCOPY);
    }
    ReleaseDC(nullptr, screen);
    if (!store->IsOK())
        return nullptr;
    return store;
}

WindowSurface* WindowSurface::AttachMiniature(HWND window)
{
    auto store = GrabMiniature(window);
    if (!store)
        return nullptr;
    Detach(window);
    return Install(window, std::move(store));
}

WindowSurface* WindowSurface::Install(HWND window, std::unique_ptr<BackingStore> store)
{
    if (!store)
        return nullptr;
    auto surface = std::unique_ptr<WindowSurface>(new WindowSurface(std::move(store)));
    if (!SetPropA(window, kSurfaceProperty, surface.get()))
        return nullptr;
    return surface.release();
}

WindowSurface* WindowSurface::Find(HWND window)
{
    return static_cast<WindowSurface*>(GetPropA(window, kSurfaceProperty));
}

void WindowSurface::Detach(HWND window)
{
    delete static_cast<WindowSurface*>(RemovePropA(window, kSurfaceProperty));
}

HDC WindowSurface::BeginDrawing()
{
    // The bounds GDI accumulates tell what a drawing pass changed.
    if (drawers_++ == 0)
        SetBoundsRect(Dc(), nullptr, DCB_RESET | DCB_ENABLE);
    return Dc();
}

void WindowSurface::NoteDrawing()
{
    RECT area{};
    UINT state = GetBoundsRect(Dc(), &area, DCB_RESET);
    if (state == 0)
        area = store_->Bounds();  // no bounds known: everything may have changed
    else if (!(state & DCB_SET))
        return;
    area = Intersection(area, store_->Bounds());
    if (IsEmpty(area) || !changed_)
        return;
    HRGN drawn = CreateRectRgn(area.left, area.top, area.right, area.bottom);
    HRGN clip = CreateRectRgn(0, 0, 0, 0);
    // Drawing through a clip region changed only the pixels inside it.
    if (drawn && clip && GetClipRgn(Dc(), clip) == 1)
        CombineRgn(drawn, drawn, clip, RGN_AND);
    if (drawn)
        CombineRgn(changed_.get(), changed_.get(), drawn, RGN_OR);
    DeleteObject(clip);
    DeleteObject(drawn);
}

void WindowSurface::EndDrawing(HWND window)
{
    NoteDrawing();
    RECT box{};
    if (changed_ && GetRgnBox(changed_.get(), &box) != NULLREGION) {
        if (HDC target = GetDC(window)) {
            // One copy of the whole area, limited to what changed.
            SelectClipRgn(target, changed_.get());
            Paint(target, box);
            SelectClipRgn(target, nullptr);
            ReleaseDC(window, target);
        }
        SetRectRgn(changed_.get(), 0, 0, 0, 0);
    }
    if (drawers_ > 0 && --drawers_ == 0)
        SetBoundsRect(Dc(), nullptr, DCB_DISABLE);
}

void WindowSurface::Paint(HDC target, const RECT& area) const
{
    RECT r = Intersection(area, store_->Bounds());
    if (!IsEmpty(r))
        BitBlt(target, r.left, r.top, r.right - r.left, r.bottom - r.top, store_->Dc(), r.left, r.top, SRCCOPY);
}

void WindowSurface::Resize(HWND window)
{
    RECT client = ClientSize(window);
    if (client.right == store_->Width() && client.bottom == store_->Height())
        return;
    auto store = GrabScreen(window);
    if (!store)
        return;
    BitBlt(store->Dc(), 0, 0, store_->Width(), store_->Height(), store_->Dc(), 0, 0, SRCCOPY);
    store_ = std::move(store);
}

}  // namespace vyla::win32
