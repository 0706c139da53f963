#include "border.h"

#include "canvas.h"
#include "palettes.h"
#include "quantise.h"

#include <cmath>
#include <numbers>

namespace vyla::artgen {
namespace {

constexpr double kPi = std::numbers::pi;

// Distances from the screen edge, in frame pixels; rules sit on pixel
// centres so that each is one crisp pixel row.
constexpr double kOuterRule = 3.5;
constexpr double kInnerRuleA = 41.5;
constexpr double kInnerRuleB = 44.5;
constexpr double kScrollMid = (kOuterRule + kInnerRuleA) / 2.0;
constexpr double kLine = 1.25;
constexpr double kCentreRadius = 12.5;

// A ring with eight open petals, as in a rose window.
void Rosette(cairo_t* cr, double cu, double cv, double radius)
{
    cairo_set_line_width(cr, kLine);
    cairo_new_sub_path(cr);
    cairo_arc(cr, cu, cv, radius, 0, 2 * kPi);
    cairo_stroke(cr);
    const double k = radius / 15.0;
    cairo_set_line_width(cr, 1.0);
    for (int i = 0; i < 8; ++i) {
        cairo_save(cr);
        cairo_translate(cr, cu, cv);
        cairo_rotate(cr, i * kPi / 4);
        cairo_move_to(cr, 2.5 * k, 0);
        cairo_curve_to(cr, 6 * k, 4.2 * k, 12 * k, 3.2 * k, 12.5 * k, 0);
        cairo_curve_to(cr, 12 * k, -3.2 * k, 6 * k, -4.2 * k, 2.5 * k, 0);
        cairo_restore(cr);
        cairo_stroke(cr);
    }
    cairo_new_sub_path(cr);
    cairo_arc(cr, cu, cv, 1.8 * k, 0, 2 * kPi);
    cairo_fill(cr);
}

// Draws one edge in (u, v) coordinates: u runs along the edge, v inwards
// from the screen edge. `length` is the edge length.
class EdgeDrawer {
public:
    EdgeDrawer(cairo_t* cr, double length) : cr_(cr), length_(length) {}

    void Draw()
    {
        cairo_set_line_width(cr_, kLine);
        cairo_set_line_cap(cr_, CAIRO_LINE_CAP_BUTT);
        Rules();
        Lace();
        CentreMedallion();
        // Each half runs from the corner box to the centre medallion; the
        // second half is the mirror image of the first.
        HalfRun();
        cairo_save(cr_);
        cairo_matrix_t mirror;
        cairo_matrix_init(&mirror, -1, 0, 0, 1, length_, 0);
        cairo_transform(cr_, &mirror);
        HalfRun();
        cairo_restore(cr_);
    }

private:
    void Line(double u0, double v0, double u1, double v1, double width = kLine)
    {
        cairo_set_line_width(cr_, width);
        cairo_move_to(cr_, u0, v0);
        cairo_line_to(cr_, u1, v1);
        cairo_stroke(cr_);
    }

    void Dot(double u, double v, double r)
    {
        cairo_new_sub_path(cr_);
        cairo_arc(cr_, u, v, r, 0, 2 * kPi);
        cairo_fill(cr_);
    }

    void Rules()
    {
        Line(0, kOuterRule, length_, kOuterRule);
        Line(kInnerRuleA - 0.5, kInnerRuleA, length_ - kInnerRuleA + 0.5, kInnerRuleA, 1.0);
        Line(kInnerRuleB - 0.5, kInnerRuleB, length_ - kInnerRuleB + 0.5, kInnerRuleB);
        // The inner sides of the corner boxes at both ends of the edge.
        for (double u : {kInnerRuleA, length_ - kInnerRuleA})
            Line(u, kOuterRule, u, kInnerRuleA, 1.0);
        for (double u : {kInnerRuleB, length_ - kInnerRuleB})
            Line(u, kOuterRule, u, kInnerRuleB);
    }

