// The parts of the screen changed since they were last sent to the display,
// as a region of disjoint rectangles in bands of rows: a frame sends exactly
// the pixels it changed, however many rectangles that takes.
#pragma once

#include <cstddef>
#include <vector>

#include "common/geometry.h"

namespace vyla {

class DamageRegion {
public:
    explicit DamageRegion(Rect bounds = {}) : bounds_(bounds) {}

    // Areas outside the bounds are dropped; changing the bounds drops what
    // was collected.
    void SetBounds(Rect bounds);
    void Add(const Rect& area);
    bool IsEmpty() const { return rects_.empty(); }
    // The collected pixels as disjoint rectangles, top to bottom and left to
    // right; the region is empty afterwards.
    std::vector<Rect> Take();

private:
    // Rectangles gathered as they come, overlapping or not; made disjoint on
    // Take, and on the way when they grow many.
    static constexpr std::size_t kGatherLimit = 1 << 14;

    Rect bounds_;
    std::vector<Rect> rects_;
};

}  // namespace vyla
