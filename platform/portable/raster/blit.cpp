#include "portable/raster/blit.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace vyla::raster {
namespace {

// One axis of the clip: the destination span [lo, hi) that lies inside the
// block, the destination surface, the clip and the shifted source.
struct Span {
    std::int64_t lo;
    std::int64_t hi;
};

Span ClipAxis(std::int64_t pos, std::int64_t length, std::int64_t dstLength, std::int64_t clipLo, std::int64_t clipHi,
              std::int64_t srcShift, std::int64_t srcLength)
{
    const std::int64_t lo = std::max({pos, std::int64_t{0}, clipLo, srcShift});
    const std::int64_t hi = std::min({pos + length, dstLength, clipHi, srcShift + srcLength});
    return Span{lo, hi};
}

constexpr int kPrefetchRows = 4;
constexpr std::size_t kCacheLine = 64;

}  // namespace

Rect BitBlt(Surface& dst, const Rect& dstClip, Point dstPos, Size size, const Surface& src, Point srcPos, Rop rop)
{
    if (size.IsEmpty() || !RopFromCode(static_cast<std::uint32_t>(rop)))
        return Rect{};

    // Destination minus source origin: source pixel of destination x is x - shiftX.
    const std::int64_t shiftX = std::int64_t{dstPos.x} - srcPos.x;
    const std::int64_t shiftY = std::int64_t{dstPos.y} - srcPos.y;
    const Span xs = ClipAxis(dstPos.x, size.width, dst.Width(), dstClip.left, dstClip.right, shiftX, src.Width());
    const Span ys = ClipAxis(dstPos.y, size.height, dst.Height(), dstClip.top, dstClip.bottom, shiftY, src.Height());
    if (xs.lo >= xs.hi || ys.lo >= ys.hi)
        return Rect{};

    // All four values lie inside dst's bounds, so they fit an int.
    const Rect written{static_cast<int>(xs.lo), static_cast<int>(ys.lo), static_cast<int>(xs.hi), static_cast<int>(ys.hi)};
    const auto count = static_cast<std::size_t>(written.Width());
    const int srcLeft = static_cast<int>(xs.lo - shiftX);
    const int srcTopOffset = static_cast<int>(-shiftY);

    const bool sameSurface = &dst == &src;
    // An indexed source is expanded a row segment at a time. A surface drawn
    // onto itself turns 32-bit first and takes the path below.
    if (!sameSurface && src.IsIndexed()) {
        const Palette& palette = *src.GetPalette();
        for (int y = written.top; y < written.bottom; ++y) {
            // Rows of a wide strip lie pages apart, beyond what the hardware
            // prefetcher follows: ask for a later row while this one is expanded.
            if (y + kPrefetchRows < written.bottom) {
                const std::uint8_t* ahead = src.IndexRow(y + kPrefetchRows + srcTopOffset) + srcLeft;
                for (std::size_t at = 0; at < count; at += kCacheLine)
                    __builtin_prefetch(ahead + at);
                __builtin_prefetch(ahead + count - 1);
            }
            // Straight into the destination row: no pass through a buffer.
            const std::uint8_t* from = src.IndexRow(y + srcTopOffset) + srcLeft;
            Pixel* to = dst.Row(y) + written.left;
            switch (rop) {
            case Rop::SrcCopy:
                palette.Expand(from, to, count);
                break;
            case Rop::SrcAnd:
                palette.AndInto(from, to, count);
                break;
            case Rop::SrcPaint:
                palette.OrInto(from, to, count);
                break;
            }
        }
        return written;
    }

    // Within one row, an overlapping combine must read the source first.
    std::vector<Pixel> rowCopy;
    const bool sameRows = sameSurface && shiftY == 0 && shiftX != 0;
    if (sameRows && rop != Rop::SrcCopy)
        rowCopy.resize(count);

    auto drawRow = [&](int y) {
        Pixel* to = dst.Row(y) + written.left;
        const Pixel* from = src.Row(y + srcTopOffset) + srcLeft;
        if (!sameRows) {
            CombineRow(to, from, count, rop);
        } else if (rop == Rop::SrcCopy) {
            std::memmove(to, from, count * sizeof(Pixel));
        } else {
            std::memcpy(rowCopy.data(), from, count * sizeof(Pixel));
            CombineRow(to, rowCopy.data(), count, rop);
        }
    };

    // Copying down the same surface must start at the bottom so that source
    // rows are read before they are overwritten.
    if (sameSurface && shiftY > 0) {
        for (int y = written.bottom - 1; y >= written.top; --y)
            drawRow(y);
    } else {
        for (int y = written.top; y < written.bottom; ++y)
            drawRow(y);
    }
    return written;
}

