// Every bitmap the saver loads, under its resource name.
#pragma once

#include "indexed_bitmap.h"

#include <vector>

namespace vyla::artgen {

std::vector<NamedBitmap> DrawAllArt();

} // namespace vyla::artgen
