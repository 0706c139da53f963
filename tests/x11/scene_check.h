// Whether a screenshot shows the scene the headless run computed: the
// bordered desktop outside the corners, and one of each corner's flower
// frames in each corner.
#pragma once

#include <array>
#include <cstddef>

#include "headless_scene.h"
#include "x_client.h"

namespace vyla::x11::testing {

// Pixels of shot that differ from expected outside the corner squares; -1
// when the sizes differ.
long MismatchesOutsideCorners(const raster::Surface& shot, const raster::Surface& expected,
                              const std::array<Rect, 4>& corners);
// The shot's corner square shows one of that corner's frames.
bool ShowsAFrame(const raster::Surface& shot, const HeadlessScene& scene, std::size_t corner);

// Pixels outside the corners that differ, plus one per corner that shows
// none of its frames; 0 when the shot shows the scene, -1 when the sizes
// differ.
long SceneMismatches(const raster::Surface& shot, const HeadlessScene& scene);

// Polls what area of the screen shows until it is the scene, for at most
// timeoutMs (the border and the flowers come in separate requests, so a
// screenshot may fall between them). The last shot and its SceneMismatches
// are left in *shot and *mismatches.
bool ShowsScene(XClient& client, const Rect& area, const HeadlessScene& scene, int timeoutMs, raster::Surface* shot,
                long* mismatches);

}  // namespace vyla::x11::testing
