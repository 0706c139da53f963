// Writes frames, as they come, into an animated GIF that loops forever.
//
// The palette is made from the first frame (and a half-bright copy of it,
// for the half-tone shadows a reduced frame shows). Each frame after the
// first stores only what changed, with the pixels that stayed as they were
// transparent; a frame that equals the one before it lengthens that one.
// Frames shown for less than minimumDelayMs are replaced by the next, since
// viewers slow such frames down.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "palette.h"
#include "portable/raster/surface.h"

struct GifFileType;

namespace vyla::render {

class GifWriter {
public:
    static constexpr std::uint32_t kMinimumDelayMs = 20;

    // size: the animation's size; frames given later must have it.
    GifWriter(std::filesystem::path file, Size size);
    ~GifWriter();
    GifWriter(const GifWriter&) = delete;
    GifWriter& operator=(const GifWriter&) = delete;

    // A frame that appears at tick (milliseconds; ticks only grow, modulo
    // 2^32 from one frame to the next). Returns false once writing failed.
    bool AddFrame(const raster::Surface& frame, std::uint32_t tick);
    // Writes the last frame, shown for lastDelayMs (0: as long as the frame
    // before it; at least the minimum), and closes the file. Returns an empty string or what went wrong.
    std::string Finish(std::uint32_t lastDelayMs);

    const std::string& Error() const { return error_; }
    int FramesWritten() const { return framesWritten_; }

private:
    bool Open(const raster::Surface& first);
    bool WritePending(std::uint32_t delayMs);
    void Fail(const std::string& what);

    std::filesystem::path file_;
    Size size_;
    GifFileType* gif_ = nullptr;
    std::optional<Palette> palette_;
    std::vector<std::uint8_t> canvas_;   // indices as shown after the frames written
    std::vector<std::uint8_t> pending_;  // the frame waiting for its delay
    std::uint32_t pendingTick_ = 0;
    bool havePending_ = false;
    bool haveCanvas_ = false;
    std::uint64_t elapsedMs_ = 0;        // from the first frame to the pending one
    std::uint64_t writtenCs_ = 0;        // the written frames' delays, summed
    std::uint32_t lastDelayMs_ = 100;
    int framesWritten_ = 0;
    std::string error_;
    bool finished_ = false;
};

}  // namespace vyla::render
