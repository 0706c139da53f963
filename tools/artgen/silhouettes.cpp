#include "silhouettes.h"

#include "canvas.h"
#include "quantise.h"
#include "silhouette_figures.h"

#include <cstdio>

namespace vyla::artgen {
namespace {

struct Picture {
    int width;
    int height;
    void (*draw)(cairo_t*, double);
};

// Sizes are fixed by the resources the saver loads; the order only decides
// which name each scene gets.
constexpr Picture kPictures[kSilhouetteCount] = {
    {432, 324, CurtsyingGirl},      {541, 410, GirlWithBird},       {534, 367, DancingGirl},
    {540, 352, GirlWithParasol},    {599, 446, GirlReading},        {621, 437, GirlInTheWind},
    {588, 417, GirlSkipping},       {574, 427, GirlWithCat},        {549, 418, GirlPickingFlowers},
    {504, 333, GirlOnSwing},        {507, 337, GirlWithHatAndBasket}, {593, 403, GirlWithViolin},
    {640, 416, GirlBlowingBubbles},
};

} // namespace

std::vector<NamedBitmap> DrawSilhouettes()
{
    std::vector<NamedBitmap> out;
    for (int i = 0; i < kSilhouetteCount; ++i) {
        const Picture& p = kPictures[i];
        Canvas canvas(p.width, p.height);
        cairo_t* cr = canvas.Context();
        const double unit = p.height / 100.0;
        cairo_scale(cr, unit, unit);
        cairo_set_source_rgb(cr, 0, 0, 0);
        p.draw(cr, p.width / unit);
        char name[16];
        std::snprintf(name, sizeof name, "IDB_SHADOW%02d", i);
        out.push_back({name, HalftoneFromCoverage(canvas)});
    }
    return out;
}

} // namespace vyla::artgen