    // Small scallops with picots hanging from the inner rule into the band.
    void Lace()
    {
        const double start = kInnerRuleB + 4.0;
        const double end = length_ - kInnerRuleB - 4.0;
        const int count = static_cast<int>(std::lround((end - start) / 8.0));
        const double pitch = (end - start) / count;
        cairo_set_line_width(cr_, 1.0);
        for (int i = 0; i < count; ++i) {
            const double u = start + pitch * (i + 0.5);
            cairo_new_sub_path(cr_);
            cairo_arc_negative(cr_, u, kInnerRuleB, pitch / 2 - 0.5, kPi, 0);
            cairo_stroke(cr_);
            Dot(u, kInnerRuleB + pitch / 2 + 0.2, 0.75);
        }
    }

    void CentreMedallion()
    {
        const double cu = length_ / 2;
        const double cv = kScrollMid;
        Rosette(cr_, cu, cv, kCentreRadius);
        // Ties to the rules.
        Line(cu, kOuterRule, cu, cv - kCentreRadius);
        Line(cu, cv + kCentreRadius, cu, kInnerRuleA);
    }

    // One curling tendril: the curvature grows steadily along its length, so
    // it starts almost straight and ends in a tight spiral (like forged iron).
    void Tendril(double u, double v, double heading, double length, double k0, double k1, double knob)
    {
        cairo_set_line_width(cr_, kLine);
        cairo_move_to(cr_, u, v);
        const double ds = 0.25;
        const int steps = static_cast<int>(length / ds);
        for (int i = 0; i < steps; ++i) {
            const double t = static_cast<double>(i) / steps;
            heading += (k0 + (k1 - k0) * t) * ds;
            u += std::cos(heading) * ds;
            v += std::sin(heading) * ds;
            cairo_line_to(cr_, u, v);
        }
        cairo_stroke(cr_);
        if (knob > 0)
            Dot(u, v, knob);
    }

    void Leaf(double u, double v, double heading, double length, double width)
    {
        cairo_save(cr_);
        cairo_translate(cr_, u, v);
        cairo_rotate(cr_, heading);
        cairo_move_to(cr_, 0, 0);
        cairo_curve_to(cr_, length * 0.3, width, length * 0.7, width, length, 0);
        cairo_curve_to(cr_, length * 0.7, -width, length * 0.3, -width, 0, 0);
        cairo_close_path(cr_);
        cairo_restore(cr_);
        cairo_fill(cr_);
    }

    double StemV(double u, double start, double period) const
    {
        return kScrollMid + kAmplitude * std::sin(2 * kPi * (u - start) / period);
    }
    double StemSlope(double u, double start, double period) const
    {
        return kAmplitude * 2 * kPi / period * std::cos(2 * kPi * (u - start) / period);
    }

    // From the corner box to the centre medallion.
    void HalfRun()
    {
        const double start = kInnerRuleB;
        const double end = length_ / 2 - kCentreRadius;
        const int periods = std::max(1, static_cast<int>(std::lround((end - start) / 62.0)));
        const double period = (end - start) / periods;

        // The stem: a sine wave between the rules.
        cairo_set_line_width(cr_, kLine);
        cairo_move_to(cr_, start, StemV(start, start, period));
        for (double u = start; u <= end; u += 0.5)
            cairo_line_to(cr_, u, StemV(u, start, period));
        cairo_line_to(cr_, end, StemV(end, start, period));
        cairo_stroke(cr_);

        // A curl in every bend, springing just past the bend and turning
        // back into the hollow the bend leaves towards the opposite rule.
        const double scale = period / 62.0;
        for (int bend = 0; bend < 2 * periods; ++bend) {
            const double ub = start + period * (0.25 + 0.5 * bend);
            const double side = bend % 2 == 0 ? -1.0 : 1.0; // the hollow lies towards -v or +v
            const double us = ub + period * kSpring;
            const double heading = std::atan(StemSlope(us, start, period));
            Tendril(us, StemV(us, start, period), heading + side * kBranchAngle, kCurlLength * scale, side * kCurlStart,
                    side * kCurlEnd, 1.0);
            // A pair of small leaves on the outside of the bend.
            const double vb = StemV(ub, start, period);
            Leaf(ub - 1.5, vb, -kPi / 2 * side - 0.7, 6.0, 1.7);
            Leaf(ub + 1.5, vb, -kPi / 2 * side + 0.7, 6.0, 1.7);
        }
    }

