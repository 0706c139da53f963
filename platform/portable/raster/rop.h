// The raster operations the saver draws with, and the row combiner shared by
// the copy and stretch routines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "portable/raster/surface.h"

namespace vyla::raster {

enum class Rop : std::uint32_t {
    SrcCopy = 0x00CC0020,   // dst = src
    SrcAnd = 0x008800C6,    // dst = dst & src
    SrcPaint = 0x00EE0086,  // dst = dst | src
};

// The three codes above only; anything else is nullopt.
std::optional<Rop> RopFromCode(std::uint32_t code);

// dst[i] = rop(dst[i], src[i]) for i < count. The ranges must not overlap
// unless they are identical. Returns false (and draws nothing) for a Rop value
// outside the enumeration.
bool CombineRow(Pixel* dst, const Pixel* src, std::size_t count, Rop rop);

}  // namespace vyla::raster
