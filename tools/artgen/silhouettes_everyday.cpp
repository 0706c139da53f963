// Quiet scenes: standing, sitting, reading, with animals and flowers.
#include "silhouette_figures.h"

#include "silhouette_kit.h"

#include <numbers>

namespace vyla::artgen {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kGround = 91.0;

// Meadow along the bottom of a picture, kept clear of the far corners.
void Meadow(cairo_t* cr, double width, std::uint32_t seed)
{
    GrassStrip(cr, kGround, 0.16 * width, 0.84 * width, seed);
}

} // namespace

void CurtsyingGirl(cairo_t* cr, double width)
{
    const double x = width / 2;
    Meadow(cr, width, 11);
    Girl g;
    g.head = {x + 2.5, 18};
    g.tilt = 0.22;
    g.hair = HairStyle::Bun;
    g.bow = true;
    g.neck = {x, 27};
    g.waist = {x - 0.5, 44};
    // Skirt spread wide by both hands.
    g.hem = {x - 0.5, 70};
    g.hemHalfWidth = 15;
    g.scallops = 9;
    g.nearArm = {{x + 6, 40}, {x + 14, 54.5}, 0.4};
    g.farArm = {{x - 6, 40}, {x - 14, 54.5}, -0.4};
    g.nearLeg = {{x + 1, 58}, {x + 4, 73}, {x + 3, 88}, 0.0};
    g.farLeg = {{x - 2, 58}, {x - 7, 76}, {x - 14, 86}, kPi + 0.5}; // crossed behind, on tiptoe
    g.Draw(cr);
    // The hands hold the skirt out, so it spreads from the waist to them.
    for (double side : {1.0, -1.0}) {
        const Pt hand{x + side * 14.8, 56};
        cairo_move_to(cr, x + side * 3, 45);
        cairo_curve_to(cr, x + side * 8, 47, x + side * 12, 52, hand.x, hand.y);
        cairo_curve_to(cr, x + side * 17.5, 60, x + side * 18, 65, x + side * 16.5, 69);
        cairo_line_to(cr, x + side * 8, 69);
        cairo_close_path(cr);
        cairo_fill(cr);
    }
    Tulip(cr, {x - 33, kGround}, 15, -1.5);
    Tulip(cr, {x - 28, kGround}, 11, 1.0);
    Daisy(cr, {x + 30, kGround}, 17, 2.0, 1.8);
    Daisy(cr, {x + 35, kGround}, 12, -1.0, 1.5);
    Butterfly(cr, {x + 27, 33}, 3.0, 0.4);
}

void GirlWithBird(cairo_t* cr, double width)
{
    const double x = width / 2 - 2;
    Meadow(cr, width, 12);
    // She sits on the top rail of a wooden fence.
    const double seat = 63;
    cairo_rectangle(cr, x - 30, seat, 54, 2.0);
    cairo_rectangle(cr, x - 30, seat + 13, 54, 1.8);
    cairo_fill(cr);
    for (double px : {x - 26, x - 4, x + 18}) {
        cairo_rectangle(cr, px - 1.3, seat - 4, 2.6, kGround - seat + 4);
        cairo_fill(cr);
        cairo_move_to(cr, px - 1.3, seat - 4);
        cairo_line_to(cr, px, seat - 5.6);
        cairo_line_to(cr, px + 1.3, seat - 4);
        cairo_close_path(cr);
        cairo_fill(cr);
    }
    Girl g;
    g.head = {x + 1, 27};
    g.tilt = -0.2; // looking up at the bird
    g.hair = HairStyle::Braid;
    g.bow = true;
    g.neck = {x - 1.5, 36};
    g.waist = {x - 3, 51};
    g.skirt = false;
    g.legs = false;
    g.nearArm = {{x + 4, 43}, {x + 11, 35}, -0.3};
    g.farArm = {{x + 1, 47}, {x + 6, 54}, 0.2};
    g.Draw(cr);
    // Sitting: thighs along the seat, skirt over the lap, legs hanging.
    Leg(cr, {x - 2, seat - 2}, {x + 9, seat - 2}, {x + 14, seat + 17}, 0.1);
    Leg(cr, {x - 2, seat - 2}, {x + 8, seat - 1}, {x + 9, seat + 19}, -0.1);
    FillSmooth(cr, {{x - 6, 49}, {x - 0.5, 49}, {x + 6, 57}, {x + 13, 59}, {x + 14.5, 65}, {x + 11, 68},
                    {x + 3, 66}, {x - 6, 66}, {x - 10, 64}, {x - 8.5, 56}});
    // The bird perched on her finger, and its mate flying in.
    cairo_save(cr);
    cairo_translate(cr, x + 13, 31.5);
    FillSmooth(cr, {{-1.5, 0}, {-0.5, -2.2}, {1.2, -3.0}, {2.4, -2.6}, {3.4, -2.3}, {2.4, -1.8}, {2.2, -0.6},
                    {0.8, 0.6}, {-2.2, 1.6}, {-4.0, 2.2}, {-2.6, 0.6}});
    Line(cr, {0.2, 0.3}, {0.2, 1.2}, 0.35);
    cairo_restore(cr);
    Bird(cr, {x + 33, 22}, 3.0, 0.8);
    Daisy(cr, {x + 30, kGround}, 13, 1.5, 1.5);
    Tulip(cr, {x + 36, kGround}, 16, -1.0);
    Tulip(cr, {x - 34, kGround}, 12, 1.0);
}

