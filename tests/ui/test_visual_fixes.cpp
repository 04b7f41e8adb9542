// Drawing faults found by looking at the running program, each pinned by the pixels that showed it.
#include "PainterTestBook.h"
#include "pages/OrvProgress.h"

#include <QColor>
#include <QImage>
#include <gtest/gtest.h>

using namespace pagero;
using namespace pagero::test;

namespace {

const QColor kSilver(192, 192, 192);

int NonSilverPixels(const QImage &img, const QRect &r)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += img.pixelColor(x, y) != kSilver;
    return n;
}

} // namespace

// A second build (emptying the cache, a thumbnail size change) used to start over the last preview
// of the first one, which then stood at the far end of the window while the new previews slid in.
TEST(ThumbnailProgressWindow, EachBuildStartsOnAPlainWindow)
{
    TProgress_Fm win;
    QImage thumb(60, 50, QImage::Format_RGB32);
    thumb.fill(QColor(200, 30, 30));

    win.BeginPreviews(72, 70);
    win.ShowPreview(thumb, 9, 10);   // the last item: the preview sits at the right end
    const QRect lastOfFirstBuild = win.PreviewRect().adjusted(-1, -1, 1, 1);
    ASSERT_GT(NonSilverPixels(win.Surface(), lastOfFirstBuild), 0);

    win.BeginPreviews(72, 70);
    EXPECT_EQ(NonSilverPixels(win.Surface(), QRect(0, 0, TProgress_Fm::kClientWidth, 80)), 0);
    win.ShowPreview(thumb, 0, 10);
    EXPECT_EQ(NonSilverPixels(win.Surface(), lastOfFirstBuild), 0);
    EXPECT_GT(NonSilverPixels(win.Surface(), win.PreviewRect()), 0);
}

// A resize used to leave the shown frame unpainted (black, with the pointer highlight drawn on it)
// until the deferred rebuild composed the book again. The frame now keeps the last book where it
// was, on the screen background.
TEST(BookFrameResize, KeepsTheLastBookOnTheBackgroundUntilTheNextSpread)
{
    PainterTestBook book(QSize(860, 600));
    book.Lay(2, 2, 30, 3);
    book.Open(20);
    const QImage before = book.painter.DrawBook(book.scene).copy();

    const BookGeometry larger = BookGeometry::For(QSize(1000, 700), 0);
    book.painter.Resize(larger);
    const QImage &grown = book.painter.ViewImage1;
    ASSERT_EQ(grown.size(), QSize(1000, 700));
    EXPECT_EQ(grown.copy(0, 0, 860, 600), before);
    for (QPoint p : {QPoint(999, 0), QPoint(900, 300), QPoint(0, 699), QPoint(999, 699)})
        EXPECT_EQ(At(grown, p.x(), p.y()), Red()) << p.x() << "," << p.y();

    const BookGeometry smaller = BookGeometry::For(QSize(700, 500), 0);
    book.painter.Resize(smaller);
    EXPECT_EQ(book.painter.ViewImage1, before.copy(0, 0, 700, 500));
}
