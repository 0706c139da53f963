#include "portable/raster/palette.h"

#include <algorithm>

#include "portable/raster/vector_clones.h"

namespace vyla::raster {
namespace {

// A palette of at most two entries (every other index black) needs no table:
// two compares and masks per pixel, which compilers turn into vector code.
// This is the case of one-bit masks.
VYLA_VECTOR_CLONES
void ExpandTwoColours(const std::uint8_t* __restrict indices, Pixel* __restrict out, std::size_t count, Pixel zero, Pixel one)
{
    for (std::size_t i = 0; i < count; ++i) {
        const Pixel isZero = 0u - static_cast<Pixel>(indices[i] == 0);
        const Pixel isOne = 0u - static_cast<Pixel>(indices[i] == 1);
        out[i] = (isZero & zero) | (isOne & one);
    }
}

VYLA_VECTOR_CLONES
void ExpandByTable(const std::uint8_t* __restrict indices, Pixel* __restrict out, std::size_t count, const Pixel* table)
{
    for (std::size_t i = 0; i < count; ++i)
        out[i] = table[indices[i]];
}

}  // namespace

Palette::Palette(std::span<const Pixel> colours) : entryCount_(std::min(colours.size(), kMaxEntries))
{
    std::copy_n(colours.begin(), entryCount_, colours_.begin());
}

void Palette::Expand(const std::uint8_t* indices, Pixel* out, std::size_t count) const
{
    if (entryCount_ <= 2)
        ExpandTwoColours(indices, out, count, colours_[0], colours_[1]);
    else
        ExpandByTable(indices, out, count, colours_.data());
}

}  // namespace vyla::raster
