// The desktop picture the renderer uses when given none: a calm evening
// landscape, drawn in code so that it is the same on every run and at every
// size, and quiet enough for the dark lace border, the flowers and the
// half-tone silhouettes to read well over it.
#pragma once

#include "common/geometry.h"
#include "portable/raster/surface.h"

namespace vyla::render {

// An empty surface when size is empty or too large for a surface.
raster::Surface DrawDefaultDesktop(Size size);

}  // namespace vyla::render
