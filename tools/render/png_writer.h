// Writes a surface as an RGB PNG file, quickly: fast deflate, no filter
// search. Many full-screen frames are written per run.
#pragma once

#include <filesystem>
#include <string>

#include "portable/raster/surface.h"

namespace vyla::render {

// Returns an empty string on success, otherwise what went wrong.
std::string WritePng(const std::filesystem::path& file, const raster::Surface& surface, int level = 1);

}  // namespace vyla::render