void GirlWithParasol(cairo_t* cr, double width)
{
    const double x = width / 2 + 2;
    Meadow(cr, width, 13);
    Girl g;
    g.head = {x + 1.5, 22};
    g.hair = HairStyle::Bob;
    g.bow = true;
    g.neck = {x, 31};
    g.waist = {x - 0.5, 47};
    g.hem = {x - 1.5, 71};
    g.hemHalfWidth = 13;
    g.hemAngle = -0.06;
    g.nearArm = {{x + 3, 42}, {x + 2, 36}, -0.2};
    g.farArm = {{x - 3, 42}, {x - 8, 56}, 0.3};
    // Walking: one foot forward, the other leaving the ground.
    g.nearLeg = {{x + 1, 60}, {x + 5, 75}, {x + 7, 89}, -0.05};
    g.farLeg = {{x - 2, 60}, {x - 6, 75}, {x - 11, 87}, 0.45};
    g.Draw(cr);
    // The parasol rests on her shoulder and shades her from behind.
    const Pt grip{x + 2.5, 35.5};
    const Pt centre{x - 8, 17};
    Line(cr, grip + Pt{0.9, 3.5}, centre, 0.8);
    Disc(cr, grip + Pt{1.1, 4.3}, 0.9);
    cairo_save(cr);
    cairo_translate(cr, centre.x, centre.y);
    cairo_rotate(cr, -0.55);
    const double r = 16;
    cairo_move_to(cr, -r, 0);
    cairo_curve_to(cr, -r, -r * 0.75, r, -r * 0.75, r, 0);
    for (int i = 0; i < 6; ++i) {
        const double a = r - 2 * r * (i + 1) / 6.0;
        const double b = r - 2 * r * i / 6.0;
        cairo_curve_to(cr, b - r * 0.06, r * 0.12, a + r * 0.06, r * 0.12, a, 0);
    }
    cairo_close_path(cr);
    cairo_fill(cr);
    Limb(cr, {0, -r * 0.55}, {0, -r * 0.75}, 0.9, 0.5);
    cairo_restore(cr);
    Tulip(cr, {x + 26, kGround}, 14, 1.0);
    Tulip(cr, {x + 31, kGround}, 18, -0.8);
    Daisy(cr, {x - 30, kGround}, 12, -1.0, 1.4);
    Butterfly(cr, {x + 30, 40}, 2.6, -0.3);
}