void BitBltParts(Surface& dst, const Rect& dstClip, std::span<const Rect> parts, Point partsOrigin, Point dstPos, Size size,
                 const Surface& src, Point srcPos, Rop rop, const std::function<void(const Rect&)>& written)
{
    if (size.IsEmpty() || &dst == &src || !RopFromCode(static_cast<std::uint32_t>(rop)))
        return;
    const std::int64_t shiftX = std::int64_t{dstPos.x} - srcPos.x;
    const std::int64_t shiftY = std::int64_t{dstPos.y} - srcPos.y;
    const Rect block = Rect::FromXYWH(dstPos.x, dstPos.y, size.width, size.height)
                           .Intersected(dst.Bounds())
                           .Intersected(dstClip)
                           .Intersected(Rect::FromXYWH(shiftX, shiftY, src.Width(), src.Height()));
    if (block.IsEmpty())
        return;
    const Palette* palette = src.IsIndexed() ? src.GetPalette() : nullptr;
    auto drawSpan = [&](int y, int left, int right) {
        const auto count = static_cast<std::size_t>(right - left);
        const int srcLeft = static_cast<int>(left - shiftX);
        const int srcY = static_cast<int>(y - shiftY);
        Pixel* to = dst.Row(y) + left;
        if (!palette) {
            CombineRow(to, src.Row(srcY) + srcLeft, count, rop);
            return;
        }
        const std::uint8_t* from = src.IndexRow(srcY) + srcLeft;
        switch (rop) {
        case Rop::SrcCopy:
            palette->Expand(from, to, count);
            break;
        case Rop::SrcAnd:
            palette->AndInto(from, to, count);
            break;
        case Rop::SrcPaint:
            palette->OrInto(from, to, count);
            break;
        }
    };
    // As in BitBlt: an indexed strip's rows lie pages apart, so a later row
    // is asked for while this one is drawn.
    auto prefetchSpan = [&](int y, int left, int right) {
        const std::uint8_t* from = src.IndexRow(static_cast<int>(y - shiftY)) + (left - shiftX);
        const auto count = static_cast<std::size_t>(right - left);
        for (std::size_t at = 0; at < count; at += kCacheLine)
            __builtin_prefetch(from + at);
        __builtin_prefetch(from + count - 1);
    };

    // The parts of one band (the same rows, as a region keeps them) are drawn
    // row by row, so each row's memory is visited once, not once per part.
    constexpr std::size_t kBandSpans = 64;
    struct Span1D {
        int left, right;
    };
    Span1D spans[kBandSpans];
    for (std::size_t i = 0; i < parts.size();) {
        const Rect& first = parts[i];
        if (std::int64_t{first.top} + partsOrigin.y >= block.bottom)
            break;  // the parts below lie further down still
        std::size_t end = i + 1;
        while (end < parts.size() && end - i < kBandSpans && parts[end].top == first.top && parts[end].bottom == first.bottom)
            ++end;
        // The band's rows within the block, whichever of its parts the block cuts off.
        const int top = static_cast<int>(std::max<std::int64_t>(std::int64_t{first.top} + partsOrigin.y, block.top));
        const int bottom = static_cast<int>(std::min<std::int64_t>(std::int64_t{first.bottom} + partsOrigin.y, block.bottom));
        std::size_t n = 0;
        for (std::size_t k = i; k < end; ++k) {
            const Rect r = parts[k].Translated(partsOrigin.x, partsOrigin.y).Intersected(block);
            if (!r.IsEmpty())
                spans[n++] = Span1D{r.left, r.right};
        }
        i = end;
        if (n == 0 || top >= bottom)
            continue;
        for (int y = top; y < bottom; ++y) {
            if (palette && y + kPrefetchRows < bottom)
                for (std::size_t k = 0; k < n; ++k)
                    prefetchSpan(y + kPrefetchRows, spans[k].left, spans[k].right);
            for (std::size_t k = 0; k < n; ++k)
                drawSpan(y, spans[k].left, spans[k].right);
        }
        if (written)
            for (std::size_t k = 0; k < n; ++k)
                written(Rect{spans[k].left, top, spans[k].right, bottom});
    }
}

}  // namespace vyla::raster
