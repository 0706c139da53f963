#include "portable/raster/blit_chain.h"

#include "portable/raster/blit.h"

namespace vyla::raster {
namespace {

bool Inside(const Surface& surface, Point at, Size size)
{
    return Rect::FromXYWH(at.x, at.y, size.width, size.height).Intersected(surface.Bounds()) ==
           Rect::FromXYWH(at.x, at.y, size.width, size.height);
}

}  // namespace

std::optional<BlitChain> BlitChain::Start(Surface& target, Rect area, const Surface& src, Point srcPos)
{
    if (area.IsEmpty() || &target == &src || target.IsIndexed() || area.Intersected(target.Bounds()) != area ||
        !Inside(src, srcPos, area.GetSize()))
        return std::nullopt;
    BlitChain chain(target, area);
    chain.steps_.push_back(Step{&src, srcPos, Rop::SrcCopy});
    return chain;
}

bool BlitChain::Add(const Surface& src, Point srcPos, Rop rop)
{
    if (&src == target_ || !RopFromCode(static_cast<std::uint32_t>(rop)) || !Inside(src, srcPos, area_.GetSize()))
        return false;
    steps_.push_back(Step{&src, srcPos, rop});
    return true;
}

bool BlitChain::Reads(const Surface& surface) const
{
    for (const Step& step : steps_)
        if (step.source == &surface)
            return true;
    return false;
}

void BlitChain::DrawRow(int row) const
{
    const int width = area_.Width();
    for (const Step& step : steps_)
        BitBlt(*target_, area_, Point{area_.left, area_.top + row}, Size{width, 1}, *step.source,
               Point{step.from.x, step.from.y + row}, step.rop);
}

void BlitChain::Draw() const
{
    for (int row = 0; row < area_.Height(); ++row)
        DrawRow(row);
}

Rect BlitChain::DrawAndCopy(Surface& dst, const Rect& dstClip, Point dstPos) const
{
    Rect written;
    const int width = area_.Width();
    for (int row = 0; row < area_.Height(); ++row) {
        DrawRow(row);
        Rect part = BitBlt(dst, dstClip, Point{dstPos.x, dstPos.y + row}, Size{width, 1}, *target_,
                           Point{area_.left, area_.top + row}, Rop::SrcCopy);
        written = written.United(part);
    }
    return written;
}

}  // namespace vyla::raster
