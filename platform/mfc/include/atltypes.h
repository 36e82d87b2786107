// Stand-in for atltypes.h: the point and rectangle classes of the framework.
#pragma once
#include <windows.h>

class CPoint : public tagPOINT {
public:
    CPoint() : tagPOINT{0, 0} {}
    CPoint(int x, int y) : tagPOINT{x, y} {}
};

class CRect : public tagRECT {
public:
    CRect() : tagRECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) : tagRECT{l, t, r, b} {}
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    // Left and top edges inside, right and bottom outside, as Windows counts.
    BOOL PtInRect(POINT point) const
    {
        return point.x >= left && point.x < right && point.y >= top && point.y < bottom;
    }
    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }
};

class CSize : public tagSIZE {
public:
    CSize() : tagSIZE{0, 0} {}
    CSize(int x, int y) : tagSIZE{x, y} {}
};
