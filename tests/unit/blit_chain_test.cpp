// The deferred blit chain of the portable GDI: a copy, ANDs and ORs into one
// block of a memory bitmap, then a copy of the block elsewhere, drawn row by
// row in one pass. Every case runs twice, once as the program draws and once
// with a read of a pixel after each blit (which draws any chain at
// once, step by step: any drawing call does); both must leave every surface bit for bit the same and
// report the same screen change.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

#include "headless_app.h"
#include "portable/raster/surface.h"

using vyla::Rect;
using vyla::Size;
using vyla::raster::Pixel;
using vyla::raster::Surface;
using vyla::testing::HeadlessSystem;

namespace {

struct Bitmap {
    HDC dc;
    HBITMAP bitmap;
};

enum class Form { Rgb, Indexed };

class Canvas {
public:
    explicit Canvas(std::uint32_t seed) : rng(seed), sys(Size{97, 61}) {}
    ~Canvas()
    {
        for (const Bitmap& b : made) {
            DeleteDC(b.dc);
            DeleteObject(b.bitmap);
        }
    }

    Bitmap Make(int w, int h, Form form)
    {
        HDC screen = GetDC(nullptr);
        Bitmap b{CreateCompatibleDC(screen), CreateCompatibleBitmap(screen, w, h)};
        ReleaseDC(nullptr, screen);
        SelectObject(b.dc, b.bitmap);
        Surface& s = SurfaceOf(b);
        if (form == Form::Indexed) {
            std::vector<Pixel> palette(16);
            for (Pixel& p : palette)
                p = rng() & 0xffffff;
            EXPECT_TRUE(s.ResetIndexed(palette));
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    s.IndexRow(y)[x] = static_cast<std::uint8_t>(rng() % 16);
        } else {
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    s.Set(x, y, rng());
        }
        made.push_back(b);
        return b;
    }
    Surface& SurfaceOf(const Bitmap& b) { return sys.runtime.Gdi().FindObject(b.bitmap)->surface; }
    void FillScreen()
    {
        for (int y = 0; y < sys.host.Screen().Height(); ++y)
            for (int x = 0; x < sys.host.Screen().Width(); ++x)
                sys.host.Screen().Set(x, y, rng());
    }

    std::mt19937 rng;
    HeadlessSystem sys;
    std::vector<Bitmap> made;
};

// What one run left behind.
struct Outcome {
    std::vector<Surface> surfaces;
    Surface screen;
    Rect damage;
};

// Runs script on a fresh canvas from seed; with stepwise, reads the work
// bitmap after every blit. script gets the canvas and the "after each blit" hook.
using Script = std::function<std::vector<Bitmap>(Canvas&, const std::function<void()>&)>;

Outcome Run(std::uint32_t seed, bool stepwise, const Script& script)
{
    Canvas c(seed);
    c.FillScreen();
    // Any drawing call draws a pending chain: a read of one screen pixel will do.
    std::vector<Bitmap> keep = script(c, [&] {
        if (!stepwise)
            return;
        HDC screen = GetDC(nullptr);
        GetPixel(screen, 0, 0);
        ReleaseDC(nullptr, screen);
    });
    Outcome out;
    for (const Bitmap& b : keep)
        out.surfaces.push_back(c.SurfaceOf(b));
    out.screen = c.sys.host.Screen();
    out.damage = c.sys.host.TakeDamage();
    return out;
}

void ExpectSame(const Outcome& fused, const Outcome& stepwise)
{
    ASSERT_EQ(fused.surfaces.size(), stepwise.surfaces.size());
    for (std::size_t i = 0; i < fused.surfaces.size(); ++i) {
        const Surface& a = fused.surfaces[i];
        const Surface& b = stepwise.surfaces[i];
        ASSERT_EQ(a.GetSize(), b.GetSize());
        int mismatches = 0;
        for (int y = 0; y < a.Height(); ++y)
            for (int x = 0; x < a.Width(); ++x)
                mismatches += a.At(x, y) != b.At(x, y);
        EXPECT_EQ(mismatches, 0) << "surface " << i;
    }
    int mismatches = 0;
    for (int y = 0; y < fused.screen.Height(); ++y)
        for (int x = 0; x < fused.screen.Width(); ++x)
            mismatches += fused.screen.At(x, y) != stepwise.screen.At(x, y);
    EXPECT_EQ(mismatches, 0) << "screen";
    EXPECT_EQ(fused.damage, stepwise.damage);
}

void Compare(std::uint32_t seed, const Script& script)
{
    ExpectSame(Run(seed, false, script), Run(seed, true, script));
}

}  // namespace

