#include "wayland/gnome_wallpaper.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gio/gio.h>

#include <charconv>
#include <string>

#include "common/wallpaper_layout.h"

namespace vyla::wayland {

namespace {

// A GSettings object for schema, or nullptr where it is not installed.
GSettings* SettingsFor(const char* schema)
{
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    GSettingsSchema* found = source ? g_settings_schema_source_lookup(source, schema, TRUE) : nullptr;
    if (!found)
        return nullptr;
    g_settings_schema_unref(found);
    return g_settings_new(schema);
}

bool HasKey(GSettings* settings, const char* key)
{
    GSettingsSchema* schema = nullptr;
    g_object_get(settings, "settings-schema", &schema, nullptr);
    const bool has = schema && g_settings_schema_has_key(schema, key);
    if (schema)
        g_settings_schema_unref(schema);
    return has;
}

std::string Text(GSettings* settings, const char* key)
{
    if (!HasKey(settings, key))
        return {};
    g_autofree char* value = g_settings_get_string(settings, key);
    return value ? value : "";
}

bool PrefersDark()
{
    GSettings* interface = SettingsFor("org.gnome.desktop.interface");
    if (!interface)
        return false;
    const bool dark = Text(interface, "color-scheme") == "prefer-dark";
    g_object_unref(interface);
    return dark;
}

// GNOME's picture-options as the shared placement's styles; none: no picture.
std::optional<WallpaperStyle> StyleFor(std::string_view options)
{
    if (options == "wallpaper")
        return WallpaperStyle::Tile;
    if (options == "centered")
        return WallpaperStyle::Centre;
    if (options == "scaled")
        return WallpaperStyle::Fit;
    if (options == "stretched")
        return WallpaperStyle::Stretch;
    if (options == "spanned")
        return WallpaperStyle::Span;
    if (options == "zoom")
        return WallpaperStyle::Fill;
    return std::nullopt;
}

int Channel(const guchar* p, int c, int alpha, int under)
{
    return (p[c] * alpha + under * (255 - alpha) + 127) / 255;
}

// Draws picture into the surface at place (nearest neighbour, alpha over
// what is there); tiled: repeated from place in every direction.
void Draw(raster::Surface& screen, GdkPixbuf* picture, const Rect& place, bool tiled)
{
    const int pw = gdk_pixbuf_get_width(picture), ph = gdk_pixbuf_get_height(picture);
    const int stride = gdk_pixbuf_get_rowstride(picture);
    const int channels = gdk_pixbuf_get_n_channels(picture);
    const bool alpha = gdk_pixbuf_get_has_alpha(picture);
    const guchar* pixels = gdk_pixbuf_read_pixels(picture);
    const int w = place.Width(), h = place.Height();
    if (w <= 0 || h <= 0 || gdk_pixbuf_get_bits_per_sample(picture) != 8 || channels < 3)
        return;
    for (int y = 0; y < screen.Height(); ++y) {
        int dy = y - place.top;
        if (tiled)
            dy = ((dy % h) + h) % h;
        else if (dy < 0 || dy >= h)
            continue;
        const int sy = static_cast<int>(std::int64_t{dy} * ph / h);
        raster::Pixel* row = screen.Row(y);
        for (int x = 0; x < screen.Width(); ++x) {
            int dx = x - place.left;
            if (tiled)
                dx = ((dx % w) + w) % w;
            else if (dx < 0 || dx >= w)
                continue;
            const int sx = static_cast<int>(std::int64_t{dx} * pw / w);
            const guchar* p = pixels + static_cast<std::size_t>(sy) * stride + static_cast<std::size_t>(sx) * channels;
            const int a = alpha ? p[3] : 255;
            const raster::Pixel under = row[x];
            row[x] = static_cast<raster::Pixel>(Channel(p, 0, a, (under >> 16) & 0xFF) << 16 |
                                                Channel(p, 1, a, (under >> 8) & 0xFF) << 8 |
                                                Channel(p, 2, a, under & 0xFF));
        }
    }
}

}  // namespace

raster::Pixel ParseGnomeColour(std::string_view text)
{
    if (!text.starts_with('#') || (text.size() != 7 && text.size() != 4))
        return 0;
    text.remove_prefix(1);
    unsigned value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (error != std::errc{} || end != text.data() + text.size())
        return 0;
    if (text.size() == 3)
        value = (value >> 8 & 0xF) * 0x110000 + (value >> 4 & 0xF) * 0x1100 + (value & 0xF) * 0x11;
    return value;
}

std::optional<raster::Surface> GnomeDesktopPicture(Size output)
{
    GSettings* background = SettingsFor("org.gnome.desktop.background");
    if (!background)
        return std::nullopt;
    const std::string uri = Text(background, PrefersDark() && HasKey(background, "picture-uri-dark")
                                                 ? "picture-uri-dark"
                                                 : "picture-uri");
    const std::string options = Text(background, "picture-options");
    const raster::Pixel colour = ParseGnomeColour(Text(background, "primary-color"));
    g_object_unref(background);

    auto screen = raster::Surface::Create(output, colour);
    if (!screen)
        return std::nullopt;
    const auto style = StyleFor(options);
    g_autofree char* file = uri.empty() ? nullptr : g_filename_from_uri(uri.c_str(), nullptr, nullptr);
    if (!style || !file)
        return screen;
    // Unreadable, or not a picture: the colour alone.
    GdkPixbuf* loaded = gdk_pixbuf_new_from_file(file, nullptr);
    if (!loaded)
        return screen;
    GdkPixbuf* picture = gdk_pixbuf_apply_embedded_orientation(loaded);
    g_object_unref(loaded);
    if (!picture)
        return screen;
    const Rect monitor = Rect::FromSize(output);
    // One output is all this process sees: spanning covers it as zoom would.
    const Rect place = PlaceWallpaper({gdk_pixbuf_get_width(picture), gdk_pixbuf_get_height(picture)}, *style,
                                      monitor, monitor);
    Draw(*screen, picture, place, *style == WallpaperStyle::Tile);
    g_object_unref(picture);
    return screen;
}

}  // namespace vyla::wayland
