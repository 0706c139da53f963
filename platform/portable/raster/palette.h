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
    // Up to this many entries the colours are looked up sixteen at a time.
    static constexpr std::size_t kShortEntries = 16;

    // Entries past kMaxEntries are ignored. An index past the entries given
    // reads as black, as it does when a picture with a short palette is drawn.
    explicit Palette(std::span<const Pixel> colours);

    std::size_t EntryCount() const { return entryCount_; }
    Pixel operator[](std::uint8_t index) const { return colours_[index]; }

    // For i < count: out[i] = the colour of indices[i] (Expand), dst[i] &=
    // it (AndInto) or dst[i] |= it (OrInto). The ranges must not overlap.
    // Combining straight into the destination spares a pass over a buffer.
    void Expand(const std::uint8_t* indices, Pixel* out, std::size_t count) const;
    void AndInto(const std::uint8_t* indices, Pixel* dst, std::size_t count) const;
    void OrInto(const std::uint8_t* indices, Pixel* dst, std::size_t count) const;

    // The same without the sixteen-at-a-time lookup: the reference the fast
    // path is held to, and what runs where the processor lacks it.
    void ExpandPlain(const std::uint8_t* indices, Pixel* out, std::size_t count) const;

private:
    enum class Op { Copy, And, Or };
    template <Op op>
    void Apply(const std::uint8_t* indices, Pixel* dst, std::size_t count) const;

    std::array<Pixel, kMaxEntries> colours_{};
    // Byte k of each of the first kShortEntries colours, for byte shuffles.
    std::array<std::array<std::uint8_t, kShortEntries>, 4> bytePlanes_{};
    std::size_t entryCount_ = 0;
};

}  // namespace vyla::raster
