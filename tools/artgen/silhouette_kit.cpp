#include "silhouette_kit.h"

#include <algorithm>
#include <numbers>

namespace vyla::artgen {
namespace {

constexpr double kPi = std::numbers::pi;

Pt Rotate(Pt p, double angle)
{
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    return {p.x * c - p.y * s, p.x * s + p.y * c};
}

// Maps head-local points (facing right, unit = head size) into the picture.
struct HeadFrame {
    Pt centre;
    double size;
    int facing;
    double tilt;
    Pt operator()(Pt local) const
    {
        const Pt mirrored{local.x * facing, local.y};
        return centre + Rotate(mirrored, tilt * facing) * size;
    }
    std::vector<Pt> Map(const std::vector<Pt>& local) const
    {
        std::vector<Pt> out;
        out.reserve(local.size());
        for (Pt p : local)
            out.push_back((*this)(p));
        return out;
    }
};

Pt CatmullRom(Pt p0, Pt p1, Pt p2, Pt p3, double t)
{
    const double t2 = t * t;
    const double t3 = t2 * t;
    auto f = [&](double a, double b, double c, double d) {
        return 0.5 * (2 * b + (-a + c) * t + (2 * a - 5 * b + 4 * c - d) * t2 + (-a + 3 * b - 3 * c + d) * t3);
    };
    return {f(p0.x, p1.x, p2.x, p3.x), f(p0.y, p1.y, p2.y, p3.y)};
}

std::vector<Pt> SampleOpen(const std::vector<Pt>& p, int perSegment)
{
    std::vector<Pt> out;
    if (p.size() < 2)
        return p;
    for (std::size_t i = 0; i + 1 < p.size(); ++i) {
        const Pt p0 = i == 0 ? p[0] * 2 - p[1] : p[i - 1];
        const Pt p3 = i + 2 < p.size() ? p[i + 2] : p[i + 1] * 2 - p[i];
        for (int k = 0; k < perSegment; ++k)
            out.push_back(CatmullRom(p0, p[i], p[i + 1], p3, static_cast<double>(k) / perSegment));
    }
    out.push_back(p.back());
    return out;
}

void Polygon(cairo_t* cr, const std::vector<Pt>& points)
{
    if (points.empty())
        return;
    cairo_move_to(cr, points[0].x, points[0].y);
    for (std::size_t i = 1; i < points.size(); ++i)
        cairo_line_to(cr, points[i].x, points[i].y);
    cairo_close_path(cr);
    cairo_fill(cr);
}

// A tapering lock of hair (or leaf, or ribbon) along a smooth centre line.
void Lock(cairo_t* cr, const std::vector<Pt>& centreLine, double rootWidth, double tipWidth = 0.0)
{
    const std::vector<Pt> line = SampleOpen(centreLine, 12);
    if (line.size() < 2)
        return;
    std::vector<Pt> left;
    std::vector<Pt> right;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const Pt a = line[i == 0 ? 0 : i - 1];
        const Pt b = line[i + 1 < line.size() ? i + 1 : i];
        const Pt d = b - a;
        const double len = std::max(1e-9, Length(d));
        const Pt n{-d.y / len, d.x / len};
        const double t = static_cast<double>(i) / static_cast<double>(line.size() - 1);
        // Full width for most of the way, tapering at the end.
        const double w = (rootWidth + (tipWidth - rootWidth) * t * t) / 2;
        left.push_back(line[i] + n * w);
        right.push_back(line[i] - n * w);
    }
    std::vector<Pt> outline = left;
    outline.insert(outline.end(), right.rbegin(), right.rend());
    Polygon(cr, outline);
    Disc(cr, line.front(), rootWidth / 2);
}

} // namespace

double Rng::Next()
{
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<double>(state_ >> 8) / static_cast<double>(1u << 24);
}

void SmoothClosed(cairo_t* cr, const std::vector<Pt>& p)
{
    const std::size_t n = p.size();
    if (n < 3)
        return;
    cairo_move_to(cr, p[0].x, p[0].y);
    for (std::size_t i = 0; i < n; ++i) {
        const Pt p0 = p[(i + n - 1) % n];
        const Pt p1 = p[i];
        const Pt p2 = p[(i + 1) % n];
        const Pt p3 = p[(i + 2) % n];
        const Pt c1 = p1 + (p2 - p0) * (1.0 / 6.0);
        const Pt c2 = p2 - (p3 - p1) * (1.0 / 6.0);
        cairo_curve_to(cr, c1.x, c1.y, c2.x, c2.y, p2.x, p2.y);
    }
    cairo_close_path(cr);
}

