#include "options.h"

#include <charconv>
#include <limits>
#include <string>

#include "usage_error.h"

namespace vyla::render {

namespace {

template <typename Int>
bool ParseInt(std::string_view text, Int& value)
{
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return !text.empty() && ec == std::errc{} && ptr == end;
}

Size ParseSize(std::string_view text)
{
    std::size_t x = text.find_first_of("xX");
    int w = 0, h = 0;
    if (x == std::string_view::npos || !ParseInt(text.substr(0, x), w) || !ParseInt(text.substr(x + 1), h))
        throw UsageError("--size: \"" + std::string(text) + "\" is not WIDTHxHEIGHT");
    if (w < 1 || h < 1 || w > RenderOptions::kMaxSide || h > RenderOptions::kMaxSide)
        throw UsageError("--size: each side must be 1 to " + std::to_string(RenderOptions::kMaxSide) + " pixels");
    return Size{w, h};
}

raster::Pixel ParseColour(std::string_view text)
{
    if (!text.empty() && text.front() == '#')
        text.remove_prefix(1);
    std::uint32_t value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value, 16);
    if (text.size() != 6 || ec != std::errc{} || ptr != end)
        throw UsageError("--desktop-color: \"" + std::string(text) + "\" is not a colour RRGGBB");
    return value;
}

std::uint32_t ParseTick(std::string_view name, std::string_view text)
{
    std::uint32_t value = 0;
    if (!ParseInt(text, value))
        throw UsageError(std::string(name) + ": \"" + std::string(text) + "\" is not an unsigned 32-bit number");
    return value;
}

}  // namespace

RenderOptions ParseOptions(std::span<const std::string_view> args, bool* helpRequested)
{
    RenderOptions o;
    bool haveTicks = false;
    bool haveOut = false;
    bool haveGifScale = false;
    if (helpRequested)
        *helpRequested = false;

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h") {
            if (helpRequested)
                *helpRequested = true;
            return RenderOptions{};
        }
        if (!arg.starts_with("--"))
            throw UsageError("unexpected argument \"" + std::string(arg) + "\" (try --help)");
        std::string_view name = arg;
        std::string_view value;
        bool inlineValue = false;
        if (std::size_t eq = arg.find('='); eq != std::string_view::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
            inlineValue = true;
        }
        auto next = [&]() -> std::string_view {
            if (inlineValue)
                return value;
            if (i + 1 >= args.size())
                throw UsageError(std::string(name) + " needs a value");
            return args[++i];
        };
        auto path = [&]() {
            std::string_view v = next();
            if (v.empty())
                throw UsageError(std::string(name) + " needs a file name");
            return std::filesystem::path(v);
        };

        if (name == "--size") {
            o.screen = ParseSize(next());
        } else if (name == "--desktop") {
            o.desktopImage = path();
        } else if (name == "--desktop-color") {
            o.desktopColour = ParseColour(next());
        } else if (name == "--settings") {
            o.settings = path();
        } else if (name == "--clock-seconds") {
            std::string_view v = next();
            std::int64_t seconds = 0;
            if (!ParseInt(v, seconds))
                throw UsageError("--clock-seconds: \"" + std::string(v) + "\" is not a whole number of seconds");
            o.clockSeconds = seconds;
        } else if (name == "--start") {
            o.start = ParseTick(name, next());
        } else if (name == "--ticks") {
            o.ticks = TickList::Parse(next());
            haveTicks = true;
        } else if (name == "--out") {
            o.out = path();
            haveOut = true;
        } else if (name == "--gif") {
            o.gif = path();
        } else if (name == "--gif-scale") {
            std::string_view v = next();
            if (!ParseInt(v, o.gifScale) || o.gifScale < 1 || o.gifScale > RenderOptions::kMaxGifScale)
                throw UsageError("--gif-scale: \"" + std::string(v) + "\" is not a whole number from 1 to " +
                                 std::to_string(RenderOptions::kMaxGifScale));
            haveGifScale = true;
        } else {
            throw UsageError("unknown option \"" + std::string(name) + "\" (try --help)");
        }
    }

    if (o.desktopImage && o.desktopColour)
        throw UsageError("--desktop and --desktop-color exclude each other");
    if (!haveTicks)
        throw UsageError("--ticks is required");
    if (!haveOut)
        throw UsageError("--out is required");
    if (haveGifScale && !o.gif)
        throw UsageError("--gif-scale needs --gif");
    if (o.gif && (o.screen.width / o.gifScale < 1 || o.screen.height / o.gifScale < 1))
        throw UsageError("--gif-scale: the animation would be smaller than one pixel");
    return o;
}

std::string_view UsageText()
{
    return "usage: vyla-render [--size WxH] [--desktop IMAGE | --desktop-color RRGGBB] [--settings FILE]\n"
           "                   [--clock-seconds N] [--start TICK] --ticks LIST --out DIR [--gif FILE [--gif-scale N]]\n"
           "Runs the screen saver on a virtual screen and writes what the screen shows.\n"
           "  --size WxH          screen size (default 1024x768)\n"
           "  --desktop IMAGE     PNG or JPEG desktop picture, scaled to fill the screen\n"
           "  --desktop-color RRGGBB  a plain desktop of that colour (default: a built-in evening landscape)\n"
           "  --settings FILE     the settings file the saver reads (default: none, every setting 0)\n"
           "  --clock-seconds N   calendar time the saver sees, seconds since 1970 (default: now)\n"
           "  --start TICK        tick count when the saver starts (default 0)\n"
           "  --ticks LIST        tick count at each idle call: N or A:B:STEP, comma-separated\n"
           "  --out DIR           writes DIR/TICK.png after every animation step\n"
           "  --gif FILE          also writes an animated GIF of those frames\n"
           "  --gif-scale N       the GIF is the screen reduced N times (default 2)\n";
}

}  // namespace vyla::render
