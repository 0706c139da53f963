// The framework's point and rectangle: Win32's, with constructors.
#pragma once

#include "system_api.h"

struct TPoint : POINT {
    TPoint() : POINT{0, 0} {}
    TPoint(int px, int py) : POINT{px, py} {}
    friend bool operator==(const TPoint& a, const TPoint& b) { return a.x == b.x && a.y == b.y; }
};

struct TRect : RECT {
    TRect() : RECT{0, 0, 0, 0} {}
    TRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const TRect& a, const TRect& b)
    {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
};
