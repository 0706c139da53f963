// A palette of at most 256 colours for a picture, and the mapping of any
// colour to its nearest entry.
#pragma once

#include <cstdint>
#include <vector>

#include "portable/raster/surface.h"

namespace vyla::render {

class Palette {
public:
    // Median cut over the colours of the samples, each sample counted with
    // its weight, into at most maxColours entries (1 to 256). A picture with
    // no more distinct colours than that keeps them exactly.
    struct Sample {
        const raster::Surface* picture;
        int weight;
    };
    static Palette MedianCut(const std::vector<Sample>& samples, int maxColours);

    const std::vector<raster::Pixel>& Colours() const { return colours_; }
    int Size() const { return static_cast<int>(colours_.size()); }

    // The index of the nearest entry (squared distance, weighted for the eye).
    std::uint8_t Nearest(raster::Pixel colour) const;

private:
    std::vector<raster::Pixel> colours_;
    // Answers already found, keyed by the colour's top 6 bits per channel
    // when the exact colour is not an entry; -1 while unknown.
    mutable std::vector<std::int16_t> cache_;
    std::vector<std::pair<raster::Pixel, std::uint8_t>> exact_;  // sorted by colour
};

}  // namespace vyla::render
