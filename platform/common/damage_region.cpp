#include "common/damage_region.h"

#include <utility>

#include "common/region.h"

namespace vyla {

void DamageRegion::SetBounds(Rect bounds)
{
    bounds_ = bounds;
    rects_.clear();
}

void DamageRegion::Add(const Rect& area)
{
    Rect clipped = area.Intersected(bounds_);
    if (clipped.IsEmpty())
        return;
    rects_.push_back(clipped);
    if (rects_.size() > kGatherLimit) {
        Region region = Region::FromRects(rects_);
        rects_.assign(region.Rects().begin(), region.Rects().end());
    }
}

std::vector<Rect> DamageRegion::Take()
{
    Region region = Region::FromRects(std::exchange(rects_, {}));
    return std::vector<Rect>(region.Rects().begin(), region.Rects().end());
}

}  // namespace vyla
