#include "desktop_picture.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "x11/pixel_format.h"

namespace vyla::x11::testing {

namespace {

raster::Pixel Mix(raster::Pixel a, raster::Pixel b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    auto channel = [&](int shift) {
        double ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
        return static_cast<raster::Pixel>(std::lround(ca + (cb - ca) * t)) << shift;
    };
    return channel(16) | channel(8) | channel(0);
}

}  // namespace

raster::Surface DesktopPicture(Size size)
{
    auto created = raster::Surface::Create(size);
    if (!created)
        return {};
    raster::Surface picture = std::move(*created);
    const double w = std::max(size.width, 1), h = std::max(size.height, 1);
    const double sunX = 0.68 * w, sunY = 0.52 * h, sunR = 0.09 * std::min(w, h);
    for (int y = 0; y < size.height; ++y) {
        raster::Pixel* row = picture.Row(y);
        double v = y / h;
        raster::Pixel sky = v < 0.5 ? Mix(0x1B2A5C, 0xC86A5A, v / 0.5) : Mix(0xC86A5A, 0xF2C27B, (v - 0.5) / 0.2);
        for (int x = 0; x < size.width; ++x) {
            double u = x / w;
            raster::Pixel p = sky;
            // The sun with a soft glow around it.
            double d = std::hypot(x - sunX, y - sunY);
            if (d < sunR)
                p = 0xFFE9B0;
            else if (d < 3 * sunR)
                p = Mix(0xFFD58A, p, (d - sunR) / (2 * sunR));
            // Two ranges of hills, the nearer darker.
            double far = 0.62 + 0.05 * std::sin(u * 9.0 + 1.3) + 0.02 * std::sin(u * 23.0);
            double near = 0.74 + 0.06 * std::sin(u * 5.0 + 0.4) + 0.015 * std::sin(u * 31.0 + 2.0);
            if (v > near)
                p = Mix(0x2E3B2A, 0x141A12, (v - near) / (1.0 - near));
            else if (v > far)
                p = Mix(0x5A5E7A, 0x3E4660, (v - far) / 0.2);
            // Faint diagonal texture, so no two neighbouring pixels are alike.
            p ^= static_cast<raster::Pixel>(((x * 7 + y * 13) & 3) * 0x010101);
            row[x] = p;
        }
    }
    return picture;
}

namespace {

// The picture as a pixmap of the root's depth; 0 when it cannot be made.
Pixmap UploadPixmap(Display* display, const raster::Surface& picture)
{
    if (picture.Bounds().IsEmpty())
        return 0;
    int screen = DefaultScreen(display);
    ::Window root = RootWindow(display, screen);
    Visual* visual = DefaultVisual(display, screen);
    auto depth = static_cast<unsigned>(DefaultDepth(display, screen));
    auto width = static_cast<unsigned>(picture.Width());
    auto height = static_cast<unsigned>(picture.Height());

    XImage* image = XCreateImage(display, visual, depth, ZPixmap, 0, nullptr, width, height, 32, 0);
    if (!image)
        return 0;
    std::vector<char> pixels(static_cast<std::size_t>(image->bytes_per_line) * height);
    image->data = pixels.data();
    CopyToImage(picture, picture.Bounds(), *image, Point{}, PixelFormat::ForScreen(display, screen));

    Pixmap pixmap = XCreatePixmap(display, root, width, height, depth);
    GC gc = XCreateGC(display, pixmap, 0, nullptr);
    XPutImage(display, pixmap, gc, image, 0, 0, 0, 0, width, height);
    XFreeGC(display, gc);
    image->data = nullptr;
    XDestroyImage(image);
    return pixmap;
}

// Makes the picture the root's background and shows it; its pixmap, 0 when
// it cannot be made.
Pixmap ShowOnRoot(Display* display, const raster::Surface& picture)
{
    Pixmap pixmap = UploadPixmap(display, picture);
    if (pixmap) {
        XSetWindowBackgroundPixmap(display, DefaultRootWindow(display), pixmap);
        XClearWindow(display, DefaultRootWindow(display));
    }
    return pixmap;
}

}  // namespace

bool SetRootPicture(Display* display, const raster::Surface& picture)
{
    Pixmap pixmap = ShowOnRoot(display, picture);
    if (!pixmap)
        return false;
    // The window keeps its own reference to the pixmap.
    XFreePixmap(display, pixmap);
    XSync(display, False);
    return true;
}

bool SetWallpaper(Display* display, const raster::Surface& picture)
{
    Pixmap pixmap = ShowOnRoot(display, picture);
    if (!pixmap)
        return false;
    Atom property = XInternAtom(display, "_XROOTPMAP_ID", False);
    long id = static_cast<long>(pixmap);
    XChangeProperty(display, DefaultRootWindow(display), property, XA_PIXMAP, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&id), 1);
    XSync(display, False);
    return true;
}

}  // namespace vyla::x11::testing
