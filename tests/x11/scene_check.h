// Whether a screenshot shows the scene the headless run computed: the
// bordered desktop outside the corners, and one of each corner's flower
// frames in each corner.
#pragma once

#include "headless_scene.h"

namespace vyla::x11::testing {

// Pixels outside the corners that differ, plus one per corner that shows
// none of its frames; 0 when the shot shows the scene. shot and the scene
// have the same size.
long SceneMismatches(const raster::Surface& shot, const HeadlessScene& scene);

}  // namespace vyla::x11::testing
