// An ARGB Cairo drawing surface with its context, owned together.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <filesystem>

namespace vyla::artgen {

// One pixel with the alpha divided out again (Cairo stores premultiplied).
struct Rgba {
    double r = 0;
    double g = 0;
    double b = 0;
    double a = 0;
};

class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    Canvas(Canvas&& other) noexcept;
    Canvas& operator=(Canvas&&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    cairo_t* Context() const { return cr_; }
    cairo_surface_t* Surface() const { return surface_; }

    // Coverage 0..1 of the pixel at column x, row y (from the top).
    double Alpha(int x, int y) const;
    // Colour of the pixel, un-premultiplied; transparent pixels read as zero.
    Rgba Pixel(int x, int y) const;
    // Writes straight ARGB into the pixel (premultiplying it).
    void PutPixel(int x, int y, Rgba c);

    bool WritePng(const std::filesystem::path& path) const;

private:
    std::uint32_t Raw(int x, int y) const;

    int width_;
    int height_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

} // namespace vyla::artgen
