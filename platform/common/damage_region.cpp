#include "common/damage_region.h"

#include <utility>

namespace vyla {

void DamageRegion::SetBounds(Rect bounds)
{
    bounds_ = bounds;
    rects_.clear();
}

void DamageRegion::Add(const Rect& area)
{
    Rect merged = area.Intersected(bounds_);
    if (merged.IsEmpty())
        return;
    // Fold every rectangle the new one overlaps into it, until it overlaps
    // none: the list stays disjoint, so no pixel is sent twice.
    for (bool grew = true; grew;) {
        grew = false;
        for (auto it = rects_.begin(); it != rects_.end(); ++it) {
            if (!it->Intersected(merged).IsEmpty()) {
                merged = merged.United(*it);
                rects_.erase(it);
                grew = true;
                break;
            }
        }
    }
    rects_.push_back(merged);
    if (rects_.size() > kMaxRects) {
        Rect all;
        for (const Rect& r : rects_)
            all = all.United(r);
        rects_.assign(1, all);
    }
}

std::vector<Rect> DamageRegion::Take()
{
    return std::exchange(rects_, {});
}

}  // namespace vyla
