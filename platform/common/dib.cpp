#include "common/dib.h"

#include <climits>

namespace vyla {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kBiRgb = 0;

std::uint16_t ReadU16(std::span<const std::uint8_t> b, std::size_t at)
{
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::uint32_t ReadU32(std::span<const std::uint8_t> b, std::size_t at)
{
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
           (static_cast<std::uint32_t>(b[at + 2]) << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

std::int32_t ReadI32(std::span<const std::uint8_t> b, std::size_t at)
{
    // Two's complement reinterpretation, well defined since C++20.
    return static_cast<std::int32_t>(ReadU32(b, at));
}

bool IsKnownHeaderSize(std::uint32_t size)
{
    // BITMAPINFOHEADER, BITMAPV4HEADER, BITMAPV5HEADER.
    return size == 40 || size == 108 || size == 124;
}

bool IsSupportedBitCount(int bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32;
}

// Bytes per row, padded to 4; width is at most kMaxDibSide so this cannot overflow.
std::uint64_t RowStride(int width, int bitCount)
{
    return ((std::uint64_t{static_cast<std::uint32_t>(width)} * static_cast<std::uint32_t>(bitCount) + 31) / 32) * 4;
}

std::optional<DibView> ViewWithBits(DibInfo info, std::span<const std::uint8_t> data, std::uint64_t bitsOffset)
{
    if (bitsOffset > data.size() || data.size() - bitsOffset < info.imageSize)
        return std::nullopt;
    auto bits = data.subspan(static_cast<std::size_t>(bitsOffset), info.imageSize);
    return DibView{std::move(info), bits};
}

}  // namespace

std::optional<DibInfo> ParseDibInfo(std::span<const std::uint8_t> bitmapInfo)
{
    if (bitmapInfo.size() < 4)
        return std::nullopt;
    const std::uint32_t headerSize = ReadU32(bitmapInfo, 0);
    if (!IsKnownHeaderSize(headerSize) || bitmapInfo.size() < headerSize)
        return std::nullopt;

    const std::int32_t width = ReadI32(bitmapInfo, 4);
    const std::int32_t rawHeight = ReadI32(bitmapInfo, 8);
    const std::uint16_t planes = ReadU16(bitmapInfo, 12);
    const int bitCount = ReadU16(bitmapInfo, 14);
    const std::uint32_t compression = ReadU32(bitmapInfo, 16);
    const std::uint32_t colorsUsed = ReadU32(bitmapInfo, 32);

    if (planes != 1 || !IsSupportedBitCount(bitCount) || compression != kBiRgb)
        return std::nullopt;
    if (width < 1 || width > kMaxDibSide)
        return std::nullopt;
    if (rawHeight == 0 || rawHeight == INT_MIN)
        return std::nullopt;
    const int height = rawHeight < 0 ? -rawHeight : rawHeight;
    if (height > kMaxDibSide)
        return std::nullopt;

    const std::uint64_t stride = RowStride(width, bitCount);
    const std::uint64_t imageSize = stride * static_cast<std::uint64_t>(height);
    if (imageSize > kMaxDibImageBytes)
        return std::nullopt;

    // Indexed pictures carry their palette; true-colour ones may carry a
    // colour table for palette devices, which is skipped.
    std::uint64_t entries = colorsUsed;
    const bool indexed = bitCount <= 8;
    if (indexed) {
        const std::uint32_t full = 1u << bitCount;
        if (entries == 0)
            entries = full;
        else if (entries > full)
            return std::nullopt;
    }
    const std::uint64_t infoSize = headerSize + entries * 4;
    if (infoSize > bitmapInfo.size())
        return std::nullopt;

    DibInfo info;
    info.width = width;
    info.height = height;
    info.topDown = rawHeight < 0;
    info.bitCount = bitCount;
    info.stride = static_cast<std::size_t>(stride);
    info.imageSize = static_cast<std::size_t>(imageSize);
    info.infoSize = static_cast<std::size_t>(infoSize);
    if (indexed) {
        info.palette.reserve(static_cast<std::size_t>(entries));
        for (std::size_t i = 0; i < entries; ++i) {
            const std::size_t at = headerSize + i * 4;
            const std::uint32_t blue = bitmapInfo[at];
            const std::uint32_t green = bitmapInfo[at + 1];
            const std::uint32_t red = bitmapInfo[at + 2];
            info.palette.push_back((red << 16) | (green << 8) | blue);
        }
    }
    return info;
}

std::optional<DibView> ParsePackedDib(std::span<const std::uint8_t> data)
{
    auto info = ParseDibInfo(data);
    if (!info)
        return std::nullopt;
    const std::size_t offset = info->infoSize;
    return ViewWithBits(std::move(*info), data, offset);
}

std::optional<DibView> ParseBmpFile(std::span<const std::uint8_t> file)
{
    if (file.size() < kFileHeaderSize || file[0] != 'B' || file[1] != 'M')
        return std::nullopt;
    // bfSize is often wrong in the wild and is not needed: the span is the truth.
    const std::uint32_t bitsOffset = ReadU32(file, 10);
    auto info = ParseDibInfo(file.subspan(kFileHeaderSize));
    if (!info)
        return std::nullopt;
    // Bits that would overlap the header or palette are malformed.
    if (bitsOffset < kFileHeaderSize + info->infoSize)
        return std::nullopt;
    return ViewWithBits(std::move(*info), file, bitsOffset);
}

bool IsConsistent(const DibView& dib)
{
    const DibInfo& info = dib.info;
    if (info.width < 1 || info.width > kMaxDibSide || info.height < 1 || info.height > kMaxDibSide ||
        !IsSupportedBitCount(info.bitCount))
        return false;
    const std::uint64_t stride = RowStride(info.width, info.bitCount);
    return info.stride == stride && info.imageSize == stride * static_cast<std::uint64_t>(info.height) &&
           dib.bits.size() >= info.imageSize;
}

const std::uint8_t* DibRow(const DibView& dib, int y)
{
    if (y < 0 || y >= dib.info.height || !IsConsistent(dib))
        return nullptr;
    const int stored = dib.info.topDown ? y : dib.info.height - 1 - y;
    return dib.bits.data() + static_cast<std::size_t>(stored) * dib.info.stride;
}

std::uint32_t DibPixel(const DibView& dib, int x, int y)
{
    const DibInfo& info = dib.info;
    if (x < 0 || x >= info.width)
        return 0;
    const std::uint8_t* row = DibRow(dib, y);
    if (row == nullptr)
        return 0;
    const auto ux = static_cast<std::size_t>(x);
    std::size_t index = 0;
    switch (info.bitCount) {
    case 1:
        index = (row[ux / 8] >> (7 - ux % 8)) & 1u;
        break;
    case 4:
        index = (row[ux / 2] >> (ux % 2 == 0 ? 4 : 0)) & 0xFu;
        break;
    case 8:
        index = row[ux];
        break;
    case 24: {
        const std::uint8_t* p = row + ux * 3;
        return (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
    }
    case 32: {
        const std::uint8_t* p = row + ux * 4;
        return (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
    }
    default:
        return 0;
    }
    return index < info.palette.size() ? info.palette[index] : 0;
}

}  // namespace vyla
