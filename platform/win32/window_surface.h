// The backing store of a window that shows what was beneath it: the screen
// picture under the window when it was shown, with everything drawn through
// the window's context since. The window's own picture is painted from it.
#pragma once

#include <memory>
#include <type_traits>

#include "system_api.h"
#include "win32/backing_store.h"

namespace vyla::win32 {

class WindowSurface {
public:
    // A window whose class background brush is the null brush and that is
    // not a child: the windows that get a surface.
    static bool ShowsWhatIsBeneath(HWND window);
    // Gives the window a surface holding the screen under its client area,
    // unless it has one; null when none could be made.
    static WindowSurface* Attach(HWND window);
    // Gives the window a surface holding the primary screen shrunk to its
    // client area, replacing any it had; null when none could be made.
    static WindowSurface* AttachMiniature(HWND window);
    static WindowSurface* Find(HWND window);
    static void Detach(HWND window);

    // Drawing through the surface: Begin gives the context to draw into, End
    // puts what changed on the window.
    HDC BeginDrawing();
    // Takes what the drawing calls so far changed as one area to show.
    void NoteDrawing();
    void EndDrawing(HWND window);
    HDC Dc() const { return store_->Dc(); }

    // Copies the area of the picture (client coordinates) into target.
    void Paint(HDC target, const RECT& area) const;
    // Follows a change of the client area's size: the picture keeps its
    // top-left part, new parts come from the screen.
    void Resize(HWND window);

private:
    explicit WindowSurface(std::unique_ptr<BackingStore> store);
    static std::unique_ptr<BackingStore> GrabScreen(HWND window);
    static std::unique_ptr<BackingStore> GrabMiniature(HWND window);
    static WindowSurface* Install(HWND window, std::unique_ptr<BackingStore> store);

    struct RegionDeleter {
        void operator()(HRGN region) const { DeleteObject(region); }
    };

    std::unique_ptr<BackingStore> store_;
    int drawers_ = 0;
    // What drawing changed since the last EndDrawing: each drawing call's
    // bounds within the clip region it drew through. A corner frame is four
    // squares, or the pixels of them it changed, not the screen between them.
    std::unique_ptr<std::remove_pointer_t<HRGN>, RegionDeleter> changed_;
};

}  // namespace vyla::win32
