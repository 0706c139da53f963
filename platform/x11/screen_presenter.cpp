#include "x11/screen_presenter.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <X11/Xutil.h>

namespace vyla::x11 {

// The shared memory as mapped into this process. The server's attachment is
// the presenter's business; the mapping goes with the last user.
struct ScreenPresenter::Segment {
    XShmSegmentInfo info{};

    Segment() = default;
    Segment(const Segment&) = delete;
    Segment& operator=(const Segment&) = delete;
    ~Segment()
    {
        if (info.shmaddr)
            shmdt(info.shmaddr);
    }
};

ScreenPresenter::ScreenPresenter(XConnection& connection, Size size)
    : connection_(connection), format_(PixelFormat::ForScreen(connection.Get(), connection.ScreenNumber()))
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
        return;
    }
    Display* display = connection_.Get();
    if (gc_)
        XFreeGC(display, gc_);
    if (image_) {
        if (segment_) {
            XShmDetach(display, &segment_->info);
            XSync(display, False);
        }
        image_->data = nullptr;  // the pixels are not Xlib's to free
        XDestroyImage(image_);
    }
}

bool ScreenPresenter::CreateSharedImage(Visual* visual, int depth, Size size)
{
    Display* display = connection_.Get();
    if (!XShmQueryExtension(display))
        return false;
    auto segment = std::make_shared<Segment>();
    XImage* image = XShmCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, nullptr, &segment->info,
                                    static_cast<unsigned>(size.width), static_cast<unsigned>(size.height));
    if (!image)
        return false;
    std::size_t bytes = static_cast<std::size_t>(image->bytes_per_line) * static_cast<std::size_t>(image->height);
    segment->info.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (segment->info.shmid < 0) {
        XDestroyImage(image);
        return false;
    }
    void* address = shmat(segment->info.shmid, nullptr, 0);
    if (address == reinterpret_cast<void*>(-1)) {
        shmctl(segment->info.shmid, IPC_RMID, nullptr);
        XDestroyImage(image);
        return false;
    }
    segment->info.shmaddr = image->data = static_cast<char*>(address);
    segment->info.readOnly = True;
    // A server on another machine refuses the attach; that shows only as an
    // error after a round trip.
    connection_.SyncAndTakeError();
    bool attached = XShmAttach(display, &segment->info) && connection_.SyncAndTakeError() == 0;
    // Marked for removal now, the segment goes when both sides detach, even
    // if the process ends abruptly.
    shmctl(segment->info.shmid, IPC_RMID, nullptr);
    if (!attached) {
        image->data = nullptr;
        XDestroyImage(image);
        return false;  // the segment unmaps itself
    }
    image_ = image;
    segment_ = std::move(segment);
    completionType_ = XShmGetEventBase(display) + ShmCompletion;
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

std::optional<raster::Surface> ScreenPresenter::SharedFrame() const
{
    if (!segment_ || !image_ || !format_.MatchesSurface(*image_) || image_->bytes_per_line % 4 != 0)
        return std::nullopt;
    // The surface holds the mapping through its own share of the segment.
    std::shared_ptr<raster::Pixel> pixels(segment_, reinterpret_cast<raster::Pixel*>(image_->data));
    return raster::Surface::Over(Size{image_->width, image_->height}, static_cast<std::size_t>(image_->bytes_per_line) / 4,
                                 std::move(pixels));
}

void ScreenPresenter::Present(const raster::Surface& frame, std::span<const Rect> areas, ::Window window, Point windowOrigin)
{
    if (!image_ || connection_.Lost())
        return;
    Display* display = connection_.Get();
    // The image mirrors the frame at the same coordinates.
    visible_.clear();
    for (const Rect& area : areas) {
        Rect r = area.Intersected(frame.Bounds()).Intersected(Rect::FromXYWH(0, 0, image_->width, image_->height));
        if (!r.IsEmpty())
            visible_.push_back(r);
    }
    if (visible_.empty())
        return;
    const bool inImage = frame.IsExternal() && frame.GetSize() == Size{image_->width, image_->height} &&
                         reinterpret_cast<const char*>(frame.Row(0)) == image_->data;
    // A copy must not overwrite what the server has yet to read.
    if (!inImage) {
        AwaitRead();
        for (const Rect& r : visible_)
            CopyToImage(frame, r, *image_, Point{}, format_);
    }
    auto put = [&](const Rect& r, bool last) {
        int dx = r.left - windowOrigin.x;
        int dy = r.top - windowOrigin.y;
        auto w = static_cast<unsigned>(r.Width());
        auto h = static_cast<unsigned>(r.Height());
        if (segment_) {
            // The server handles requests in order: one answer, for the last
            // area, says it has read them all.
            XShmPutImage(display, window, gc_, image_, r.left, r.top, dx, dy, w, h, last ? True : False);
        } else {
            XPutImage(display, window, gc_, image_, r.left, r.top, dx, dy, w, h);
        }
    };
    if (visible_.size() <= kSeparateAreas) {
        for (const Rect& r : visible_)
            put(r, &r == &visible_.back());
    } else {
        // Many areas (the changed pixels of a corner frame): one image
        // request over all of them, clipped to them, costs the server far
        // less than a request for each.
        clipRects_.clear();
        Rect all;
        for (const Rect& r : visible_) {
            clipRects_.push_back(XRectangle{static_cast<short>(r.left - windowOrigin.x), static_cast<short>(r.top - windowOrigin.y),
                                            static_cast<unsigned short>(r.Width()), static_cast<unsigned short>(r.Height())});
            all = all.United(r);
        }
        XSetClipRectangles(display, gc_, 0, 0, clipRects_.data(), static_cast<int>(clipRects_.size()), Unsorted);
        put(all, true);
        XSetClipMask(display, gc_, None);
    }
    if (segment_)
        ++pendingReads_;
    XFlush(display);
}

bool ScreenPresenter::TakeCompletion(const XEvent& event)
{
    if (!segment_ || event.type != completionType_)
        return false;
    if (pendingReads_ > 0)
        --pendingReads_;
    return true;
}

void ScreenPresenter::AwaitRead()
{
    if (pendingReads_ == 0)
        return;
    if (connection_.Lost()) {
        pendingReads_ = 0;
        return;
    }
    Display* display = connection_.Get();
    XEvent event;
    // Normally the answers came long ago and wait in the queue.
    while (pendingReads_ > 0 && XCheckTypedEvent(display, completionType_, &event))
        TakeCompletion(event);
    if (pendingReads_ == 0)
        return;
    // One round trip: once the server has answered it, it has read the
    // memory, and its answers are in the queue.
    XSync(display, False);
    while (!connection_.Lost() && XCheckTypedEvent(display, completionType_, &event))
        TakeCompletion(event);
    pendingReads_ = 0;
}

}  // namespace vyla::x11
