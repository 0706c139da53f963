// Same-size rectangle copy between surfaces with a raster operation.
#pragma once

#include <functional>
#include <span>

#include "common/geometry.h"
#include "portable/raster/rop.h"
#include "portable/raster/surface.h"

namespace vyla::raster {

// Combines the size.width x size.height block at srcPos of src into dst at
// dstPos. The block is clipped against dst's bounds, dstClip and src's bounds
// (keeping the offset between the two origins); pixels outside are left
// alone. src and dst may be the same surface and may overlap: the result is
// as if the source were read completely before anything is written. Empty or
// negative sizes and unknown Rop values draw nothing.
// An indexed src is read through its palette and stays indexed; dst turns
// 32-bit when anything is written (see Surface).
// Returns the destination rectangle actually written (empty if nothing).
Rect BitBlt(Surface& dst, const Rect& dstClip, Point dstPos, Size size, const Surface& src, Point srcPos, Rop rop);

// As BitBlt, with what is written limited further to parts: disjoint
// rectangles sorted by their top (a clip region's), placed on dst with
// their origin at partsOrigin. src must be another surface than dst. Calls
// written(rect), if given, with each destination rectangle written.
void BitBltParts(Surface& dst, const Rect& dstClip, std::span<const Rect> parts, Point partsOrigin, Point dstPos, Size size,
                 const Surface& src, Point srcPos, Rop rop, const std::function<void(const Rect&)>& written);

}  // namespace vyla::raster
