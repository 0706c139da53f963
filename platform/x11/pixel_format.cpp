#include "x11/pixel_format.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <bit>
#include <cstring>

namespace vyla::x11 {

namespace {

constexpr int kNativeByteOrder = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
constexpr raster::Pixel kRgbMask = 0x00FFFFFF;

bool IsDirect32(const XImage& image)
{
    return image.format == ZPixmap && image.bits_per_pixel == 32 && image.byte_order == kNativeByteOrder;
}

}  // namespace

Channel Channel::FromMask(unsigned long mask)
{
    Channel c;
    c.mask = mask;
    if (mask == 0)
        return c;
    c.shift = std::countr_zero(mask);
    c.bits = std::popcount(mask >> c.shift);
    return c;
}

unsigned Channel::ToByte(unsigned long pixel) const
{
    if (bits == 0)
        return 0;
    unsigned long v = (pixel & mask) >> shift;
    if (bits >= 8)
        return static_cast<unsigned>(v >> (bits - 8));
    unsigned long max = (1ul << bits) - 1;
    return static_cast<unsigned>((v * 255 + max / 2) / max);
}

unsigned long Channel::FromByte(unsigned value) const
{
    if (bits == 0)
        return 0;
    unsigned long v = value & 0xFF;
    v = bits >= 8 ? v << (bits - 8) : v >> (8 - bits);
    return (v << shift) & mask;
}

PixelFormat::PixelFormat(unsigned long redMask, unsigned long greenMask, unsigned long blueMask)
    : red_(Channel::FromMask(redMask)), green_(Channel::FromMask(greenMask)), blue_(Channel::FromMask(blueMask))
{
}

PixelFormat PixelFormat::Of(const Visual& visual)
{
    return PixelFormat(visual.red_mask, visual.green_mask, visual.blue_mask);
}

PixelFormat PixelFormat::ForScreen(Display* display, int screen)
{
    const Visual& visual = *DefaultVisual(display, screen);
    PixelFormat format = Of(visual);
    if (visual.c_class != TrueColor && visual.c_class != DirectColor)
        format.palette_ = ColormapPalette::ForScreen(display, screen);
    return format;
}

unsigned long PixelFormat::FromRgb(raster::Pixel rgb) const
{
    if (palette_)
        return palette_->FromRgb(rgb);
    return red_.FromByte(rgb >> 16) | green_.FromByte(rgb >> 8) | blue_.FromByte(rgb);
}

raster::Pixel PixelFormat::ToRgb(unsigned long pixel) const
{
    if (palette_)
        return palette_->ToRgb(pixel);
    return (raster::Pixel{red_.ToByte(pixel)} << 16) | (raster::Pixel{green_.ToByte(pixel)} << 8) | blue_.ToByte(pixel);
}

bool PixelFormat::MatchesSurface(const XImage& image) const
{
    return !palette_ && IsDirect32(image) && red_.mask == 0xFF0000 && green_.mask == 0x00FF00 && blue_.mask == 0x0000FF;
}

void CopyToImage(const raster::Surface& surface, const Rect& area, XImage& image, Point imageOrigin,
                 const PixelFormat& format)
{
    // Clip against the surface, then against the image at its place.
    Rect imageArea = Rect::FromXYWH(imageOrigin.x, imageOrigin.y, image.width, image.height);
    Rect r = area.Intersected(surface.Bounds()).Intersected(imageArea);
    if (r.IsEmpty())
        return;
    const bool direct = format.MatchesSurface(image);
    for (int y = r.top; y < r.bottom; ++y) {
        const raster::Pixel* src = surface.Row(y) + r.left;
        int iy = y - imageOrigin.y;
        int ix = r.left - imageOrigin.x;
        if (direct) {
            auto* dst = reinterpret_cast<std::uint32_t*>(image.data + std::ptrdiff_t{iy} * image.bytes_per_line) + ix;
            std::memcpy(dst, src, sizeof(std::uint32_t) * static_cast<std::size_t>(r.Width()));
        } else {
            for (int x = 0; x < r.Width(); ++x)
                XPutPixel(&image, ix + x, iy, format.FromRgb(src[x]));
        }
    }
}

void CopyFromImage(const XImage& image, raster::Surface& surface, const PixelFormat& format)
{
    int width = std::min(image.width, surface.Width());
    int height = std::min(image.height, surface.Height());
    const bool direct = format.MatchesSurface(image);
    auto& source = const_cast<XImage&>(image);  // XGetPixel takes a non-const image and only reads it
    for (int y = 0; y < height; ++y) {
        raster::Pixel* dst = surface.Row(y);
        if (direct) {
            const auto* src = reinterpret_cast<const std::uint32_t*>(image.data + std::ptrdiff_t{y} * image.bytes_per_line);
            for (int x = 0; x < width; ++x)
                dst[x] = src[x] & kRgbMask;
        } else {
            for (int x = 0; x < width; ++x)
                dst[x] = format.ToRgb(XGetPixel(&source, x, y));
        }
    }
}

}  // namespace vyla::x11
