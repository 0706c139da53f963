// Packed device-independent pictures made by tests and benchmarks: 40-byte
// header, palette, rows padded to 4 bytes, with pixels the caller chooses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace vyla::testing {

// value(x, y), y counted from the top row whatever the row order, gives the
// palette index (1, 4 and 8 bits) or the 0x00RRGGBB colour (24 and 32 bits).
// The unused fourth byte of a 32-bit pixel is 0xA5, which must never reach
// a surface. Palette entries are 0x00RRGGBB.
inline std::vector<std::uint8_t> PackedDib(int width, int height, int bitCount, const std::vector<std::uint32_t>& palette,
                                           const std::function<std::uint32_t(int, int)>& value, bool topDown = false)
{
    const std::size_t stride = ((static_cast<std::size_t>(width) * static_cast<std::size_t>(bitCount) + 31) / 32) * 4;
    const std::size_t header = 40 + 4 * palette.size();
    std::vector<std::uint8_t> bytes(header + stride * static_cast<std::size_t>(height), 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (std::size_t i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put32(0, 40);
    put32(4, static_cast<std::uint32_t>(width));
    put32(8, static_cast<std::uint32_t>(topDown ? -height : height));
    bytes[12] = 1;
    bytes[14] = static_cast<std::uint8_t>(bitCount);
    put32(20, static_cast<std::uint32_t>(stride * static_cast<std::size_t>(height)));
    put32(32, static_cast<std::uint32_t>(palette.size()));
    put32(36, static_cast<std::uint32_t>(palette.size()));
    for (std::size_t i = 0; i < palette.size(); ++i)
        put32(40 + 4 * i, palette[i] & 0xffffffu);
    for (int y = 0; y < height; ++y) {
        const int stored = topDown ? y : height - 1 - y;
        std::uint8_t* row = bytes.data() + header + stride * static_cast<std::size_t>(stored);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = value(x, y);
            const auto ux = static_cast<std::size_t>(x);
            switch (bitCount) {
            case 1:
                row[ux / 8] |= static_cast<std::uint8_t>((v & 1) << (7 - ux % 8));
                break;
            case 4:
                row[ux / 2] |= static_cast<std::uint8_t>((v & 15) << (ux % 2 ? 0 : 4));
                break;
            case 8:
                row[ux] = static_cast<std::uint8_t>(v);
                break;
            case 24:
                for (std::size_t i = 0; i < 3; ++i)
                    row[ux * 3 + i] = static_cast<std::uint8_t>(v >> (8 * i));
                break;
            case 32:
                for (std::size_t i = 0; i < 3; ++i)
                    row[ux * 4 + i] = static_cast<std::uint8_t>(v >> (8 * i));
                row[ux * 4 + 3] = 0xA5;
                break;
            default:
                break;
            }
        }
    }
    return bytes;
}

inline const std::vector<std::uint32_t> kMono = {0x000000, 0xffffff};

}  // namespace vyla::testing
