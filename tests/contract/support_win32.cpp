// The contract on Windows GDI (or Wine's): the system is always ready.
// GDI enlarges within one source pixel of the nearest-neighbour rule and, in
// its default stretching mode, shrinks by combining the pixels it drops.
#include "contract_support.h"

namespace vyla::contract {

struct RasterSystem::State {};

RasterSystem::RasterSystem() = default;

RasterSystem::~RasterSystem() = default;

StretchRules SystemStretchRules()
{
    return StretchRules{1, false};
}

}  // namespace vyla::contract
