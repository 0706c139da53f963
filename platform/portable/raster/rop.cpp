#include "portable/raster/rop.h"

#include <cstring>

#include "portable/raster/vector_clones.h"

namespace vyla::raster {
namespace {

// Plain indexed loops over restrict-qualified pointers: compilers turn these
// into full-width vector code.
VYLA_VECTOR_CLONES
void AndRow(Pixel* __restrict dst, const Pixel* __restrict src, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        dst[i] &= src[i];
}

VYLA_VECTOR_CLONES
void OrRow(Pixel* __restrict dst, const Pixel* __restrict src, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        dst[i] |= src[i];
}

}  // namespace

std::optional<Rop> RopFromCode(std::uint32_t code)
{
    switch (static_cast<Rop>(code)) {
    case Rop::SrcCopy:
    case Rop::SrcAnd:
    case Rop::SrcPaint:
        return static_cast<Rop>(code);
    }
    return std::nullopt;
}

bool CombineRow(Pixel* dst, const Pixel* src, std::size_t count, Rop rop)
{
    switch (rop) {
    case Rop::SrcCopy:
        if (dst != src && count != 0)
            std::memcpy(dst, src, count * sizeof(Pixel));
        return true;
    case Rop::SrcAnd:
        // x & x == x and x | x == x: identical ranges need no work.
        if (dst != src)
            AndRow(dst, src, count);
        return true;
    case Rop::SrcPaint:
        if (dst != src)
            OrRow(dst, src, count);
        return true;
    }
    return false;
}

}  // namespace vyla::raster
