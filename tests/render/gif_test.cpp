// The animation: its palette, and the GIF as a decoder sees it.
#include <gtest/gtest.h>

#include <gif_lib.h>

#include <memory>

#include "gif_writer.h"
#include "palette.h"
#include "render_test_support.h"
#include "temp_dir.h"

using vyla::Size;
using vyla::raster::Pixel;
using vyla::raster::Surface;
using vyla::render::GifWriter;
using vyla::render::Palette;
using vyla::render::TempDir;
using vyla::render::testing::Equal;

namespace {

// The decoded animation: each frame composed as a viewer shows it, and its delay.
struct Decoded {
    Size size;
    std::vector<Surface> frames;
    std::vector<int> delaysCs;
    bool loops = false;
};

Decoded Decode(const std::filesystem::path& file)
{
    Decoded d;
    int error = 0;
    GifFileType* gif = DGifOpenFileName(file.c_str(), &error);
    if (!gif)
        return d;
    std::unique_ptr<GifFileType, void (*)(GifFileType*)> closer(gif, [](GifFileType* g) {
        int e = 0;
        DGifCloseFile(g, &e);
    });
    if (DGifSlurp(gif) != GIF_OK)
        return d;
    d.size = Size{gif->SWidth, gif->SHeight};
    Surface canvas = *Surface::Create(d.size);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        GraphicsControlBlock gcb{};
        gcb.TransparentColor = NO_TRANSPARENT_COLOR;
        DGifSavedExtensionToGCB(gif, i, &gcb);
        const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
        const GifImageDesc& desc = image.ImageDesc;
        for (int y = 0; y < desc.Height; ++y)
            for (int x = 0; x < desc.Width; ++x) {
                int index = image.RasterBits[y * desc.Width + x];
                if (index == gcb.TransparentColor)
                    continue;
                const GifColorType& c = map->Colors[index];
                canvas.Set(desc.Left + x, desc.Top + y, Pixel{c.Red} << 16 | Pixel{c.Green} << 8 | c.Blue);
            }
        d.frames.push_back(canvas);
        d.delaysCs.push_back(gcb.DelayTime);
        for (int e = 0; e < image.ExtensionBlockCount; ++e) {
            const ExtensionBlock& block = image.ExtensionBlocks[e];
            if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
                std::string(reinterpret_cast<const char*>(block.Bytes), 11) == "NETSCAPE2.0")
                d.loops = true;
        }
    }
    for (int e = 0; e < gif->ExtensionBlockCount; ++e)
        if (gif->ExtensionBlocks[e].Function == APPLICATION_EXT_FUNC_CODE)
            d.loops = true;
    return d;
}

// A few colours in stripes, with a square of another colour at (at, at).
Surface Scene(int at)
{
    Surface s = *Surface::Create(Size{40, 30});
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            s.Set(x, y, y < 10 ? 0x203040 : y < 20 ? 0x808080 : 0xC0A000);
    for (int y = at; y < at + 5; ++y)
        for (int x = at; x < at + 5; ++x)
            s.Set(x, y, 0xD01020);
    return s;
}

}  // namespace

TEST(Palette, FewColoursAreKeptExactly)
{
    Surface s = *Surface::Create(Size{16, 16});
    for (int i = 0; i < 256; ++i)
        s.Set(i % 16, i / 16, static_cast<Pixel>(i * 0x010203 % 0x1000000) & 0xFFFFFF);
    Palette exact = Palette::MedianCut({{&s, 1}}, 256);
    EXPECT_EQ(exact.Size(), 256);
    for (int i = 0; i < 256; ++i) {
        Pixel p = s.At(i % 16, i / 16);
        EXPECT_EQ(exact.Colours()[exact.Nearest(p)], p);
    }
}

