#include "x_client.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <png.h>

#include <cstring>
#include <vector>

#include "x11/pixel_format.h"

namespace vyla::x11::testing {

namespace {

int IgnoreErrors(Display*, XErrorEvent*)
{
    return 0;  // windows may vanish while the tests look at them
}

}  // namespace

std::unique_ptr<XClient> XClient::Connect(const std::string& displayName)
{
    Display* display = XOpenDisplay(displayName.c_str());
    if (!display)
        return nullptr;
    XSetErrorHandler(IgnoreErrors);
    return std::unique_ptr<XClient>(new XClient(display));
}

XClient::~XClient()
{
    XCloseDisplay(display_);
}

Size XClient::ScreenSize() const
{
    int screen = DefaultScreen(display_);
    return Size{DisplayWidth(display_, screen), DisplayHeight(display_, screen)};
}

raster::Surface XClient::Screenshot()
{
    return Screenshot(Rect::FromSize(ScreenSize()));
}

raster::Surface XClient::Screenshot(const Rect& area)
{
    Rect r = area.Intersected(Rect::FromSize(ScreenSize()));
    auto surface = raster::Surface::Create(r.GetSize());
    if (r.IsEmpty() || !surface)
        return {};
    XImage* image = XGetImage(display_, Root(), r.left, r.top, static_cast<unsigned>(r.Width()),
                              static_cast<unsigned>(r.Height()), AllPlanes, ZPixmap);
    if (!image)
        return {};
    CopyFromImage(*image, *surface, PixelFormat::ForScreen(display_, DefaultScreen(display_)));
    XDestroyImage(image);
    return std::move(*surface);
}

std::optional<::Window> XClient::FindOverrideWindow(const std::string& name)
{
    ::Window root = 0, parent = 0;
    ::Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display_, Root(), &root, &parent, &children, &count))
        return std::nullopt;
    std::optional<::Window> found;
    for (unsigned i = 0; i < count && !found; ++i) {
        XWindowAttributes attributes{};
        if (!XGetWindowAttributes(display_, children[i], &attributes) || !attributes.override_redirect ||
            attributes.map_state != IsViewable)
            continue;
        char* windowName = nullptr;
        if (XFetchName(display_, children[i], &windowName) && windowName) {
            if (name == windowName)
                found = children[i];
            XFree(windowName);
        }
    }
    if (children)
        XFree(children);
    return found;
}

std::optional<Rect> XClient::WindowRect(::Window window)
{
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display_, window, &attributes))
        return std::nullopt;
    int x = 0, y = 0;
    ::Window child = 0;
    XTranslateCoordinates(display_, window, Root(), 0, 0, &x, &y, &child);
    return Rect::FromXYWH(x, y, attributes.width, attributes.height);
}

bool XClient::OthersHoldGrabs()
{
    // Trying to grab is the only way to ask; a grab we get is let go at once.
    int pointer = XGrabPointer(display_, Root(), False, 0, GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
    if (pointer == GrabSuccess)
        XUngrabPointer(display_, CurrentTime);
    int keyboard = XGrabKeyboard(display_, Root(), False, GrabModeAsync, GrabModeAsync, CurrentTime);
    if (keyboard == GrabSuccess)
        XUngrabKeyboard(display_, CurrentTime);
    XSync(display_, False);
    return pointer == AlreadyGrabbed && keyboard == AlreadyGrabbed;
}

bool XClient::CursorIsBlank()
{
    XFixesCursorImage* cursor = XFixesGetCursorImage(display_);
    if (!cursor)
        return false;
    bool blank = true;
    for (int i = 0; i < cursor->width * cursor->height && blank; ++i)
        blank = (cursor->pixels[i] >> 24 & 0xFF) == 0;
    XFree(cursor);
    return blank;
}

Point XClient::PointerPosition()
{
    ::Window root = 0, child = 0;
    int x = 0, y = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    XQueryPointer(display_, Root(), &root, &child, &x, &y, &wx, &wy, &mask);
    return Point{x, y};
}

void XClient::SendMotion(::Window window, Point position)
{
    XEvent event{};
    XMotionEvent& m = event.xmotion;
    m.type = MotionNotify;
    m.display = display_;
    m.window = window;
    m.root = Root();
    m.x = position.x;
    m.y = position.y;
    m.x_root = position.x;
    m.y_root = position.y;
    m.same_screen = True;
    XSendEvent(display_, window, False, PointerMotionMask, &event);
    XSync(display_, False);
}

void XClient::SendDeleteWindow(::Window window)
{
    XEvent event{};
    XClientMessageEvent& m = event.xclient;
    m.type = ClientMessage;
    m.display = display_;
    m.window = window;
    m.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    m.format = 32;
    m.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    m.data.l[1] = CurrentTime;
    XSendEvent(display_, window, False, NoEventMask, &event);
    XSync(display_, False);
}

bool WritePng(const raster::Surface& picture, const std::filesystem::path& file)
{
    if (picture.Bounds().IsEmpty())
        return false;
    std::vector<std::uint8_t> rgb;
    rgb.reserve(static_cast<std::size_t>(picture.Width()) * static_cast<std::size_t>(picture.Height()) * 3);
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) {
            raster::Pixel p = picture.At(x, y);
            rgb.push_back(static_cast<std::uint8_t>(p >> 16));
            rgb.push_back(static_cast<std::uint8_t>(p >> 8));
            rgb.push_back(static_cast<std::uint8_t>(p));
        }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.Width());
    image.height = static_cast<png_uint_32>(picture.Height());
    image.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, file.c_str(), 0, rgb.data(), 0, nullptr) != 0;
}

}  // namespace vyla::x11::testing
