// The thirteen silhouette pictures of the slideshow.
#pragma once

#include "indexed_bitmap.h"

#include <vector>

namespace vyla::artgen {

inline constexpr int kSilhouetteCount = 13;

// IDB_SHADOW00 .. IDB_SHADOW12, each a half-tone figure on white.
std::vector<NamedBitmap> DrawSilhouettes();

} // namespace vyla::artgen
