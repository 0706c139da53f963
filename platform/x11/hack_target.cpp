#include "x11/hack_target.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "x11/pixel_format.h"

namespace vyla::x11 {

namespace {

// Structure changes and exposures only: input belongs to whoever owns the
// window (the daemon ends its hacks with a signal).
constexpr long kEventMask = StructureNotifyMask | ExposureMask;

std::string Hex(::Window window)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", static_cast<unsigned long>(window));
    return text;
}

}  // namespace

std::unique_ptr<HackTarget> HackTarget::Attach(XConnection& connection, ::Window window, std::string* error)
{
    Display* display = connection.Get();
    connection.SyncAndTakeError();
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes) || connection.SyncAndTakeError() != 0) {
        *error = "there is no window " + Hex(window) + " on the display";
        return nullptr;
    }
    if (attributes.c_class != InputOutput) {
        *error = "the window " + Hex(window) + " cannot be drawn in (input only)";
        return nullptr;
    }
    if (attributes.depth != DefaultDepth(display, connection.ScreenNumber())) {
        *error = "the window " + Hex(window) + " has depth " + std::to_string(attributes.depth) +
                 "; vyla draws at the screen's depth, " + std::to_string(DefaultDepth(display, connection.ScreenNumber()));
        return nullptr;
    }
    XSelectInput(display, window, kEventMask);
    // The window may have gone between the two requests.
    if (connection.SyncAndTakeError() != 0) {
        *error = "the window " + Hex(window) + " went away";
        return nullptr;
    }
    return std::unique_ptr<HackTarget>(new HackTarget(connection, window, Size{attributes.width, attributes.height}));
}

HackTarget::HackTarget(XConnection& connection, ::Window window, Size size)
    : connection_(connection), window_(window), size_(size)
{
}

HackTarget::~HackTarget()
{
    // Stop watching a window that lives on after us.
    if (!gone_ && !connection_.Lost()) {
        XSelectInput(connection_.Get(), window_, NoEventMask);
        connection_.SyncAndTakeError();
    }
}

Point HackTarget::OriginOnRoot()
{
    ::Window child = 0;
    int x = 0, y = 0;
    XTranslateCoordinates(connection_.Get(), window_, connection_.Root(), 0, 0, &x, &y, &child);
    return Point{x, y};
}

Pixmap HackTarget::PixmapProperty(::Window owner, const char* name)
{
    Display* display = connection_.Get();
    Atom property = XInternAtom(display, name, True);
    if (property == None)
        return 0;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    Pixmap pixmap = 0;
    if (XGetWindowProperty(display, owner, property, 0, 1, False, XA_PIXMAP, &type, &format, &count, &after, &data) ==
            Success &&
        type == XA_PIXMAP && format == 32 && count == 1 && data) {
        // Xlib hands 32-bit properties over as longs.
        long value = 0;
        std::memcpy(&value, data, sizeof value);
        pixmap = static_cast<Pixmap>(value);
    }
    if (data)
        XFree(data);
    return pixmap;
}

bool HackTarget::CopyFrom(Drawable drawable, Point origin, raster::Surface& picture)
{
    Display* display = connection_.Get();
    ::Window root = 0;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    connection_.SyncAndTakeError();
    if (!XGetGeometry(display, drawable, &root, &x, &y, &width, &height, &border, &depth) ||
        connection_.SyncAndTakeError() != 0)
        return false;
    if (static_cast<int>(depth) != DefaultDepth(display, connection_.ScreenNumber()))
        return false;
    // XGetImage refuses any area reaching outside the drawable.
    Rect wanted = Rect::FromXYWH(origin.x, origin.y, picture.Width(), picture.Height());
    Rect area = wanted.Intersected(Rect::FromXYWH(0, 0, width, height));
    if (area.IsEmpty())
        return false;
    XImage* image = XGetImage(display, drawable, area.left, area.top, static_cast<unsigned>(area.Width()),
                              static_cast<unsigned>(area.Height()), AllPlanes, ZPixmap);
    connection_.SyncAndTakeError();
    if (!image)
        return false;
    auto part = raster::Surface::Create(area.GetSize());
    if (part) {
        CopyFromImage(*image, *part, PixelFormat::Of(*DefaultVisual(display, connection_.ScreenNumber())));
        const int dx = area.left - origin.x;
        const int dy = area.top - origin.y;
        for (int row = 0; row < part->Height(); ++row)
            std::copy_n(part->Row(row), part->Width(), picture.Row(dy + row) + dx);
    }
    XDestroyImage(image);
    return part.has_value();
}

bool HackTarget::CopyFromPixmap(Pixmap pixmap, Point windowOnRoot, raster::Surface& picture)
{
    if (pixmap == 0)
        return false;
    ::Window root = 0;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    connection_.SyncAndTakeError();
    if (!XGetGeometry(connection_.Get(), pixmap, &root, &x, &y, &width, &height, &border, &depth) ||
        connection_.SyncAndTakeError() != 0)
        return false;
    // A picture of the window's own size is of the window itself; anything
    // else is of the screen, and the window shows the part it covers.
    const bool ofWindow = static_cast<int>(width) == picture.Width() && static_cast<int>(height) == picture.Height();
    return CopyFrom(pixmap, ofWindow ? Point{} : windowOnRoot, picture);
}

void HackTarget::ReadDesktop(raster::Surface& picture)
{
    picture.Fill(0);
    if (gone_ || connection_.Lost() || picture.Bounds().IsEmpty())
        return;
    const Point origin = OriginOnRoot();
    if (CopyFromPixmap(PixmapProperty(window_, "_SCREENSAVER_SCREENSHOT"), origin, picture))
        return;
    const ::Window root = connection_.Root();
    if (CopyFromPixmap(PixmapProperty(root, "_XROOTPMAP_ID"), origin, picture))
        return;
    if (CopyFromPixmap(PixmapProperty(root, "ESETROOT_PMAP_ID"), origin, picture))
        return;
    // What the window shows; nothing when it is not on screen.
    picture.Fill(0);
    CopyFrom(window_, Point{}, picture);
}

HackTarget::Change HackTarget::Take(const XEvent& event, Rect* exposed)
{
    if (event.xany.window != window_)
        return Change::Nothing;
    switch (event.type) {
    case Expose: {
        const XExposeEvent& e = event.xexpose;
        *exposed = Rect::FromXYWH(e.x, e.y, e.width, e.height);
        return Change::Exposed;
    }
    case ConfigureNotify: {
        // Only the window's own notices: a child's come with event != window.
        const XConfigureEvent& e = event.xconfigure;
        if (e.event != window_)
            return Change::Nothing;
        Size size{e.width, e.height};
        if (size == size_)
            return Change::Nothing;
        size_ = size;
        return Change::Resized;
    }
    case DestroyNotify:
        if (event.xdestroywindow.window != window_)
            return Change::Nothing;
        gone_ = true;
        return Change::Destroyed;
    default:
        return Change::Nothing;
    }
}

}  // namespace vyla::x11
