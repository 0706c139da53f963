// The desktop picture on GNOME, which gives no program the screen's
// contents without asking the user: the wallpaper as GSettings describes it
// (org.gnome.desktop.background), drawn for one output as GNOME places it.
#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "common/geometry.h"
#include "portable/raster/surface.h"
#include "wayland/desktop_capture.h"

namespace vyla::wayland {

// The picture for an output of that size: picture-uri (picture-uri-dark
// when org.gnome.desktop.interface color-scheme is prefer-dark) placed by
// picture-options over primary-color; the colour alone where the picture
// cannot be read or the options say none. nullopt where GSettings has no
// such schema (the saver then starts from black).
std::optional<raster::Surface> GnomeDesktopPicture(Size output);

// "#rrggbb" or "#rgb" as 0x00RRGGBB; black for anything else.
raster::Pixel ParseGnomeColour(std::string_view text);

// As a DesktopCapture, for outputs of that size.
class GnomeWallpaperCapture final : public DesktopCapture {
public:
    explicit GnomeWallpaperCapture(Size output) : output_(output) {}
    std::optional<raster::Surface> Capture(wl_output*, std::string_view) override
    {
        return GnomeDesktopPicture(output_);
    }

private:
    Size output_;
};

}  // namespace vyla::wayland