    static constexpr double kSpring = 0.16;
    static constexpr double kBranchAngle = 0.40;
    static constexpr double kCurlLength = 54.0;
    static constexpr double kCurlStart = 0.02;
    static constexpr double kCurlEnd = 0.34;
    static constexpr double kAmplitude = 8.0;

    cairo_t* cr_;
    double length_;
};

void CornerBox(cairo_t* cr)
{
    // The box's sides are the rules of the neighbouring edges, drawn there.
    const double c = (kOuterRule + kInnerRuleA) / 2;
    Rosette(cr, c, c, 15.0);
    // Small curls in the box's free corners.
    const double corners[4][2] = {{kOuterRule, kOuterRule}, {kInnerRuleA, kOuterRule}, {kOuterRule, kInnerRuleA},
                                  {kInnerRuleA, kInnerRuleA}};
    for (const auto& p : corners) {
        const double du = p[0] < c ? 1 : -1;
        const double dv = p[1] < c ? 1 : -1;
        cairo_new_sub_path(cr);
        cairo_arc(cr, p[0] + du * 3.2, p[1] + dv * 3.2, 1.1, 0, 2 * kPi);
        cairo_fill(cr);
    }
}

} // namespace

IndexedBitmap DrawBorderFrame()
{
    Canvas canvas(kFrameWidth, kFrameHeight);
    cairo_t* cr = canvas.Context();
    cairo_set_source_rgb(cr, 0, 0, 0);

    struct Edge {
        cairo_matrix_t toFrame;
        double length;
    };
    Edge edges[4];
    cairo_matrix_init(&edges[0].toFrame, 1, 0, 0, 1, 0, 0);                       // top
    cairo_matrix_init(&edges[1].toFrame, 1, 0, 0, -1, 0, kFrameHeight);           // bottom
    cairo_matrix_init(&edges[2].toFrame, 0, 1, 1, 0, 0, 0);                       // left
    cairo_matrix_init(&edges[3].toFrame, 0, 1, -1, 0, kFrameWidth, 0);            // right
    edges[0].length = edges[1].length = kFrameWidth;
    edges[2].length = edges[3].length = kFrameHeight;
    for (Edge& e : edges) {
        cairo_save(cr);
        cairo_transform(cr, &e.toFrame);
        EdgeDrawer(cr, e.length).Draw();
        cairo_restore(cr);
    }

    // The corner boxes, mirrored into each corner.
    const double flips[4][2] = {{1, 1}, {-1, 1}, {1, -1}, {-1, -1}};
    for (const auto& f : flips) {
        cairo_save(cr);
        cairo_matrix_t m;
        cairo_matrix_init(&m, f[0], 0, 0, f[1], f[0] < 0 ? kFrameWidth : 0, f[1] < 0 ? kFrameHeight : 0);
        cairo_transform(cr, &m);
        CornerBox(cr);
        cairo_restore(cr);
    }
    return InkFromCoverage(canvas, 0.5);
}

std::vector<NamedBitmap> CutBorderPieces(const IndexedBitmap& frame)
{
    auto cut = [&](int left, int top, int width, int height, bool blankCorners) {
        IndexedBitmap piece(width, height, 1, OneBitPalette());
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const int fy = top + y;
                const bool corner = blankCorners && (fy < kTopBand || fy >= kFrameHeight - kBottomBand);
                const bool inside = left + x < frame.Width() && fy < frame.Height();
                piece.Set(x, y, corner || !inside ? kPaper : frame.At(left + x, fy));
            }
        return piece;
    };
    std::vector<NamedBitmap> pieces;
    pieces.push_back({"IDB_FRAMET", cut(0, 0, kFrameWidth, kTopBand, false)});
    pieces.push_back({"IDB_FRAMEB", cut(0, kFrameHeight - kBottomBand, kFrameWidth, kBottomBand, false)});
    pieces.push_back({"IDB_FRAMEL", cut(0, 0, kLeftBand, kFrameHeight, true)});
    pieces.push_back({"IDB_FRAMER", cut(kFrameWidth - kRightBand, 0, kRightBand, kFrameHeight, true)});
    return pieces;
}

} // namespace vyla::artgen
