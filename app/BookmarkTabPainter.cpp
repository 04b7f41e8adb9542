#include "app/BookmarkTabPainter.h"

#include "app/PageRenderer.h"
#include "common/Fonts.h"
#include "core/book/BookGeometry.h"
#include "core/book/FlipState.h"
#include "core/book/StackArithmetic.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

namespace pagero {

namespace {

// A ribbon of the given size whose outer end (the end away from the page) is rounded.
QImage DrawnRibbon(QSize size, Qt::Edge outer)
{
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath path;
    path.addRoundedRect(r, 4, 4);
    // Square the end that lies against the page.
    QRectF inner = r;
    switch (outer) {
    case Qt::TopEdge: inner.setTop(r.center().y()); break;
    case Qt::BottomEdge: inner.setBottom(r.center().y()); break;
    case Qt::LeftEdge: inner.setLeft(r.center().x()); break;
    case Qt::RightEdge: inner.setRight(r.center().x()); break;
    }
    path.addRect(inner);
    path.setFillRule(Qt::WindingFill);
    p.setPen(QPen(QColor(120, 10, 10), 1));
    p.setBrush(QColor(200, 30, 30));
    p.drawPath(path.simplified());
    return img;
}

struct PictureSet {
    QImage top, topCut, outerLeft, outerLeftCut, outerRight, outerRightCut, bottom, bottomCut;
};

const PictureSet &Pictures()
{
    static const PictureSet set = [] {
        const TabPictureSizes s;
        PictureSet p;
        p.top = DrawnRibbon(s.top, Qt::TopEdge);
        p.topCut = DrawnRibbon(s.topCut, Qt::TopEdge);
        p.outerLeft = DrawnRibbon(s.outerLeft, Qt::LeftEdge);
        p.outerLeftCut = DrawnRibbon(s.outerLeftCut, Qt::LeftEdge);
        p.outerRight = DrawnRibbon(s.outerRight, Qt::RightEdge);
        p.outerRightCut = DrawnRibbon(s.outerRightCut, Qt::RightEdge);
        p.bottom = DrawnRibbon(s.bottom, Qt::BottomEdge);
        p.bottomCut = DrawnRibbon(s.bottomCut, Qt::BottomEdge);
        return p;
    }();
    return set;
}

void DrawTab(QPainter &p, const BookMarkRec &b, const TabFrame &f, bool fancy)
{
    const QRect r = BookmarkTabRect(b, f).toQRect();
    const bool open = IsOpenPageTab(b, f);
    const bool right = b.Page > f.LeftPageNo;
    if (fancy) {
        p.drawImage(r.topLeft(), open ? BookmarkPictures::Full(b.TabSide, right)
                                      : BookmarkPictures::Cut(b.TabSide, right));
        return;
    }
    p.fillRect(r, kTabFill);
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    const QFont font = BookFont(8);
    p.setFont(font);
    const QFontMetrics fm(font);
    int y = r.top() + (r.height() - fm.height()) / 2;
    if (b.TabSide == TabTop) y = r.top() + 2;
    else if (b.TabSide == TabBottom) y = r.bottom() - 1 - fm.height();
    // The caption stays inside its tab whatever the label's width.
    p.save();
    p.setClipRect(r.adjusted(1, 1, -1, -1));
    DrawTextAt(p, QPoint(r.left() + b.CaptionOffset, y), b.Caption, Qt::black);
    p.restore();
}

template <typename Visit>
void ForEachTabInDrawingOrder(const BookmarkTable &table, const TabFrame &f, TabPass pass, Visit visit)
{
    const int n = int(table.size());
    const auto shown = [&](int i) { return IsTabShown(table[i], f.LastPageNo); };
    if (pass == TabPass::Stacks) {
        for (int i = 0; i < n; ++i)
            if (shown(i) && table[i].Page < f.LeftPageNo) visit(i);
        for (int i = n - 1; i >= 0; --i)
            if (shown(i) && table[i].Page > f.RightPageNo) visit(i);
    } else {
        for (int i = 0; i < n; ++i)
            if (shown(i) && table[i].Page == f.LeftPageNo) visit(i);
        for (int i = 0; i < n; ++i)
            if (shown(i) && table[i].Page == f.RightPageNo) visit(i);
    }
}

} // namespace

TabFrame TabFrameOf(const BookGeometry &g, const FlipState &flip)
{
    TabFrame f;
    f.LeftPageNo = flip.LeftPageNo;
    f.RightPageNo = flip.RightPageNo;
    f.LastPageNo = flip.LastPageNo;
    f.leftPage = {g.leftL, g.leftT, g.leftR, g.leftB};
    f.rightPage = {g.rightL, g.rightT, g.rightR, g.rightB};
    f.BookBottomY = g.BookBottomY;
    f.leftStackThickness = flip.LeftPageNo > 0 ? LeftStackDepth(flip.LeftPageNo) : 0;
    f.rightStackThickness = flip.RightPageNo <= flip.LastPageNo ? RightStackDepth(flip.LastPageNo, flip.RightPageNo) : 0;
    return f;
}

const QImage &BookmarkPictures::Full(int side, bool right)
{
    const PictureSet &p = Pictures();
    if (side == TabTop) return p.top;
    if (side == TabBottom) return p.bottom;
    return right ? p.outerRight : p.outerLeft;
}

const QImage &BookmarkPictures::Cut(int side, bool right)
{
    const PictureSet &p = Pictures();
    if (side == TabTop) return p.topCut;
    if (side == TabBottom) return p.bottomCut;
    return right ? p.outerRightCut : p.outerLeftCut;
}

void DrawBookmarkTabs(QPainter &frame, TabPass pass, const BookmarkTable &table, const TabFrame &f, bool fancy)
{
    ForEachTabInDrawingOrder(table, f, pass, [&](int i) { DrawTab(frame, table[i], f, fancy); });
}

int BookmarkTabAt(const BookmarkTable &table, const TabFrame &f, QPoint pt, QRect *rect)
{
    // The last tab drawn is the one on top.
    int hit = -1;
    QRect hitRect;
    for (TabPass pass : {TabPass::Stacks, TabPass::OpenPages}) {
        ForEachTabInDrawingOrder(table, f, pass, [&](int i) {
            const QRect r = BookmarkTabRect(table[i], f).toQRect();
            if (r.contains(pt)) {
                hit = i;
                hitRect = r;
            }
        });
    }
    if (hit >= 0 && rect) *rect = hitRect;
    return hit;
}

} // namespace pagero
