// The renderer's command line.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "common/geometry.h"
#include "portable/raster/surface.h"
#include "tick_list.h"

namespace vyla::render {

struct RenderOptions {
    static constexpr int kMaxSide = 16384;
    static constexpr int kMaxGifScale = 16;

    Size screen{1024, 768};
    // At most one of the two; neither means the built-in picture.
    std::optional<std::filesystem::path> desktopImage;
    std::optional<raster::Pixel> desktopColour;
    std::optional<std::filesystem::path> settings;
    std::optional<std::int64_t> clockSeconds;  // none: the real time
    std::uint32_t start = 0;
    TickList ticks;
    std::filesystem::path out;
    std::optional<std::filesystem::path> gif;
    int gifScale = 2;
};

// Parses the arguments after the program name. Options take their value as
// the next argument or after "=". Throws UsageError. "--help" is reported
// through the flag, with the other fields left at their defaults.
RenderOptions ParseOptions(std::span<const std::string_view> args, bool* helpRequested = nullptr);

// One line per option, for --help.
std::string_view UsageText();

}  // namespace vyla::render
