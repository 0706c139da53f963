// Lively scenes: dancing, wind, skipping, swinging, music and bubbles.
#include "silhouette_figures.h"

#include "silhouette_kit.h"

#include <numbers>

namespace vyla::artgen {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kGround = 91.0;

void Meadow(cairo_t* cr, double width, std::uint32_t seed)
{
    GrassStrip(cr, kGround, 0.16 * width, 0.84 * width, seed);
}

// An eighth note: head, stem and flag.
void Note(cairo_t* cr, Pt head, double size)
{
    Ellipse(cr, head, size * 0.75, size * 0.5, -0.4);
    Line(cr, head + Pt{size * 0.65, -0.1}, head + Pt{size * 0.65, -size * 3.2}, size * 0.22);
    StrokeSmooth(cr, {head + Pt{size * 0.65, -size * 3.2}, head + Pt{size * 1.5, -size * 2.4},
                      head + Pt{size * 1.4, -size * 1.6}},
                 size * 0.3);
}

} // namespace

void DancingGirl(cairo_t* cr, double width)
{
    const double x = width / 2 - 2;
    // A stage edge instead of grass.
    cairo_rectangle(cr, 0.2 * width, kGround, 0.6 * width, 1.6);
    cairo_fill(cr);
    // Arabesque on pointe, one arm high, the other reaching forward.
    Girl g;
    g.head = {x + 8.5, 22};
    g.tilt = -0.15;
    g.hair = HairStyle::Bun;
    g.neck = {x + 6, 31};
    g.waist = {x + 1.5, 46};
    g.shoulderHalfWidth = 4.0;
    g.waistHalfWidth = 2.8;
    g.hem = {x + 0.5, 55};
    g.hemHalfWidth = 17;
    g.hemAngle = -0.18;
    g.scallops = 10;
    g.nearArm = {{x + 14, 31}, {x + 23, 27}, 0.0};
    g.farArm = {{x - 2, 25}, {x - 8, 15}, 0.2};
    g.nearLeg = {{x + 1, 55}, {x + 2, 72}, {x + 2.5, 86.5}, kPi / 2 - 0.1};
    g.farLeg = {{x - 1, 54}, {x - 14, 49}, {x - 28, 44}, kPi + 0.25};
    g.Draw(cr);
    // Music in the air.
    Note(cr, {x + 30, 46}, 1.5);
    Note(cr, {x + 36, 38}, 1.3);
    Note(cr, {x - 26, 26}, 1.4);
}

void GirlInTheWind(cairo_t* cr, double width)
{
    const double x = width / 2 + 4;
    Meadow(cr, width, 21);
    // She faces into the wind, which comes from the left and blows her
    // hair and skirt out behind her; one hand holds her hat on.
    Girl g;
    g.facing = -1;
    g.head = {x - 1.5, 23};
    g.tilt = 0.12;
    g.hair = HairStyle::Flowing;
    g.wind = 1.0;
    g.neck = {x + 0.5, 32};
    g.waist = {x + 1, 48};
    g.hem = {x + 5, 70};
    g.hemHalfWidth = 13;
    g.hemAngle = -0.22;
    g.nearArm = {{x - 5, 27}, {x - 3, 16}, 0.6};
    g.farArm = {{x + 4, 42}, {x + 9, 50}, 0.3};
    g.nearLeg = {{x - 1, 61}, {x - 4, 75}, {x - 5.5, 89}, kPi + 0.05};
    g.farLeg = {{x + 2, 61}, {x + 5, 75}, {x + 8, 88}, kPi - 0.35};
    g.Draw(cr);
    // The hat she holds on, and its ribbon streaming away.
    cairo_save(cr);
    cairo_translate(cr, x - 1, 15.5);
    cairo_rotate(cr, 0.18);
    FillSmooth(cr, {{-9, 1}, {-4.5, -0.3}, {-3.5, -4.8}, {0, -6.2}, {3.6, -4.6}, {4.6, -0.4}, {9.5, 0.8}, {0, 1.8}});
    cairo_restore(cr);
    StrokeSmooth(cr, {{x + 4, 16}, {x + 10, 14}, {x + 16, 16}, {x + 22, 13}, {x + 27, 14}}, 0.9);
    // Skirt lifted behind her by the wind.
    FillSmooth(cr, {{x + 3, 50}, {x + 12, 55}, {x + 19, 60}, {x + 17.5, 64}, {x + 19.5, 67}, {x + 15, 70},
                    {x + 6, 66}});
    // Leaves blowing past.
    Rng rng(5);
    const Pt leaves[] = {{x + 24, 30}, {x + 33, 44}, {x + 29, 56}, {x + 40, 26}, {x - 24, 40}, {x - 30, 56}};
    for (const Pt& p : leaves) {
        const double a = rng.Range(0, kPi);
        Ellipse(cr, p, 2.0, 0.9, a);
        Line(cr, p, Polar(p, 2.8, a), 0.35);
    }
    // Grass bending in the wind.
    for (int i = 0; i < 5; ++i) {
        const double gx = x - 34 + i * 2.0;
        StrokeSmooth(cr, {{gx, kGround}, {gx + 1.5, kGround - 5}, {gx + 5, kGround - 8 + i * 0.6}}, 0.6);
    }
}

