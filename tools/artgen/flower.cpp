#include "flower.h"

#include "canvas.h"
#include "palettes.h"
#include "quantise.h"

#include <cmath>
#include <utility>
#include <numbers>

namespace vyla::artgen {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kCentre = kCellSize / 2.0;

// What a pixel of the drawing belongs to, carried in the green channel; the
// red channel carries the tone, so one Cairo pass renders both.
enum class Material { Petal, Leaf, Heart };

double MaterialCode(Material m)
{
    switch (m) {
    case Material::Petal: return 0.0;
    case Material::Leaf: return 0.5;
    case Material::Heart: return 1.0;
    }
    return 0.0;
}

Material MaterialFromCode(double g)
{
    if (g < 0.25)
        return Material::Petal;
    if (g < 0.75)
        return Material::Leaf;
    return Material::Heart;
}

// Light falls from the upper left; a petal pointing that way is brighter.
double Lighting(double angle)
{
    const double lightAngle = -3.0 * kPi / 4.0;
    return 0.80 + 0.20 * std::cos(angle - lightAngle);
}

struct PetalShape {
    double base;     // radius where the petal starts
    double tip;      // radius of the tip
    double widest;   // radius of the widest point
    double halfWidth;
    double pointed;  // 0 = rounded tip, 1 = sharp tip
};

// Petal tips are swept a little sideways, so that the flower reads as
// turning; this maps a point of the straight petal onto the swept one.
std::pair<double, double> Swept(const PetalShape& p, double x, double y)
{
    const double t = (x - p.base) / (p.tip - p.base);
    return {x, y + 0.10 * (p.tip - p.base) * t * t};
}

// Petal along the +x axis in the current user space.
void PetalPath(cairo_t* cr, const PetalShape& p)
{
    auto curveTo = [&](double x1, double y1, double x2, double y2, double x3, double y3) {
        const auto [a, b] = Swept(p, x1, y1);
        const auto [c, d] = Swept(p, x2, y2);
        const auto [e, f] = Swept(p, x3, y3);
        cairo_curve_to(cr, a, b, c, d, e, f);
    };
    const double toWidest = p.widest - p.base;
    const double toTip = p.tip - p.widest;
    const double tipRound = p.halfWidth * (1.0 - p.pointed) * 0.9;
    cairo_move_to(cr, p.base, 0);
    curveTo(p.base, p.halfWidth * 0.55, p.widest - 0.45 * toWidest, p.halfWidth, p.widest, p.halfWidth);
    curveTo(p.widest + 0.55 * toTip, p.halfWidth, p.tip, tipRound, p.tip, 0);
    curveTo(p.tip, -tipRound, p.widest + 0.55 * toTip, -p.halfWidth, p.widest, -p.halfWidth);
    curveTo(p.widest - 0.45 * toWidest, -p.halfWidth, p.base, -p.halfWidth * 0.55, p.base, 0);
    cairo_close_path(cr);
}

// The fold down the middle of a petal or leaf, from `from` to `to` (radii).
void FoldPath(cairo_t* cr, const PetalShape& p, double from, double to)
{
    const auto [x0, y0] = Swept(p, from, 0);
    const auto [x1, y1] = Swept(p, (from + to) / 2, 0);
    const auto [x2, y2] = Swept(p, to, 0);
    cairo_move_to(cr, x0, y0);
    cairo_curve_to(cr, x1, y1, x1, y1, x2, y2);
}

void SetTone(cairo_t* cr, double tone, Material m)
{
    cairo_set_source_rgb(cr, tone, MaterialCode(m), 0);
}

void ToneGradient(cairo_t* cr, double x0, double tone0, double x1, double tone1, Material m)
{
    cairo_pattern_t* g = cairo_pattern_create_linear(x0, 0, x1, 0);
    cairo_pattern_add_color_stop_rgb(g, 0, tone0, MaterialCode(m), 0);
    cairo_pattern_add_color_stop_rgb(g, 1, tone1, MaterialCode(m), 0);
    cairo_set_source(cr, g);
    cairo_pattern_destroy(g);
}

struct Ring {
    int count;
    double offset; // in units of the petal spacing
    PetalShape shape;
    double baseTone;
    double tipTone;
};

void DrawPetal(cairo_t* cr, double angle, const Ring& ring)
{
    const PetalShape& s = ring.shape;
    const double light = Lighting(angle);
    cairo_save(cr);
    cairo_rotate(cr, angle);
    PetalPath(cr, s);
    ToneGradient(cr, s.base, ring.baseTone * light, s.tip, ring.tipTone * light, Material::Petal);
    cairo_fill_preserve(cr);
    // Thin dark rim so overlapping petals stay apart at this small size.
    SetTone(cr, 0.0, Material::Petal);
    cairo_set_line_width(cr, 0.7);
    cairo_stroke(cr);
    // The fold down the middle of the petal.
    FoldPath(cr, s, s.base + 0.15 * (s.tip - s.base), s.widest + 0.35 * (s.tip - s.widest));
    SetTone(cr, ring.baseTone * 0.6 * light, Material::Petal);
    cairo_set_line_width(cr, 0.6);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void DrawLeaf(cairo_t* cr, double angle)
{
    const PetalShape leaf{10.0, 39.6, 26.0, 6.6, 1.0};
    cairo_save(cr);
    cairo_rotate(cr, angle);
    PetalPath(cr, leaf);
    ToneGradient(cr, leaf.base, 0.3, leaf.tip, 0.9 * Lighting(angle), Material::Leaf);
    cairo_fill_preserve(cr);
    SetTone(cr, 0.0, Material::Leaf);
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
    FoldPath(cr, leaf, leaf.base, leaf.tip - 3.0);
    cairo_set_line_width(cr, 0.7);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void DrawHeart(cairo_t* cr, double turn)
{
    cairo_arc(cr, 0, 0, 5.2, 0, 2 * kPi);
    cairo_pattern_t* g = cairo_pattern_create_radial(-1.5, -1.5, 0.5, 0, 0, 5.2);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.95, MaterialCode(Material::Heart), 0);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.25, MaterialCode(Material::Heart), 0);
    cairo_set_source(cr, g);
    cairo_pattern_destroy(g);
    cairo_fill_preserve(cr);
    SetTone(cr, 0.0, Material::Heart);
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
    // Florets in the heart, turning with the flower.
    for (int i = 0; i < kSymmetryOrder; ++i) {
        const double a = turn + 2 * kPi * i / kSymmetryOrder;
        cairo_arc(cr, 3.2 * std::cos(a), 3.2 * std::sin(a), 0.7, 0, 2 * kPi);
        SetTone(cr, 0.0, Material::Heart);
        cairo_fill(cr);
    }
}

// The whole flower turned by `turn` radians, centred in an 80 x 80 canvas.
void DrawFlower(cairo_t* cr, double turn)
{
    cairo_save(cr);
    cairo_translate(cr, kCentre, kCentre);
    for (int i = 0; i < kSymmetryOrder; ++i)
        DrawLeaf(cr, turn + 2 * kPi * (i + 0.5) / kSymmetryOrder);

    const Ring rings[] = {
        {16, 0.0, {4.0, 35.5, 22.0, 5.6, 0.85}, 0.35, 1.00},
        {16, 0.5, {4.0, 27.5, 17.0, 5.0, 0.75}, 0.25, 0.92},
        {16, 0.0, {3.0, 19.5, 12.0, 4.0, 0.55}, 0.18, 0.80},
        {8, 0.25, {2.0, 12.0, 7.5, 3.6, 0.30}, 0.12, 0.62},
    };
    for (const Ring& ring : rings)
        for (int i = 0; i < ring.count; ++i)
            DrawPetal(cr, turn + 2 * kPi * (i + ring.offset) / ring.count, ring);

    DrawHeart(cr, turn);
    cairo_restore(cr);
}

struct Ramps {
    ToneRamp petal;
    ToneRamp leaf;
    ToneRamp heart;
    // The white flower is lighter throughout and its rims are grey, not black.
    double Lift(double tone) const { return lift + (1.0 - lift) * std::pow(tone, gamma); }
    double lift;
    double gamma;
};

Ramps RampsFor(FlowerColour colour, const std::vector<Rgb>& palette)
{
    if (colour == FlowerColour::Crimson)
        return {ToneRamp(palette, {0, 1, 3, 6, 9, 10, 12, 11, 13, 14, 15}), ToneRamp(palette, {0, 2}),
                ToneRamp(palette, {0, 1, 3, 6}), 0.0, 1.0};
    return {ToneRamp(palette, {0, 1, 2, 3, 4, 5, 6, 9, 10, 11}), ToneRamp(palette, {0, 1, 2, 3, 4}),
            ToneRamp(palette, {0, 7, 8}), 0.2, 0.75};
}

} // namespace

