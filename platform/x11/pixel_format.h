// How an X image lays out a pixel, and copies between X images and the
// 0x00RRGGBB pixels of a raster surface.
#pragma once

#include <X11/Xlib.h>

#include <memory>

#include "common/geometry.h"
#include "portable/raster/surface.h"
#include "x11/colormap_palette.h"

namespace vyla::x11 {

// One colour channel of a true-colour pixel value.
struct Channel {
    unsigned long mask = 0;
    int shift = 0;  // of the lowest mask bit
    int bits = 0;   // mask bits

    static Channel FromMask(unsigned long mask);
    // The channel's value scaled to 0..255, and back.
    unsigned ToByte(unsigned long pixel) const;
    unsigned long FromByte(unsigned value) const;
};

class PixelFormat {
public:
    PixelFormat(unsigned long redMask, unsigned long greenMask, unsigned long blueMask);
    static PixelFormat Of(const Visual& visual);
    // The screen's default visual: its channel masks on a true-colour
    // screen, its default colormap on a screen with colour cells.
    static PixelFormat ForScreen(Display* display, int screen);

    unsigned long FromRgb(raster::Pixel rgb) const;
    raster::Pixel ToRgb(unsigned long pixel) const;

    // True when an image's 32-bit pixels in this machine's byte order are
    // exactly the surface's pixels (apart from the unused top byte).
    bool MatchesSurface(const XImage& image) const;

private:
    Channel red_, green_, blue_;
    std::shared_ptr<const ColormapPalette> palette_;  // null: true colour
};

// Copies area (surface coordinates) of the surface into the image at
// imageOrigin + (area's offset); parts outside either are skipped.
void CopyToImage(const raster::Surface& surface, const Rect& area, XImage& image, Point imageOrigin,
                 const PixelFormat& format);

// Fills the surface from the image's top-left corner; surface pixels the
// image does not cover are left as they are.
void CopyFromImage(const XImage& image, raster::Surface& surface, const PixelFormat& format);

}  // namespace vyla::x11
