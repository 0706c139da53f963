// A chain of same-size blits into one rectangle of a surface, kept until
// something needs the result and then drawn row by row: each row of the
// rectangle goes through every step (and on to a final destination) while it
// is still in the cache, instead of each step passing over the whole
// rectangle. The pixels are those of the steps drawn one after another, as
// long as no source changes and nothing reads the target before the chain is
// drawn, which its keeper ensures.
#pragma once

#include <optional>
#include <vector>

#include "common/geometry.h"
#include "portable/raster/rop.h"
#include "portable/raster/surface.h"

namespace vyla::raster {

class BlitChain {
public:
    // A chain starts with a copy of the whole block into target at area.
    // Only blocks that lie wholly inside both surfaces, between two
    // different surfaces, into a 32-bit target are taken: anything else
    // (nullopt) is drawn at once by the caller.
    static std::optional<BlitChain> Start(Surface& target, Rect area, const Surface& src, Point srcPos);

    // Adds a combine of the same block; false (nothing added) when it is not
    // one: another area, a source that is the target or too small.
    bool Add(const Surface& src, Point srcPos, Rop rop);

    Surface& Target() const { return *target_; }
    const Rect& Area() const { return area_; }
    bool Reads(const Surface& surface) const;

    // Draws the chain into the target.
    void Draw() const;
    // Draws the chain into the target and, row by row, copies each finished
    // row on to dst at dstPos (clipped by dstClip and dst's bounds). dst must
    // not be the target or one of the sources. Returns the rectangle written
    // in dst.
    Rect DrawAndCopy(Surface& dst, const Rect& dstClip, Point dstPos) const;

private:
    struct Step {
        const Surface* source;
        Point from;
        Rop rop;
    };
    BlitChain(Surface& target, Rect area) : target_(&target), area_(area) {}
    void DrawRow(int row) const;

    Surface* target_;
    Rect area_;
    std::vector<Step> steps_;
};

}  // namespace vyla::raster
