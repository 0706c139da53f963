#include "desktop_picture.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <vector>

namespace vyla::wintest {
namespace {

constexpr raster::Pixel kBlocks[] = {
    0x3A6EA5, 0xC0504D, 0x9BBB59, 0x8064A2, 0x4BACC6, 0xF79646, 0x2C4D75, 0x772C2A,
    0x5F7530, 0x4D3B62, 0x276A7C, 0xB65708, 0x7F9FC6, 0xD99694, 0xC3D69B, 0xB3A2C7,
};

void Put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace

raster::Surface DesktopPicture(Size size)
{
    raster::Surface picture = raster::Surface::Create(size).value_or(raster::Surface());
    const int bw = std::max(1, size.width / 8), bh = std::max(1, size.height / 6);
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            picture.Set(x, y, kBlocks[static_cast<std::size_t>((x / bw + 3 * (y / bh)) % 16)]);
    return picture;
}

bool WriteBmp(const raster::Surface& picture, const std::filesystem::path& file)
{
    const std::size_t stride = (static_cast<std::size_t>(picture.Width()) * 3 + 3) & ~std::size_t{3};
    const std::size_t imageSize = stride * static_cast<std::size_t>(picture.Height());
    std::vector<std::uint8_t> out(54 + imageSize, 0);
    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 2, static_cast<std::uint32_t>(out.size()));
    Put32(out, 10, 54);
    Put32(out, 14, 40);
    Put32(out, 18, static_cast<std::uint32_t>(picture.Width()));
    Put32(out, 22, static_cast<std::uint32_t>(picture.Height()));
    out[26] = 1;
    out[28] = 24;
    Put32(out, 34, static_cast<std::uint32_t>(imageSize));
    for (int y = 0; y < picture.Height(); ++y) {
        std::uint8_t* row = out.data() + 54 + stride * static_cast<std::size_t>(picture.Height() - 1 - y);
        for (int x = 0; x < picture.Width(); ++x) {
            const raster::Pixel p = picture.At(x, y);
            row[3 * x] = static_cast<std::uint8_t>(p);
            row[3 * x + 1] = static_cast<std::uint8_t>(p >> 8);
            row[3 * x + 2] = static_cast<std::uint8_t>(p >> 16);
        }
    }
    std::ofstream f(file, std::ios::binary);
    f.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(f);
}

}  // namespace vyla::wintest
