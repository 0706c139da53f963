// Where the system draws the desktop wallpaper, for each of its styles.
#pragma once

#include <string_view>

#include "common/geometry.h"

namespace vyla {

enum class WallpaperStyle { Centre, Tile, Stretch, Fit, Fill, Span };

// The style the desktop's two settings name (both are text): TileWallpaper
// "1" tiles; otherwise WallpaperStyle "0" centres, "2" stretches, "6" fits,
// "10" fills and "22" spans. Anything else, or nothing, centres.
WallpaperStyle WallpaperStyleFrom(std::string_view wallpaperStyle, std::string_view tileWallpaper);

// The rectangle the whole picture is drawn into (for Tile: the tile at the
// monitor's top-left, repeated from there in every direction), in the
// coordinates of monitor and virtualScreen. It may reach past the monitor:
// the monitor shows only its own part. Centre keeps the picture's size,
// Stretch takes the monitor's, Fit the largest size of the picture's shape
// that fits the monitor, Fill the smallest that covers it, and Span fills
// the virtual screen (all monitors). Sizes round to the nearest pixel and
// odd margins put the extra pixel right and below. An empty picture or
// monitor gives an empty rectangle.
Rect PlaceWallpaper(Size picture, WallpaperStyle style, const Rect& monitor, const Rect& virtualScreen);

}  // namespace vyla
