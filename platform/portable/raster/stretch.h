// Drawing a device-independent bitmap stretched into a surface.
#pragma once

#include "common/dib.h"
#include "common/geometry.h"
#include "portable/raster/rop.h"
#include "portable/raster/surface.h"

namespace vyla::raster {

// Draws srcRect of the picture stretched to dstRect by nearest neighbour:
// for a dstRect of w x h and a srcRect of sw x sh, destination pixel (x, y)
// counted from dstRect's top-left takes source pixel
// (srcRect.left + x * sw / w, srcRect.top + y * sh / h), with the source
// counted from the picture's top row, so bottom-up pictures come out upright.
// Indexed pictures go through their palette. srcRect must lie inside the
// picture; the destination is clipped against dst's bounds and dstClip.
// Empty rectangles, an srcRect outside the picture, an inconsistent view or an
// unknown Rop draw nothing. Returns the destination rectangle actually written.
// A SrcCopy of a picture of 8 bits or fewer that covers all of dst leaves dst
// indexed, with the picture's palette (see Surface).
Rect StretchDib(Surface& dst, const Rect& dstClip, const Rect& dstRect, const DibView& dib, const Rect& srcRect, Rop rop);

}  // namespace vyla::raster
