#include "scene_check.h"

#include <algorithm>

namespace vyla::x11::testing {

long SceneMismatches(const raster::Surface& shot, const HeadlessScene& scene)
{
    if (shot.GetSize() != scene.bordered.GetSize())
        return -1;
    long count = 0;
    for (int y = 0; y < shot.Height(); ++y)
        for (int x = 0; x < shot.Width(); ++x) {
            Point p{x, y};
            bool corner = std::any_of(scene.corners.begin(), scene.corners.end(), [&](const Rect& r) { return r.Contains(p); });
            if (!corner && shot.At(x, y) != scene.bordered.At(x, y))
                ++count;
        }
    for (std::size_t i = 0; i < 4; ++i) {
        raster::Surface corner = Crop(shot, scene.corners[i]);
        if (std::none_of(scene.frames[i].begin(), scene.frames[i].end(),
                         [&](const raster::Surface& f) { return SamePixels(f, corner); }))
            ++count;
    }
    return count;
}

}  // namespace vyla::x11::testing