// The corner frame's chain for odd sizes, RGB and 16-colour sources, onto
// the screen (partly off it) and onto a memory bitmap (partly outside it).
TEST(BlitChain, CopyAndOrCopyMatchesTheStepsForEveryFormSizeAndClip)
{
    const Size sizes[] = {{1, 1}, {3, 5}, {37, 19}, {64, 40}};
    const Form forms[] = {Form::Rgb, Form::Indexed};
    std::uint32_t seed = 1;
    for (Size size : sizes)
        for (Form maskForm : forms)
            for (Form imageForm : forms)
                for (int place = 0; place < 4; ++place) {
                    SCOPED_TRACE(testing::Message() << size.width << "x" << size.height << " place " << place);
                    Compare(++seed, [&](Canvas& c, const std::function<void()>& after) {
                        Bitmap buffer = c.Make(2 * size.width + 3, 2 * size.height + 1, Form::Rgb);
                        Bitmap mask = c.Make(4 * size.width + 1, size.height + 2, maskForm);
                        Bitmap image = c.Make(4 * size.width + 1, size.height + 2, imageForm);
                        Bitmap work = c.Make(size.width + 7, size.height + 3, Form::Rgb);
                        Bitmap target = c.Make(50, 30, Form::Rgb);
                        HDC screen = GetDC(nullptr);
                        const int w = size.width, h = size.height;
                        for (int corner = 0; corner < 4; ++corner) {
                            BitBlt(work.dc, 0, 0, w, h, buffer.dc, (corner & 1) * w, (corner >> 1) * h, SRCCOPY);
                            after();
                            BitBlt(work.dc, 0, 0, w, h, mask.dc, corner * w / 2, 1, SRCAND);
                            after();
                            BitBlt(work.dc, 0, 0, w, h, image.dc, corner * w / 2, 2, SRCPAINT);
                            after();
                            switch (place) {
                            case 0:  // on screen, partly off its left and top
                                BitBlt(screen, -w / 2 + corner, -h / 3, w, h, work.dc, 0, 0, SRCCOPY);
                                break;
                            case 1:  // on screen, partly off its right and bottom
                                BitBlt(screen, 97 - w / 2, 61 - h / 2 + corner, w, h, work.dc, 0, 0, SRCCOPY);
                                break;
                            case 2:  // on a memory bitmap, partly outside it
                                BitBlt(target.dc, 50 - w / 2, -1, w, h, work.dc, 0, 0, SRCCOPY);
                                break;
                            default:  // left in the work bitmap, read back by the test
                                break;
                            }
                            after();
                        }
                        ReleaseDC(nullptr, screen);
                        return std::vector<Bitmap>{buffer, mask, image, work, target};
                    });
                }
}

