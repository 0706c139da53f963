#include "portable/raster/surface.h"

#include <algorithm>
#include <cstddef>
#include <new>
#include <utility>

namespace vyla::raster {

Surface::Surface(Size size, PixelBuffer<Pixel> pixels) : size_(size), pixels_(std::move(pixels)) {}

Surface::Surface(Surface&& other) noexcept
    : size_(std::exchange(other.size_, Size{})), pixels_(std::move(other.pixels_)), indices_(std::move(other.indices_)),
      palette_(std::move(other.palette_))
{
}

Surface& Surface::operator=(const Surface& other)
{
    if (this != &other)
        *this = Surface(other);
    return *this;
}

Surface& Surface::operator=(Surface&& other) noexcept
{
    size_ = std::exchange(other.size_, Size{});
    pixels_ = std::move(other.pixels_);
    indices_ = std::move(other.indices_);
    palette_ = std::move(other.palette_);
    return *this;
}

std::optional<Surface> Surface::Create(Size size, Pixel fill)
{
    if (size.width < 0 || size.height < 0 || size.width > kMaxSide || size.height > kMaxSide)
        return std::nullopt;
    if (std::int64_t{size.width} * size.height > kMaxPixels)
        return std::nullopt;
    const std::size_t count = static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height);
    // Zero comes from calloc as untouched pages; any other fill is written.
    auto pixels = fill == 0 ? PixelBuffer<Pixel>::Zeroed(count) : PixelBuffer<Pixel>::Uninitialised(count);
    if (!pixels)
        return std::nullopt;
    if (fill != 0)
        std::fill_n(pixels->Data(), count, fill);
    return Surface(size, std::move(*pixels));
}

void Surface::MakeRgb() const
{
    if (!palette_)
        return;
    auto pixels = PixelBuffer<Pixel>::Uninitialised(indices_.Size());
    if (!pixels)
        throw std::bad_alloc();
    palette_->Expand(indices_.Data(), pixels->Data(), indices_.Size());
    pixels_ = std::move(*pixels);
    indices_.Release();
    palette_.reset();
}

Pixel* Surface::Row(int y)
{
    if (y < 0 || y >= size_.height)
        return nullptr;
    MakeRgb();
    return pixels_.Data() + RowOffset(y);
}

const Pixel* Surface::Row(int y) const
{
    if (y < 0 || y >= size_.height)
        return nullptr;
    MakeRgb();
    return pixels_.Data() + RowOffset(y);
}

Pixel Surface::At(int x, int y) const
{
    if (x < 0 || x >= size_.width || y < 0 || y >= size_.height)
        return 0;
    const std::size_t at = RowOffset(y) + static_cast<std::size_t>(x);
    return palette_ ? (*palette_)[indices_.Data()[at]] : pixels_.Data()[at];
}

void Surface::Set(int x, int y, Pixel pixel)
{
    if (x < 0 || x >= size_.width || y < 0 || y >= size_.height)
        return;
    Row(y)[x] = pixel;
}

void Surface::Fill(Pixel pixel)
{
    if (palette_) {
        // Every pixel is about to change: no need to expand the indices.
        auto pixels = PixelBuffer<Pixel>::Uninitialised(PixelCount());
        if (!pixels)
            throw std::bad_alloc();
        pixels_ = std::move(*pixels);
        indices_.Release();
        palette_.reset();
    }
    std::fill_n(pixels_.Data(), pixels_.Size(), pixel);
}

bool Surface::ResetIndexed(std::span<const Pixel> palette)
{
    auto indices = PixelBuffer<std::uint8_t>::Zeroed(PixelCount());
    if (!indices)
        return false;
    std::shared_ptr<const Palette> colours;
    try {
        colours = std::make_shared<const Palette>(palette);
    } catch (const std::bad_alloc&) {
        return false;
    }
    indices_ = std::move(*indices);
    palette_ = std::move(colours);
    pixels_.Release();
    return true;
}

std::uint8_t* Surface::IndexRow(int y)
{
    if (!palette_ || y < 0 || y >= size_.height)
        return nullptr;
    return indices_.Data() + RowOffset(y);
}

const std::uint8_t* Surface::IndexRow(int y) const
{
    if (!palette_ || y < 0 || y >= size_.height)
        return nullptr;
    return indices_.Data() + RowOffset(y);
}

}  // namespace vyla::raster
