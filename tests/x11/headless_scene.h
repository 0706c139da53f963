// What the program shows, computed in-process on the headless backend over
// the same desktop picture: the reference the X11 screenshots must match.
#pragma once

#include <array>
#include <vector>

#include "common/geometry.h"
#include "portable/raster/surface.h"

namespace vyla::x11::testing {

struct HeadlessScene {
    // The screen after the first step, before any flower frame: the desktop
    // with the border drawn into it (just the desktop while the program has
    // no border pictures).
    raster::Surface bordered;
    // The four corner squares: top-left, top-right, bottom-left, bottom-right.
    std::array<Rect, 4> corners;
    // Every picture each corner square shows, in order, over one full turn.
    std::array<std::vector<raster::Surface>, 4> frames;
};

// Runs the program with default settings (no slideshow) on a headless
// screen of the desktop's size.
HeadlessScene RunHeadlessScene(const raster::Surface& desktop);

// The part of a surface inside area, as a surface of its own.
raster::Surface Crop(const raster::Surface& picture, const Rect& area);
bool SamePixels(const raster::Surface& a, const raster::Surface& b);

}  // namespace vyla::x11::testing
