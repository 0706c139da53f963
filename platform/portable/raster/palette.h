// The colours of an indexed surface: up to 256 entries, looked up by a byte.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "portable/raster/pixel.h"

namespace vyla::raster {

class Palette {
public:
    static constexpr std::size_t kMaxEntries = 256;

    // Entries past kMaxEntries are ignored. An index past the entries given
    // reads as black, as it does when a picture with a short palette is drawn.
    explicit Palette(std::span<const Pixel> colours);

    std::size_t EntryCount() const { return entryCount_; }
    Pixel operator[](std::uint8_t index) const { return colours_[index]; }

    // out[i] = the colour of indices[i], for i < count. The ranges must not overlap.
    void Expand(const std::uint8_t* indices, Pixel* out, std::size_t count) const;

private:
    std::array<Pixel, kMaxEntries> colours_{};
    std::size_t entryCount_ = 0;
};

}  // namespace vyla::raster
