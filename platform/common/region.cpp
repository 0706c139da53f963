#include "common/region.h"

#include <algorithm>
#include <utility>

namespace vyla {
namespace {

// The banded rectangles of the pixels where keep(in a, in b) holds. The rows
// are cut at every top and bottom; within each cut the rectangles covering
// it stay the same, and their edges, swept left to right, give the spans.
template <typename Keep>
std::vector<Rect> Sweep(std::span<const Rect> a, std::span<const Rect> b, Keep keep)
{
    struct Item {
        Rect rect;
        int set;
    };
    std::vector<Item> items;
    std::vector<int> cuts;
    for (int set = 0; set < 2; ++set) {
        for (const Rect& r : set == 0 ? a : b) {
            if (r.IsEmpty())
                continue;
            items.push_back({r, set});
            cuts.push_back(r.top);
            cuts.push_back(r.bottom);
        }
    }
    std::sort(items.begin(), items.end(), [](const Item& l, const Item& r) { return l.rect.top < r.rect.top; });
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());

    struct Edge {
        int x;
        int delta;
        int set;
    };
    std::vector<Rect> out;
    std::vector<Item> active;
    std::vector<Edge> edges;
    std::vector<std::pair<int, int>> spans;
    std::size_t next = 0;
    std::size_t bandStart = 0;  // the last band written: out[bandStart, end)
    for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
        const int y0 = cuts[i], y1 = cuts[i + 1];
        std::erase_if(active, [y0](const Item& it) { return it.rect.bottom <= y0; });
        while (next < items.size() && items[next].rect.top <= y0)
            active.push_back(items[next++]);

        edges.clear();
        for (const Item& it : active) {
            edges.push_back({it.rect.left, +1, it.set});
            edges.push_back({it.rect.right, -1, it.set});
        }
        std::sort(edges.begin(), edges.end(), [](const Edge& l, const Edge& r) { return l.x < r.x; });
        spans.clear();
        int count[2] = {0, 0};
        bool inside = false;
        int start = 0;
        for (std::size_t e = 0; e < edges.size();) {
            const int x = edges[e].x;
            for (; e < edges.size() && edges[e].x == x; ++e)
                count[edges[e].set] += edges[e].delta;
            const bool now = keep(count[0] > 0, count[1] > 0);
            if (now && !inside)
                start = x;
            else if (!now && inside)
                spans.emplace_back(start, x);
            inside = now;
        }
        if (spans.empty())
            continue;

        const bool extends = bandStart < out.size() && out[bandStart].bottom == y0 &&
                             out.size() - bandStart == spans.size() &&
                             std::equal(spans.begin(), spans.end(), out.begin() + static_cast<std::ptrdiff_t>(bandStart),
                                        [](const std::pair<int, int>& s, const Rect& r) {
                                            return s.first == r.left && s.second == r.right;
                                        });
        if (extends) {
            for (std::size_t k = bandStart; k < out.size(); ++k)
                out[k].bottom = y1;
        } else {
            bandStart = out.size();
            for (auto [left, right] : spans)
                out.push_back(Rect{left, y0, right, y1});
        }
    }
    return out;
}

}  // namespace

Region::Region(const Rect& rect)
{
    if (!rect.IsEmpty())
        rects_.push_back(rect);
}

Region Region::FromRects(std::span<const Rect> rects)
{
    Region r;
    r.rects_ = Sweep(rects, {}, [](bool inA, bool) { return inA; });
    return r;
}

Region Region::Combine(const Region& a, const Region& b, Op op)
{
    Region r;
    switch (op) {
    case Op::And:
        r.rects_ = Sweep(a.rects_, b.rects_, [](bool inA, bool inB) { return inA && inB; });
        break;
    case Op::Or:
        r.rects_ = Sweep(a.rects_, b.rects_, [](bool inA, bool inB) { return inA || inB; });
        break;
    case Op::Xor:
        r.rects_ = Sweep(a.rects_, b.rects_, [](bool inA, bool inB) { return inA != inB; });
        break;
    case Op::Diff:
        r.rects_ = Sweep(a.rects_, b.rects_, [](bool inA, bool inB) { return inA && !inB; });
        break;
    }
    return r;
}

Rect Region::Bounds() const
{
    Rect all;
    for (const Rect& r : rects_)
        all = all.United(r);
    return all;
}

bool Region::Contains(Point p) const
{
    return std::any_of(rects_.begin(), rects_.end(), [p](const Rect& r) { return r.Contains(p); });
}

Region Region::Translated(int dx, int dy) const
{
    Region moved;
    moved.rects_.reserve(rects_.size());
    for (const Rect& r : rects_) {
        Rect t = r.Translated(dx, dy);
        if (!t.IsEmpty())
            moved.rects_.push_back(t);
    }
    return moved;
}

}  // namespace vyla
