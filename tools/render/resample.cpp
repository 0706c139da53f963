#include "resample.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace vyla::render {

namespace {

// The source pixels and weights (summing to 1 << 14) of each output pixel
// along one axis.
struct Taps {
    std::vector<int> offsets;  // output pixel i has the taps offsets[i] to offsets[i + 1] - 1
    std::vector<int> index;    // source index of each tap
    std::vector<int> weight;   // fixed-point weight of each tap
};

constexpr int kWeightBits = 14;

Taps MakeTaps(int from, int length, int sourceSize, int outSize)
{
    Taps t;
    const double scale = static_cast<double>(length) / outSize;
    const double radius = std::max(1.0, scale);
    std::vector<double> w;
    for (int i = 0; i < outSize; ++i) {
        const double centre = from + (i + 0.5) * scale;
        const int first = static_cast<int>(std::floor(centre - radius));
        const int last = static_cast<int>(std::ceil(centre + radius));
        w.clear();
        double sum = 0;
        for (int j = first; j <= last; ++j) {
            double d = std::abs(j + 0.5 - centre) / radius;
            double v = d < 1 ? 1 - d : 0;
            w.push_back(v);
            sum += v;
        }
        t.offsets.push_back(static_cast<int>(t.index.size()));
        int fixedSum = 0;
        int heaviest = -1;
        for (int j = first, k = 0; j <= last; ++j, ++k) {
            if (w[k] <= 0)
                continue;
            int fixed = static_cast<int>(std::lround(w[k] / sum * (1 << kWeightBits)));
            t.index.push_back(std::clamp(j, 0, sourceSize - 1));
            t.weight.push_back(fixed);
            fixedSum += fixed;
            if (heaviest < 0 || fixed > t.weight[heaviest])
                heaviest = static_cast<int>(t.weight.size()) - 1;
        }
        // Rounding must not brighten or darken a flat area.
        if (heaviest >= 0)
            t.weight[heaviest] += (1 << kWeightBits) - fixedSum;
    }
    t.offsets.push_back(static_cast<int>(t.index.size()));
    return t;
}

}  // namespace

Rect FillCrop(Size picture, Size target)
{
    if (picture.IsEmpty() || target.IsEmpty())
        return Rect{};
    // Compare picture.w / picture.h with target.w / target.h without division.
    const std::int64_t pw = picture.width, ph = picture.height, tw = target.width, th = target.height;
    if (pw * th > tw * ph) {
        auto w = static_cast<int>(std::max<std::int64_t>(1, (ph * tw + th / 2) / th));
        int left = (picture.width - w) / 2;
        return Rect{left, 0, left + w, picture.height};
    }
    auto h = static_cast<int>(std::max<std::int64_t>(1, (pw * th + tw / 2) / tw));
    int top = (picture.height - h) / 2;
    return Rect{0, top, picture.width, top + h};
}

