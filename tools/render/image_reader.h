// Reads a desktop picture from a PNG or JPEG file.
#pragma once

#include <filesystem>

#include "portable/raster/surface.h"

namespace vyla::render {

// The file's format is told by its first bytes, not its name. Transparent
// PNG pixels are composed over black. Throws UsageError naming the file and
// the reason when it cannot be read or is not a PNG or JPEG picture.
raster::Surface ReadImage(const std::filesystem::path& file);

}  // namespace vyla::render
