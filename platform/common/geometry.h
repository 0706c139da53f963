// Geometry value types shared by every layer of the platform.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

namespace vyla {

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    int width = 0;
    int height = 0;
    bool IsEmpty() const { return width <= 0 || height <= 0; }
    friend bool operator==(const Size&, const Size&) = default;
};

// Half-open rectangle [left, right) x [top, bottom), like a Win32 RECT.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    // Builds a rectangle from an origin and a size; sums that leave the int
    // range are clamped, so callers may pass any values the API accepts.
    static Rect FromXYWH(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h)
    {
        return Rect{Clamp(x), Clamp(y), Clamp(x + w), Clamp(y + h)};
    }
    static Rect FromSize(Size s) { return Rect{0, 0, s.width, s.height}; }

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    Size GetSize() const { return Size{Width(), Height()}; }
    Point TopLeft() const { return Point{left, top}; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }

    Rect Intersected(const Rect& o) const
    {
        Rect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
        if (r.IsEmpty())
            return Rect{};
        return r;
    }
    Rect Translated(int dx, int dy) const
    {
        return Rect{Clamp(std::int64_t{left} + dx), Clamp(std::int64_t{top} + dy), Clamp(std::int64_t{right} + dx),
                    Clamp(std::int64_t{bottom} + dy)};
    }
    // Smallest rectangle holding both; an empty operand is ignored.
    Rect United(const Rect& o) const
    {
        if (IsEmpty())
            return o;
        if (o.IsEmpty())
            return *this;
        return Rect{std::min(left, o.left), std::min(top, o.top), std::max(right, o.right), std::max(bottom, o.bottom)};
    }
    friend bool operator==(const Rect&, const Rect&) = default;

private:
    static int Clamp(std::int64_t v)
    {
        return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    }
};

}  // namespace vyla
