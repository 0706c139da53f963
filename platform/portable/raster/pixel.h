// The raster's colour value: 0x00RRGGBB.
#pragma once

#include <cstdint>

namespace vyla::raster {

using Pixel = std::uint32_t;

}  // namespace vyla::raster