void GirlReading(cairo_t* cr, double width)
{
    const double x = width / 2 - 4;
    // Floor line with a rug fringe instead of a meadow.
    cairo_rectangle(cr, 0.18 * width, kGround, 0.64 * width, 1.6);
    cairo_fill(cr);
    // A high-backed chair, side view, facing right.
    const double seat = 62;
    FillSmooth(cr, {{x - 14, seat}, {x - 16, 40}, {x - 18, 30}, {x - 16, 28}, {x - 13, 31}, {x - 12, 45},
                    {x - 11.5, seat}});
    cairo_rectangle(cr, x - 15, seat - 1, 25, 3);
    cairo_fill(cr);
    StrokeSmooth(cr, {{x - 14, seat + 2}, {x - 15, 78}, {x - 13, kGround}}, 1.5);
    StrokeSmooth(cr, {{x + 8, seat + 2}, {x + 9, 78}, {x + 7.5, kGround}}, 1.5);
    Line(cr, {x - 14.5, 80}, {x + 8.5, 80}, 0.9);

    Girl g;
    g.head = {x + 1.5, 30};
    g.tilt = 0.45; // bowed over the book
    g.hair = HairStyle::Ponytail;
    g.bow = true;
    g.neck = {x - 2, 39};
    g.waist = {x - 4.5, 54};
    g.skirt = false;
    g.legs = false;
    g.nearArm = {{x + 1, 53}, {x + 8.5, 47}, -0.3};
    g.farArm = {{x - 1, 52}, {x + 7, 49}, -0.3};
    g.Draw(cr);
    Leg(cr, {x - 4, seat - 2.5}, {x + 8, seat - 2.5}, {x + 9, seat + 24}, 0.05);
    Leg(cr, {x - 4, seat - 2.5}, {x + 7, seat - 2}, {x + 5, seat + 25}, 0.15);
    FillSmooth(cr, {{x - 8, 52}, {x - 2, 52}, {x + 4, 57}, {x + 11, 58}, {x + 12.5, 63}, {x + 9, 67},
                    {x + 1, 65}, {x - 8, 65}, {x - 11, 62}, {x - 10, 56}});
    // The open book, pages fanned.
    cairo_save(cr);
    cairo_translate(cr, x + 9.5, 45.5);
    cairo_rotate(cr, -0.35);
    FillSmooth(cr, {{0, 1.5}, {-4.5, -0.5}, {-5.5, 0.8}, {-1, 3.2}, {0, 3.8}, {1, 3.2}, {5.5, 0.8}, {4.5, -0.5}});
    cairo_restore(cr);
    // A little table with a vase of flowers.
    const double tx = x + 30;
    cairo_rectangle(cr, tx - 7, 64, 14, 1.8);
    cairo_fill(cr);
    StrokeSmooth(cr, {{tx, 65}, {tx - 0.8, 74}, {tx, 84}, {tx, kGround}}, 1.6);
    Limb(cr, {tx - 5, kGround}, {tx + 5, kGround}, 1.2, 1.2);
    FillSmooth(cr, {{tx - 1.2, 64}, {tx - 2.6, 60}, {tx - 2.2, 56}, {tx - 0.9, 54}, {tx + 0.9, 54}, {tx + 2.2, 56},
                    {tx + 2.6, 60}, {tx + 1.2, 64}});
    Daisy(cr, {tx, 55}, 9, -3.5, 1.4);
    Daisy(cr, {tx, 55}, 11, 0.5, 1.5);
    Tulip(cr, {tx, 55}, 8, 3.5);
}

void GirlWithCat(cairo_t* cr, double width)
{
    const double x = width / 2 - 10;
    Meadow(cr, width, 14);
    // Kneeling, sitting back on her heels, reaching out to the cat.
    Girl g;
    g.head = {x + 2, 37};
    g.tilt = 0.25;
    g.hair = HairStyle::Flowing;
    g.bow = true;
    g.neck = {x - 0.5, 46};
    g.waist = {x - 2.5, 62};
    g.skirt = false;
    g.legs = false;
    g.nearArm = {{x + 5, 58}, {x + 13, 60}, 0.2};
    g.farArm = {{x + 3, 59}, {x + 8, 66}, 0.3};
    g.Draw(cr);
    Limb(cr, {x - 3, 78}, {x + 9, 88}, 3.6, 2.6); // thigh to knee on the ground
    Limb(cr, {x + 9, 88}, {x - 7, 89}, 2.6, 1.8); // shin back under her
    Shoe(cr, {x - 7, 89}, kPi + 0.1);
    FillSmooth(cr, {{x - 6, 60}, {x + 0.5, 60}, {x + 6, 74}, {x + 13, 83}, {x + 13, 90}, {x + 3, 90},
                    {x - 9, 90}, {x - 12, 86}, {x - 9, 72}});
    // The cat, sitting and facing her, tail curled round its feet.
    const double cx = x + 24;
    FillSmooth(cr, {{cx - 2.5, 90}, {cx - 3.6, 84}, {cx - 2.8, 78}, {cx - 3.4, 73}, {cx - 1.5, 70},
                    {cx + 1.5, 69}, {cx + 3.5, 71}, {cx + 4.8, 78}, {cx + 5.5, 85}, {cx + 5, 90}});
    // Head with ears, turned towards the girl.
    FillSmooth(cr, {{cx - 5.2, 67.5}, {cx - 4.2, 65}, {cx - 2.8, 63.5}, {cx - 2.6, 60}, {cx - 0.8, 62.8},
                    {cx + 0.8, 62.8}, {cx + 2.4, 60}, {cx + 2.4, 64}, {cx + 2.8, 67.5}, {cx + 1.2, 70.5},
                    {cx - 2.5, 70.5}});
    Line(cr, {cx - 5, 67.8}, {cx - 8, 67}, 0.2);
    Line(cr, {cx - 5, 68.3}, {cx - 8, 69}, 0.2);
    StrokeSmooth(cr, {{cx + 4.5, 89}, {cx + 9, 89.5}, {cx + 11, 87}, {cx + 10.5, 84}, {cx + 12.5, 82.5}}, 1.3);
    Butterfly(cr, {cx + 4, 46}, 2.6, 0.3);
    Daisy(cr, {x - 24, kGround}, 14, -1.0, 1.5);
    Daisy(cr, {x - 28, kGround}, 10, 0.8, 1.3);
    Tulip(cr, {cx + 22, kGround}, 15, -1.0);
}

