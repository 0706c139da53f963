#include "bmp_writer.h"

#include <fstream>

namespace vyla::artgen {
namespace {

void PutU16(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

} // namespace

std::vector<std::uint8_t> EncodeBmp(const IndexedBitmap& bitmap)
{
    const int bits = bitmap.BitsPerPixel();
    if ((bits != 1 && bits != 4) || bitmap.Width() <= 0 || bitmap.Height() <= 0)
        return {};
    const std::size_t paletteLength = bitmap.Palette().size();
    if (paletteLength == 0 || paletteLength > (std::size_t{1} << bits))
        return {};

    const auto width = static_cast<std::uint32_t>(bitmap.Width());
    const auto height = static_cast<std::uint32_t>(bitmap.Height());
    const std::uint32_t rowBytes = (width * static_cast<std::uint32_t>(bits) + 31) / 32 * 4;
    const std::uint32_t imageSize = rowBytes * height;
    const auto offBits = static_cast<std::uint32_t>(14 + 40 + 4 * paletteLength);

    std::vector<std::uint8_t> out;
    out.reserve(offBits + imageSize);
    out.push_back('B');
    out.push_back('M');
    PutU32(out, offBits + imageSize);
    PutU16(out, 0);
    PutU16(out, 0);
    PutU32(out, offBits);

    PutU32(out, 40);
    PutU32(out, width);
    PutU32(out, height);
    PutU16(out, 1);
    PutU16(out, static_cast<std::uint32_t>(bits));
    PutU32(out, 0);
    PutU32(out, imageSize);
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, static_cast<std::uint32_t>(paletteLength));
    PutU32(out, static_cast<std::uint32_t>(paletteLength));

    for (const Rgb& c : bitmap.Palette()) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }

    const std::uint8_t indexMask = static_cast<std::uint8_t>((1u << bits) - 1);
    const int perByte = 8 / bits;
    for (int y = bitmap.Height() - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(rowBytes, 0);
        for (int x = 0; x < bitmap.Width(); ++x) {
            const auto index = static_cast<std::uint8_t>(bitmap.At(x, y) & indexMask);
            const int shift = 8 - bits * (x % perByte + 1);
            row[static_cast<std::size_t>(x / perByte)] |= static_cast<std::uint8_t>(index << shift);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

bool WriteBmp(const std::filesystem::path& path, const IndexedBitmap& bitmap)
{
    const std::vector<std::uint8_t> bytes = EncodeBmp(bitmap);
    if (bytes.empty())
        return false;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file)
        return false;
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

} // namespace vyla::artgen
