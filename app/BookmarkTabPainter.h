#pragma once
// Drawing the bookmark tabs on a frame. Tabs of pages inside the stacks are drawn before the page
// images, so the pages cover their inner ends; tabs of the two open pages are drawn after them and
// reach over the page. A tab is either a filled box with the page label written in it or a picture
// (the "fancy" type), full-length for open pages and cut short for stack pages.
#include "core/annotations/BookmarkTabs.h"

#include <QImage>

class QPainter;

namespace pagero {

struct BookGeometry;
class FlipState;

// The open spread and the book around it as the painter draws them (stack thicknesses included).
TabFrame TabFrameOf(const BookGeometry &geo, const FlipState &flip);

// The tab pictures: BmkImg1, BmkImg2, BmkImg22, BmkImg3 and their cut forms, at the sizes of
// TabPictureSizes, with a transparent background.
struct BookmarkPictures {
    static const QImage &Full(int tabSide, bool rightSide);
    static const QImage &Cut(int tabSide, bool rightSide);
};

// The fill of a page-number tab; tests look for it on the frame.
inline const QColor kTabFill{255, 240, 160};

enum class TabPass { Stacks, OpenPages };
// Draws the tabs of one pass: for the stacks the left stack's tabs in table order, then the right
// stack's in reverse table order; for the open pages the left page's, then the right page's.
void DrawBookmarkTabs(QPainter &frame, TabPass pass, const BookmarkTable &table, const TabFrame &f, bool fancy);

// The tab under a window point, the topmost first (the reverse of the drawing order); -1 for none.
int BookmarkTabAt(const BookmarkTable &table, const TabFrame &f, QPoint pt, QRect *rect = nullptr);

} // namespace pagero
