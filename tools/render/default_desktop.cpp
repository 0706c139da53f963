#include "default_desktop.h"

#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>

namespace vyla::render {

namespace {

struct CairoSurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct CairoDeleter {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};

struct Rgb {
    double r, g, b;
};

constexpr Rgb Hex(std::uint32_t v)
{
    return Rgb{((v >> 16) & 0xFF) / 255.0, ((v >> 8) & 0xFF) / 255.0, (v & 0xFF) / 255.0};
}

void Stop(cairo_pattern_t* p, double at, Rgb c, double alpha = 1.0)
{
    cairo_pattern_add_color_stop_rgba(p, at, c.r, c.g, c.b, alpha);
}

// A range of hills: a base height plus a few slow waves, filled down to the
// bottom of the picture.
struct Wave {
    double amplitude;  // fraction of the height
    double cycles;     // across the width
    double phase;
};

void Ridge(cairo_t* cr, double w, double h, double base, std::initializer_list<Wave> waves)
{
    cairo_new_path(cr);
    cairo_move_to(cr, 0, h);
    const int steps = std::max(64, static_cast<int>(w / 4));
    for (int i = 0; i <= steps; ++i) {
        double x = w * i / steps;
        double y = base;
        for (const Wave& v : waves)
            y += v.amplitude * std::sin(2 * std::numbers::pi * v.cycles * x / w + v.phase);
        cairo_line_to(cr, x, y * h);
    }
    cairo_line_to(cr, w, h);
    cairo_close_path(cr);
}

void FillVertical(cairo_t* cr, double top, double bottom, Rgb upper, Rgb lower)
{
    cairo_pattern_t* p = cairo_pattern_create_linear(0, top, 0, bottom);
    Stop(p, 0, upper);
    Stop(p, 1, lower);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

// A small pine: stacked triangles on a stem.
void Pine(cairo_t* cr, double x, double ground, double height)
{
    const double width = height * 0.42;
    for (int tier = 0; tier < 3; ++tier) {
        double top = ground - height * (1.0 - tier * 0.22);
        double bottom = ground - height * (0.38 - tier * 0.15);
        double half = width * (0.55 + tier * 0.22) / 2;
        cairo_move_to(cr, x, top);
        cairo_line_to(cr, x + half, bottom);
        cairo_line_to(cr, x - half, bottom);
        cairo_close_path(cr);
    }
    cairo_rectangle(cr, x - height * 0.03, ground - height * 0.2, height * 0.06, height * 0.22);
    cairo_fill(cr);
}

void Draw(cairo_t* cr, double w, double h)
{
    const double horizon = 0.62 * h;
    const double unit = std::min(w, h);

    // Sky, night blue at the top warming to amber at the horizon.
    cairo_rectangle(cr, 0, 0, w, horizon + 1);
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, horizon);
    Stop(sky, 0.00, Hex(0x16203f));
    Stop(sky, 0.30, Hex(0x2c3c6e));
    Stop(sky, 0.58, Hex(0x66699c));
    Stop(sky, 0.80, Hex(0xb68c9f));
    Stop(sky, 1.00, Hex(0xf0c08f));
    cairo_set_source(cr, sky);
    cairo_fill(cr);
    cairo_pattern_destroy(sky);

    // The glow of the sun that has just set.
    const double sunX = 0.63 * w;
    cairo_pattern_t* glow = cairo_pattern_create_radial(sunX, horizon, 0, sunX, horizon, 0.55 * w);
    Stop(glow, 0, Hex(0xffd9a0), 0.55);
    Stop(glow, 0.35, Hex(0xf4b58a), 0.25);
    Stop(glow, 1, Hex(0xf4b58a), 0);
    cairo_rectangle(cr, 0, 0, w, horizon + 1);
    cairo_set_source(cr, glow);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);