void SmoothOpen(cairo_t* cr, const std::vector<Pt>& p, bool moveFirst)
{
    const std::size_t n = p.size();
    if (n < 2)
        return;
    if (moveFirst)
        cairo_move_to(cr, p[0].x, p[0].y);
    else
        cairo_line_to(cr, p[0].x, p[0].y);
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const Pt p0 = i == 0 ? p[0] : p[i - 1];
        const Pt p1 = p[i];
        const Pt p2 = p[i + 1];
        const Pt p3 = i + 2 < n ? p[i + 2] : p[i + 1];
        const Pt c1 = p1 + (p2 - p0) * (1.0 / 6.0);
        const Pt c2 = p2 - (p3 - p1) * (1.0 / 6.0);
        cairo_curve_to(cr, c1.x, c1.y, c2.x, c2.y, p2.x, p2.y);
    }
}

void FillSmooth(cairo_t* cr, const std::vector<Pt>& points)
{
    SmoothClosed(cr, points);
    cairo_fill(cr);
}

void StrokeSmooth(cairo_t* cr, const std::vector<Pt>& points, double width)
{
    SmoothOpen(cr, points);
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
}

void Disc(cairo_t* cr, Pt c, double r)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, c.x, c.y, r, 0, 2 * kPi);
    cairo_fill(cr);
}

void Ellipse(cairo_t* cr, Pt c, double rx, double ry, double angle)
{
    cairo_save(cr);
    cairo_translate(cr, c.x, c.y);
    cairo_rotate(cr, angle);
    cairo_scale(cr, rx, ry);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
    cairo_restore(cr);
    cairo_fill(cr);
}

void Ring(cairo_t* cr, Pt c, double r, double width)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, c.x, c.y, r, 0, 2 * kPi);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

void Limb(cairo_t* cr, Pt a, Pt b, double wa, double wb)
{
    const Pt d = b - a;
    const double len = Length(d);
    if (len > 1e-9) {
        const Pt n{-d.y / len, d.x / len};
        Polygon(cr, {a + n * (wa / 2), b + n * (wb / 2), b - n * (wb / 2), a - n * (wa / 2)});
    }
    Disc(cr, a, wa / 2);
    Disc(cr, b, wb / 2);
}

void Line(cairo_t* cr, Pt a, Pt b, double width)
{
    cairo_move_to(cr, a.x, a.y);
    cairo_line_to(cr, b.x, b.y);
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
}

void HeadInProfile(cairo_t* cr, Pt centre, double size, int facing, double tilt)
{
    const HeadFrame f{centre, size, facing, tilt};
    // Forehead, small turned-up nose, lips and a round chin; the back of the
    // skull is hidden under the hair.
    FillSmooth(cr, f.Map({{0.00, -0.50},
                          {0.24, -0.44},
                          {0.36, -0.30},
                          {0.41, -0.14},
                          {0.40, -0.05},
                          {0.44, 0.03},
                          {0.52, 0.11},
                          {0.58, 0.14},
                          {0.49, 0.17},
                          {0.46, 0.21},
                          {0.50, 0.245},
                          {0.44, 0.28},
                          {0.475, 0.315},
                          {0.41, 0.36},
                          {0.42, 0.42},
                          {0.36, 0.49},
                          {0.22, 0.50},
                          {0.08, 0.45},
                          {-0.20, 0.38},
                          {-0.42, 0.10},
                          {-0.40, -0.26},
                          {-0.22, -0.45}}));
    // Eyelashes, the one detail of the eye a cut profile shows.
    Lock(cr, f.Map({{0.37, -0.03}, {0.44, -0.04}, {0.49, -0.10}}), size * 0.07, size * 0.02);
}

