#include "contact_sheet.h"

#include "canvas.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace vyla::artgen {
namespace {

constexpr int kSheetWidth = 1320;
constexpr int kMargin = 20;
constexpr Rgb kMidGrey{128, 128, 128};
constexpr Rgb kDark{32, 40, 56};
constexpr Rgb kLight{216, 208, 188};

const IndexedBitmap* Find(const std::vector<NamedBitmap>& art, const std::string& name)
{
    for (const NamedBitmap& item : art)
        if (item.name == name)
            return &item.bitmap;
    return nullptr;
}

Rgb Colour(const IndexedBitmap& b, int x, int y)
{
    const std::uint8_t i = b.At(x, y);
    return i < b.Palette().size() ? b.Palette()[i] : Rgb{};
}

Rgb And(Rgb a, Rgb b)
{
    return {static_cast<std::uint8_t>(a.r & b.r), static_cast<std::uint8_t>(a.g & b.g),
            static_cast<std::uint8_t>(a.b & b.b)};
}

Rgb Or(Rgb a, Rgb b)
{
    return {static_cast<std::uint8_t>(a.r | b.r), static_cast<std::uint8_t>(a.g | b.g),
            static_cast<std::uint8_t>(a.b | b.b)};
}

// An RGB picture on the side, filled pixel by pixel and then drawn scaled.
class Picture {
public:
    Picture(int width, int height) : canvas_(std::max(1, width), std::max(1, height)) {}
    void Put(int x, int y, Rgb c) { canvas_.PutPixel(x, y, Rgba{c.r / 255.0, c.g / 255.0, c.b / 255.0, 1.0}); }
    Rgb Get(int x, int y) const
    {
        const Rgba p = canvas_.Pixel(x, y);
        auto byte = [](double v) { return static_cast<std::uint8_t>(v * 255.0 + 0.5); };
        return {byte(p.r), byte(p.g), byte(p.b)};
    }
    int Width() const { return canvas_.Width(); }
    int Height() const { return canvas_.Height(); }

    // Draws the picture at (x, y) in the given size; `smooth` averages when
    // shrinking, otherwise pixels are repeated as the saver stretches them.
    void DrawOn(cairo_t* cr, double x, double y, double width, double height, bool smooth) const
    {
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_scale(cr, width / Width(), height / Height());
        cairo_set_source_surface(cr, canvas_.Surface(), 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), smooth ? CAIRO_FILTER_GOOD : CAIRO_FILTER_NEAREST);
        cairo_rectangle(cr, 0, 0, Width(), Height());
        cairo_fill(cr);
        cairo_restore(cr);
    }

private:
    Canvas canvas_;
};

Picture Plain(const IndexedBitmap& b)
{
    Picture p(b.Width(), b.Height());
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            p.Put(x, y, Colour(b, x, y));
    return p;
}

// background AND mask, then OR image: the corner composition of the saver.
Picture Composed(const IndexedBitmap& image, const IndexedBitmap& mask, Rgb background, int left, int width)
{
    Picture p(width, image.Height());
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < width; ++x)
            p.Put(x, y, Or(And(background, Colour(mask, left + x, y)), Colour(image, left + x, y)));
    return p;
}

// Stretches a piece onto the screen with AND, sampling like StretchDIBits.
void AndStretched(Picture& screen, const IndexedBitmap& piece, int dx, int dy, int dw, int dh)
{
    for (int y = 0; y < dh; ++y)
        for (int x = 0; x < dw; ++x) {
            const int sx = static_cast<int>(static_cast<long long>(x) * piece.Width() / dw);
            const int sy = static_cast<int>(static_cast<long long>(y) * piece.Height() / dh);
            const int px = dx + x;
            const int py = dy + y;
            if (px < 0 || py < 0 || px >= screen.Width() || py >= screen.Height())
                continue;
            screen.Put(px, py, And(screen.Get(px, py), Colour(piece, sx, sy)));
        }
}

Picture AssembledBorder(const std::vector<NamedBitmap>& art, int width, int height)
{
    Picture screen(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            screen.Put(x, y, kMidGrey);
    const IndexedBitmap& top = *Find(art, "IDB_FRAMET");
    const IndexedBitmap& bottom = *Find(art, "IDB_FRAMEB");
    const IndexedBitmap& left = *Find(art, "IDB_FRAMEL");
    const IndexedBitmap& right = *Find(art, "IDB_FRAMER");
    const int topBand = top.Height() * width / top.Width();
    const int bottomBand = bottom.Height() * width / bottom.Width();
    const int leftBand = left.Width() * height / left.Height();
    const int rightBand = right.Width() * height / right.Height();
    AndStretched(screen, top, 0, 0, width, topBand);
    AndStretched(screen, bottom, 0, height - bottomBand, width, bottomBand);
    AndStretched(screen, left, 0, 0, leftBand, height);
    AndStretched(screen, right, width - rightBand, 0, rightBand, height);
    return screen;
}

void Label(cairo_t* cr, double x, double y, const std::string& text, double size = 13)
{
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, text.c_str());
}

} // namespace

