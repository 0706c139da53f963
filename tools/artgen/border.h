// The ornamental border: one 640 x 480 frame cut into four pieces.
#pragma once

#include "indexed_bitmap.h"

#include <vector>

namespace vyla::artgen {

inline constexpr int kFrameWidth = 640;
inline constexpr int kFrameHeight = 480;
inline constexpr int kTopBand = 54;
inline constexpr int kBottomBand = 52;
inline constexpr int kLeftBand = 48;
inline constexpr int kRightBand = 58;

// The whole frame, black ornament on white, as it looks on a 640 x 480 screen.
IndexedBitmap DrawBorderFrame();

// IDB_FRAMET, IDB_FRAMEB, IDB_FRAMEL, IDB_FRAMER cut from the frame. The top
// and bottom pieces own the corners; the side pieces are blank there, so
// when the pieces are stretched differently on a wide screen the corner
// ornament is not printed twice at two scales.
std::vector<NamedBitmap> CutBorderPieces(const IndexedBitmap& frame);

} // namespace vyla::artgen
