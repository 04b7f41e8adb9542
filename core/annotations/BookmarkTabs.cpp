#include "core/annotations/BookmarkTabs.h"

#include "core/book/BookLayout.h"

#include <QHash>

#include <algorithm>

namespace pagero {

void LayOutBookmarkTabs(BookmarkTable &table, const BookLayout &layout, int pageW, int pageH,
                        const std::function<int(const QString &)> &textWidth, const TabPictureSizes &pic)
{
    // The first slot of every page, found once instead of a table scan per page.
    QHash<int, int> firstSlot;
    for (size_t i = 0; i < table.size(); ++i) {
        const int p = table[i].Page;
        if (p >= 1 && p <= layout.LastPageNo - 1 && !firstSlot.contains(p)) firstSlot.insert(p, int(i));
    }
    std::vector<std::pair<int, int>> tabs(firstSlot.keyValueBegin(), firstSlot.keyValueEnd());
    std::sort(tabs.begin(), tabs.end());

    int side = TabOuter, x = pageW, y = 20, d = 0;
    for (const auto &[page, slot] : tabs) {
        BookMarkRec &b = table[slot];
        b.Caption = layout.PageLabel(page);
        const int width = textWidth ? textWidth(b.Caption) : 0;
        // The wrap test and the caption's centring go by the side the tab started on.
        switch (side) {
        case TabOuter:
            if (y + pic.outerLeft.height() + 20 > pageH) {
                side = TabTop;
                x = d + 31;
                y = -pic.topCut.height();
            }
            b.CaptionOffset = (pic.outerLeftCut.width() - width) / 2;
            break;
        case TabTop:
            if (x + pic.top.width() + 31 > pageW) {
                side = TabBottom;
                x = d + 31;
                y = pageH;
            }
            b.CaptionOffset = (pic.top.width() - width) / 2;
            break;
        default:
            if (x + pic.bottom.width() + 31 > pageW) {
                side = TabOuter;
                x = pageW;
                y = d + 20;
                d += 10;
            }
            b.CaptionOffset = (pic.bottom.width() - width) / 2;
            break;
        }
        b.TabSide = side;
        b.TabX = x;
        b.TabY = y;
        if (side == TabTop) x += pic.top.width() + 30;
        else if (side == TabOuter) y += pic.outerLeft.height() + 30;
        else x += pic.bottom.width() + 30;
    }
}

bool IsTabShown(const BookMarkRec &b, int lastPageNo)
{
    return b.Page > 1 && b.Page < lastPageNo;
}

bool IsOpenPageTab(const BookMarkRec &b, const TabFrame &f)
{
    return b.Page == f.LeftPageNo || b.Page == f.RightPageNo;
}

EdgeRect BookmarkTabRect(const BookMarkRec &b, const TabFrame &f, const TabPictureSizes &pic)
{
    EdgeRect r;
    const bool open = IsOpenPageTab(b, f);
    if (b.Page <= f.LeftPageNo) {
        const EdgeRect &L = f.leftPage;
        const int s = f.LeftPageNo > 0 ? (f.LeftPageNo - b.Page) * f.leftStackThickness / f.LeftPageNo : 0;
        switch (b.TabSide) {
        case TabTop:
            r.left = L.left + b.TabX - s;
            r.top = L.top - pic.topCut.height() - 1 + s;
            r.right = r.left + pic.top.width();
            r.bottom = open ? r.top + pic.top.height() : L.top;
            break;
        case TabOuter:
            r.left = L.left - pic.outerLeftCut.width() - s;
            r.top = L.top + b.TabY + s;
            r.right = r.left + (open ? pic.outerLeft.width() : pic.outerLeftCut.width());
            r.bottom = r.top + pic.outerLeft.height();
            break;
        default:
            r.left = L.left + b.TabX - s;
            r.bottom = f.BookBottomY + s + pic.bottomCut.height();
            r.top = open ? r.bottom - pic.bottom.height() : f.BookBottomY + s;
            r.right = r.left + pic.bottom.width();
            break;
        }
        return r;
    }
    const EdgeRect &R = f.rightPage;
    const int depth = f.LastPageNo - f.RightPageNo;
    const int s = depth > 0 ? (b.Page - f.RightPageNo) * f.rightStackThickness / depth : 0;
    switch (b.TabSide) {
    case TabTop:
        r.left = R.right - b.TabX - pic.top.width() + s;
        r.top = R.top - pic.topCut.height() - 1 + s;
        r.right = r.left + pic.top.width();
        r.bottom = open ? r.top + pic.top.height() : R.top;
        break;
    case TabOuter:
        r.right = R.right + s + pic.outerRightCut.width();
        r.left = open ? r.right - pic.outerRight.width() : R.right + s;
        r.top = R.top + b.TabY + s;
        r.bottom = r.top + pic.outerRight.height();
        break;
    default:
        r.left = R.right - b.TabX - pic.top.width() + s;
        r.bottom = f.BookBottomY + s + pic.bottomCut.height();
        r.top = open ? r.bottom - pic.bottom.height() : f.BookBottomY + s;
        r.right = r.left + pic.bottom.width();
        break;
    }
    return r;
}

QString BookmarkHint(const BookMarkRec &b, bool fancy, bool onFilePage, const QString &fileName)
{
    if (!fancy) return onFilePage ? fileName : SectionName(b.Section);
    return onFilePage ? b.Caption + QStringLiteral(": ") + fileName : b.Caption;
}

} // namespace pagero
