#include "canvas.h"

#include <algorithm>
#include <cmath>

namespace vyla::artgen {

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_))
{
}

Canvas::Canvas(Canvas&& other) noexcept
    : width_(other.width_), height_(other.height_), surface_(other.surface_), cr_(other.cr_)
{
    other.surface_ = nullptr;
    other.cr_ = nullptr;
}

Canvas::~Canvas()
{
    if (cr_ != nullptr)
        cairo_destroy(cr_);
    if (surface_ != nullptr)
        cairo_surface_destroy(surface_);
}

std::uint32_t Canvas::Raw(int x, int y) const
{
    if (surface_ == nullptr || x < 0 || y < 0 || x >= width_ || y >= height_)
        return 0;
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    if (data == nullptr)
        return 0;
    const int stride = cairo_image_surface_get_stride(surface_);
    const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    return row[x];
}

double Canvas::Alpha(int x, int y) const
{
    return static_cast<double>((Raw(x, y) >> 24) & 0xFF) / 255.0;
}

Rgba Canvas::Pixel(int x, int y) const
{
    const std::uint32_t p = Raw(x, y);
    const double a = static_cast<double>((p >> 24) & 0xFF);
    if (a == 0)
        return {};
    auto channel = [&](int shift) { return std::min(1.0, static_cast<double>((p >> shift) & 0xFF) / a); };
    return Rgba{channel(16), channel(8), channel(0), a / 255.0};
}

void Canvas::PutPixel(int x, int y, Rgba c)
{
    if (surface_ == nullptr || x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    cairo_surface_flush(surface_);
    unsigned char* data = cairo_image_surface_get_data(surface_);
    if (data == nullptr)
        return;
    const int stride = cairo_image_surface_get_stride(surface_);
    auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    auto byte = [](double v) { return static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); };
    const double a = std::clamp(c.a, 0.0, 1.0);
    row[x] = byte(a) << 24 | byte(c.r * a) << 16 | byte(c.g * a) << 8 | byte(c.b * a);
    cairo_surface_mark_dirty_rectangle(surface_, x, y, 1, 1);
}

bool Canvas::WritePng(const std::filesystem::path& path) const
{
    return surface_ != nullptr && cairo_surface_write_to_png(surface_, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

} // namespace vyla::artgen