    // A few early stars, fading towards the glow.
    std::uint32_t seed = 0x5eed1e55u;
    auto random = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) / 16777216.0;
    };
    for (int i = 0; i < 70; ++i) {
        double x = random() * w, y = random() * random() * 0.42 * h;
        double r = unit * (0.0009 + 0.0016 * random());
        double alpha = 0.85 * (1 - y / (0.42 * h)) * (0.4 + 0.6 * random());
        cairo_arc(cr, x, y, r, 0, 2 * std::numbers::pi);
        cairo_set_source_rgba(cr, 1, 0.97, 0.9, alpha);
        cairo_fill(cr);
    }

    // A crescent moon high on the left.
    const double moonX = 0.27 * w, moonY = 0.21 * h, moonR = 0.035 * unit;
    cairo_pattern_t* halo = cairo_pattern_create_radial(moonX, moonY, moonR, moonX, moonY, moonR * 4);
    Stop(halo, 0, Hex(0xdfe4ff), 0.22);
    Stop(halo, 1, Hex(0xdfe4ff), 0);
    cairo_arc(cr, moonX, moonY, moonR * 4, 0, 2 * std::numbers::pi);
    cairo_set_source(cr, halo);
    cairo_fill(cr);
    cairo_pattern_destroy(halo);
    cairo_push_group(cr);
    cairo_arc(cr, moonX, moonY, moonR, 0, 2 * std::numbers::pi);
    cairo_set_source_rgb(cr, 0.98, 0.95, 0.86);
    cairo_fill(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_arc(cr, moonX + moonR * 0.45, moonY - moonR * 0.2, moonR * 0.92, 0, 2 * std::numbers::pi);
    cairo_fill(cr);
    cairo_pop_group_to_source(cr);
    cairo_paint(cr);

    // Far mountains in the haze.
    Ridge(cr, w, h, 0.585, {{0.035, 1.3, 0.4}, {0.018, 3.1, 1.9}, {0.008, 7.3, 0.2}});
    FillVertical(cr, 0.50 * h, horizon, Hex(0x8c84ad), Hex(0x9d8fae));

    // The lake, mirroring the sky, with the sun's path on the water.
    cairo_rectangle(cr, 0, horizon, w, 0.2 * h);
    cairo_pattern_t* lake = cairo_pattern_create_linear(0, horizon, 0, 0.82 * h);
    Stop(lake, 0, Hex(0xe3b48f));
    Stop(lake, 0.45, Hex(0x9f88a6));
    Stop(lake, 1, Hex(0x4d5a86));
    cairo_set_source(cr, lake);
    cairo_fill(cr);
    cairo_pattern_destroy(lake);
    for (int i = 0; i < 14; ++i) {
        double y = horizon + (0.006 + 0.011 * i) * h;
        double half = (0.11 - 0.006 * i) * w * (0.7 + 0.3 * random());
        double shift = (random() - 0.5) * 0.03 * w;
        cairo_rectangle(cr, sunX - half + shift, y, 2 * half, std::max(1.0, 0.0022 * h));
        cairo_set_source_rgba(cr, 1, 0.88, 0.7, 0.35 * (1 - i / 14.0));
        cairo_fill(cr);
    }

    // Rolling hills, darker and bluer as they come near.
    Ridge(cr, w, h, 0.755, {{0.03, 0.9, 2.2}, {0.012, 2.4, 0.7}});
    FillVertical(cr, 0.70 * h, 0.9 * h, Hex(0x4a5783), Hex(0x3a4670));
    Ridge(cr, w, h, 0.845, {{0.028, 0.7, 4.1}, {0.01, 2.9, 1.3}});
    FillVertical(cr, 0.79 * h, h, Hex(0x2b3a5b), Hex(0x223050));
    Ridge(cr, w, h, 0.93, {{0.022, 0.55, 0.9}, {0.008, 3.7, 2.5}});
    FillVertical(cr, 0.88 * h, h, Hex(0x1b2740), Hex(0x141d33));

    // Two stands of pines on the middle hills, in front of the lake.
    cairo_set_source_rgb(cr, 0.12, 0.16, 0.25);
    const double pines[][2] = {{0.225, 0.8}, {0.245, 1.0}, {0.262, 0.7}, {0.285, 0.9}, {0.70, 0.75}, {0.722, 1.0}, {0.741, 0.8}};
    for (const auto& p : pines) {
        double x = p[0] * w;
        double ground = (0.845 + 0.028 * std::sin(2 * std::numbers::pi * 0.7 * p[0] + 4.1) +
                         0.01 * std::sin(2 * std::numbers::pi * 2.9 * p[0] + 1.3)) * h + 0.012 * h;
        Pine(cr, x, ground, 0.075 * h * p[1]);
    }
}

}  // namespace

raster::Surface DrawDefaultDesktop(Size size)
{
    auto made = raster::Surface::Create(size);
    if (!made || size.IsEmpty())
        return raster::Surface{};
    raster::Surface out = std::move(*made);

    std::unique_ptr<cairo_surface_t, CairoSurfaceDeleter> image(
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, size.width, size.height));
    if (cairo_surface_status(image.get()) != CAIRO_STATUS_SUCCESS)
        return raster::Surface{};
    {
        std::unique_ptr<cairo_t, CairoDeleter> cr(cairo_create(image.get()));
        Draw(cr.get(), size.width, size.height);
    }
    cairo_surface_flush(image.get());
    const unsigned char* data = cairo_image_surface_get_data(image.get());
    const int stride = cairo_image_surface_get_stride(image.get());
    for (int y = 0; y < size.height; ++y) {
        const auto* src = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        raster::Pixel* dst = out.Row(y);
        for (int x = 0; x < size.width; ++x)
            dst[x] = src[x] & 0xFFFFFFu;
    }
    return out;
}

}  // namespace vyla::render
