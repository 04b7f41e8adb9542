#pragma once
// Where the bookmark tabs sit. Tabs run down the outer edge of the page first, then along the top
// edge, then along the bottom edge, and then start a second pass on the outer edge 10 pixels further
// in. A tab of a page inside a stack shows only its short part beyond the page edge, pushed outward
// by the depth of its page in the stack; a tab of an open page shows its full length over the page.
#include "core/annotations/BookMarkRec.h"

#include <QRect>
#include <QString>
#include <functional>

namespace pagero {

class BookLayout;

// The sizes of the tab pictures: the full ones for open pages, the cut ones for stack pages.
struct TabPictureSizes {
    QSize top{16, 33}, topCut{16, 22};                 // BmkImg1, BmkImgCut1
    QSize outerLeft{33, 16}, outerLeftCut{22, 16};     // BmkImg2, BmkImgCut2
    QSize outerRight{33, 16}, outerRightCut{22, 16};   // BmkImg22, BmkImgCut22
    QSize bottom{16, 33}, bottomCut{16, 22};           // BmkImg3, BmkImgCut3
};

// Fills Caption, CaptionOffset, TabSide, TabX and TabY of the first bookmark of every page from 1 to
// LastPageNo - 1, in page order. `textWidth` measures a caption in the tab font.
void LayOutBookmarkTabs(BookmarkTable &table, const BookLayout &layout, int pageW, int pageH,
                        const std::function<int(const QString &)> &textWidth,
                        const TabPictureSizes &pictures = {});

// A rectangle given by its edges (right and bottom as the book's page rectangles give them).
struct EdgeRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    QRect toQRect() const { return QRect(left, top, right - left, bottom - top); }
    bool operator==(const EdgeRect &) const = default;
};

// The open spread and the book around it, as the painter has drawn them.
struct TabFrame {
    int LeftPageNo = 0, RightPageNo = 1, LastPageNo = 4;
    EdgeRect leftPage, rightPage;       // window coordinates
    int BookBottomY = 0;
    int leftStackThickness = 0, rightStackThickness = 0;
};

// Whether the bookmark's tab is drawn at all (1 < Page < LastPageNo).
bool IsTabShown(const BookMarkRec &b, int lastPageNo);
// True when the tab belongs to an open page (full picture), false inside a stack (cut picture).
bool IsOpenPageTab(const BookMarkRec &b, const TabFrame &frame);
// The tab's rectangle in window coordinates.
EdgeRect BookmarkTabRect(const BookMarkRec &b, const TabFrame &frame, const TabPictureSizes &pictures = {});

// The tab's hint: with page-number tabs the file name on a file page, else the section's name; with
// picture tabs the caption, followed by ": " and the file name on a file page.
QString BookmarkHint(const BookMarkRec &b, bool fancy, bool onFilePage, const QString &fileName);

} // namespace pagero
