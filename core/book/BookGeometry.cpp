#include "core/book/BookGeometry.h"

#include <algorithm>

namespace pagero {

BookGeometry BookGeometry::For(QSize clientSize, int toolBarHeight)
{
    BookGeometry g;
    const int w = std::max(clientSize.width(), MinClientWidth);
    const int h = std::max(clientSize.height(), MinClientHeight);
    g.client = QSize(w, h);
    g.SpineX = w / 2;
    g.BookBottomY = h - StackDepth - 10;
    g.PageW = w / 2 - 30;
    // A page image is (PageW - 1) x (PageH - 1): keep it at least one pixel high even under an
    // oversized tool bar.
    g.PageH = std::max(2, h - StackDepth - 30 - std::max(0, toolBarHeight));

    g.leftL = g.SpineX - g.PageW;
    g.leftT = g.BookBottomY - g.PageH;
    g.leftR = g.SpineX;
    g.leftB = g.BookBottomY;
    g.rightL = g.SpineX;
    g.rightT = g.BookBottomY - g.PageH;
    g.rightR = g.SpineX + g.PageW;
    g.rightB = g.BookBottomY;
    return g;
}

QRect BookGeometry::leftContentLocal() const
{
    return QRect(QPoint(Margin, MarginTop), QPoint(PageW - 1 - Margin - 15, PageH - 1 - MarginTop));
}

QRect BookGeometry::rightContentLocal() const
{
    return QRect(QPoint(Margin + 15, MarginTop), QPoint(PageW - 1 - Margin, PageH - 1 - MarginTop));
}

// Hit tests treat a page rectangle as the window system's point-in-rectangle test does: the left
// and top edges belong to it, the right and bottom edges do not. So the spine column belongs to the
// right page.
bool BookGeometry::inLeftPage(int x, int y) const
{
    return x >= leftL && x < leftR && y >= leftT && y < leftB;
}

bool BookGeometry::inRightPage(int x, int y) const
{
    return x >= rightL && x < rightR && y >= rightT && y < rightB;
}

} // namespace pagero
