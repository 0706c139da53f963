// Comparing a screenshot of the module under Wine with the screen the
// headless backend computes for the same run.
#pragma once

#include <filesystem>
#include <optional>

#include "portable/raster/surface.h"

namespace vyla::wintest {

// A binary PPM (P6, 8 bits per channel); nullopt when unreadable.
std::optional<raster::Surface> ReadPpm(const std::filesystem::path& file);
bool WritePpm(const raster::Surface& picture, const std::filesystem::path& file);

struct Match {
    long long offPixels = 0;  // pixels matching neither exactly nor within the tolerance
    long long exactPixels = 0;
};

// A screenshot pixel matches when it equals the expected pixel, or the
// expected pixel one step away in any direction: GDI's stretching may put
// an edge of a stretched picture one pixel from where the nearest-neighbour
// rule puts it. diff, when given, gets the off pixels in white on black.
Match Compare(const raster::Surface& shot, const raster::Surface& expected, raster::Surface* diff = nullptr);

}  // namespace vyla::wintest
