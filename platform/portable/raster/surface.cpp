#include "portable/raster/surface.h"

#include <algorithm>
#include <cstddef>
#include <new>
#include <utility>

namespace vyla::raster {

namespace {

bool ValidSize(Size size)
{
    if (size.width < 0 || size.height < 0 || size.width > Surface::kMaxSide || size.height > Surface::kMaxSide)
        return false;
    return std::int64_t{size.width} * size.height <= Surface::kMaxPixels;
}

}  // namespace

Surface::Surface(Size size, PixelBuffer<Pixel> pixels)
    : size_(size), stride_(static_cast<std::size_t>(size.width)), pixels_(std::move(pixels))
{
}

Surface::Surface(const Surface& other)
    : size_(other.size_), stride_(other.stride_), pixels_(other.pixels_), indices_(other.indices_), palette_(other.palette_)
{
    if (!other.external_)
        return;
    // A copy owns its pixels, packed.
    stride_ = static_cast<std::size_t>(size_.width);
    auto pixels = PixelBuffer<Pixel>::Uninitialised(PixelCount());
    if (!pixels)
        throw std::bad_alloc();
    for (int y = 0; y < size_.height; ++y)
        std::copy_n(other.external_.get() + other.RowOffset(y), size_.width, pixels->Data() + RowOffset(y));
    pixels_ = std::move(*pixels);
}

Surface::Surface(Surface&& other) noexcept
    : size_(std::exchange(other.size_, Size{})), stride_(std::exchange(other.stride_, 0)), pixels_(std::move(other.pixels_)),
      indices_(std::move(other.indices_)), palette_(std::move(other.palette_)), external_(std::move(other.external_))
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
    stride_ = std::exchange(other.stride_, 0);
    pixels_ = std::move(other.pixels_);
    indices_ = std::move(other.indices_);
    palette_ = std::move(other.palette_);
    external_ = std::move(other.external_);
    return *this;
}

std::optional<Surface> Surface::Create(Size size, Pixel fill)
{
    if (!ValidSize(size))
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

std::optional<Surface> Surface::Over(Size size, std::size_t stride, std::shared_ptr<Pixel> memory)
{
    if (!ValidSize(size) || stride < static_cast<std::size_t>(size.width) || stride > std::size_t{1} << 31)
        return std::nullopt;
    if (!memory && !size.IsEmpty())
        return std::nullopt;
    Surface surface;
    surface.size_ = size;
    surface.stride_ = stride;
    if (!size.IsEmpty())
        surface.external_ = std::move(memory);
    return surface;
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
    return RgbData() + RowOffset(y);
}

const Pixel* Surface::Row(int y) const
{
    if (y < 0 || y >= size_.height)
        return nullptr;
    MakeRgb();
    return RgbData() + RowOffset(y);
}

Pixel Surface::At(int x, int y) const
{
    if (x < 0 || x >= size_.width || y < 0 || y >= size_.height)
        return 0;
    const std::size_t at = RowOffset(y) + static_cast<std::size_t>(x);
    return palette_ ? (*palette_)[indices_.Data()[at]] : RgbData()[at];
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
    if (stride_ == static_cast<std::size_t>(size_.width)) {
        std::fill_n(RgbData(), PixelCount(), pixel);
        return;
    }
    for (int y = 0; y < size_.height; ++y)
        std::fill_n(RgbData() + RowOffset(y), size_.width, pixel);
}

bool Surface::ResetIndexed(std::span<const Pixel> palette)
{
    // The owner of external memory expects the drawing to land there.
    if (external_)
        return false;
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
    stride_ = static_cast<std::size_t>(size_.width);
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
