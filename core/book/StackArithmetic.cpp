#include "core/book/StackArithmetic.h"

#include "core/common/MyLib.h"

#include <algorithm>
#include <cmath>

namespace pagero {

int LeftStackDepth(int leftPageNo)
{
    return std::clamp(leftPageNo / 2, 0, BookGeometry::StackDepth);
}

int RightStackDepth(int lastPageNo, int rightPageNo)
{
    return std::clamp((lastPageNo - rightPageNo + 1) / 2, 0, BookGeometry::StackDepth);
}

int StackEdgeAt(const BookGeometry &g, int x, int y, int leftPageNo, int rightPageNo, int lastPageNo)
{
    if (!(g.BookBottomY - g.PageH < y && y < g.BookBottomY)) return 0;
    const int dx = x - g.SpineX;
    if (leftPageNo > 0) {
        const int d = LeftStackDepth(leftPageNo);
        if (-g.PageW - d - 3 < dx && dx < -g.PageW + 3) return 1;
    }
    if (rightPageNo <= lastPageNo) {
        const int d = RightStackDepth(lastPageNo, rightPageNo);
        if (g.PageW - 3 < dx && dx < g.PageW + d + 3) return 2;
    }
    return 0;
}

int PageFromStack(const BookGeometry &g, int x, int side, int leftPageNo, int rightPageNo, int lastPageNo)
{
    if (side == 1) {
        const int l = g.leftL;
        const int d = LeftStackDepth(leftPageNo);
        if (x > l) return leftPageNo;
        if (x < l - d) return 0;
        if (d == 0) return leftPageNo;   // no stack drawn: its only column is the open page
        return RoundHalfEven(double(x - l + d) * leftPageNo / d);
    }
    const int r = g.rightR;
    const int d = RightStackDepth(lastPageNo, rightPageNo);
    if (x < r) return rightPageNo;
    if (x > r + d) return lastPageNo;
    if (d == 0) return rightPageNo;
    return RoundHalfEven(double(x - r) * (lastPageNo - rightPageNo) / d) + rightPageNo;
}

} // namespace pagero
