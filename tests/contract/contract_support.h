// What the raster contract tests need from the system they run on. Each
// system has its own support file; CMake picks the one that fits.
#pragma once

#include <memory>

namespace vyla::contract {

// Makes the drawing system ready for one test and tidies up after it.
class RasterSystem {
public:
    RasterSystem();
    ~RasterSystem();
    RasterSystem(const RasterSystem&) = delete;
    RasterSystem& operator=(const RasterSystem&) = delete;

private:
    struct State;
    std::unique_ptr<State> state_;
};

// How the system resamples a stretched picture, where the contract leaves
// it free.
struct StretchRules {
    // Source pixels a stretched pixel may land from the nearest-neighbour
    // rule when enlarging by a factor that is not whole: 0 where the system
    // follows the rule itself, 1 where it rounds its own way (GDI).
    int enlargeTolerance;
    // Whether shrinking keeps one source pixel per destination pixel. GDI's
    // default stretching mode instead combines the pixels it drops (AND).
    bool shrinkSamples;
};
StretchRules SystemStretchRules();

}  // namespace vyla::contract
