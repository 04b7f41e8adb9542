#include "app/PointerOverlay.h"
#include "app/BookContext.h"
#include "common/Fonts.h"
#include "core/book/BookGeometry.h"
#include "core/book/BookLayout.h"
#include "core/book/FlipState.h"
#include "core/book/PageList.h"
#include "core/book/StackArithmetic.h"
#include "platform/Assets.h"
#include <QPainter>
#include <QWidget>

namespace pagero {

namespace {
QImage JumpBox()
{
    static const QImage box = DesignImage("ThumbCursorImg");
    return box;
}
} // namespace

void PointerOverlay::Track(const HotState &hot, int x, int y, bool jumpCursor)
{
    SetPointerShape(hot, x);
    if (HighlightCode != -1 && HighlightCode != hot.HotCode) Remove();
    if (HighlightCode == -1 && book_.Spread().Consistent()) UpdateHighlight(hot);
    if (jumpCursor) UpdateJumpCursor(hot, x, y);
    UpdateHint(hot);
}

void PointerOverlay::SetPointerShape(const HotState &hot, int x)
{
    QWidget *view = book_.BookArea();
    const int code = hot.HotCode;
    if (code == HotLeftPage || code == HotRightPage) {
        view->setCursor(Qt::PointingHandCursor);
    } else if ((code > 3000 && code < 4000) || code == HotLeftStack || code == HotRightStack) {
        view->setCursor(DesignCursor(x > book_.Geometry().SpineX ? CursorHandPoint : CursorHandPointRight));
    } else if (code > 70000) {
        view->setCursor(DesignCursor(hot.HotSubKind == 1 ? CursorHandPointGoto : CursorZoomIn));
    } else if (code > 60000) {
        view->setCursor(DesignCursor(CursorHandPointGoto2));
    } else if (code > 50000) {
        view->setCursor(DesignCursor(CursorHandPointGoto));
    } else {
        view->setCursor(Qt::ArrowCursor);
    }
}

void PointerOverlay::UpdateHighlight(const HotState &hot)
{
    if (!HitTester::IsEntryCode(hot.HotCode)) return;
    HighlightCode = hot.HotCode;
    HighlightRect = hot.HotRect;
    HighlightKind = hot.HotSubKind;
    book_.BookArea()->update(HighlightRect.adjusted(-2, -2, 2, 2));
}

void PointerOverlay::Remove()
{
    if (HighlightCode != -1) book_.BookArea()->update(HighlightRect.adjusted(-2, -2, 2, 2));
    if (JumpCursorShown) book_.BookArea()->update(JumpCursorRect);
    Forget();
}

void PointerOverlay::Forget()
{
    HighlightCode = -1;
    JumpCursorShown = false;
}

void PointerOverlay::UpdateJumpCursor(const HotState &hot, int x, int y)
{
    const bool overStack = hot.HotCode == HotLeftStack || hot.HotCode == HotRightStack;
    if (JumpCursorShown) book_.BookArea()->update(JumpCursorRect);
    if (!overStack) {
        JumpCursorShown = false;
        return;
    }
    const int side = hot.HotCode - 4500;
    const FlipState &flip = book_.Spread();
    JumpCursorPage = PageFromStack(book_.Geometry(), x, side, flip.LeftPageNo, flip.RightPageNo, flip.LastPageNo);
    const QSize box = JumpBox().isNull() ? QSize(48, 32) : JumpBox().size();
    const int left = side == 1 ? x - box.width() / 2 : x - box.width();
    JumpCursorRect = QRect(QPoint(left, y + 10 - box.height()), box);
    JumpCursorShown = true;
    book_.BookArea()->update(JumpCursorRect);
}

void PointerOverlay::UpdateHint(const HotState &hot)
{
    QString hint;
    if (hot.HotCode > 70000 && hot.HotSubKind == 1) {
        const int entry = hot.HotCode - HotThumbBase;
        if (entry >= 0 && entry < book_.Pages().Count()) hint = book_.Pages().NameOf(entry);
    } else if (IsBookmarkTab(hot.HotCode) && BookmarkHint) {
        hint = BookmarkHint(BookmarkTabOfCode(hot.HotCode));
    }
    book_.BookArea()->setToolTip(hint);
}

void PointerOverlay::Paint(QPainter &p) const
{
    if (HighlightCode != -1) {
        if (HighlightKind == 1) {
            p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            p.fillRect(HighlightRect, Qt::white);
            p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        } else {
            p.setPen(QColor(0, 0, 255));
            p.setBrush(Qt::NoBrush);
            p.drawRect(HighlightRect);
        }
    }
    if (JumpCursorShown) {
        const QPoint at = JumpCursorRect.topLeft();
        if (JumpBox().isNull()) p.fillRect(JumpCursorRect, QColor(255, 255, 225));
        else p.drawImage(at, JumpBox());
        const int kind = book_.Sections().SectionOf(JumpCursorPage);
        const char *icon = kind == FrontCover || kind == BackCover ? "CoverImg"
                           : kind == Overview                      ? "OverviewImg"
                           : kind == Contents                      ? "ContentsImg"
                           : kind == Index                         ? "IndexImg"
                                                                   : nullptr;
        p.setPen(Qt::black);
        p.setFont(BookFont(8));
        const QString label = book_.PageLabel(JumpCursorPage);
        const int textW = p.fontMetrics().horizontalAdvance(label);
        p.drawText(at.x() + kJumpLabelLeft + (kJumpLabelWidth - textW) / 2,
                   at.y() + kJumpLabelTop + p.fontMetrics().ascent(), label);
        if (icon) p.drawImage(at + QPoint(kJumpIconLeft, kJumpIconTop), DesignImage(icon));
    }
}

} // namespace pagero
