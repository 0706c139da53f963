// The parts of the screen changed since they were last sent to the display:
// a few disjoint rectangles, so a frame sends only what it changed.
#pragma once

#include <cstddef>
#include <vector>

#include "common/geometry.h"

namespace vyla {

class DamageRegion {
public:
    // Beyond this many separate rectangles they collapse into their bounding
    // box: one larger request costs less than many small ones.
    static constexpr std::size_t kMaxRects = 16;

    explicit DamageRegion(Rect bounds = {}) : bounds_(bounds) {}

    // Areas outside the bounds are dropped; changing the bounds drops what
    // was collected.
    void SetBounds(Rect bounds);
    void Add(const Rect& area);
    bool IsEmpty() const { return rects_.empty(); }
    // The collected rectangles, pairwise disjoint; the region is empty afterwards.
    std::vector<Rect> Take();

private:
    Rect bounds_;
    std::vector<Rect> rects_;
};

}  // namespace vyla
