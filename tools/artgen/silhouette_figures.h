// The individual silhouette pictures. Each draws its scene into a picture
// `width` units wide and 100 units high, in the current source colour.
#pragma once

#include <cairo.h>

namespace vyla::artgen {

// silhouettes_everyday.cpp
void CurtsyingGirl(cairo_t* cr, double width);
void GirlWithBird(cairo_t* cr, double width);
void GirlWithParasol(cairo_t* cr, double width);
void GirlReading(cairo_t* cr, double width);
void GirlWithCat(cairo_t* cr, double width);
void GirlPickingFlowers(cairo_t* cr, double width);
void GirlWithHatAndBasket(cairo_t* cr, double width);

// silhouettes_play.cpp
void DancingGirl(cairo_t* cr, double width);
void GirlInTheWind(cairo_t* cr, double width);
void GirlSkipping(cairo_t* cr, double width);
void GirlOnSwing(cairo_t* cr, double width);
void GirlWithViolin(cairo_t* cr, double width);
void GirlBlowingBubbles(cairo_t* cr, double width);

} // namespace vyla::artgen
