#pragma once
// The book's geometry, derived from the window's client size.
#include <QRect>
#include <QSize>

namespace pagero {

struct BookGeometry {
    static constexpr int MinClientWidth = 485;
    static constexpr int MinClientHeight = 290;
    static constexpr int StackDepth = 14;
    static constexpr int Margin = 20;
    static constexpr int MarginTop = 20;

    // toolBarHeight is 0 when the tool bar is hidden.
    static BookGeometry For(QSize client, int toolBarHeight);

    QSize client;
    int SpineX = 0, BookBottomY = 0, PageW = 0, PageH = 0;
    // Page rectangles in window coordinates, inclusive corners (left, top) .. (right, bottom):
    // left page (SpineX - PageW, BookBottomY - PageH) .. (SpineX, BookBottomY).
    int leftL = 0, leftT = 0, leftR = 0, leftB = 0;
    int rightL = 0, rightT = 0, rightR = 0, rightB = 0;
    // Page-local content rectangles (inclusive corners as the book's arithmetic gives them).
    QRect leftContentLocal() const;    // (Margin, MarginTop) .. (PageW-1-Margin-15, PageH-1-MarginTop)
    QRect rightContentLocal() const;   // (Margin+15, MarginTop) .. (PageW-1-Margin, PageH-1-MarginTop)
    QRect contentLocal(int page) const { return page % 2 == 0 ? leftContentLocal() : rightContentLocal(); }
    QSize pageImageSize() const { return QSize(PageW - 1, PageH - 1); }
    // Point-in-rectangle tests: left and top edges inside, right and bottom edges outside (the
    // spine column belongs to the right page).
    bool inLeftPage(int x, int y) const;
    bool inRightPage(int x, int y) const;
};

} // namespace pagero
