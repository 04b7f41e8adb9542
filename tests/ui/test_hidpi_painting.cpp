// The book on a screen with two device pixels per book pixel: frames and pages carry the ratio, lines
// one book pixel wide are two device pixels wide, pictures and thumbnails keep the detail of their
// files instead of being enlarged from book-pixel images, and the turning leaf lands where it does
// on a plain screen.
#include "PainterTestBook.h"
#include "common/Fonts.h"
#include "core/book/PageList.h"
#include "pages/OrvOverView_Ut.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>

using namespace pagero;
using namespace pagero::test;

namespace {

const QColor kBlack(0, 0, 0), kWhite(255, 255, 255);

// A picture whose pixels alternate black and white: any resampling turns it grey.
QImage Checkerboard(QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            img.setPixel(x, y, (x + y) % 2 ? 0xFFFFFFFF : 0xFF000000);
    return img;
}

// True when the `size` device pixels at `at` alternate black and white like the checkerboard.
bool ShowsCheckerboard(const QImage &img, QPoint at, QSize size)
{
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            if ((img.pixel(at.x() + x, at.y() + y) & 0xFFFFFF) != ((x + y) % 2 ? 0xFFFFFFu : 0u))
                return false;
    return true;
}

struct HiDpiBook : PainterTestBook {
    explicit HiDpiBook(qreal ratio)
    {
        painter.Resize(geo, ratio);
    }
};

} // namespace

TEST(HiDpiPainting, FramesCarryTheRatioAndAOnePixelFrameLineIsTwoDevicePixels)
{
    HiDpiBook book(2.0);
    book.Lay(1, 1, 4, 1);
    book.Open(2);
    book.painter.RenderSpread(book.scene, book.painter.ViewImage1);
    const QImage &frame = book.painter.ViewImage1;
    const BookGeometry &g = book.geo;
    ASSERT_EQ(frame.size(), g.client * 2);
    EXPECT_EQ(frame.devicePixelRatio(), 2.0);
    EXPECT_EQ(LogicalSize(frame), g.client);

    // The top line of the left page's frame: background above it, two black device rows, then the
    // white page.
    const int x = 2 * (g.leftL + g.PageW / 2), top = 2 * g.leftT;
    EXPECT_EQ(At(frame, x, top - 1), Red());
    EXPECT_EQ(At(frame, x, top), kBlack);
    EXPECT_EQ(At(frame, x, top + 1), kBlack);
    EXPECT_EQ(At(frame, x, top + 2), kWhite);
    // Its right edge likewise, in columns.
    const int y = 2 * (g.leftT + g.PageH / 3), right = 2 * g.rightR;
    EXPECT_EQ(At(frame, right - 1, y), kWhite);
    EXPECT_EQ(At(frame, right, y), kBlack);
    EXPECT_EQ(At(frame, right + 1, y), kBlack);

    // Pages are device-sized too and cached that way.
    const QImage &page = book.painter.GetPage(book.scene, 2);
    EXPECT_EQ(page.size(), g.pageImageSize() * 2);
    EXPECT_EQ(page.devicePixelRatio(), 2.0);
}

TEST(HiDpiPainting, APictureKeepsItsDetailAtTwoDevicePixelsAndIsResampledAtOne)
{
    for (const qreal ratio : {2.0, 1.0}) {
        HiDpiBook book(ratio);
        // Twice the content box each way: the page shows it at half size in book pixels, which is
        // exactly its own pixels at two device pixels per book pixel.
        const QRect content = book.geo.contentLocal(6);
        const QSize box(content.right() - content.left(), content.bottom() - content.top());
        ASSERT_TRUE(Checkerboard(box * 2).save(book.AlbumFile("fine.png")));
        book.LayFromAlbum();
        const int page = book.PageOf("fine.png");
        const QImage img = book.Render(page);
        const QPoint at = CentredIn(book.geo.contentLocal(page), box) * ratio;
        const QSize probe(64, 64);
        if (ratio == 2.0) {
            EXPECT_TRUE(ShowsCheckerboard(img, at + QPoint(100, 100), probe));
        } else {
            EXPECT_FALSE(ShowsCheckerboard(img, at + QPoint(50, 50), probe));
            const QColor mid = At(img, at.x() + 50, at.y() + 50);
            EXPECT_NEAR(mid.red(), 128, 40);   // half size at one device pixel: grey
        }
    }
}

