// Serialises palette images as uncompressed bottom-up BMP files.
#pragma once

#include "indexed_bitmap.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace vyla::artgen {

// The complete file: 14-byte file header, 40-byte info header, palette,
// rows bottom-up padded to 4 bytes. Only 1 and 4 bits per pixel are
// supported; anything else yields an empty vector.
std::vector<std::uint8_t> EncodeBmp(const IndexedBitmap& bitmap);

// Writes EncodeBmp's bytes; false if encoding or writing fails.
bool WriteBmp(const std::filesystem::path& path, const IndexedBitmap& bitmap);

} // namespace vyla::artgen
