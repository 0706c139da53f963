// The fixed palettes of the saver's bitmaps.
#pragma once

#include "indexed_bitmap.h"

#include <vector>

namespace vyla::artgen {

// Index 0 black, index 1 white.
std::vector<Rgb> OneBitPalette();
// Black, dark to bright crimson and one dark olive.
std::vector<Rgb> CrimsonPalette();
// Black, greys, two dull reds and white.
std::vector<Rgb> WhitePalette();

inline constexpr std::uint8_t kInk = 0;   // black in the one-bit palette
inline constexpr std::uint8_t kPaper = 1; // white in the one-bit palette

} // namespace vyla::artgen
