// Turning antialiased Cairo drawings into palette indices.
#pragma once

#include "canvas.h"
#include "indexed_bitmap.h"

#include <cstdint>
#include <vector>

namespace vyla::artgen {

// One-bit picture: ink (black) where the drawing's coverage reaches the
// threshold, paper (white) elsewhere.
IndexedBitmap InkFromCoverage(const Canvas& drawing, double threshold);

// One-bit half-tone: inside the drawing (coverage at least one half) a pixel
// is black exactly when x + y is even, counting y from the top row.
IndexedBitmap HalftoneFromCoverage(const Canvas& drawing);

// A run of palette entries ordered from dark to bright, used to render a
// continuous tone 0..1. Each pixel takes the nearest entry: at the sizes the
// sprites are shown, clean bands read better than a dither pattern, which
// would also crawl over the petals as the flower turns.
class ToneRamp {
public:
    ToneRamp(const std::vector<Rgb>& palette, std::vector<std::uint8_t> indices);

    std::uint8_t Index(double tone) const;

private:
    std::vector<std::uint8_t> indices_;
    std::vector<double> levels_; // luminance of each entry, scaled to 0..1 over the ramp
};

} // namespace vyla::artgen
