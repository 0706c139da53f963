// A palette image held top-down in memory, one palette index per pixel.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vyla::artgen {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

class IndexedBitmap {
public:
    IndexedBitmap(int width, int height, int bitsPerPixel, std::vector<Rgb> palette)
        : width_(width), height_(height), bits_(bitsPerPixel), palette_(std::move(palette)),
          pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0)
    {
    }

    int Width() const { return width_; }
    int Height() const { return height_; }
    int BitsPerPixel() const { return bits_; }
    const std::vector<Rgb>& Palette() const { return palette_; }

    // y counts from the top row.
    std::uint8_t At(int x, int y) const { return pixels_[Offset(x, y)]; }
    void Set(int x, int y, std::uint8_t index) { pixels_[Offset(x, y)] = index; }

    friend bool operator==(const IndexedBitmap&, const IndexedBitmap&) = default;

private:
    std::size_t Offset(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
    }

    int width_;
    int height_;
    int bits_;
    std::vector<Rgb> palette_;
    std::vector<std::uint8_t> pixels_;
};

// A bitmap together with the resource name it is written under.
struct NamedBitmap {
    std::string name;
    IndexedBitmap bitmap;
};

} // namespace vyla::artgen
