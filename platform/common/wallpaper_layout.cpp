#include "common/wallpaper_layout.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace vyla {
namespace {

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

int Clamped(std::int64_t v)
{
    return static_cast<int>(std::clamp<std::int64_t>(v, 0, std::numeric_limits<int>::max()));
}

// a * b / c rounded to the nearest integer, for positive sizes; a result
// past the int range is held at its end.
int ScaledRounded(int a, int b, int c)
{
    return Clamped((std::int64_t{a} * b + c / 2) / c);
}

// Computed wide and clamped, so that no size the settings or a file can give
// overflows.
Rect Centred(Size size, const Rect& area)
{
    const std::int64_t left = area.left + (std::int64_t{area.right} - area.left - size.width) / 2;
    const std::int64_t top = area.top + (std::int64_t{area.bottom} - area.top - size.height) / 2;
    return Rect::FromXYWH(left, top, size.width, size.height);
}

// The picture's shape at the area's width, or at its height: covering the
// area (cover) or fitting inside it.
Size Scaled(Size picture, const Rect& area, bool cover)
{
    const int width = Clamped(std::int64_t{area.right} - area.left);
    const int height = Clamped(std::int64_t{area.bottom} - area.top);
    // Compares the shapes: is the area relatively wider than the picture?
    const std::int64_t byWidth = std::int64_t{width} * picture.height;
    const std::int64_t byHeight = std::int64_t{height} * picture.width;
    const bool matchWidth = cover ? byWidth >= byHeight : byWidth <= byHeight;
    if (matchWidth)
        return Size{width, ScaledRounded(picture.height, width, picture.width)};
    return Size{ScaledRounded(picture.width, height, picture.height), height};
}

}  // namespace

WallpaperStyle WallpaperStyleFrom(std::string_view wallpaperStyle, std::string_view tileWallpaper)
{
    if (Trimmed(tileWallpaper) == "1")
        return WallpaperStyle::Tile;
    const std::string_view style = Trimmed(wallpaperStyle);
    if (style == "2")
        return WallpaperStyle::Stretch;
    if (style == "6")
        return WallpaperStyle::Fit;
    if (style == "10")
        return WallpaperStyle::Fill;
    if (style == "22")
        return WallpaperStyle::Span;
    return WallpaperStyle::Centre;
}

Rect PlaceWallpaper(Size picture, WallpaperStyle style, const Rect& monitor, const Rect& virtualScreen)
{
    if (picture.IsEmpty() || monitor.IsEmpty())
        return Rect{};
    switch (style) {
    case WallpaperStyle::Tile:
        return Rect::FromXYWH(monitor.left, monitor.top, picture.width, picture.height);
    case WallpaperStyle::Stretch:
        return monitor;
    case WallpaperStyle::Fit:
        return Centred(Scaled(picture, monitor, false), monitor);
    case WallpaperStyle::Fill:
        return Centred(Scaled(picture, monitor, true), monitor);
    case WallpaperStyle::Span:
        if (virtualScreen.IsEmpty())
            return Rect{};
        return Centred(Scaled(picture, virtualScreen, true), virtualScreen);
    case WallpaperStyle::Centre:
    default:
        return Centred(picture, monitor);
    }
}

}  // namespace vyla
