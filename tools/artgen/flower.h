// The turning flower of the corner sprites: an image strip and its mask.
#pragma once

#include "canvas.h"
#include "indexed_bitmap.h"

namespace vyla::artgen {

inline constexpr int kCellSize = 80;
inline constexpr int kCellCount = 16;
// The flower, leaves included, looks the same after 1/kSymmetryOrder of a
// turn, so the 16 cells share that angle and cell 15 leads back to cell 0.
inline constexpr int kSymmetryOrder = 8;

enum class FlowerColour { Crimson, White };

struct SpriteStrips {
    IndexedBitmap image; // 4 bits, index 0 outside the flower
    IndexedBitmap mask;  // 1 bit, black where the flower is opaque
};

SpriteStrips DrawFlowerStrips(FlowerColour colour);

// The crimson flower as the program's icon: size x size pixels with smooth
// edges over transparency, in free colours rather than the sprite palette.
Canvas DrawFlowerIcon(int size);

} // namespace vyla::artgen
