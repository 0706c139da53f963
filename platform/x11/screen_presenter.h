// Sends parts of the framebuffer to a window: through an image in shared
// memory where the server offers MIT-SHM, through XPutImage otherwise.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <span>
#include <vector>

#include "common/geometry.h"
#include "portable/raster/surface.h"
#include "x11/pixel_format.h"
#include "x11/x_connection.h"

namespace vyla::x11 {

class ScreenPresenter {
public:
    // An image of the given size in the screen's default visual and depth.
    ScreenPresenter(XConnection& connection, Size size);
    ~ScreenPresenter();
    ScreenPresenter(const ScreenPresenter&) = delete;
    ScreenPresenter& operator=(const ScreenPresenter&) = delete;

    bool UsesSharedMemory() const { return shared_; }
    bool IsValid() const { return image_ != nullptr; }

    // Shows the areas of frame (frame coordinates) in the window whose
    // top-left corner is at windowOrigin in frame coordinates.
    void Present(const raster::Surface& frame, std::span<const Rect> areas, ::Window window, Point windowOrigin);

private:
    bool CreateSharedImage(Visual* visual, int depth, Size size);
    void CreatePlainImage(Visual* visual, int depth, Size size);

    XConnection& connection_;
    PixelFormat format_;
    XImage* image_ = nullptr;
    bool shared_ = false;
    XShmSegmentInfo segment_{};
    std::vector<char> plainPixels_;
    GC gc_ = nullptr;
};

}  // namespace vyla::x11
