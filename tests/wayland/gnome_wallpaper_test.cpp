// GNOME's desktop picture as GSettings describes it (an in-memory GSettings
// backend, the installed schemas): every picture-options value placed over
// primary-color, the dark variant, PNG and JPEG, and pictures that cannot be
// read giving the colour.
#include <gtest/gtest.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gio/gio.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"
#include "support/text_files.h"
#include "wayland/gnome_wallpaper.h"

namespace {

using vyla::Point;
using vyla::Size;
using vyla::raster::Pixel;
using vyla::wayland::GnomeDesktopPicture;
using vyla::wayland::ParseGnomeColour;

constexpr Pixel kRed = 0xFF0000, kBlue = 0x0000FF, kGreen = 0x00FF00, kWhite = 0xFFFFFF;
constexpr Size kOutput{100, 60};

// A 40x20 picture: its left half red, its right half blue.
void WritePicture(const std::filesystem::path& file, const char* type, Pixel left, Pixel right)
{
    GdkPixbuf* p = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, 40, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) {
            const Pixel c = x < 20 ? left : right;
            guchar* at = gdk_pixbuf_get_pixels(p) + y * gdk_pixbuf_get_rowstride(p) + x * 3;
            at[0] = c >> 16 & 0xFF;
            at[1] = c >> 8 & 0xFF;
            at[2] = c & 0xFF;
        }
    ASSERT_TRUE(gdk_pixbuf_save(p, file.c_str(), type, nullptr, nullptr));
    g_object_unref(p);
}

bool Near(Pixel a, Pixel b)
{
    for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF)) > 24)
            return false;
    return true;
}

class GnomeWallpaper : public ::testing::Test {
protected:
    static void SetUpTestSuite() { g_setenv("GSETTINGS_BACKEND", "memory", TRUE); }

    void SetUp() override
    {
        GSettingsSchemaSource* source = g_settings_schema_source_get_default();
        GSettingsSchema* schema = source ? g_settings_schema_source_lookup(source, "org.gnome.desktop.background", TRUE)
                                         : nullptr;
        if (!schema)
            GTEST_SKIP() << "GNOME's desktop schemas are not installed";
        g_settings_schema_unref(schema);
        WritePicture(png_, "png", kRed, kBlue);
        Set("org.gnome.desktop.background", "primary-color", "#00ff00");
        Set("org.gnome.desktop.interface", "color-scheme", "default");
        SetPicture(png_);
    }

    static void Set(const char* schema, const char* key, const std::string& value)
    {
        GSettings* s = g_settings_new(schema);
        EXPECT_TRUE(g_settings_set_string(s, key, value.c_str())) << key;
        g_object_unref(s);
    }
    static void SetPicture(const std::filesystem::path& file, const char* key = "picture-uri")
    {
        g_autofree char* uri = g_filename_to_uri(file.c_str(), nullptr, nullptr);
        Set("org.gnome.desktop.background", key, uri);
    }

    vyla::testing::TempDir dir_;
    std::filesystem::path png_ = dir_.Path() / "wallpaper.png";
};

TEST_F(GnomeWallpaper, EveryPlacementOverThePrimaryColour)
{
    struct Probe {
        Point at;
        Pixel is;
    };
    const struct {
        const char* options;
        std::vector<Probe> probes;
    } cases[] = {
        {"none", {{{50, 30}, kGreen}, {{0, 0}, kGreen}}},
        {"centered", {{{30, 20}, kRed}, {{69, 39}, kBlue}, {{29, 30}, kGreen}, {{50, 19}, kGreen}, {{50, 40}, kGreen}}},
        {"wallpaper", {{{0, 0}, kRed}, {{39, 0}, kBlue}, {{40, 0}, kRed}, {{99, 59}, kRed}, {{60, 25}, kBlue}}},
        {"stretched", {{{0, 0}, kRed}, {{49, 59}, kRed}, {{50, 0}, kBlue}, {{99, 59}, kBlue}}},
        {"scaled", {{{0, 4}, kGreen}, {{0, 5}, kRed}, {{99, 54}, kBlue}, {{50, 55}, kGreen}}},
        {"zoom", {{{0, 0}, kRed}, {{49, 30}, kRed}, {{50, 30}, kBlue}, {{99, 59}, kBlue}}},
        {"spanned", {{{0, 0}, kRed}, {{50, 30}, kBlue}, {{99, 59}, kBlue}}},
    };
    for (const auto& c : cases) {
        Set("org.gnome.desktop.background", "picture-options", c.options);
        auto picture = GnomeDesktopPicture(kOutput);
        ASSERT_TRUE(picture) << c.options;
        ASSERT_EQ(picture->GetSize(), kOutput);
        for (const Probe& p : c.probes)
            EXPECT_EQ(picture->At(p.at.x, p.at.y), p.is) << c.options << " at " << p.at.x << "," << p.at.y;
    }
}

TEST_F(GnomeWallpaper, TheDarkPictureJpegAndUnreadablePictures)
{
    Set("org.gnome.desktop.background", "picture-options", "stretched");
    const auto jpeg = dir_.Path() / "white.jpg";
    WritePicture(jpeg, "jpeg", kWhite, kWhite);
    SetPicture(jpeg, "picture-uri-dark");
    EXPECT_EQ(GnomeDesktopPicture(kOutput)->At(10, 10), kRed) << "the light picture by default";
    Set("org.gnome.desktop.interface", "color-scheme", "prefer-dark");
    EXPECT_TRUE(Near(GnomeDesktopPicture(kOutput)->At(10, 10), kWhite)) << "the dark one, a JPEG";
    Set("org.gnome.desktop.interface", "color-scheme", "default");

    const auto text = dir_.Path() / "not-a-picture.png";
    vyla::testing::WriteText(text, "no picture here");
    const auto truncated = dir_.Path() / "truncated.png";
    std::filesystem::copy_file(png_, truncated);
    std::filesystem::resize_file(truncated, 40);
    for (const auto& file : {text, truncated, dir_.Path() / "missing.png"}) {
        SetPicture(file);
        auto picture = GnomeDesktopPicture(kOutput);
        ASSERT_TRUE(picture) << file;
        EXPECT_EQ(picture->At(10, 10), kGreen) << file;
        EXPECT_EQ(picture->At(99, 59), kGreen) << file;
    }
    Set("org.gnome.desktop.background", "picture-uri", "https://example.org/wallpaper.png");
    EXPECT_EQ(GnomeDesktopPicture(kOutput)->At(10, 10), kGreen) << "not a file";
}

TEST(GnomeColour, TheFormsGSettingsHolds)
{
    const struct {
        const char* text;
        Pixel is;
    } cases[] = {{"#ff0000", 0xFF0000}, {"#023c88", 0x023C88}, {"#abc", 0xAABBCC}, {"red", 0},
                 {"#12345", 0},         {"#gg0000", 0},        {"", 0},            {"#-12345", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(ParseGnomeColour(c.text), c.is) << c.text;
}

}  // namespace
