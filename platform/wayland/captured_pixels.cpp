#include "wayland/captured_pixels.h"

#include <wayland-client-protocol.h>

namespace vyla::wayland {

namespace {

// Where each colour lies in a pixel read as a little-endian integer.
struct Channel {
    unsigned shift;
    unsigned bits;
};

struct Layout {
    std::uint32_t format;
    unsigned bytes;
    Channel red, green, blue;
};

constexpr Layout kLayouts[] = {
    {WL_SHM_FORMAT_XRGB8888, 4, {16, 8}, {8, 8}, {0, 8}},
    {WL_SHM_FORMAT_ARGB8888, 4, {16, 8}, {8, 8}, {0, 8}},
    {WL_SHM_FORMAT_XBGR8888, 4, {0, 8}, {8, 8}, {16, 8}},
    {WL_SHM_FORMAT_ABGR8888, 4, {0, 8}, {8, 8}, {16, 8}},
    {WL_SHM_FORMAT_RGBX8888, 4, {24, 8}, {16, 8}, {8, 8}},
    {WL_SHM_FORMAT_RGBA8888, 4, {24, 8}, {16, 8}, {8, 8}},
    {WL_SHM_FORMAT_BGRX8888, 4, {8, 8}, {16, 8}, {24, 8}},
    {WL_SHM_FORMAT_BGRA8888, 4, {8, 8}, {16, 8}, {24, 8}},
    {WL_SHM_FORMAT_XRGB2101010, 4, {20, 10}, {10, 10}, {0, 10}},
    {WL_SHM_FORMAT_ARGB2101010, 4, {20, 10}, {10, 10}, {0, 10}},
    {WL_SHM_FORMAT_XBGR2101010, 4, {0, 10}, {10, 10}, {20, 10}},
    {WL_SHM_FORMAT_ABGR2101010, 4, {0, 10}, {10, 10}, {20, 10}},
    {WL_SHM_FORMAT_RGB888, 3, {16, 8}, {8, 8}, {0, 8}},
    {WL_SHM_FORMAT_BGR888, 3, {0, 8}, {8, 8}, {16, 8}},
    {WL_SHM_FORMAT_RGB565, 2, {11, 5}, {5, 6}, {0, 5}},
    {WL_SHM_FORMAT_BGR565, 2, {0, 5}, {5, 6}, {11, 5}},
};

const Layout* Find(std::uint32_t format)
{
    for (const Layout& layout : kLayouts)
        if (layout.format == format)
            return &layout;
    return nullptr;
}

// A channel widened or narrowed to 8 bits, full scale to full scale.
std::uint32_t Eight(std::uint32_t pixel, Channel c)
{
    std::uint32_t max = (1u << c.bits) - 1;
    std::uint32_t value = (pixel >> c.shift) & max;
    return (value * 255 + max / 2) / max;
}

}  // namespace

bool CanConvert(std::uint32_t format)
{
    return Find(format) != nullptr;
}

std::optional<raster::Surface> Convert(const CapturedPixels& captured)
{
    const Layout* layout = Find(captured.format);
    const Size size = captured.size;
    if (!layout || size.IsEmpty())
        return std::nullopt;
    const std::size_t rowBytes = static_cast<std::size_t>(size.width) * layout->bytes;
    if (captured.stride < rowBytes)
        return std::nullopt;
    const std::size_t rows = static_cast<std::size_t>(size.height);
    if (captured.bytes.size() / captured.stride < rows - 1 ||
        captured.bytes.size() - captured.stride * (rows - 1) < rowBytes)
        return std::nullopt;
    auto surface = raster::Surface::Create(size);
    if (!surface)
        return std::nullopt;
    for (int y = 0; y < size.height; ++y) {
        std::size_t sourceRow = captured.yInverted ? rows - 1 - static_cast<std::size_t>(y) : static_cast<std::size_t>(y);
        const std::byte* from = captured.bytes.data() + sourceRow * captured.stride;
        raster::Pixel* to = surface->Row(y);
        for (int x = 0; x < size.width; ++x, from += layout->bytes) {
            std::uint32_t pixel = 0;
            for (unsigned b = 0; b < layout->bytes; ++b)
                pixel |= std::to_integer<std::uint32_t>(from[b]) << (8 * b);
            to[x] = Eight(pixel, layout->red) << 16 | Eight(pixel, layout->green) << 8 | Eight(pixel, layout->blue);
        }
    }
    return surface;
}

}  // namespace vyla::wayland
