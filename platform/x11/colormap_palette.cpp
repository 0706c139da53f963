#include "x11/colormap_palette.h"

#include <limits>

namespace vyla::x11 {

namespace {

// Colormaps larger than this are not worth a table (no such screens are in use).
constexpr int kMaxEntries = 4096;

raster::Pixel RgbOf(const XColor& c)
{
    auto byte = [](unsigned short v) { return static_cast<raster::Pixel>(v >> 8); };
    return (byte(c.red) << 16) | (byte(c.green) << 8) | byte(c.blue);
}

unsigned long Nearest(const std::vector<raster::Pixel>& entries, raster::Pixel rgb)
{
    unsigned long best = 0;
    long bestDistance = std::numeric_limits<long>::max();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        long distance = 0;
        for (int shift : {16, 8, 0}) {
            long d = static_cast<long>((entries[i] >> shift) & 0xFF) - static_cast<long>((rgb >> shift) & 0xFF);
            distance += d * d;
        }
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

}  // namespace

ColormapPalette::ColormapPalette(std::vector<raster::Pixel> entries, const Cube& cube) : entries_(std::move(entries)), cube_(cube)
{
    // The lowest pixel value of each colour, so the choice does not depend
    // on the table's order.
    for (std::size_t i = entries_.size(); i-- > 0;)
        exact_[entries_[i]] = i;
}

std::shared_ptr<const ColormapPalette> ColormapPalette::ForScreen(Display* display, int screen)
{
    Visual* visual = DefaultVisual(display, screen);
    Colormap colormap = DefaultColormap(display, screen);
    int size = visual->map_entries;
    if (size <= 0 || size > kMaxEntries)
        return nullptr;
    std::vector<XColor> cells(static_cast<std::size_t>(size));
    for (int i = 0; i < size; ++i)
        cells[static_cast<std::size_t>(i)].pixel = static_cast<unsigned long>(i);
    XQueryColors(display, colormap, cells.data(), size);
    std::vector<raster::Pixel> entries;
    for (const XColor& c : cells)
        entries.push_back(RgbOf(c));

    Cube cube{};
    for (int r = 0; r < kLevels; ++r)
        for (int g = 0; g < kLevels; ++g)
            for (int b = 0; b < kLevels; ++b) {
                auto level = [](int v) { return static_cast<unsigned short>(v * 0xFFFF / (kLevels - 1)); };
                XColor c{};
                c.red = level(r);
                c.green = level(g);
                c.blue = level(b);
                c.flags = DoRed | DoGreen | DoBlue;
                unsigned long& cell = cube[static_cast<std::size_t>((r * kLevels + g) * kLevels + b)];
                if (XAllocColor(display, colormap, &c) && c.pixel < entries.size()) {
                    cell = c.pixel;
                    entries[c.pixel] = RgbOf(c);
                } else {
                    cell = Nearest(entries, RgbOf(c));
                }
            }
    return std::make_shared<const ColormapPalette>(std::move(entries), cube);
}

raster::Pixel ColormapPalette::ToRgb(unsigned long pixel) const
{
    return pixel < entries_.size() ? entries_[pixel] : 0;
}

unsigned long ColormapPalette::FromRgb(raster::Pixel rgb) const
{
    rgb &= 0x00FFFFFF;
    if (auto it = exact_.find(rgb); it != exact_.end())
        return it->second;
    int r = Level((rgb >> 16) & 0xFF), g = Level((rgb >> 8) & 0xFF), b = Level(rgb & 0xFF);
    return cube_[static_cast<std::size_t>((r * kLevels + g) * kLevels + b)];
}

}  // namespace vyla::x11