void Hair(cairo_t* cr, Pt centre, double size, int facing, double tilt, HairStyle style, double wind)
{
    const HeadFrame f{centre, size, facing, tilt};
    // The cap over the skull, with a fringe over the forehead.
    FillSmooth(cr, f.Map({{0.30, -0.44},
                          {0.40, -0.30},
                          {0.36, -0.20},
                          {0.22, -0.26},
                          {0.06, -0.18},
                          {-0.02, 0.02},
                          {-0.12, 0.24},
                          {-0.30, 0.34},
                          {-0.48, 0.18},
                          {-0.55, -0.12},
                          {-0.42, -0.42},
                          {-0.15, -0.58},
                          {0.12, -0.56}}));
    const double w = wind * facing; // wind in head-local x
    switch (style) {
    case HairStyle::Bun:
        Disc(cr, f({-0.42, -0.40}), size * 0.24);
        Disc(cr, f({-0.52, -0.22}), size * 0.12);
        break;
    case HairStyle::Ponytail:
        Disc(cr, f({-0.48, -0.30}), size * 0.11);
        Lock(cr, f.Map({{-0.48, -0.30}, {-0.80 + 0.1 * w, -0.15 + 0.2 * std::abs(w)}, {-0.85 + 0.6 * w, 0.25 - 0.2 * std::abs(w)},
                        {-0.70 + 0.9 * w, 0.70 - 0.4 * std::abs(w)}}),
             size * 0.26, size * 0.04);
        break;
    case HairStyle::Flowing:
        for (int i = 0; i < 4; ++i) {
            const double k = i / 3.0;
            const double fall = 1.10 + 0.25 * k;
            const double sway = w * (0.9 + 0.5 * k);
            Lock(cr,
                 f.Map({{-0.30 - 0.12 * k, -0.10 + 0.12 * k},
                        {-0.55 - 0.15 * k + 0.3 * sway, 0.30 + 0.05 * k - 0.25 * std::abs(sway)},
                        {-0.55 - 0.20 * k + 0.9 * sway, fall * 0.65 - 0.45 * std::abs(sway)},
                        {-0.40 - 0.25 * k + 1.4 * sway, fall - 0.70 * std::abs(sway)},
                        {-0.25 - 0.35 * k + 1.6 * sway, fall - 0.75 * std::abs(sway) - 0.08}}),
                 size * (0.42 - 0.06 * i), size * 0.02);
        }
        break;
    case HairStyle::Braid:
        for (int i = 0; i < 7; ++i) {
            const double t = i / 6.0;
            const Pt p{-0.40 - 0.12 * t + 0.5 * w * t, 0.20 + 0.95 * t - 0.4 * std::abs(w) * t};
            Ellipse(cr, f(p), size * (0.13 - 0.04 * t), size * (0.09 - 0.02 * t), tilt * facing + 0.3 * facing);
        }
        Lock(cr, f.Map({{-0.52 + 0.5 * w, 1.15 - 0.4 * std::abs(w)}, {-0.50 + 0.6 * w, 1.32 - 0.45 * std::abs(w)}}),
             size * 0.14, size * 0.04);
        break;
    case HairStyle::Bob:
        FillSmooth(cr, f.Map({{-0.05, -0.10}, {0.02, 0.22}, {-0.05, 0.42}, {-0.30, 0.46}, {-0.55, 0.30}, {-0.56, -0.05}}));
        break;
    }
}

void HairBow(cairo_t* cr, Pt centre, double size, int facing, double tilt)
{
    const HeadFrame f{centre, size, facing, tilt};
    // Two loops and two tails, tied at the back of the crown.
    FillSmooth(cr, f.Map({{-0.28, -0.50}, {-0.12, -0.82}, {0.04, -0.80}, {0.02, -0.66}, {-0.20, -0.50}}));
    FillSmooth(cr, f.Map({{-0.34, -0.48}, {-0.70, -0.72}, {-0.80, -0.58}, {-0.70, -0.46}, {-0.40, -0.42}}));
    Lock(cr, f.Map({{-0.34, -0.46}, {-0.55, -0.30}, {-0.62, -0.12}}), size * 0.10, size * 0.05);
    Disc(cr, f({-0.30, -0.48}), size * 0.09);
}

void Bodice(cairo_t* cr, Pt neck, Pt waist, double sh, double wh)
{
    const Pt d = waist - neck;
    const double len = std::max(1e-9, Length(d));
    const Pt u = d * (1 / len);
    const Pt n{-u.y, u.x};
    FillSmooth(cr, {neck + n * (sh * 0.5) - u * 0.2, neck + n * sh + u * (len * 0.12), Lerp(neck, waist, 0.6) + n * (wh * 1.08),
                    waist + n * wh, waist + u * 0.8, waist - n * wh, Lerp(neck, waist, 0.6) - n * (wh * 1.08),
                    neck - n * sh + u * (len * 0.12), neck - n * (sh * 0.5) - u * 0.2});
}

void PuffSleeve(cairo_t* cr, Pt shoulder, double r)
{
    Disc(cr, shoulder, r);
}