SpriteStrips DrawFlowerStrips(FlowerColour colour)
{
    const std::vector<Rgb> palette = colour == FlowerColour::Crimson ? CrimsonPalette() : WhitePalette();
    const Ramps ramps = RampsFor(colour, palette);
    SpriteStrips strips{IndexedBitmap(kCellSize * kCellCount, kCellSize, 4, palette),
                        IndexedBitmap(kCellSize * kCellCount, kCellSize, 1, OneBitPalette())};

    const double step = 2 * kPi / kSymmetryOrder / kCellCount;
    for (int cell = 0; cell < kCellCount; ++cell) {
        Canvas canvas(kCellSize, kCellSize);
        DrawFlower(canvas.Context(), step * cell);
        for (int y = 0; y < kCellSize; ++y)
            for (int x = 0; x < kCellSize; ++x) {
                const int sx = cell * kCellSize + x;
                const Rgba p = canvas.Pixel(x, y);
                if (p.a < 0.5) {
                    strips.mask.Set(sx, y, kPaper);
                    strips.image.Set(sx, y, 0);
                    continue;
                }
                strips.mask.Set(sx, y, kInk);
                const ToneRamp* ramp = &ramps.petal;
                switch (MaterialFromCode(p.g)) {
                case Material::Petal: ramp = &ramps.petal; break;
                case Material::Leaf: ramp = &ramps.leaf; break;
                case Material::Heart: ramp = &ramps.heart; break;
                }
                strips.image.Set(sx, y, ramp->Index(ramps.Lift(p.r)));
            }
    }
    return strips;
}

