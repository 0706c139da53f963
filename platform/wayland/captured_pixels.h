// A picture of an output as a compositor hands it over (a screencopy
// frame): rows of one of the wl_shm formats, possibly upside down, turned
// into the raster's 0x00RRGGBB surface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "portable/raster/surface.h"

namespace vyla::wayland {

struct CapturedPixels {
    std::uint32_t format = 0;  // a wl_shm_format
    Size size;
    std::size_t stride = 0;    // bytes from one row's start to the next's
    bool yInverted = false;    // the first row in memory is the bottom one
    std::span<const std::byte> bytes;
};

// Whether Convert knows the format: every packed RGB format of 16, 24 or
// 32 bits a compositor offers for shared memory (alpha is ignored: a
// desktop is opaque).
bool CanConvert(std::uint32_t format);

// The picture, upright; nullopt for a format CanConvert refuses, an empty
// or too large size, a stride shorter than a row, or too few bytes.
std::optional<raster::Surface> Convert(const CapturedPixels& captured);

}  // namespace vyla::wayland
