// The pictures of the pages next to the open spread are decoded on a worker once a flip lands: a
// turn then draws its pages from them, the same pages as drawn from the files, and a file changed
// since is read anew.
#include "PainterTestBook.h"
#include "app/FlipAnimator.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace pagero;
using namespace pagero::test;

namespace {

TEST(PagePrefetch, NeighboursAreDecodedAheadAndDrawnAsFromTheFile)
{
    PainterTestBook book;
    const QColor colours[] = {Qt::red, Qt::green, Qt::blue, Qt::cyan, Qt::magenta, Qt::yellow, Qt::darkRed, Qt::gray};
    for (int i = 0; i < 8; ++i)
        book.WritePicture(QStringLiteral("p%1.png").arg(i), QSize(300, 200), colours[i]);
    book.LayFromAlbum();
    const int left = book.layout.FirstFilePage / 2 * 2 + 2;
    book.Open(left);
    book.painter.DrawBook(book.scene);
    FlipAnimator animator(book.painter);
    animator.frameIntervalMs = 0;
    QSignalSpy landed(&animator, &FlipAnimator::Finished);
    ASSERT_TRUE(animator.FlipTo(book.scene, book.flip, left + 2));
    ASSERT_TRUE(!landed.isEmpty() || landed.wait(5000));
    PagePictures &pictures = book.painter.Pictures();
    QTRY_VERIFY_WITH_TIMEOUT(pictures.Idle(), 5000);

    const int l = book.flip.LeftPageNo, r = book.flip.RightPageNo;
    ASSERT_EQ(l, left + 2);
    auto fileOf = [&](int page) { return book.pages.PagePath(page - book.layout.FirstFilePage); };
    auto ready = [&](int page) {
        return pictures.Has(fileOf(page), book.pages.KindOf(page - book.layout.FirstFilePage), book.geo.contentLocal(page));
    };
    for (int page : {r + 1, r + 2, l - 1, l - 2})
        EXPECT_TRUE(ready(page)) << page;
    EXPECT_FALSE(ready(r + 3));

    // A page drawn from a picture decoded ahead is the page drawn from the file.
    BookPainter fresh;
    fresh.Resize(book.geo);
    QImage ahead, direct;
    book.painter.RenderPage(book.scene, r + 1, ahead, true, true, true, true);
    fresh.RenderPage(book.scene, r + 1, direct, true, true, true, true);
    EXPECT_EQ(ahead, direct);

    // The file changes: its picture is not used again.
    const QString name = QFileInfo(fileOf(r + 1)).fileName();
    book.WritePicture(name, QSize(200, 300), Qt::black);
    EXPECT_FALSE(ready(r + 1));
    book.painter.RenderPage(book.scene, r + 1, ahead, true, true, true, true);
    const QRect content = book.geo.contentLocal(r + 1);
    EXPECT_EQ(At(ahead, content.center().x(), content.center().y()), QColor(Qt::black));
}

} // namespace