TEST(Palette, ManyColoursAreCutToTheLimitAndMapNearby)
{
    // A smooth two-way gradient of 65536 colours.
    Surface s = *Surface::Create(Size{256, 256});
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            s.Set(x, y, static_cast<Pixel>(x << 16 | y << 8 | 0x40));
    Palette p = Palette::MedianCut({{&s, 1}}, 255);
    EXPECT_EQ(p.Size(), 255);
    int worst = 0;
    for (int y = 0; y < 256; y += 5)
        for (int x = 0; x < 256; x += 5) {
            Pixel c = p.Colours()[p.Nearest(s.At(x, y))];
            worst = std::max({worst, std::abs(static_cast<int>(c >> 16) - x), std::abs(static_cast<int>(c >> 8 & 0xFF) - y)});
        }
    EXPECT_LE(worst, 16) << "255 colours over a 256 x 256 plane leave steps of about 16";
    EXPECT_EQ(Palette::MedianCut({}, 255).Size(), 1) << "nothing to see: one colour";
}

TEST(Gif, FramesComeBackAsShownWithTheirDelays)
{
    TempDir dir;
    const auto file = dir.Path() / "a.gif";
    GifWriter gif(file, Size{40, 30});
    ASSERT_TRUE(gif.AddFrame(Scene(0), 1000));
    ASSERT_TRUE(gif.AddFrame(Scene(0), 1050));   // the same picture: the first one lasts longer
    ASSERT_TRUE(gif.AddFrame(Scene(10), 1100));
    ASSERT_TRUE(gif.AddFrame(Scene(20), 1330));
    ASSERT_EQ(gif.Finish(0), "");
    EXPECT_EQ(gif.FramesWritten(), 3);

    Decoded d = Decode(file);
    EXPECT_EQ(d.size, (Size{40, 30}));
    EXPECT_TRUE(d.loops);
    ASSERT_EQ(d.frames.size(), 3u);
    EXPECT_TRUE(Equal(d.frames[0], Scene(0)));
    EXPECT_TRUE(Equal(d.frames[1], Scene(10))) << "unchanged pixels left transparent still show the earlier frame";
    EXPECT_TRUE(Equal(d.frames[2], Scene(20)));
    EXPECT_EQ(d.delaysCs, (std::vector<int>{10, 23, 23})) << "the last frame lasts as long as the one before";
}

TEST(Gif, TooShortFramesGiveWayAndTicksMayWrap)
{
    TempDir dir;
    const auto file = dir.Path() / "b.gif";
    GifWriter gif(file, Size{40, 30});
    ASSERT_TRUE(gif.AddFrame(Scene(0), 4294967280u));
    ASSERT_TRUE(gif.AddFrame(Scene(5), 4294967291u));  // 11 ms later: it takes the first one's place
    ASSERT_TRUE(gif.AddFrame(Scene(10), 24));          // 40 ms after the first, across the wrap of the clock
    ASSERT_EQ(gif.Finish(500), "");
    Decoded d = Decode(file);
    ASSERT_EQ(d.frames.size(), 2u);
    EXPECT_TRUE(Equal(d.frames[0], Scene(5)));
    EXPECT_TRUE(Equal(d.frames[1], Scene(10)));
    EXPECT_EQ(d.delaysCs, (std::vector<int>{4, 50}));
}

TEST(Gif, ReportsWhatGoesWrong)
{
    TempDir dir;
    GifWriter nowhere(dir.Path() / "no" / "such" / "dir.gif", Size{40, 30});
    EXPECT_FALSE(nowhere.AddFrame(Scene(0), 0));
    EXPECT_NE(nowhere.Error(), "");
    GifWriter wrongSize(dir.Path() / "c.gif", Size{40, 30});
    EXPECT_FALSE(wrongSize.AddFrame(*Surface::Create(Size{41, 30}), 0));
    GifWriter empty(dir.Path() / "d.gif", Size{40, 30});
    EXPECT_NE(empty.Finish(0), "") << "no frame, no animation";
}
