#include "scene_check.h"

#include <algorithm>

#include "harness.h"

namespace vyla::x11::testing {

long MismatchesOutsideCorners(const raster::Surface& shot, const raster::Surface& expected,
                              const std::array<Rect, 4>& corners)
{
    if (shot.GetSize() != expected.GetSize())
        return -1;
    long count = 0;
    for (int y = 0; y < shot.Height(); ++y)
        for (int x = 0; x < shot.Width(); ++x) {
            Point p{x, y};
            bool corner = std::any_of(corners.begin(), corners.end(), [&](const Rect& r) { return r.Contains(p); });
            if (!corner && shot.At(x, y) != expected.At(x, y))
                ++count;
        }
    return count;
}

bool ShowsAFrame(const raster::Surface& shot, const HeadlessScene& scene, std::size_t corner)
{
    raster::Surface square = Crop(shot, scene.corners[corner]);
    return std::any_of(scene.frames[corner].begin(), scene.frames[corner].end(),
                       [&](const raster::Surface& f) { return SamePixels(f, square); });
}

long SceneMismatches(const raster::Surface& shot, const HeadlessScene& scene)
{
    long count = MismatchesOutsideCorners(shot, scene.bordered, scene.corners);
    if (count < 0)
        return count;
    for (std::size_t i = 0; i < 4; ++i)
        count += ShowsAFrame(shot, scene, i) ? 0 : 1;
    return count;
}

bool ShowsScene(XClient& client, const Rect& area, const HeadlessScene& scene, int timeoutMs, raster::Surface* shot,
                long* mismatches)
{
    return WaitFor(
        [&] {
            *shot = client.Screenshot(area);
            *mismatches = SceneMismatches(*shot, scene);
            return *mismatches == 0;
        },
        timeoutMs);
}

}  // namespace vyla::x11::testing
