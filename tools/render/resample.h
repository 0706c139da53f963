// Picture scaling for desktop pictures and the animation.
#pragma once

#include "common/geometry.h"
#include "portable/raster/surface.h"

namespace vyla::render {

// The centred part of a picture of size `picture` that has the proportions
// of `target`: scaled to `target`, it fills it exactly (the rest is cropped).
Rect FillCrop(Size picture, Size target);

// Scales the `from` part of picture to size with a triangle filter as wide as
// the scale: enlarging is bilinear, reducing weighs in every source pixel the
// output pixel covers. Edges repeat the outermost pixels. An empty picture,
// part or size gives an empty surface.
raster::Surface Resample(const raster::Surface& picture, const Rect& from, Size size);

// The picture scaled to fill size, its proportions kept and the excess cropped.
raster::Surface ScaleToFill(const raster::Surface& picture, Size size);

// The picture reduced n times, each output pixel the mean of an n x n block
// (the last row and column of blocks take what is left).
raster::Surface BoxReduce(const raster::Surface& picture, int n);

}  // namespace vyla::render