void Skirt(cairo_t* cr, Pt waist, double wh, Pt hem, double hh, double hemAngle, int scallops)
{
    const Pt dir = Polar({0, 0}, 1, hemAngle);   // along the hem, towards +x
    const Pt hemLeft = hem - dir * hh;
    const Pt hemRight = hem + dir * hh;
    const Pt waistLeft{waist.x - wh, waist.y};
    const Pt waistRight{waist.x + wh, waist.y};
    const Pt down = hem - waist;
    cairo_move_to(cr, waistLeft.x, waistLeft.y);
    // Bell-shaped sides: out at the hips, then down to the hem.
    Pt c1 = waistLeft + Pt{-wh * 0.9, down.y * 0.15};
    Pt c2 = hemLeft + Pt{(waistLeft.x - hemLeft.x) * 0.15, -down.y * 0.55};
    cairo_curve_to(cr, c1.x, c1.y, c2.x, c2.y, hemLeft.x, hemLeft.y);
    // Scalloped hem: small arcs bulging downwards.
    const int count = std::max(1, scallops);
    const Pt normal{-dir.y, dir.x}; // points down for a level hem
    for (int i = 0; i < count; ++i) {
        const Pt a = Lerp(hemLeft, hemRight, static_cast<double>(i) / count);
        const Pt b = Lerp(hemLeft, hemRight, static_cast<double>(i + 1) / count);
        const double depth = Length(b - a) * 0.45;
        const Pt m1 = Lerp(a, b, 0.15) + normal * depth;
        const Pt m2 = Lerp(a, b, 0.85) + normal * depth;
        cairo_curve_to(cr, m1.x, m1.y, m2.x, m2.y, b.x, b.y);
    }
    c1 = hemRight + Pt{(waistRight.x - hemRight.x) * 0.15, -down.y * 0.55};
    c2 = waistRight + Pt{wh * 0.9, down.y * 0.15};
    cairo_curve_to(cr, c1.x, c1.y, c2.x, c2.y, waistRight.x, waistRight.y);
    cairo_close_path(cr);
    cairo_fill(cr);
}

void Arm(cairo_t* cr, Pt shoulder, Pt elbow, Pt wrist, double handAngle)
{
    Limb(cr, shoulder, elbow, 2.6, 2.0);
    Limb(cr, elbow, wrist, 2.0, 1.5);
    const Pt d = wrist - elbow;
    const double a = std::atan2(d.y, d.x) + handAngle;
    Ellipse(cr, Polar(wrist, 1.2, a), 1.6, 0.95, a);
}

void Leg(cairo_t* cr, Pt hip, Pt knee, Pt ankle, double footAngle)
{
    Limb(cr, hip, knee, 3.6, 2.5);
    Limb(cr, knee, ankle, 2.5, 1.6);
    Shoe(cr, ankle, footAngle);
}

void Shoe(cairo_t* cr, Pt ankle, double footAngle)
{
    const Pt toe = Polar(ankle, 3.6, footAngle);
    const Pt heel = Polar(ankle, -0.6, footAngle);
    Limb(cr, heel, toe, 1.9, 1.3);
}

void GrassStrip(cairo_t* cr, double groundY, double x0, double x1, std::uint32_t seed)
{
    Rng rng(seed);
    cairo_rectangle(cr, x0, groundY, x1 - x0, 2.2);
    cairo_fill(cr);
    for (double x = x0 + 0.4; x < x1 - 0.4; x += rng.Range(0.7, 1.6)) {
        const double h = rng.Range(0.8, 3.2);
        const double lean = rng.Range(-0.9, 0.9);
        cairo_move_to(cr, x - 0.35, groundY + 0.5);
        cairo_curve_to(cr, x - 0.2, groundY - h * 0.5, x + lean * 0.5, groundY - h * 0.8, x + lean, groundY - h);
        cairo_curve_to(cr, x + lean * 0.4, groundY - h * 0.7, x + 0.3, groundY - h * 0.4, x + 0.35, groundY + 0.5);
        cairo_close_path(cr);
        cairo_fill(cr);
    }
}

void Daisy(cairo_t* cr, Pt base, double height, double lean, double headSize)
{
    const Pt top = base + Pt{lean, -height};
    StrokeSmooth(cr, {base, base + Pt{lean * 0.2, -height * 0.5}, top}, 0.5);
    Lock(cr, {base + Pt{lean * 0.1, -height * 0.25}, base + Pt{lean * 0.1 + height * 0.15, -height * 0.42},
              base + Pt{lean * 0.1 + height * 0.25, -height * 0.45}},
         0.9, 0.1);
    for (int i = 0; i < 10; ++i) {
        const double a = 2 * kPi * i / 10;
        Ellipse(cr, Polar(top, headSize * 0.6, a), headSize * 0.55, headSize * 0.18, a);
    }
    Disc(cr, top, headSize * 0.35);
}