Canvas DrawFlowerIcon(int size)
{
    // Drawn once at the size asked, so the small icons are sharp, not shrunk.
    Canvas shape(size, size);
    cairo_t* cr = shape.Context();
    cairo_scale(cr, size / static_cast<double>(kCellSize), size / static_cast<double>(kCellSize));
    // The first turn of the sprite, a little larger: the leaves reach the edge.
    cairo_translate(cr, kCentre, kCentre);
    cairo_scale(cr, 1.08, 1.08);
    cairo_translate(cr, -kCentre, -kCentre);
    DrawFlower(cr, 0.0);
    cairo_surface_flush(shape.Surface());

    auto mix = [](Rgba a, Rgba b, double t) {
        return Rgba{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, 1.0};
    };
    const Rgba petalDark{0.22, 0.0, 0.04, 1}, petalLight{0.98, 0.16, 0.26, 1};
    const Rgba leafDark{0.05, 0.16, 0.04, 1}, leafLight{0.36, 0.62, 0.22, 1};
    const Rgba heartDark{0.35, 0.18, 0.0, 1}, heartLight{1.0, 0.82, 0.25, 1};
    Canvas icon(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const Rgba p = shape.Pixel(x, y);
            if (p.a <= 0.0)
                continue;
            Rgba c{};
            switch (MaterialFromCode(p.g)) {
            case Material::Petal: c = mix(petalDark, petalLight, p.r); break;
            case Material::Leaf: c = mix(leafDark, leafLight, p.r); break;
            case Material::Heart: c = mix(heartDark, heartLight, p.r); break;
            }
            c.a = p.a;
            icon.PutPixel(x, y, c);
        }
    return icon;
}

} // namespace vyla::artgen
