// Device-independent bitmaps as Windows lays them out in resources and .bmp
// files: an information header, a palette, then rows padded to 4 bytes.
// Parsing never trusts the bytes; anything malformed gives std::nullopt.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vyla {

struct DibInfo {
    int width = 0;                       // > 0
    int height = 0;                      // > 0 (absolute value of biHeight)
    bool topDown = false;                // biHeight < 0
    int bitCount = 0;                    // 1, 4, 8, 24 or 32
    std::vector<std::uint32_t> palette;  // 0x00RRGGBB per entry; empty for 24/32 bpp
    std::size_t stride = 0;              // bytes per row, padded to 4
    std::size_t imageSize = 0;           // stride * height
    std::size_t infoSize = 0;            // bytes of header + palette
};

// A parsed picture whose pixel bits live in the caller's buffer.
struct DibView {
    DibInfo info;
    std::span<const std::uint8_t> bits;  // exactly info.imageSize bytes
};

// Largest side accepted and largest pixel data accepted.
inline constexpr int kMaxDibSide = 32768;
inline constexpr std::uint64_t kMaxDibImageBytes = std::uint64_t{256} << 20;

// Header + palette (a BITMAPINFO).
std::optional<DibInfo> ParseDibInfo(std::span<const std::uint8_t> bitmapInfo);

// Header + palette + bits, as stored in a bitmap resource.
std::optional<DibView> ParsePackedDib(std::span<const std::uint8_t> data);

// A whole .bmp file: the 14-byte "BM" header, then a packed DIB whose bits
// start at the header's bit offset.
std::optional<DibView> ParseBmpFile(std::span<const std::uint8_t> file);

// Colour 0x00RRGGBB of pixel (x, y), y counted from the picture's top row.
// Coordinates outside the picture and palette indices beyond the palette
// read as black.
std::uint32_t DibPixel(const DibView& dib, int x, int y);

// True when the view's fields agree with each other and the bits cover the
// image, as every view from the parsers does; guards hand-built views.
bool IsConsistent(const DibView& dib);

// Start of row y (counted from the top) inside dib.bits, or nullptr when y is
// outside the picture or the view is not consistent.
const std::uint8_t* DibRow(const DibView& dib, int y);

}  // namespace vyla
