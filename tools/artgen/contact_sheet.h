// A PNG overview of all the artwork, for the documentation.
#pragma once

#include "indexed_bitmap.h"

#include <filesystem>
#include <vector>

namespace vyla::artgen {

// Lays out the border assembled on screens of two shapes, both flower
// strips (raw, mask, and composed through the mask over a dark and a light
// background, with two cells enlarged) and the thirteen silhouettes, each
// labelled. False if a bitmap is missing or the file cannot be written.
bool WriteContactSheet(const std::vector<NamedBitmap>& art, const std::filesystem::path& png);

} // namespace vyla::artgen