TEST(HiDpiPainting, TheTurningLeafLandsWhereItDoesAtOneDevicePixel)
{
    // The same flip frame at both ratios, the sharp one sampled down to book pixels: they differ only
    // where text and the leaf's edges are drawn finer.
    QImage frames[2];
    for (int i = 0; i < 2; ++i) {
        HiDpiBook book(i == 0 ? 1.0 : 2.0);
        book.Lay(2, 2, 30, 3);
        book.Open(20);
        book.flip.leaves = {FlipLeaf{21, 22, 250}};
        book.painter.GetPage(book.scene, 21);
        book.painter.GetPage(book.scene, 22);
        book.painter.RenderSpread(book.scene, book.painter.ViewImage1);
        book.painter.PrepareLeafFaces(book.scene);   // as a flip does before its first frame
        book.painter.ComposeLeaves(book.scene, book.painter.ViewImage1);
        frames[i] = book.painter.ViewImage1;
        EXPECT_EQ(frames[i].devicePixelRatio(), i == 0 ? 1.0 : 2.0);
    }
    const QImage sampled = frames[1].scaled(frames[0].size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    // The leaf's edges are anti-aliased and its shading is smooth, so only a clear difference
    // counts: a leaf drawn out of place differs across whole bands of pixels.
    const auto far = [](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) > 96 || std::abs(qGreen(a) - qGreen(b)) > 96
            || std::abs(qBlue(a) - qBlue(b)) > 96;
    };
    qint64 differing = 0;
    for (int y = 0; y < sampled.height(); ++y)
        for (int x = 0; x < sampled.width(); ++x)
            differing += far(sampled.pixel(x, y), frames[0].pixel(x, y));
    EXPECT_LT(differing, qint64(sampled.width()) * sampled.height() / 500) << differing;
}

namespace {

// An album folder and a thumbnail build through the book build's call.
struct OverviewAlbum {
    QTemporaryDir tmp;
    QString album = tmp.path() + "/Album", overviewDir = tmp.path() + "/Overview";
    PageList pages;
    OverviewAlbum() { QDir().mkpath(album); }

    bool Build(TOverView_Fm &ov, QSize thumb, qreal ratio)
    {
        pages.Build(album, QString::fromLatin1(kDefaultFilterMask), SortByName);
        std::optional<ThumbBuildResult> result;
        ov.BuildThumbnails(pages, overviewDir, thumb, [&](ThumbBuildResult r) { result = r; }, ratio);
        QElapsedTimer clock;
        clock.start();
        while (!result && clock.elapsed() < 60000) QTest::qWait(2);
        return result == ThumbBuildResult::Built;
    }
};

} // namespace

TEST(HiDpiThumbnails, ThumbnailsComeFromACacheBesideTheOverviewFolderAndKeepTheirDetail)
{
    OverviewAlbum a;
    // 144 x 140 fits the 72 x 70 box at half size: two device pixels per book pixel show its pixels.
    ASSERT_TRUE(Checkerboard(QSize(144, 140)).save(a.album + "/fine.png"));
    TOverView_Fm ov;
    ASSERT_TRUE(a.Build(ov, QSize(72, 70), 2.0));
    EXPECT_EQ(ov.CacheRoot(), a.overviewDir + "-72x70@2x");
    EXPECT_FALSE(QFileInfo::exists(a.overviewDir));   // the written cache is not touched
    const QImage cached(ov.ThumbnailPath(0));
    EXPECT_EQ(cached.size(), QSize(144, 140));

    QImage page = DeviceImage(QSize(400, 560), 2.0);
    page.fill(Qt::white);
    {
        QPainter p(&page);
        ov.DrawPage(p, QRect(10, 30, 380, 500), 1);
    }
    const QPoint cell = ov.Grid().CellOrigin(0);
    const QPoint picture = (cell + QPoint(0, ov.LabelHeight())) * 2;
    EXPECT_TRUE(ShowsCheckerboard(page, picture + QPoint(4, 4), QSize(100, 100)));
    // The cell's black frame is two device pixels wide.
    EXPECT_EQ(At(page, cell.x() * 2, picture.y() + 60), kBlack);
    EXPECT_EQ(At(page, cell.x() * 2 + 1, picture.y() + 60), kBlack);

    // The same size on a plain screen uses the overview folder itself, at 72 x 70.
    TOverView_Fm plain;
    ASSERT_TRUE(a.Build(plain, QSize(72, 70), 1.0));
    EXPECT_EQ(plain.CacheRoot(), a.overviewDir);
    EXPECT_EQ(QImage(plain.ThumbnailPath(0)).size(), QSize(72, 70));
}

TEST(HiDpiThumbnails, LargeCellsShowALongNameOnTwoCaptionLines)
{
    OverviewAlbum a;
    const QString name = "holiday_at_the_seaside_in_summer_0001.png";
    QImage red(300, 300, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(a.album + "/" + name));
    TOverView_Fm ov;
    ASSERT_TRUE(a.Build(ov, QSize(144, 140), 1.0));
    EXPECT_EQ(ov.CacheRoot(), a.overviewDir + "-144x140");
    EXPECT_EQ(QImage(ov.ThumbnailPath(0)).size(), QSize(140, 140));   // a square fits by its height
    const int line = QFontMetrics(BookFont(8)).height();
    EXPECT_EQ(ov.LabelHeight(), 2 * line + 2);

    QImage page(400, 560, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter p(&page);
        ov.DrawPage(p, QRect(10, 30, 380, 500), 1);
    }
    const QPoint cell = ov.Grid().CellOrigin(0);
    const QRect secondLine(cell.x() + 1, cell.y() + 1 + line, 142, line - 1);
    EXPECT_TRUE(DarkBox(page, secondLine).isValid()) << "the rest of the name is on the second line";
    // Both lines stay inside the cell.
    EXPECT_FALSE(DarkBox(page, QRect(cell.x() + 146, cell.y() + 1, 4, 2 * line)).isValid());
}
