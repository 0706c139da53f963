#include "portable/raster/surface.h"

#include <algorithm>
#include <cstddef>

namespace vyla::raster {

Surface::Surface(Size size, Pixel fill)
    : size_(size), pixels_(static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height), fill)
{
}

std::optional<Surface> Surface::Create(Size size, Pixel fill)
{
    if (size.width < 0 || size.height < 0 || size.width > kMaxSide || size.height > kMaxSide)
        return std::nullopt;
    if (std::int64_t{size.width} * size.height > kMaxPixels)
        return std::nullopt;
    return Surface(size, fill);
}

Pixel* Surface::Row(int y)
{
    if (y < 0 || y >= size_.height)
        return nullptr;
    return pixels_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(size_.width);
}

const Pixel* Surface::Row(int y) const
{
    if (y < 0 || y >= size_.height)
        return nullptr;
    return pixels_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(size_.width);
}

Pixel Surface::At(int x, int y) const
{
    if (x < 0 || x >= size_.width || y < 0 || y >= size_.height)
        return 0;
    return Row(y)[x];
}

void Surface::Set(int x, int y, Pixel pixel)
{
    if (x < 0 || x >= size_.width || y < 0 || y >= size_.height)
        return;
    Row(y)[x] = pixel;
}

void Surface::Fill(Pixel pixel)
{
    std::fill(pixels_.begin(), pixels_.end(), pixel);
}

}  // namespace vyla::raster