raster::Surface Resample(const raster::Surface& picture, const Rect& from, Size size)
{
    const Rect part = from.Intersected(picture.Bounds());
    if (part.IsEmpty() || size.IsEmpty())
        return raster::Surface{};
    auto made = raster::Surface::Create(size);
    if (!made)
        return raster::Surface{};
    raster::Surface out = std::move(*made);

    const Taps across = MakeTaps(part.left, part.Width(), picture.Width(), size.width);
    const Taps down = MakeTaps(part.top, part.Height(), picture.Height(), size.height);

    // Rows of the source, scaled across, as 3 channels with 8 fraction bits;
    // each is made once, when the first output row needs it.
    const int rows = picture.Height();
    std::vector<std::vector<std::uint32_t>> acrossRows(static_cast<std::size_t>(rows));
    auto scaledRow = [&](int y) -> const std::vector<std::uint32_t>& {
        auto& row = acrossRows[static_cast<std::size_t>(y)];
        if (!row.empty())
            return row;
        row.resize(static_cast<std::size_t>(size.width) * 3);
        const raster::Pixel* src = picture.Row(y);
        for (int x = 0; x < size.width; ++x) {
            std::uint32_t r = 0, g = 0, b = 0;
            for (int k = across.offsets[x]; k < across.offsets[x + 1]; ++k) {
                raster::Pixel p = src[across.index[k]];
                auto w = static_cast<std::uint32_t>(across.weight[k]);
                r += ((p >> 16) & 0xFF) * w;
                g += ((p >> 8) & 0xFF) * w;
                b += (p & 0xFF) * w;
            }
            constexpr int shift = kWeightBits - 8;
            row[static_cast<std::size_t>(x) * 3] = r >> shift;
            row[static_cast<std::size_t>(x) * 3 + 1] = g >> shift;
            row[static_cast<std::size_t>(x) * 3 + 2] = b >> shift;
        }
        return row;
    };

    int released = 0;  // rows below this are no longer needed
    std::vector<std::uint64_t> acc(static_cast<std::size_t>(size.width) * 3);
    for (int y = 0; y < size.height; ++y) {
        raster::Pixel* dst = out.Row(y);
        std::fill(acc.begin(), acc.end(), 0);
        int lowest = rows;
        for (int k = down.offsets[y]; k < down.offsets[y + 1]; ++k) {
            const auto& row = scaledRow(down.index[k]);
            lowest = std::min(lowest, down.index[k]);
            auto w = static_cast<std::uint64_t>(down.weight[k]);
            for (std::size_t i = 0; i < acc.size(); ++i)
                acc[i] += row[i] * w;
        }
        for (int x = 0; x < size.width; ++x) {
            auto channel = [&](int c) {
                std::uint64_t v = (acc[static_cast<std::size_t>(x) * 3 + c] + (1u << (kWeightBits + 7))) >> (kWeightBits + 8);
                return static_cast<raster::Pixel>(std::min<std::uint64_t>(v, 255));
            };
            dst[x] = channel(0) << 16 | channel(1) << 8 | channel(2);
        }
        // Output rows move down the source monotonically: free what is behind.
        for (; released < lowest; ++released)
            std::vector<std::uint32_t>().swap(acrossRows[static_cast<std::size_t>(released)]);
    }
    return out;
}

raster::Surface ScaleToFill(const raster::Surface& picture, Size size)
{
    return Resample(picture, FillCrop(picture.GetSize(), size), size);
}

raster::Surface BoxReduce(const raster::Surface& picture, int n)
{
    if (n <= 1)
        return picture;
    const int w = (picture.Width() + n - 1) / n;
    const int h = (picture.Height() + n - 1) / n;
    auto made = raster::Surface::Create(Size{w, h});
    if (!made || picture.GetSize().IsEmpty())
        return raster::Surface{};
    raster::Surface out = std::move(*made);
    std::vector<std::uint32_t> sums(static_cast<std::size_t>(w) * 3);
    for (int by = 0; by < h; ++by) {
        std::fill(sums.begin(), sums.end(), 0);
        const int y0 = by * n, y1 = std::min(picture.Height(), y0 + n);
        for (int y = y0; y < y1; ++y) {
            const raster::Pixel* src = picture.Row(y);
            for (int bx = 0; bx < w; ++bx) {
                std::uint32_t r = 0, g = 0, b = 0;
                for (int x = bx * n, end = std::min(picture.Width(), bx * n + n); x < end; ++x) {
                    r += (src[x] >> 16) & 0xFF;
                    g += (src[x] >> 8) & 0xFF;
                    b += src[x] & 0xFF;
                }
                std::size_t i = static_cast<std::size_t>(bx) * 3;
                sums[i] += r;
                sums[i + 1] += g;
                sums[i + 2] += b;
            }
        }
        raster::Pixel* dst = out.Row(by);
        for (int bx = 0; bx < w; ++bx) {
            const auto cells = static_cast<std::uint32_t>((std::min(picture.Width(), bx * n + n) - bx * n) * (y1 - y0));
            std::size_t i = static_cast<std::size_t>(bx) * 3;
            auto mean = [&](std::size_t c) { return (sums[i + c] + cells / 2) / cells; };
            dst[bx] = mean(0) << 16 | mean(1) << 8 | mean(2);
        }
    }
    return out;
}

}  // namespace vyla::render
