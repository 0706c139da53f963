// Pictures in and out: PNG writing, PNG and JPEG reading, scaling.
#include <gtest/gtest.h>

#include <stdio.h>
// jpeglib.h needs FILE and size_t first.
#include <jpeglib.h>

#include <set>

#include "default_desktop.h"
#include "image_reader.h"
#include "png_writer.h"
#include "render_test_support.h"
#include "resample.h"
#include "temp_dir.h"
#include "usage_error.h"

using vyla::Rect;
using vyla::Size;
using vyla::raster::Pixel;
using vyla::raster::Surface;
using vyla::render::TempDir;
using vyla::render::UsageError;
namespace rt = vyla::render::testing;
using rt::Equal;

namespace {

Surface Noise(Size size, std::uint32_t seed)
{
    Surface s = *Surface::Create(size);
    for (int y = 0; y < size.height; ++y)
        for (int x = 0; x < size.width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            s.Set(x, y, seed >> 8);
        }
    return s;
}

int Red(Pixel p)
{
    return static_cast<int>(p >> 16 & 0xFF);
}

void WriteJpeg(const std::filesystem::path& file, const Surface& s)
{
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    FILE* f = fopen(file.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    jpeg_stdio_dest(&info, f);
    info.image_width = static_cast<JDIMENSION>(s.Width());
    info.image_height = static_cast<JDIMENSION>(s.Height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(s.Width()) * 3);
    for (int y = 0; y < s.Height(); ++y) {
        for (int x = 0; x < s.Width(); ++x) {
            Pixel p = s.At(x, y);
            row[static_cast<std::size_t>(x) * 3] = static_cast<JSAMPLE>(p >> 16);
            row[static_cast<std::size_t>(x) * 3 + 1] = static_cast<JSAMPLE>(p >> 8);
            row[static_cast<std::size_t>(x) * 3 + 2] = static_cast<JSAMPLE>(p);
        }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&info, &r, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    fclose(f);
}

}  // namespace

TEST(PngFiles, WriteThenReadGivesThePixelsBack)
{
    TempDir dir;
    // Odd sizes, and a picture large enough to need several IDAT chunks.
    for (Size size : {Size{1, 1}, Size{3, 7}, Size{641, 359}, Size{1024, 600}}) {
        const Surface picture = Noise(size, static_cast<std::uint32_t>(size.width));
        const auto file = dir.Path() / "p.png";
        ASSERT_EQ(vyla::render::WritePng(file, picture), "");
        auto back = rt::ReadPng(file);
        ASSERT_TRUE(back) << size.width;
        EXPECT_TRUE(Equal(*back, picture)) << size.width << "x" << size.height;
        auto again = vyla::render::ReadImage(file);
        EXPECT_TRUE(Equal(again, picture)) << "the renderer reads what it writes";
    }
}

TEST(PngFiles, FailuresAreReportedNotFatal)
{
    TempDir dir;
    EXPECT_NE(vyla::render::WritePng(dir.Path() / "missing" / "p.png", Noise(Size{4, 4}, 1)), "");
    EXPECT_NE(vyla::render::WritePng(dir.Path() / "empty.png", Surface{}), "");
}

TEST(DesktopPictures, JpegIsReadAndBadFilesAreUsageErrors)
{
    TempDir dir;
    Surface flat = *Surface::Create(Size{40, 24}, 0x3080C0);
    WriteJpeg(dir.Path() / "flat.jpg", flat);
    Surface read = vyla::render::ReadImage(dir.Path() / "flat.jpg");
    ASSERT_EQ(read.GetSize(), flat.GetSize());
    for (Pixel p : {read.At(0, 0), read.At(20, 12), read.At(39, 23)})
        for (int shift : {16, 8, 0})
            EXPECT_NEAR(static_cast<int>(p >> shift & 0xFF), static_cast<int>(0x3080C0u >> shift & 0xFF), 3);

    rt::WriteText(dir.Path() / "text.png", "not a picture at all");
    std::string truncatedJpeg = rt::ReadText(dir.Path() / "flat.jpg").substr(0, 200);
    rt::WriteText(dir.Path() / "cut.jpg", truncatedJpeg);
    ASSERT_EQ(vyla::render::WritePng(dir.Path() / "whole.png", Noise(Size{64, 64}, 5)), "");
    rt::WriteText(dir.Path() / "cut.png", rt::ReadText(dir.Path() / "whole.png").substr(0, 300));
    for (const char* name : {"absent.png", "text.png", "cut.jpg", "cut.png"})
        EXPECT_THROW(vyla::render::ReadImage(dir.Path() / name), UsageError) << name;
    EXPECT_THROW(vyla::render::ReadImage(dir.Path()), UsageError) << "a directory";
}

TEST(Scaling, FillCropKeepsTheProportionsOfTheScreen)
{
    using vyla::render::FillCrop;
    EXPECT_EQ(FillCrop(Size{1600, 1200}, Size{1024, 768}), (Rect{0, 0, 1600, 1200}));
    EXPECT_EQ(FillCrop(Size{2000, 1000}, Size{1000, 1000}), (Rect{500, 0, 1500, 1000})) << "wide: the sides go";
    EXPECT_EQ(FillCrop(Size{1000, 2000}, Size{1920, 1080}), (Rect{0, 718, 1000, 1281})) << "tall: top and bottom go";
    EXPECT_EQ(FillCrop(Size{1, 1}, Size{1920, 1080}), (Rect{0, 0, 1, 1}));
    EXPECT_EQ(FillCrop(Size{0, 5}, Size{10, 10}), Rect{});
}

TEST(Scaling, FlatStaysFlatAndAveragesAreFair)
{
    using vyla::render::BoxReduce;
    using vyla::render::Resample;
    const Surface flat = *Surface::Create(Size{37, 23}, 0x80FF01);
    for (Size to : {Size{5, 3}, Size{37, 23}, Size{300, 111}}) {
        Surface scaled = Resample(flat, flat.Bounds(), to);
        ASSERT_EQ(scaled.GetSize(), to);
        EXPECT_TRUE(Equal(scaled, *Surface::Create(to, 0x80FF01))) << to.width;
    }
    // A 1-pixel checkerboard of black and white reduces to mid-grey.
    Surface checker = *Surface::Create(Size{64, 64});
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            checker.Set(x, y, (x + y) % 2 ? 0xFFFFFF : 0);
    Surface half = Resample(checker, checker.Bounds(), Size{32, 32});
    Surface box = BoxReduce(checker, 2);
    ASSERT_EQ(box.GetSize(), (Size{32, 32}));
    for (Pixel p : {half.At(10, 10), half.At(20, 5), box.At(0, 0), box.At(17, 5)})
        EXPECT_NEAR(Red(p), 128, 1);
    // Blocks at the edge average only what they hold.
    Surface edge = *Surface::Create(Size{5, 1}, 0x000000);
    edge.Set(4, 0, 0x0000FF);
    EXPECT_EQ(BoxReduce(edge, 2).At(2, 0), 0x0000FFu);
    EXPECT_EQ(BoxReduce(edge, 2).GetSize(), (Size{3, 1}));
}

TEST(Scaling, EnlargingBlendsNeighbours)
{
    Surface two = *Surface::Create(Size{2, 1});
    two.Set(0, 0, 0x000000);
    two.Set(1, 0, 0xFF0000);
    Surface wide = vyla::render::Resample(two, two.Bounds(), Size{8, 1});
    int previous = -1;
    for (int x = 0; x < 8; ++x) {
        EXPECT_GE(Red(wide.At(x, 0)), previous) << "a ramp, never going back";
        previous = Red(wide.At(x, 0));
    }
    EXPECT_LT(Red(wide.At(0, 0)), 20);
    EXPECT_GT(Red(wide.At(7, 0)), 235);
    EXPECT_GT(Red(wide.At(4, 0)), 60);
    EXPECT_LT(Red(wide.At(3, 0)), 200);
}

TEST(Scaling, ScaleToFillUsesTheCentre)
{
    // Left third red, middle third green, right third blue: filling a square
    // shows the middle only.
    Surface bands = *Surface::Create(Size{300, 100});
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 300; ++x)
            bands.Set(x, y, x < 100 ? 0xFF0000 : x < 200 ? 0x00FF00 : 0x0000FF);
    Surface square = vyla::render::ScaleToFill(bands, Size{50, 50});
    ASSERT_EQ(square.GetSize(), (Size{50, 50}));
    EXPECT_EQ(square.At(2, 25), 0x00FF00u);
    EXPECT_EQ(square.At(47, 25), 0x00FF00u);
}

TEST(DefaultDesktop, SameEveryTimeAtAnySize)
{
    using vyla::render::DrawDefaultDesktop;
    const Surface a = DrawDefaultDesktop(Size{320, 240});
    ASSERT_EQ(a.GetSize(), (Size{320, 240}));
    EXPECT_TRUE(Equal(a, DrawDefaultDesktop(Size{320, 240})));
    std::set<Pixel> colours;
    for (int y = 0; y < 240; y += 4)
        for (int x = 0; x < 320; x += 4)
            colours.insert(a.At(x, y));
    EXPECT_GT(colours.size(), 100u) << "a picture, not a plain colour";
    // Light enough where the silhouettes fall for their half-tone to show.
    EXPECT_GT(Red(a.At(160, 130)), 100);
    for (Size odd : {Size{1, 1}, Size{2000, 3}, Size{3, 900}})
        EXPECT_EQ(DrawDefaultDesktop(odd).GetSize(), odd);
    EXPECT_EQ(DrawDefaultDesktop(Size{0, 10}).GetSize(), Size{});
}
