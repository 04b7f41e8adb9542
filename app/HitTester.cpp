#include "app/HitTester.h"
#include "pages/SectionPages.h"
#include "core/book/StackArithmetic.h"

#include <limits>

namespace pagero {

namespace {

// Page-local point and top-left corner of the page image of `side` (1 left, 2 right).
QPoint PageOrigin(const BookGeometry &g, int side)
{
    return side == 1 ? QPoint(g.leftL + 1, g.leftT + 1) : QPoint(g.rightL + 1, g.rightT + 1);
}

bool SectionHit(SectionPages *owner, const BookGeometry &g, int side, int page, int sectionPageNo,
                QPoint pt, int base, HotState &hot, int maxEntry = kLineEntryCodes)
{
    if (!owner || sectionPageNo < 1) return false;
    const QPoint origin = PageOrigin(g, side);
    QRect rect;
    int sub = 0;
    const int entry = owner->HitTest(g.contentLocal(page), sectionPageNo, pt - origin, &rect, &sub);
    if (entry <= 0 || entry > maxEntry) return false;
    hot.HotCode = base - 1 + entry;
    hot.HotRect = rect.translated(origin);
    hot.HotSubKind = sub;
    return true;
}

} // namespace

HotState HitTester::HitTest(const HitScene &s, int x, int y)
{
    HotState hot;
    const BookGeometry &g = *s.geo;
    const FlipState &f = *s.flip;
    const BookLayout &l = *s.layout;
    if (g.inLeftPage(x, y) && f.LeftPageNo > 0) {
        hot.HotPage = f.LeftPageNo;
        hot.HotSide = 1;
    } else if (g.inRightPage(x, y) && f.RightPageNo < f.LastPageNo) {
        hot.HotPage = f.RightPageNo;
        hot.HotSide = 2;
    }

    QRect rect;
    if (s.bookmarkTabAt) {
        const int tab = s.bookmarkTabAt(QPoint(x, y), &rect);
        if (tab >= 0) {
            hot.HotCode = HotBookmarkBase + tab;
            hot.HotRect = rect;
            return hot;
        }
    }
    const int edge = StackEdgeAt(g, x, y, f.LeftPageNo, f.RightPageNo, f.LastPageNo);
    if (edge) {
        hot.HotCode = HotLeftStack - 1 + edge;   // edge 1 left, 2 right
        return hot;
    }
    if (hot.HotPage > 0) {
        const QPoint pt(x, y);
        const int p = hot.HotPage;
        const int kind = l.SectionOf(p);
        if (kind == Contents
            && SectionHit(s.contents, g, hot.HotSide, p, p - l.FirstContentsPage + 1, pt, HotContentsBase, hot))
            return hot;
        if (kind == Index
            && SectionHit(s.index, g, hot.HotSide, p, p - l.FirstIndexPage + 1, pt, HotIndexBase, hot))
            return hot;
        if (kind == Overview
            && SectionHit(s.overview, g, hot.HotSide, p, p - l.FirstOverviewPage + 1, pt, HotThumbBase, hot,
                          std::numeric_limits<int>::max() - HotThumbBase))
            return hot;
        hot.HotCode = hot.HotSide == 1 ? HotLeftPage : HotRightPage;
    }
    return hot;
}

int HitTester::PageOfHotCode(const HitScene &s, const HotState &hot)
{
    const int code = hot.HotCode;
    if (IsLeftPage(code)) return s.flip->LeftPageNo;
    if (IsRightPage(code)) return s.flip->RightPageNo;
    if (IsBookmarkTab(code)) return s.bookmarkPage ? s.bookmarkPage(BookmarkTabOfCode(code)) : 0;
    if (IsEntryCode(code)) return s.layout->FirstFilePage + EntryOfCode(code);
    return 0;
}

int HitTester::FileOfHotCode(const HitScene &s, const HotState &hot)
{
    const BookLayout &l = *s.layout;
    int page = 0;
    if (IsLeftPage(hot.HotCode)) page = s.flip->LeftPageNo;
    else if (IsRightPage(hot.HotCode)) page = s.flip->RightPageNo;
    else if (IsEntryCode(hot.HotCode)) return EntryOfCode(hot.HotCode);
    else return -1;
    if (page >= l.FirstFilePage && page < l.FirstIndexPage) return page - l.FirstFilePage;
    return -1;
}

} // namespace pagero
