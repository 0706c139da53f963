#include "quantise.h"

#include "palettes.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace vyla::artgen {
namespace {

double Luminance(const Rgb& c)
{
    return 0.299 * c.r + 0.587 * c.g + 0.114 * c.b;
}

} // namespace

IndexedBitmap InkFromCoverage(const Canvas& drawing, double threshold)
{
    IndexedBitmap out(drawing.Width(), drawing.Height(), 1, OneBitPalette());
    for (int y = 0; y < drawing.Height(); ++y)
        for (int x = 0; x < drawing.Width(); ++x)
            out.Set(x, y, drawing.Alpha(x, y) >= threshold ? kInk : kPaper);
    return out;
}

IndexedBitmap HalftoneFromCoverage(const Canvas& drawing)
{
    IndexedBitmap out(drawing.Width(), drawing.Height(), 1, OneBitPalette());
    for (int y = 0; y < drawing.Height(); ++y)
        for (int x = 0; x < drawing.Width(); ++x) {
            const bool inside = drawing.Alpha(x, y) >= 0.5;
            out.Set(x, y, inside && (x + y) % 2 == 0 ? kInk : kPaper);
        }
    return out;
}

ToneRamp::ToneRamp(const std::vector<Rgb>& palette, std::vector<std::uint8_t> indices) : indices_(std::move(indices))
{
    std::vector<double> lum;
    for (std::uint8_t i : indices_)
        lum.push_back(i < palette.size() ? Luminance(palette[i]) : 0.0);
    // Keep the ramp sorted dark to bright whatever order it was given in.
    std::vector<std::size_t> order(indices_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return lum[a] < lum[b]; });
    std::vector<std::uint8_t> sorted;
    for (std::size_t k : order) {
        sorted.push_back(indices_[k]);
        levels_.push_back(lum[k]);
    }
    indices_ = std::move(sorted);
    if (levels_.empty())
        return;
    const double lo = levels_.front();
    const double span = std::max(1.0, levels_.back() - lo);
    for (double& l : levels_)
        l = (l - lo) / span;
}

std::uint8_t ToneRamp::Index(double tone) const
{
    if (indices_.empty())
        return 0;
    tone = std::clamp(tone, 0.0, 1.0);
    std::size_t best = 0;
    for (std::size_t i = 1; i < levels_.size(); ++i)
        if (std::abs(levels_[i] - tone) < std::abs(levels_[best] - tone))
            best = i;
    return indices_[best];
}

} // namespace vyla::artgen
