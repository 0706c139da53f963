#include "screen_match.h"

#include <cctype>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace vyla::wintest {
namespace {

// The next header number of a PPM, skipping white space and comments.
std::optional<int> HeaderNumber(std::istream& in)
{
    int c;
    while ((c = in.get()) != EOF) {
        if (c == '#') {
            std::string comment;
            std::getline(in, comment);
        } else if (!std::isspace(c)) {
            in.unget();
            long value = 0;
            if (!(in >> value) || value < 0 || value > 65535)
                return std::nullopt;
            return static_cast<int>(value);
        }
    }
    return std::nullopt;
}

bool NearMatch(const raster::Surface& expected, int x, int y, raster::Pixel got)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const int ex = x + dx, ey = y + dy;
            if (ex >= 0 && ey >= 0 && ex < expected.Width() && ey < expected.Height() && expected.At(ex, ey) == got)
                return true;
        }
    return false;
}

}  // namespace

std::optional<raster::Surface> ReadPpm(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    char magic[2] = {};
    if (!in.read(magic, 2) || magic[0] != 'P' || magic[1] != '6')
        return std::nullopt;
    auto w = HeaderNumber(in), h = HeaderNumber(in), max = HeaderNumber(in);
    if (!w || !h || !max || *max != 255)
        return std::nullopt;
    in.get();  // the single white space before the pixels
    auto picture = raster::Surface::Create(Size{*w, *h});
    if (!picture)
        return std::nullopt;
    std::vector<unsigned char> row(static_cast<std::size_t>(*w) * 3);
    for (int y = 0; y < *h; ++y) {
        if (!in.read(reinterpret_cast<char*>(row.data()), static_cast<std::streamsize>(row.size())))
            return std::nullopt;
        for (int x = 0; x < *w; ++x) {
            const unsigned char* p = row.data() + 3 * x;
            picture->Set(x, y, (raster::Pixel{p[0]} << 16) | (raster::Pixel{p[1]} << 8) | p[2]);
        }
    }
    return picture;
}

bool WritePpm(const raster::Surface& picture, const std::filesystem::path& file)
{
    std::ofstream out(file, std::ios::binary);
    out << "P6\n" << picture.Width() << ' ' << picture.Height() << "\n255\n";
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) {
            const raster::Pixel p = picture.At(x, y);
            const char rgb[3] = {static_cast<char>(p >> 16), static_cast<char>(p >> 8), static_cast<char>(p)};
            out.write(rgb, 3);
        }
    return static_cast<bool>(out);
}

Match Compare(const raster::Surface& shot, const raster::Surface& expected, raster::Surface* diff)
{
    Match m;
    if (shot.GetSize() != expected.GetSize()) {
        m.offPixels = static_cast<long long>(shot.Width()) * shot.Height();
        return m;
    }
    if (diff)
        *diff = raster::Surface::Create(shot.GetSize()).value_or(raster::Surface());
    for (int y = 0; y < shot.Height(); ++y)
        for (int x = 0; x < shot.Width(); ++x) {
            const raster::Pixel got = shot.At(x, y) & 0xFFFFFFu;
            if (got == (expected.At(x, y) & 0xFFFFFFu)) {
                ++m.exactPixels;
            } else if (!NearMatch(expected, x, y, got)) {
                ++m.offPixels;
                if (diff)
                    diff->Set(x, y, 0xFFFFFF);
            }
        }
    return m;
}

}  // namespace vyla::wintest
