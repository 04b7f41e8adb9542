#pragma once
// What the overview, contents and index windows offer the book: drawing one of their pages into a
// page's content rectangle, and hit-testing a point on such a page.
#include <QPainter>
#include <QRect>

namespace pagero {

class SectionPages {
public:
    virtual ~SectionPages() = default;
    // Draws section page `pageNo` (counted from 1) into `contentRect` (page-local coordinates).
    virtual void DrawPage(QPainter &painter, const QRect &contentRect, int pageNo) = 0;
    // Returns the entry under `pt` counted from 1 (0 for none), its rectangle and, for thumbnails,
    // the part of the cell (1 caption, 2 picture). `pt` and the rectangle are page-local.
    virtual int HitTest(const QRect &contentRect, int pageNo, QPoint pt, QRect *hotRect, int *subKind) = 0;
};

} // namespace pagero
