// One run of the real program in saver mode on the headless backend, with
// the clock set to a given tick before every idle call, handing the screen
// to a sink after every call that ran an animation step.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "common/geometry.h"
#include "portable/raster/surface.h"
#include "tick_list.h"

namespace vyla::render {

class FrameSink {
public:
    virtual ~FrameSink() = default;
    // The screen after the idle call at tick ran an animation step. Returns
    // false to end the run early (the sink keeps its reason).
    virtual bool Frame(std::uint32_t tick, const raster::Surface& screen) = 0;
};

struct SaverSetup {
    raster::Surface desktop;                 // the screen's picture before the saver starts; its size is the screen's
    std::filesystem::path profileDirectory;  // where the program looks for vyla.ini
    std::int64_t calendarTime = 0;           // seconds since 1970
    std::uint32_t startTick = 0;             // the clock while the saver window is made
};

struct SaverRunResult {
    int exitCode = 0;                  // the program's
    std::uint64_t idleCalls = 0;
    std::uint64_t frames = 0;
    bool completed = false;            // every tick was used and the saver closed normally
    std::vector<std::string> reports;  // what the program reported to the user
};

SaverRunResult RunSaver(const SaverSetup& setup, const TickList& ticks, FrameSink& sink);

}  // namespace vyla::render
