#include "palette.h"

#include <algorithm>
#include <array>
#include <limits>
#include <unordered_map>

namespace vyla::render {

namespace {

struct Entry {
    raster::Pixel colour;
    std::uint64_t count;
};

int Channel(raster::Pixel p, int c)
{
    return static_cast<int>((p >> (16 - 8 * c)) & 0xFF);
}

// A box of colours: a range of the entry list.
struct Box {
    std::size_t begin, end;
    std::uint64_t count;
    std::array<int, 3> low, high;
    int Longest() const
    {
        int best = 0;
        for (int c = 1; c < 3; ++c)
            if (high[c] - low[c] > high[best] - low[best])
                best = c;
        return best;
    }
    int Range() const { return high[Longest()] - low[Longest()]; }
};

Box MakeBox(const std::vector<Entry>& entries, std::size_t begin, std::size_t end)
{
    Box b{begin, end, 0, {255, 255, 255}, {0, 0, 0}};
    for (std::size_t i = begin; i < end; ++i) {
        b.count += entries[i].count;
        for (int c = 0; c < 3; ++c) {
            b.low[c] = std::min(b.low[c], Channel(entries[i].colour, c));
            b.high[c] = std::max(b.high[c], Channel(entries[i].colour, c));
        }
    }
    return b;
}

// Weighted distance: the eye is most sensitive to green, least to blue.
int Distance(raster::Pixel a, raster::Pixel b)
{
    int dr = Channel(a, 0) - Channel(b, 0), dg = Channel(a, 1) - Channel(b, 1), db = Channel(a, 2) - Channel(b, 2);
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

}  // namespace

Palette Palette::MedianCut(const std::vector<Sample>& samples, int maxColours)
{
    maxColours = std::clamp(maxColours, 1, 256);
    std::unordered_map<raster::Pixel, std::uint64_t> histogram;
    for (const Sample& s : samples) {
        if (!s.picture || s.weight <= 0)
            continue;
        for (int y = 0; y < s.picture->Height(); ++y) {
            const raster::Pixel* row = s.picture->Row(y);
            for (int x = 0; x < s.picture->Width(); ++x)
                histogram[row[x] & 0xFFFFFFu] += static_cast<std::uint64_t>(s.weight);
        }
    }
    std::vector<Entry> entries;
    entries.reserve(histogram.size());
    for (const auto& [colour, count] : histogram)
        entries.push_back(Entry{colour, count});
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.colour < b.colour; });

    Palette palette;
    if (entries.empty()) {
        palette.colours_.push_back(0);
    } else if (entries.size() <= static_cast<std::size_t>(maxColours)) {
        for (const Entry& e : entries)
            palette.colours_.push_back(e.colour);
    } else {
        std::vector<Box> boxes{MakeBox(entries, 0, entries.size())};
        while (boxes.size() < static_cast<std::size_t>(maxColours)) {
            // Split the box where a split helps most: many pixels over a wide range.
            auto pick = std::max_element(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) {
                bool aSplits = a.end - a.begin > 1, bSplits = b.end - b.begin > 1;
                if (aSplits != bSplits)
                    return bSplits;
                return static_cast<double>(a.count) * a.Range() < static_cast<double>(b.count) * b.Range();
            });
            if (pick->end - pick->begin < 2)
                break;
            Box box = *pick;
            const int c = box.Longest();
            std::sort(entries.begin() + static_cast<std::ptrdiff_t>(box.begin), entries.begin() + static_cast<std::ptrdiff_t>(box.end),
                      [c](const Entry& a, const Entry& b) { return Channel(a.colour, c) < Channel(b.colour, c); });
            std::uint64_t half = box.count / 2, seen = 0;
            std::size_t split = box.begin;
            while (split < box.end - 1 && seen + entries[split].count <= half)
                seen += entries[split++].count;
            if (split == box.begin)
                split = box.begin + 1;
            *pick = MakeBox(entries, box.begin, split);
            boxes.push_back(MakeBox(entries, split, box.end));
        }
        for (const Box& b : boxes) {
            std::array<double, 3> sum{};
            for (std::size_t i = b.begin; i < b.end; ++i)
                for (int c = 0; c < 3; ++c)
                    sum[static_cast<std::size_t>(c)] += static_cast<double>(Channel(entries[i].colour, c)) * static_cast<double>(entries[i].count);
            auto mean = [&](int c) {
                return static_cast<raster::Pixel>(sum[static_cast<std::size_t>(c)] / static_cast<double>(b.count) + 0.5);
            };
            palette.colours_.push_back(mean(0) << 16 | mean(1) << 8 | mean(2));
        }
    }
    for (std::size_t i = 0; i < palette.colours_.size(); ++i)
        palette.exact_.emplace_back(palette.colours_[i], static_cast<std::uint8_t>(i));
    std::sort(palette.exact_.begin(), palette.exact_.end());
    palette.cache_.assign(std::size_t{1} << 18, -1);
    return palette;
}

std::uint8_t Palette::Nearest(raster::Pixel colour) const
{
    colour &= 0xFFFFFFu;
    auto exact = std::lower_bound(exact_.begin(), exact_.end(), std::pair<raster::Pixel, std::uint8_t>{colour, 0});
    if (exact != exact_.end() && exact->first == colour)
        return exact->second;
    const std::size_t key = ((colour >> 18) & 0x3F) << 12 | ((colour >> 10) & 0x3F) << 6 | ((colour >> 2) & 0x3F);
    std::int16_t& cached = cache_[key];
    if (cached < 0) {
        // Judged at the middle of the key's cell, so the answer holds for all of it.
        raster::Pixel centre = (colour & 0xFCFCFCu) | 0x020202u;
        int best = 0, bestDistance = std::numeric_limits<int>::max();
        for (std::size_t i = 0; i < colours_.size(); ++i) {
            int d = Distance(centre, colours_[i]);
            if (d < bestDistance) {
                bestDistance = d;
                best = static_cast<int>(i);
            }
        }
        cached = static_cast<std::int16_t>(best);
    }
    return static_cast<std::uint8_t>(cached);
}

}  // namespace vyla::render
