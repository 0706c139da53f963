// A set of pixels kept as GDI and X11 keep one: disjoint rectangles in bands
// of rows, sorted top to bottom and, within a band, left to right. A band
// with the same spans as the band right above it is merged into that band.
#pragma once

#include <span>
#include <vector>

#include "common/geometry.h"

namespace vyla {

class Region {
public:
    enum class Op { And, Or, Xor, Diff };

    Region() = default;
    explicit Region(const Rect& rect);
    // The pixels of any rectangles, overlapping or not; empty ones add nothing.
    static Region FromRects(std::span<const Rect> rects);
    // The pixels of a op b; Diff is a without b.
    static Region Combine(const Region& a, const Region& b, Op op);

    std::span<const Rect> Rects() const { return rects_; }
    bool IsEmpty() const { return rects_.empty(); }
    Rect Bounds() const;
    bool Contains(Point p) const;
    Region Translated(int dx, int dy) const;

    friend bool operator==(const Region&, const Region&) = default;

private:
    std::vector<Rect> rects_;
};

}  // namespace vyla
