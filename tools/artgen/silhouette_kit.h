// Shapes the silhouette pictures are cut from, in the manner of paper-cut
// shadow pictures. Every shape is filled with the current source; the
// pictures use one colour, so overlapping shapes simply merge.
//
// Units: a picture is 100 units high; y grows downwards. Figures face
// right when `facing` is +1 and left when it is -1.
#pragma once

#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace vyla::artgen {

struct Pt {
    double x = 0;
    double y = 0;
    friend Pt operator+(Pt a, Pt b) { return {a.x + b.x, a.y + b.y}; }
    friend Pt operator-(Pt a, Pt b) { return {a.x - b.x, a.y - b.y}; }
    friend Pt operator*(Pt a, double k) { return {a.x * k, a.y * k}; }
};

inline Pt Lerp(Pt a, Pt b, double t)
{
    return a + (b - a) * t;
}
inline double Length(Pt a)
{
    return std::hypot(a.x, a.y);
}
// Point at `distance` from p in the direction `angle` (radians, 0 = +x, clockwise on screen).
inline Pt Polar(Pt p, double distance, double angle)
{
    return {p.x + distance * std::cos(angle), p.y + distance * std::sin(angle)};
}

// Deterministic pseudo-random numbers, the same on every platform.
class Rng {
public:
    explicit Rng(std::uint32_t seed) : state_(seed) {}
    double Next(); // uniform in [0, 1)
    double Range(double lo, double hi) { return lo + (hi - lo) * Next(); }

private:
    std::uint32_t state_;
};

// Closed and open smooth curves through the points (Catmull-Rom).
void SmoothClosed(cairo_t* cr, const std::vector<Pt>& points);
void SmoothOpen(cairo_t* cr, const std::vector<Pt>& points, bool moveFirst = true);
// Fills a closed smooth outline.
void FillSmooth(cairo_t* cr, const std::vector<Pt>& points);
// Draws a smooth line of the given width with round ends.
void StrokeSmooth(cairo_t* cr, const std::vector<Pt>& points, double width);

void Disc(cairo_t* cr, Pt centre, double radius);
void Ellipse(cairo_t* cr, Pt centre, double rx, double ry, double angle);
void Ring(cairo_t* cr, Pt centre, double radius, double width);
// A tapering segment with round ends: arms, legs, ropes.
void Limb(cairo_t* cr, Pt a, Pt b, double widthA, double widthB);
void Line(cairo_t* cr, Pt a, Pt b, double width);

// Head seen from the side without hair; `size` is chin to crown.
void HeadInProfile(cairo_t* cr, Pt centre, double size, int facing, double tilt);

enum class HairStyle { Bun, Ponytail, Flowing, Braid, Bob };
// Hair for a head drawn with the same centre, size, facing and tilt. `wind`
// bends loose hair: 0 hangs down, positive blows it towards +x.
void Hair(cairo_t* cr, Pt centre, double size, int facing, double tilt, HairStyle style, double wind = 0);
// A bow tied in the hair at the back of the head.
void HairBow(cairo_t* cr, Pt centre, double size, int facing, double tilt);

// Upper body of a dress from the base of the neck to the waist.
void Bodice(cairo_t* cr, Pt neck, Pt waist, double shoulderHalfWidth, double waistHalfWidth);
void PuffSleeve(cairo_t* cr, Pt shoulder, double radius);
// Skirt from the waist to a scalloped hem; `hemAngle` tilts the hem line.
void Skirt(cairo_t* cr, Pt waist, double waistHalfWidth, Pt hemCentre, double hemHalfWidth, double hemAngle,
           int scallops);
void Arm(cairo_t* cr, Pt shoulder, Pt elbow, Pt wrist, double handAngle);
void Leg(cairo_t* cr, Pt hip, Pt knee, Pt ankle, double footAngle);
void Shoe(cairo_t* cr, Pt ankle, double footAngle);

// Scenery.
void GrassStrip(cairo_t* cr, double groundY, double x0, double x1, std::uint32_t seed);
void Daisy(cairo_t* cr, Pt base, double height, double lean, double headSize);
void Tulip(cairo_t* cr, Pt base, double height, double lean);
void Butterfly(cairo_t* cr, Pt centre, double size, double angle);
void Bird(cairo_t* cr, Pt centre, double size, double flap);

} // namespace vyla::artgen

namespace vyla::artgen {

// A girl in a knee-length dress, posed by her joints. Points are in picture
// units; "near" limbs are on the viewer's side, but in a silhouette both
// merge into one shape anyway.
struct Girl {
    struct ArmPose {
        Pt elbow;
        Pt wrist;
        double hand = 0; // bend of the hand against the forearm
    };
    struct LegPose {
        Pt hip;
        Pt knee;
        Pt ankle;
        double foot = 0; // direction the toes point, radians
    };

    int facing = 1;
    Pt head;
    double headSize = 14;
    double tilt = 0;
    HairStyle hair = HairStyle::Bun;
    double wind = 0;
    bool bow = false;

    Pt neck;  // base of the neck
    Pt waist;
    double shoulderHalfWidth = 4.4;
    double waistHalfWidth = 3.1;

    bool skirt = true;
    Pt hem;
    double hemHalfWidth = 13;
    double hemAngle = 0;
    int scallops = 7;

    bool arms = true;
    ArmPose nearArm;
    ArmPose farArm;
    bool legs = true;
    LegPose nearLeg;
    LegPose farLeg;

    Pt Shoulder() const { return Lerp(neck, waist, 0.16); }
    void Draw(cairo_t* cr) const;
};

} // namespace vyla::artgen