bool WriteContactSheet(const std::vector<NamedBitmap>& art, const std::filesystem::path& png)
{
    const char* required[] = {"IDB_FRAMET", "IDB_FRAMEB", "IDB_FRAMEL", "IDB_FRAMER", "IDB_RVYLAS", "IDB_RMASKS",
                              "IDB_WVYLAS", "IDB_WMASKS"};
    for (const char* name : required)
        if (Find(art, name) == nullptr)
            return false;

    std::vector<const NamedBitmap*> silhouettes;
    for (const NamedBitmap& item : art)
        if (item.name.rfind("IDB_SHADOW", 0) == 0)
            silhouettes.push_back(&item);

    constexpr int kThumbW = 238;
    constexpr int kThumbH = 170;
    constexpr int kPerRow = 5;
    const int silhouetteRows = (static_cast<int>(silhouettes.size()) + kPerRow - 1) / kPerRow;
    const int flowerBlock = 2 * (412 + 270);
    const int height = 60 + 520 + flowerBlock + silhouetteRows * (kThumbH + 40) + kMargin;

    Canvas sheet(kSheetWidth, height);
    cairo_t* cr = sheet.Context();
    cairo_set_source_rgb(cr, 0.96, 0.95, 0.93);
    cairo_paint(cr);
    Label(cr, kMargin, 34, "Vyla artwork", 22);

    // Border: as on a 640 x 480 screen, and on a 1920 x 1080 one at a third.
    double y = 70;
    Label(cr, kMargin, y, "Border pieces ANDed onto mid-grey, 640 x 480 screen");
    Label(cr, kMargin + 660, y, "The same on a 1920 x 1080 screen, shown at one third");
    AssembledBorder(art, 640, 480).DrawOn(cr, kMargin, y + 10, 640, 480, false);
    AssembledBorder(art, 1920, 1080).DrawOn(cr, kMargin + 660, y + 10, 640, 360, true);
    y += 520;

    struct Variant {
        const char* title;
        const char* image;
        const char* mask;
    };
    const Variant variants[] = {{"Crimson flower: IDB_RVYLAS, IDB_RMASKS", "IDB_RVYLAS", "IDB_RMASKS"},
                                {"White flower: IDB_WVYLAS, IDB_WMASKS", "IDB_WVYLAS", "IDB_WMASKS"}};
    for (const Variant& v : variants) {
        const IndexedBitmap& image = *Find(art, v.image);
        const IndexedBitmap& mask = *Find(art, v.mask);
        const int stripW = image.Width();
        const int stripH = image.Height();
        Label(cr, kMargin, y + 10, std::string(v.title) + "  (image, mask, over dark, over light)");
        Plain(image).DrawOn(cr, kMargin, y + 20, stripW, stripH, false);
        Plain(mask).DrawOn(cr, kMargin, y + 120, stripW, stripH, false);
        Composed(image, mask, kDark, 0, stripW).DrawOn(cr, kMargin, y + 220, stripW, stripH, false);
        Composed(image, mask, kLight, 0, stripW).DrawOn(cr, kMargin, y + 320, stripW, stripH, false);
        y += 412;
        Label(cr, kMargin, y + 10, "Cells 0 and 8 enlarged three times, over dark and light");
        const int cell = stripH;
        double x = kMargin;
        for (int k : {0, 8})
            for (Rgb bg : {kDark, kLight}) {
                Composed(image, mask, bg, k * cell, cell).DrawOn(cr, x, y + 20, 3 * cell, 3 * cell, false);
                x += 3 * cell + 20;
            }
        y += 270;
    }

    for (std::size_t i = 0; i < silhouettes.size(); ++i) {
        const double x = kMargin + static_cast<double>(i % kPerRow) * (kThumbW + 18);
        const double ty = y + static_cast<double>(i / kPerRow) * (kThumbH + 40);
        const IndexedBitmap& b = silhouettes[i]->bitmap;
        Label(cr, x, ty + 16, silhouettes[i]->name + "  " + std::to_string(b.Width()) + " x " +
                                  std::to_string(b.Height()), 12);
        Plain(b).DrawOn(cr, x, ty + 24, kThumbW, kThumbH, true);
    }
    return sheet.WritePng(png);
}

} // namespace vyla::artgen
