// Pixels of a screen whose colours come from a colormap (an 8-bit
// PseudoColor screen, and the static and grey classes): what colour each
// pixel value shows, and which pixel value to use for a colour. The colours
// the desktop shows are kept exactly; any other colour takes the nearest
// cell of a 6x6x6 colour cube allocated in the screen's default colormap.
#pragma once

#include <X11/Xlib.h>

#include <array>
#include <memory>
#include <unordered_map>
#include <vector>

#include "portable/raster/surface.h"

namespace vyla::x11 {

class ColormapPalette {
public:
    static constexpr int kLevels = 6;
    using Cube = std::array<unsigned long, kLevels * kLevels * kLevels>;

    // entries[pixel]: the colour of each pixel value; cube: the pixel value
    // for each cube colour, red slowest.
    ColormapPalette(std::vector<raster::Pixel> entries, const Cube& cube);

    // Allocates the cube in the screen's default colormap (a full colormap
    // gives the nearest colours it has) and reads every cell.
    static std::shared_ptr<const ColormapPalette> ForScreen(Display* display, int screen);

    raster::Pixel ToRgb(unsigned long pixel) const;
    unsigned long FromRgb(raster::Pixel rgb) const;

    // The cube's level (0..5) nearest a channel value.
    static int Level(unsigned value) { return static_cast<int>((value * (kLevels - 1) + 127) / 255); }

private:
    std::vector<raster::Pixel> entries_;
    std::unordered_map<raster::Pixel, unsigned long> exact_;
    Cube cube_{};
};

}  // namespace vyla::x11