// Anything between the steps sees, and keeps, the order of the operations:
// a source changed between the AND and the OR, the work bitmap read or used
// as a destination, a block only partly inside a source, another block of
// the work bitmap, and a chain never copied anywhere.
TEST(BlitChain, InterleavedDrawingKeepsTheOrderOfOperations)
{
    const std::vector<std::function<void(Bitmap&, Bitmap&, Bitmap&, Bitmap&, HDC)>> middles = {
        [](Bitmap&, Bitmap& mask, Bitmap& image, Bitmap&, HDC) { BitBlt(image.dc, 0, 0, 9, 9, mask.dc, 3, 0, SRCCOPY); },
        [](Bitmap&, Bitmap& mask, Bitmap&, Bitmap& work, HDC) { BitBlt(mask.dc, 0, 0, 20, 10, work.dc, 1, 1, SRCPAINT); },
        [](Bitmap&, Bitmap&, Bitmap&, Bitmap& work, HDC) { GetPixel(work.dc, 2, 2); },
        [](Bitmap& buffer, Bitmap&, Bitmap&, Bitmap& work, HDC) { BitBlt(work.dc, 2, 2, 5, 5, buffer.dc, 0, 0, SRCAND); },
        [](Bitmap&, Bitmap& mask, Bitmap&, Bitmap& work, HDC) { BitBlt(work.dc, 0, 0, 30, 20, mask.dc, 100, 0, SRCAND); },
        [](Bitmap&, Bitmap&, Bitmap&, Bitmap& work, HDC screen) { BitBlt(work.dc, 0, 0, 30, 20, screen, 5, 5, SRCPAINT); },
        [](Bitmap&, Bitmap&, Bitmap&, Bitmap& work, HDC screen) { BitBlt(screen, 0, 0, 10, 10, work.dc, 3, 3, SRCCOPY); },
        [](Bitmap& buffer, Bitmap&, Bitmap&, Bitmap& work, HDC) { BitBlt(buffer.dc, 0, 0, 30, 20, work.dc, 0, 0, SRCCOPY); },
    };
    std::uint32_t seed = 100;
    for (std::size_t m = 0; m < middles.size(); ++m) {
        for (Form form : {Form::Rgb, Form::Indexed}) {
            SCOPED_TRACE(testing::Message() << "case " << m);
            Compare(++seed, [&](Canvas& c, const std::function<void()>& after) {
                Bitmap buffer = c.Make(40, 30, Form::Rgb);
                Bitmap mask = c.Make(120, 25, form);
                Bitmap image = c.Make(120, 25, form);
                Bitmap work = c.Make(30, 20, Form::Rgb);
                HDC screen = GetDC(nullptr);
                BitBlt(work.dc, 0, 0, 30, 20, buffer.dc, 5, 4, SRCCOPY);
                after();
                BitBlt(work.dc, 0, 0, 30, 20, mask.dc, 30, 2, SRCAND);
                after();
                middles[m](buffer, mask, image, work, screen);
                after();
                BitBlt(work.dc, 0, 0, 30, 20, image.dc, 30, 2, SRCPAINT);
                after();
                if (m % 2 == 0)
                    BitBlt(screen, 40, 20, 30, 20, work.dc, 0, 0, SRCCOPY);
                after();
                ReleaseDC(nullptr, screen);
                return std::vector<Bitmap>{buffer, mask, image, work};
            });
        }
    }
}

// The comparisons above mean something only if the chain is really kept.
TEST(BlitChain, TheCornerChainWaitsForItsCopyAndAnyOtherCallDrawsIt)
{
    Canvas c(7);
    Bitmap buffer = c.Make(40, 30, Form::Rgb);
    Bitmap mask = c.Make(120, 25, Form::Indexed);
    Bitmap work = c.Make(30, 20, Form::Rgb);
    HDC screen = GetDC(nullptr);
    auto& gdi = c.sys.runtime.Gdi();
    BitBlt(work.dc, 0, 0, 20, 20, buffer.dc, 0, 0, SRCCOPY);
    BitBlt(work.dc, 0, 0, 20, 20, mask.dc, 1, 1, SRCAND);
    ASSERT_NE(gdi.PendingChain(), nullptr);
    EXPECT_EQ(gdi.PendingTarget(), work.bitmap);
    BitBlt(screen, 3, 3, 20, 20, work.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(gdi.PendingChain(), nullptr);
    EXPECT_EQ(c.sys.host.TakeDamage(), (Rect{3, 3, 23, 23}));

    BitBlt(work.dc, 0, 0, 20, 20, buffer.dc, 0, 0, SRCCOPY);
    ASSERT_NE(gdi.PendingChain(), nullptr);
    Pixel expected = c.SurfaceOf(buffer).At(4, 5) & 0xffffff;  // draws the chain: a look-up
    EXPECT_EQ(gdi.PendingChain(), nullptr);
    EXPECT_EQ(GetPixel(work.dc, 4, 5), RGB((expected >> 16) & 0xff, (expected >> 8) & 0xff, expected & 0xff));
    ReleaseDC(nullptr, screen);
}