void Tulip(cairo_t* cr, Pt base, double height, double lean)
{
    const Pt top = base + Pt{lean, -height};
    StrokeSmooth(cr, {base, base + Pt{lean * 0.3, -height * 0.5}, top}, 0.55);
    Lock(cr, {base, base + Pt{-height * 0.12, -height * 0.35}, base + Pt{-height * 0.10, -height * 0.6}}, 1.4, 0.1);
    FillSmooth(cr, {top + Pt{-1.3, -0.2}, top + Pt{-1.5, -2.2}, top + Pt{-0.7, -3.4}, top + Pt{-0.2, -2.2},
                    top + Pt{0.3, -3.6}, top + Pt{0.8, -2.2}, top + Pt{1.5, -3.3}, top + Pt{1.5, -1.8},
                    top + Pt{1.2, -0.1}, top + Pt{0, 0.6}});
}

void Butterfly(cairo_t* cr, Pt c, double s, double angle)
{
    cairo_save(cr);
    cairo_translate(cr, c.x, c.y);
    cairo_rotate(cr, angle);
    cairo_scale(cr, s, s);
    Ellipse(cr, {-0.55, -0.55}, 0.62, 0.42, -0.6);
    Ellipse(cr, {0.55, -0.55}, 0.62, 0.42, 0.6);
    Ellipse(cr, {-0.40, 0.30}, 0.42, 0.30, 0.7);
    Ellipse(cr, {0.40, 0.30}, 0.42, 0.30, -0.7);
    Ellipse(cr, {0, 0}, 0.14, 0.6, 0);
    cairo_restore(cr);
    const double w = 0.12 * s;
    StrokeSmooth(cr, {Polar(c, 0.5 * s, angle - kPi / 2), Polar(c, 1.0 * s, angle - kPi / 2 - 0.35),
                      Polar(c, 1.25 * s, angle - kPi / 2 - 0.55)},
                 w);
    StrokeSmooth(cr, {Polar(c, 0.5 * s, angle - kPi / 2), Polar(c, 1.0 * s, angle - kPi / 2 + 0.35),
                      Polar(c, 1.25 * s, angle - kPi / 2 + 0.55)},
                 w);
}

void Bird(cairo_t* cr, Pt c, double s, double flap)
{
    // A swallow seen from below: wings swept back, forked tail.
    cairo_save(cr);
    cairo_translate(cr, c.x, c.y);
    cairo_scale(cr, s, s);
    FillSmooth(cr, {{-1.0, 0.05}, {-0.45, -0.2}, {0.3, -0.2}, {0.9, -0.05}, {0.35, 0.12}, {-0.4, 0.15}});
    Lock(cr, {{-0.1, -0.05}, {-0.4, -0.6 * flap - 0.2}, {-1.0, -1.0 * flap - 0.3}}, 0.45, 0.05);
    Lock(cr, {{0.1, -0.05}, {-0.15, -0.5 * flap - 0.15}, {-0.55, -0.9 * flap - 0.2}}, 0.4, 0.05);
    Lock(cr, {{-0.9, 0.05}, {-1.4, -0.15}}, 0.18, 0.04);
    Lock(cr, {{-0.9, 0.05}, {-1.45, 0.25}}, 0.18, 0.04);
    cairo_restore(cr);
}

} // namespace vyla::artgen

namespace vyla::artgen {

void Girl::Draw(cairo_t* cr) const
{
    const HeadFrame f{head, headSize, facing, tilt};
    HeadInProfile(cr, head, headSize, facing, tilt);
    Hair(cr, head, headSize, facing, tilt, hair, wind);
    if (bow)
        HairBow(cr, head, headSize, facing, tilt);
    Limb(cr, f({0.02, 0.30}), neck, 3.3, 3.6);
    Bodice(cr, neck, waist, shoulderHalfWidth, waistHalfWidth);
    if (legs) {
        Leg(cr, farLeg.hip, farLeg.knee, farLeg.ankle, farLeg.foot);
        Leg(cr, nearLeg.hip, nearLeg.knee, nearLeg.ankle, nearLeg.foot);
    }
    if (skirt)
        Skirt(cr, waist, waistHalfWidth + 0.3, hem, hemHalfWidth, hemAngle, scallops);
    if (arms) {
        const Pt shoulder = Shoulder();
        Arm(cr, shoulder, farArm.elbow, farArm.wrist, farArm.hand);
        Arm(cr, shoulder, nearArm.elbow, nearArm.wrist, nearArm.hand);
        PuffSleeve(cr, shoulder, 2.9);
    }
}

} // namespace vyla::artgen
