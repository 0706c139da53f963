// Sends parts of the framebuffer to a window: through an image in shared
// memory where the server offers MIT-SHM, through XPutImage otherwise.
//
// When the shared image's pixels are laid out as a raster surface's, the
// framebuffer itself can live in the shared memory (SharedFrame): showing a
// changed square then costs one request and no copy. The server reads that
// memory when it gets to the request, so nothing may be drawn into it until
// the server says it is done (ReadPending, AwaitRead).
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <memory>
#include <optional>
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

    bool UsesSharedMemory() const { return segment_ != nullptr; }
    bool IsValid() const { return image_ != nullptr; }

    // A surface of the image's size whose pixels are the shared image's, or
    // nullopt when there is no shared image or its layout differs from a
    // surface's. The surface keeps the memory mapped for as long as it lives,
    // even past the presenter.
    std::optional<raster::Surface> SharedFrame() const;

    // Shows the areas of frame (frame coordinates) in the window whose
    // top-left corner is at windowOrigin in frame coordinates. A frame from
    // SharedFrame() is sent as it is; any other is copied into the image.
    void Present(const raster::Surface& frame, std::span<const Rect> areas, ::Window window, Point windowOrigin);

    // The server may still be reading shared memory for a Present.
    bool ReadPending() const { return pendingReads_ > 0; }
    // Returns once the server has read everything presented so far; events
    // other than the server's answers stay queued.
    void AwaitRead();
    // Takes one of the server's answers; false for any other event.
    bool TakeCompletion(const XEvent& event);

private:
    struct Segment;

    bool CreateSharedImage(Visual* visual, int depth, Size size);
    void CreatePlainImage(Visual* visual, int depth, Size size);

    XConnection& connection_;
    PixelFormat format_;
    XImage* image_ = nullptr;
    std::shared_ptr<Segment> segment_;  // null without shared memory
    int completionType_ = -1;
    int pendingReads_ = 0;
    // Up to this many areas are sent one request each.
    static constexpr std::size_t kSeparateAreas = 8;

    std::vector<Rect> visible_;  // Present's clipped areas, kept for reuse
    std::vector<XRectangle> clipRects_;
    std::vector<char> plainPixels_;
    GC gc_ = nullptr;
};

}  // namespace vyla::x11