void GirlSkipping(cairo_t* cr, double width)
{
    const double x = width / 2;
    Meadow(cr, width, 31);
    // In mid-jump, knees tucked, the rope swinging over her head.
    Girl g;
    g.head = {x + 1.5, 22};
    g.tilt = 0.05;
    g.hair = HairStyle::Braid;
    g.wind = -0.6; // braid flying up behind as she jumps
    g.bow = true;
    g.neck = {x, 31};
    g.waist = {x - 0.5, 47};
    g.hem = {x - 0.5, 67};
    g.hemHalfWidth = 14;
    g.nearArm = {{x + 6, 44}, {x + 11, 51}, 0.4};
    g.farArm = {{x - 6, 44}, {x - 11, 51}, -0.4};
    g.nearLeg = {{x + 1, 58}, {x + 4, 71}, {x - 0.5, 81}, 0.25};
    g.farLeg = {{x - 2, 58}, {x - 2, 71}, {x - 7.5, 80}, 0.6};
    g.Draw(cr);
    // Rope: from both handles up and over her head.
    const Pt nearHand{x + 12, 52.5};
    const Pt farHand{x - 12, 52.5};
    Limb(cr, nearHand + Pt{0.4, 1.4}, nearHand + Pt{0.9, -2.4}, 1.3, 1.3);
    Limb(cr, farHand + Pt{-0.4, 1.4}, farHand + Pt{-0.9, -2.4}, 1.3, 1.3);
    StrokeSmooth(cr, {nearHand + Pt{0.9, -2.4}, {x + 18, 30}, {x + 12, 9}, {x, 5}, {x - 12, 9}, {x - 18, 30},
                      farHand + Pt{-0.9, -2.4}},
                 0.7);
    // Her shadow on the ground and dust from the last landing.
    Ellipse(cr, {x, kGround - 0.3}, 9, 1.0, 0);
    Disc(cr, {x - 14, kGround - 2.5}, 0.7);
    Disc(cr, {x + 14, kGround - 2}, 0.6);
    Disc(cr, {x + 16.5, kGround - 4}, 0.5);
    Tulip(cr, {x - 32, kGround}, 14, -1.0);
    Daisy(cr, {x + 32, kGround}, 15, 1.0, 1.6);
    Bird(cr, {x + 32, 24}, 2.8, 0.9);
}

void GirlOnSwing(cairo_t* cr, double width)
{
    const double x = width / 2;
    Meadow(cr, width, 41);
    // The bough the swing hangs from, with leaves hanging from it.
    const double bough = 13;
    FillSmooth(cr, {{x - 42, bough + 1}, {x - 20, bough - 1.4}, {x + 5, bough - 1.0}, {x + 30, bough - 2.6},
                    {x + 40, bough - 1.4}, {x + 30, bough + 0.2}, {x + 5, bough + 1.6}, {x - 20, bough + 2.2}});
    Rng rng(9);
    for (double lx = x - 37; lx < x + 37; lx += 3.4) {
        const double a = kPi / 2 + rng.Range(-0.9, 0.9);
        const Pt stem{lx, bough + 0.3};
        const double len = rng.Range(3.5, 5.5);
        FillSmooth(cr, {stem, Polar(stem, len * 0.45, a + 0.28), Polar(stem, len, a), Polar(stem, len * 0.45, a - 0.28)});
    }
    // One rope seen edge-on, from the bough down to the seat.
    const double d = 8; // how far below the first drafts she sits
    const Pt knot{x - 12, bough + 1};
    const Pt seat{x - 4, 64 + d};
    Line(cr, knot, seat, 0.8);
    Limb(cr, seat + Pt{-5, 0}, seat + Pt{5, 0.4}, 1.4, 1.4);

    Girl g;
    g.head = {x - 5, 33 + d};
    g.tilt = -0.12;
    g.hair = HairStyle::Ponytail;
    g.wind = -0.9; // swinging forwards, her hair streams back
    g.bow = true;
    g.neck = {x - 7.5, 42 + d};
    g.waist = {x - 6.5, 57 + d};
    g.skirt = false;
    g.legs = false;
    g.nearArm = {{x - 3, 51 + d}, {x - 5, 44 + d}, 0.0};
    g.farArm = {{x - 4, 50 + d}, {x - 6, 42.5 + d}, 0.0};
    g.Draw(cr);
    // Legs stretched out forwards, skirt fluttering back.
    Leg(cr, {x - 5, 61.5 + d}, {x + 6, 61 + d}, {x + 15, 66 + d}, -0.35);
    Leg(cr, {x - 5, 62.5 + d}, {x + 5.5, 62.5 + d}, {x + 13.5, 68.5 + d}, -0.15);
    FillSmooth(cr, {{x - 10, 56 + d}, {x - 3, 55.5 + d}, {x + 3, 58 + d}, {x + 8, 59.5 + d}, {x + 7.5, 63 + d},
                    {x + 1, 64.5 + d}, {x - 6, 65 + d}, {x - 13, 67 + d}, {x - 16, 65.5 + d}, {x - 13, 60 + d}});
    Daisy(cr, {x + 28, kGround}, 14, 1.0, 1.6);
    Tulip(cr, {x - 30, kGround}, 13, -1.0);
    Butterfly(cr, {x + 26, 40}, 2.6, 0.2);
    Bird(cr, {x + 22, 26}, 2.6, 0.9);
}

