// A picture file read into 32-bit pixels, optionally scaled, with the
// system's imaging component (every image format Windows itself reads).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "system_api.h"
#include "common/geometry.h"

namespace vyla::win32 {

class WallpaperPicture {
public:
    // The file's size in pixels; nullopt when it cannot be read.
    static std::optional<Size> Measure(const std::wstring& file);
    // The part (in the scaled picture's pixels) of the file's picture scaled
    // to size; nullopt when the file cannot be read, the size is empty or
    // too large, or the part is not inside the picture. Reading only the
    // part keeps a large picture's cost to what the screen shows.
    static std::optional<WallpaperPicture> Load(const std::wstring& file, Size size, const Rect& part);

    Size GetSize() const { return size_; }
    // Whole copies of the picture side by side, at least minimum in size,
    // so that tiling a small picture takes few copies.
    WallpaperPicture Repeated(Size minimum) const;
    // Copies the picture to dc at (x, y), clipped by the context.
    void Draw(HDC dc, int x, int y) const;
    // Fills rect of dc with the picture repeated, one copy at origin: for
    // small tiles, where a copy per tile costs little.
    void Tile(HDC dc, const RECT& rect, POINT origin) const;

private:
    WallpaperPicture(Size size, std::vector<std::uint32_t> pixels) : size_(size), pixels_(std::move(pixels)) {}
    BITMAPINFO Header() const;

    Size size_;
    std::vector<std::uint32_t> pixels_;
};

}  // namespace vyla::win32
