// A clip region: a set of pixels a drawing context may be limited to.
#pragma once

#include <span>

#include "system_api.h"
#include "framework/point_rect.h"

class TRegion {
public:
    // The pixels of the rectangles, which may overlap. Throws TXFramework
    // when the region cannot be made.
    explicit TRegion(std::span<const TRect> rects);
    ~TRegion();
    TRegion(const TRegion&) = delete;
    TRegion& operator=(const TRegion&) = delete;

    HRGN GetHandle() const { return Handle; }
    operator HRGN() const { return Handle; }

private:
    HRGN Handle;
};
