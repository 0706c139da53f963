// The desktop picture the saver runs over in the tests under Wine: flat
// coloured blocks, so that a screenshot shows plainly whether the saver
// kept the picture and darkened its border into it.
#pragma once

#include <filesystem>

#include "portable/raster/surface.h"

namespace vyla::wintest {

raster::Surface DesktopPicture(Size size);

// As a bottom-up 24-bit .bmp file, the form a wallpaper is given in.
bool WriteBmp(const raster::Surface& picture, const std::filesystem::path& file);

}  // namespace vyla::wintest
