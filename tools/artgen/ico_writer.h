// Serialises drawings as a Windows icon file: one image per size, 32 bits
// with alpha; images smaller than 256 pixels as bitmaps, 256 as PNG.
#pragma once

#include "canvas.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace vyla::artgen {

// The complete file; empty when an image is not square, is larger than
// 256 pixels, or cannot be encoded.
std::vector<std::uint8_t> EncodeIco(const std::vector<const Canvas*>& images);

bool WriteIco(const std::filesystem::path& path, const std::vector<const Canvas*>& images);

} // namespace vyla::artgen
