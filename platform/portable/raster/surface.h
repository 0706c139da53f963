// An off-screen picture in memory: 32-bit 0x00RRGGBB pixels, rows top-down,
// no padding between rows.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "common/geometry.h"

namespace vyla::raster {

using Pixel = std::uint32_t;

class Surface {
public:
    static constexpr int kMaxSide = 32768;
    static constexpr std::int64_t kMaxPixels = std::int64_t{1} << 28;

    Surface() = default;  // 0 x 0

    // nullopt if a side is negative or above kMaxSide, or the area is above kMaxPixels.
    static std::optional<Surface> Create(Size size, Pixel fill = 0);

    Size GetSize() const { return size_; }
    int Width() const { return size_.width; }
    int Height() const { return size_.height; }
    Rect Bounds() const { return Rect::FromSize(size_); }

    // nullptr for a row outside the surface.
    Pixel* Row(int y);
    const Pixel* Row(int y) const;

    // Reads outside the surface give 0; writes outside are ignored.
    Pixel At(int x, int y) const;
    void Set(int x, int y, Pixel pixel);

    void Fill(Pixel pixel);

private:
    Surface(Size size, Pixel fill);

    Size size_;
    std::vector<Pixel> pixels_;
};

}  // namespace vyla::raster