void GirlPickingFlowers(cairo_t* cr, double width)
{
    const double x = width / 2 - 6;
    Meadow(cr, width, 15);
    // Bending forward from the hips to pick a flower.
    Girl g;
    g.head = {x + 14, 36};
    g.tilt = 0.75;
    g.hair = HairStyle::Ponytail;
    g.bow = true;
    g.neck = {x + 8, 41};
    g.waist = {x - 3, 52};
    g.shoulderHalfWidth = 4.2;
    g.hem = {x - 7, 73};
    g.hemHalfWidth = 12.5;
    g.hemAngle = 0.1;
    g.nearArm = {{x + 12, 52}, {x + 16, 62}, 0.3};
    g.farArm = {{x + 1, 52}, {x - 5, 56}, -0.2};
    g.nearLeg = {{x - 1, 63}, {x + 1, 76}, {x + 2, 89}, 0.0};
    g.farLeg = {{x - 5, 63}, {x - 8, 76}, {x - 10, 89}, 0.1};
    g.Draw(cr);
    // The bunch already picked, held behind her.
    const Pt grip{x - 6.3, 56.5};
    for (int i = 0; i < 4; ++i) {
        const double a = -2.0 - 0.22 * i;
        const Pt top = Polar(grip, 9 + (i % 2) * 2, a);
        Line(cr, Polar(grip, -1.5, a), top, 0.45);
        Disc(cr, top, 1.3);
        for (int k = 0; k < 6; ++k)
            Disc(cr, Polar(top, 1.3, k * kPi / 3 + i), 0.75);
    }
    // The flower she is picking, and more waiting.
    Tulip(cr, {x + 19, kGround}, 27, -1.5);
    Tulip(cr, {x + 24, kGround}, 20, 1.0);
    Daisy(cr, {x + 29, kGround}, 24, 1.5, 2.0);
    Daisy(cr, {x + 35, kGround}, 15, -0.5, 1.6);
    Tulip(cr, {x + 40, kGround}, 19, 1.2);
    Daisy(cr, {x - 28, kGround}, 12, -1.0, 1.4);
    Butterfly(cr, {x + 34, 42}, 2.8, -0.4);
}

void GirlWithHatAndBasket(cairo_t* cr, double width)
{
    const double x = width / 2;
    Meadow(cr, width, 16);
    Girl g;
    g.head = {x + 1.5, 24};
    g.hair = HairStyle::Braid;
    g.neck = {x, 33};
    g.waist = {x - 0.5, 49};
    g.hem = {x - 1.5, 72};
    g.hemHalfWidth = 12.5;
    g.hemAngle = -0.05;
    g.nearArm = {{x + 2.5, 44}, {x + 9, 47}, -0.3};
    g.farArm = {{x - 3, 44}, {x - 7, 55}, 0.3};
    g.nearLeg = {{x + 1, 62}, {x + 5, 76}, {x + 7, 89}, -0.05};
    g.farLeg = {{x - 2, 62}, {x - 6, 76}, {x - 11, 87}, 0.45};
    g.Draw(cr);
    // A wide straw hat with ribbons streaming behind.
    cairo_save(cr);
    cairo_translate(cr, x + 0.8, 17.5);
    cairo_rotate(cr, -0.12);
    FillSmooth(cr, {{-13, 1.2}, {-7, -0.6}, {-4.8, -6.2}, {0.5, -7.8}, {5, -5.6}, {6.8, -0.8}, {12.5, 0.2},
                    {10, 1.9}, {0, 1.4}, {-10, 2.2}});
    cairo_restore(cr);
    StrokeSmooth(cr, {{x - 5.5, 17.5}, {x - 9.5, 21}, {x - 12, 26}, {x - 15, 29}}, 0.8);
    StrokeSmooth(cr, {{x - 5.5, 17.5}, {x - 11, 19.5}, {x - 15, 22}, {x - 18.5, 22.5}}, 0.8);
    // The basket on her forearm, full of apples.
    const double bx = x + 9;
    FillSmooth(cr, {{bx - 6.5, 52}, {bx + 6.5, 52}, {bx + 5, 59}, {bx + 3, 61}, {bx - 3, 61}, {bx - 5, 59}});
    cairo_new_sub_path(cr);
    cairo_arc_negative(cr, bx, 52, 5.8, 0, kPi);
    cairo_set_line_width(cr, 0.9);
    cairo_stroke(cr);
    Disc(cr, {bx - 3, 51.5}, 2.0);
    Disc(cr, {bx + 0.5, 51}, 2.1);
    Disc(cr, {bx + 3.8, 51.6}, 1.9);
    Tulip(cr, {x - 30, kGround}, 14, -1.0);
    Daisy(cr, {x + 30, kGround}, 16, 1.0, 1.7);
    Bird(cr, {x + 32, 24}, 2.6, 1.0);
}

} // namespace vyla::artgen
