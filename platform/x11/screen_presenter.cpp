#include "x11/screen_presenter.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <X11/Xutil.h>

namespace vyla::x11 {

ScreenPresenter::ScreenPresenter(XConnection& connection, Size size)
    : connection_(connection), format_(PixelFormat::Of(*DefaultVisual(connection.Get(), connection.ScreenNumber())))
{
    Display* display = connection_.Get();
    int screen = connection_.ScreenNumber();
    Visual* visual = DefaultVisual(display, screen);
    int depth = DefaultDepth(display, screen);
    if (size.IsEmpty())
        return;
    if (!CreateSharedImage(visual, depth, size))
        CreatePlainImage(visual, depth, size);
    gc_ = XCreateGC(display, RootWindow(display, screen), 0, nullptr);
}

ScreenPresenter::~ScreenPresenter()
{
    if (connection_.Lost()) {
        // The server is gone: free what is only memory here (destroying an
        // image sends nothing), and leave the GC to the dead connection.
        if (image_) {
            image_->data = nullptr;
            XDestroyImage(image_);
        }
        if (shared_)
            shmdt(segment_.shmaddr);
        return;
    }
    Display* display = connection_.Get();
    if (gc_)
        XFreeGC(display, gc_);
    if (image_) {
        if (shared_) {
            XShmDetach(display, &segment_);
            XSync(display, False);
        }
        image_->data = nullptr;  // the pixels are not Xlib's to free
        XDestroyImage(image_);
    }
    if (shared_)
        shmdt(segment_.shmaddr);
}

bool ScreenPresenter::CreateSharedImage(Visual* visual, int depth, Size size)
{
    Display* display = connection_.Get();
    if (!XShmQueryExtension(display))
        return false;
    XImage* image = XShmCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, nullptr, &segment_,
                                    static_cast<unsigned>(size.width), static_cast<unsigned>(size.height));
    if (!image)
        return false;
    std::size_t bytes = static_cast<std::size_t>(image->bytes_per_line) * static_cast<std::size_t>(image->height);
    segment_.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (segment_.shmid < 0) {
        XDestroyImage(image);
        return false;
    }
    void* address = shmat(segment_.shmid, nullptr, 0);
    if (address == reinterpret_cast<void*>(-1)) {
        shmctl(segment_.shmid, IPC_RMID, nullptr);
        XDestroyImage(image);
        return false;
    }
    segment_.shmaddr = image->data = static_cast<char*>(address);
    segment_.readOnly = True;
    // A server on another machine refuses the attach; that shows only as an
    // error after a round trip.
    connection_.SyncAndTakeError();
    bool attached = XShmAttach(display, &segment_) && connection_.SyncAndTakeError() == 0;
    // Marked for removal now, the segment goes when both sides detach, even
    // if the process ends abruptly.
    shmctl(segment_.shmid, IPC_RMID, nullptr);
    if (!attached) {
        shmdt(address);
        image->data = nullptr;
        XDestroyImage(image);
        return false;
    }
    image_ = image;
    shared_ = true;
    return true;
}

void ScreenPresenter::CreatePlainImage(Visual* visual, int depth, Size size)
{
    Display* display = connection_.Get();
    // The pad of 32 bits per scan line and bytes per line computed by Xlib.
    XImage* image = XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                                 static_cast<unsigned>(size.width), static_cast<unsigned>(size.height), 32, 0);
    if (!image)
        return;
    plainPixels_.assign(static_cast<std::size_t>(image->bytes_per_line) * static_cast<std::size_t>(image->height), 0);
    image->data = plainPixels_.data();
    image_ = image;
}

void ScreenPresenter::Present(const raster::Surface& frame, std::span<const Rect> areas, ::Window window, Point windowOrigin)
{
    if (!image_ || connection_.Lost() || areas.empty())
        return;
    Display* display = connection_.Get();
    // The image mirrors the frame at the same coordinates.
    for (const Rect& area : areas) {
        Rect r = area.Intersected(frame.Bounds()).Intersected(Rect::FromXYWH(0, 0, image_->width, image_->height));
        if (r.IsEmpty())
            continue;
        CopyToImage(frame, r, *image_, Point{}, format_);
        int dx = r.left - windowOrigin.x;
        int dy = r.top - windowOrigin.y;
        auto w = static_cast<unsigned>(r.Width());
        auto h = static_cast<unsigned>(r.Height());
        if (shared_)
            XShmPutImage(display, window, gc_, image_, r.left, r.top, dx, dy, w, h, False);
        else
            XPutImage(display, window, gc_, image_, r.left, r.top, dx, dy, w, h);
    }
    // The server reads shared memory when it gets to the request: wait for
    // that before the next frame writes into it.
    if (shared_)
        XSync(display, False);
    else
        XFlush(display);
}

}  // namespace vyla::x11
