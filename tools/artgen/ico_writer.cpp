#include "ico_writer.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <fstream>

namespace vyla::artgen {
namespace {

void Put16(std::vector<std::uint8_t>& out, unsigned v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

std::uint8_t Byte(double v)
{
    return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
}

// An icon bitmap: the header with twice the height (image and mask), the
// straight-alpha BGRA rows bottom-up, then the one-bit mask rows, set where
// the icon is fully transparent.
std::vector<std::uint8_t> BitmapImage(const Canvas& c)
{
    const int n = c.Width();
    const std::size_t maskStride = static_cast<std::size_t>((n + 31) / 32) * 4;
    std::vector<std::uint8_t> out;
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(n));
    Put32(out, static_cast<std::uint32_t>(2 * n));
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, 0);  // BI_RGB
    Put32(out, static_cast<std::uint32_t>(n * n * 4 + maskStride * n));
    for (int i = 0; i < 4; ++i)
        Put32(out, 0);
    for (int y = n - 1; y >= 0; --y)
        for (int x = 0; x < n; ++x) {
            const Rgba p = c.Pixel(x, y);
            out.push_back(Byte(p.b));
            out.push_back(Byte(p.g));
            out.push_back(Byte(p.r));
            out.push_back(Byte(p.a));
        }
    for (int y = n - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(maskStride, 0);
        for (int x = 0; x < n; ++x)
            if (Byte(c.Pixel(x, y).a) == 0)
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

std::vector<std::uint8_t> PngImage(const Canvas& c)
{
    std::vector<std::uint8_t> out;
    auto write = [](void* closure, const unsigned char* data, unsigned int length) {
        auto* bytes = static_cast<std::vector<std::uint8_t>*>(closure);
        bytes->insert(bytes->end(), data, data + length);
        return CAIRO_STATUS_SUCCESS;
    };
    if (cairo_surface_write_to_png_stream(c.Surface(), write, &out) != CAIRO_STATUS_SUCCESS)
        out.clear();
    return out;
}

} // namespace

std::vector<std::uint8_t> EncodeIco(const std::vector<const Canvas*>& images)
{
    std::vector<std::vector<std::uint8_t>> encoded;
    for (const Canvas* c : images) {
        if (c == nullptr || c->Width() != c->Height() || c->Width() < 1 || c->Width() > 256)
            return {};
        encoded.push_back(c->Width() == 256 ? PngImage(*c) : BitmapImage(*c));
        if (encoded.back().empty())
            return {};
    }
    std::vector<std::uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);  // icon
    Put16(out, static_cast<unsigned>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const int n = images[i]->Width();
        out.push_back(static_cast<std::uint8_t>(n == 256 ? 0 : n));
        out.push_back(static_cast<std::uint8_t>(n == 256 ? 0 : n));
        out.push_back(0);  // no palette
        out.push_back(0);
        Put16(out, 1);
        Put16(out, 32);
        Put32(out, static_cast<std::uint32_t>(encoded[i].size()));
        Put32(out, offset);
        offset += static_cast<std::uint32_t>(encoded[i].size());
    }
    for (const auto& e : encoded)
        out.insert(out.end(), e.begin(), e.end());
    return out;
}

bool WriteIco(const std::filesystem::path& path, const std::vector<const Canvas*>& images)
{
    const std::vector<std::uint8_t> bytes = EncodeIco(images);
    if (bytes.empty())
        return false;
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(f);
}

} // namespace vyla::artgen