void GirlWithViolin(cairo_t* cr, double width)
{
    const double x = width / 2 + 6;
    Meadow(cr, width, 51);
    // Facing left, violin under her chin, bow drawn across the strings.
    Girl g;
    g.facing = -1;
    g.head = {x - 1.5, 21};
    g.tilt = 0.3;
    g.hair = HairStyle::Ponytail;
    g.bow = true;
    g.neck = {x + 0.5, 30};
    g.waist = {x + 1, 46};
    g.hem = {x + 1.5, 70};
    g.hemHalfWidth = 13;
    g.nearArm = {{x - 4, 39}, {x - 12, 30}, 0.2};   // holds the neck of the violin
    g.farArm = {{x + 7, 38}, {x + 2, 31}, 0.0};     // bow arm
    g.nearLeg = {{x - 1, 60}, {x - 2, 75}, {x - 3, 89}, kPi};
    g.farLeg = {{x + 2, 60}, {x + 3.5, 75}, {x + 5, 89}, kPi - 0.1};
    g.Draw(cr);
    // The violin, from her shoulder out towards her left hand.
    cairo_save(cr);
    cairo_translate(cr, x - 4, 30.5);
    cairo_rotate(cr, -0.55 + kPi);
    FillSmooth(cr, {{-1, 0}, {-0.5, -2.6}, {1.5, -3.1}, {3.5, -2.1}, {4.6, -1.8}, {6.0, -2.6}, {8.0, -2.3},
                    {8.8, 0}, {8.0, 2.3}, {6.0, 2.6}, {4.6, 1.8}, {3.5, 2.1}, {1.5, 3.1}, {-0.5, 2.6}});
    Limb(cr, {8.5, 0}, {15.5, 0}, 1.0, 0.9);
    Disc(cr, {16.3, 0}, 0.9);
    cairo_restore(cr);
    // The bow, a long thin stick crossing the strings.
    Line(cr, {x + 3, 31}, {x - 16, 39.5}, 0.5);
    Line(cr, {x + 3, 31}, {x + 10, 28}, 0.5);
    Note(cr, {x - 26, 30}, 1.5);
    Note(cr, {x - 33, 21}, 1.3);
    Note(cr, {x - 22, 15}, 1.2);
    Tulip(cr, {x + 30, kGround}, 15, 1.0);
    Daisy(cr, {x - 34, kGround}, 12, -1.0, 1.4);
}

void GirlBlowingBubbles(cairo_t* cr, double width)
{
    const double x = width / 2 - 14;
    Meadow(cr, width, 61);
    Girl g;
    g.head = {x + 1.5, 22};
    g.tilt = -0.1;
    g.hair = HairStyle::Bob;
    g.bow = true;
    g.neck = {x, 31};
    g.waist = {x - 0.5, 47};
    g.hem = {x - 1, 71};
    g.hemHalfWidth = 13;
    g.nearArm = {{x + 4, 41}, {x + 8.5, 29}, -0.2};
    g.farArm = {{x - 3, 42}, {x - 5, 55}, 0.3};
    g.nearLeg = {{x + 1, 61}, {x + 2, 75}, {x + 3, 89}, 0.0};
    g.farLeg = {{x - 2, 61}, {x - 3, 75}, {x - 5, 89}, 0.05};
    g.Draw(cr);
    // The bubble wand at her lips and the bubbles drifting away.
    Line(cr, {x + 9, 29.5}, {x + 11.5, 24.5}, 0.5);
    Ring(cr, {x + 12.3, 22.8}, 1.6, 0.5);
    const struct {
        double dx, dy, r;
    } bubbles[] = {{17, 18, 2.2}, {22, 12, 3.0}, {27, 21, 1.8}, {31, 8, 3.6}, {36, 17, 2.6},
                   {41, 27, 2.0}, {44, 12, 1.5}, {48, 20, 3.0}, {39, 34, 1.4}, {26, 30, 1.2}};
    for (const auto& b : bubbles) {
        Ring(cr, {x + b.dx, b.dy + 6}, b.r, 0.45);
        // A glint on each bubble.
        Ellipse(cr, {x + b.dx - b.r * 0.4, b.dy + 6 - b.r * 0.45}, b.r * 0.22, b.r * 0.12, -0.7);
    }
    Tulip(cr, {x + 34, kGround}, 15, 1.0);
    Daisy(cr, {x + 40, kGround}, 13, -0.8, 1.5);
    Daisy(cr, {x - 22, kGround}, 12, -1.0, 1.4);
}

} // namespace vyla::artgen
