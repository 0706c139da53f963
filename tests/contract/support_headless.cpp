// The contract on the portable runtime: a headless host and an active
// runtime per test. Its stretching follows the nearest-neighbour rule exactly,
// shrinking included.
#include "contract_support.h"
#include "headless/headless_host.h"

namespace vyla::contract {

struct RasterSystem::State {
    headless::HeadlessHost host{Size{64, 48}};
    portable::Runtime runtime{host};
};

RasterSystem::RasterSystem() : state_(std::make_unique<State>()) {}

RasterSystem::~RasterSystem() = default;

StretchRules SystemStretchRules()
{
    return StretchRules{0, true};
}

}  // namespace vyla::contract
