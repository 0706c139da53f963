#include "portable/raster/stretch.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace vyla::raster {
namespace {

using ColourTable = std::array<Pixel, 256>;

// Indices beyond a short palette read as black.
ColourTable MakeColourTable(const DibInfo& info)
{
    ColourTable table{};
    const std::size_t n = std::min(info.palette.size(), table.size());
    std::copy_n(info.palette.begin(), n, table.begin());
    return table;
}

Pixel Rgb(const std::uint8_t* p)
{
    return (Pixel{p[2]} << 16) | (Pixel{p[1]} << 8) | p[0];
}

std::uint32_t Index1(const std::uint8_t* row, std::uint32_t sx)
{
    return (row[sx >> 3] >> (7 - (sx & 7))) & 1u;
}

std::uint32_t Index4(const std::uint8_t* row, std::uint32_t sx)
{
    return (row[sx >> 1] >> ((sx & 1) ? 0 : 4)) & 0xFu;
}

// Turns one picture row into the stretched line: out[i] is the colour of
// source column xmap[i]. Each format has its own loop so that no format
// switch runs per pixel.
class LineDecoder {
public:
    LineDecoder(const DibInfo& info, std::vector<std::uint32_t> xmap)
        : bitCount_(info.bitCount), colours_(MakeColourTable(info)), xmap_(std::move(xmap))
    {
        // Sub-byte pixels are cheaper to unpack once per source column and
        // then pick from, unless the line skips most of the source columns.
        first_ = xmap_.front();
        span_ = xmap_.back() - first_ + 1;
        unpack_ = (bitCount_ == 1 || bitCount_ == 4) && span_ <= 2 * xmap_.size();
    }

    std::size_t Width() const { return xmap_.size(); }

    void Decode(const std::uint8_t* row, Pixel* out)
    {
        auto colour = [this](std::uint32_t i) { return colours_[i]; };
        switch (bitCount_) {
        case 1: DecodeSubByte<Index1>(row, out, unpackedColours_, colour); break;
        case 4: DecodeSubByte<Index4>(row, out, unpackedColours_, colour); break;
        case 8:
            for (std::size_t i = 0; i < xmap_.size(); ++i)
                out[i] = colours_[row[xmap_[i]]];
            break;
        case 24:
            for (std::size_t i = 0; i < xmap_.size(); ++i)
                out[i] = Rgb(row + std::size_t{xmap_[i]} * 3);
            break;
        default:
            for (std::size_t i = 0; i < xmap_.size(); ++i)
                out[i] = Rgb(row + std::size_t{xmap_[i]} * 4);
            break;
        }
    }

    // The palette indices instead of their colours; pictures of 8 bits or fewer only.
    void DecodeIndices(const std::uint8_t* row, std::uint8_t* out)
    {
        auto asByte = [](std::uint32_t i) { return static_cast<std::uint8_t>(i); };
        switch (bitCount_) {
        case 1: DecodeSubByte<Index1>(row, out, unpackedIndices_, asByte); break;
        case 4: DecodeSubByte<Index4>(row, out, unpackedIndices_, asByte); break;
        default:
            for (std::size_t i = 0; i < xmap_.size(); ++i)
                out[i] = row[xmap_[i]];
            break;
        }
    }

private:
    // out[i] = map(index of source column xmap[i]), through unpacked when
    // that is cheaper (see the constructor).
    template <std::uint32_t (*Index)(const std::uint8_t*, std::uint32_t), class T, class Map>
    void DecodeSubByte(const std::uint8_t* row, T* out, std::vector<T>& unpacked, Map map)
    {
        if (!unpack_) {
            for (std::size_t i = 0; i < xmap_.size(); ++i)
                out[i] = map(Index(row, xmap_[i]));
            return;
        }
        unpacked.resize(span_);
        for (std::size_t i = 0; i < span_; ++i)
            unpacked[i] = map(Index(row, first_ + static_cast<std::uint32_t>(i)));
        for (std::size_t i = 0; i < xmap_.size(); ++i)
            out[i] = unpacked[xmap_[i] - first_];
    }

    int bitCount_;
    ColourTable colours_;
    std::vector<std::uint32_t> xmap_;  // source column of each destination column
    std::uint32_t first_ = 0;
    std::size_t span_ = 0;             // source columns first_.. that the line reads
    bool unpack_ = false;              // unpack the span once, then pick from it
    std::vector<Pixel> unpackedColours_;
    std::vector<std::uint8_t> unpackedIndices_;
};

bool InsidePicture(const Rect& r, const DibInfo& info)
{
    return !r.IsEmpty() && r.left >= 0 && r.top >= 0 && r.right <= info.width && r.bottom <= info.height;
}

}  // namespace

Rect StretchDib(Surface& dst, const Rect& dstClip, const Rect& dstRect, const DibView& dib, const Rect& srcRect, Rop rop)
{
    if (!RopFromCode(static_cast<std::uint32_t>(rop)) || !IsConsistent(dib) || !InsidePicture(srcRect, dib.info))
        return Rect{};
    // Widths in 64 bits: a rectangle spanning the whole int range is legal input.
    const std::int64_t dstW = std::int64_t{dstRect.right} - dstRect.left;
    const std::int64_t dstH = std::int64_t{dstRect.bottom} - dstRect.top;
    if (dstW <= 0 || dstH <= 0)
        return Rect{};
    const Rect written = dstRect.Intersected(dst.Bounds()).Intersected(dstClip);
    if (written.IsEmpty())
        return Rect{};

    const std::int64_t srcW = srcRect.Width();
    const std::int64_t srcH = srcRect.Height();

    std::vector<std::uint32_t> xmap(static_cast<std::size_t>(written.Width()));
    for (std::size_t i = 0; i < xmap.size(); ++i) {
        const std::int64_t x = std::int64_t{written.left} - dstRect.left + static_cast<std::int64_t>(i);
        xmap[i] = static_cast<std::uint32_t>(srcRect.left + x * srcW / dstW);
    }
    LineDecoder decoder(dib.info, std::move(xmap));
    auto sourceRow = [&](int y) {
        const std::int64_t rel = std::int64_t{y} - dstRect.top;
        return static_cast<int>(srcRect.top + rel * srcH / dstH);
    };

    // A copy of a palette picture over the whole surface keeps the picture's
    // indices: a quarter of the memory, and no 32-bit pixels ever made.
    if (rop == Rop::SrcCopy && dib.info.bitCount <= 8 && written == dst.Bounds() && dst.ResetIndexed(dib.info.palette)) {
        const std::size_t width = decoder.Width();
        int decodedRow = -1;
        for (int y = written.top; y < written.bottom; ++y) {
            const int sy = sourceRow(y);
            if (sy == decodedRow)
                std::memcpy(dst.IndexRow(y), dst.IndexRow(y - 1), width);
            else
                decoder.DecodeIndices(DibRow(dib, sy), dst.IndexRow(y));
            decodedRow = sy;
        }
        return written;
    }

    std::vector<Pixel> line(decoder.Width());
    int decodedRow = -1;
    for (int y = written.top; y < written.bottom; ++y) {
        const int sy = sourceRow(y);
        if (sy != decodedRow) {
            decoder.Decode(DibRow(dib, sy), line.data());
            decodedRow = sy;
        }
        CombineRow(dst.Row(y) + written.left, line.data(), line.size(), rop);
    }
    return written;
}

}  // namespace vyla::raster
