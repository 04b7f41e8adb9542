// Contents and index pages drawn into page images: titles, dot leaders with right-aligned numbers,
// selected files in blue, two columns with headings, and the rectangles the hit tests report.
#include "common/Fonts.h"
#include "core/book/PageList.h"
#include "pages/OrvContents_Ut.h"
#include "pages/OrvIndex_Ut.h"
#include <QFile>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pagero;

namespace {

// The page content rectangle by its corners: 260 x 360 at (20, 20).
const QRect kArea(QPoint(20, 20), QPoint(280, 380));

bool IsInk(QRgb c) { return qGray(c) < 160; }
bool IsBlue(QRgb c) { return qBlue(c) > 180 && qRed(c) < 100 && qGreen(c) < 100; }

QImage Render(SectionPages &pages, const QRect &area, int pageNo)
{
    QImage image(330, 420, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    pages.DrawPage(p, area, pageNo);
    return image;
}

// Ink columns of a horizontal band, as runs [start, end).
QList<QPair<int, int>> InkRuns(const QImage &img, int x0, int x1, int y0, int y1)
{
    QList<QPair<int, int>> runs;
    int start = -1;
    for (int x = x0; x <= x1; ++x) {
        bool ink = false;
        for (int y = y0; y < y1 && x < x1; ++y) ink = ink || IsInk(img.pixel(x, y));
        if (ink && start < 0) start = x;
        if (!ink && start >= 0) { runs.append({start, x}); start = -1; }
    }
    return runs;
}

int CountPixels(const QImage &img, const QRect &r, bool (*test)(QRgb))
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) n += test(img.pixel(x, y)) ? 1 : 0;
    return n;
}

// An album folder holding empty files of these names, listed by the page list in name order.
struct Album {
    explicit Album(const QStringList &names)
    {
        for (const QString &n : names) {
            QFile f(dir.filePath(n));
            EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        }
        EXPECT_TRUE(pages.Build(dir.path(), kDefaultFilterMask, SortByName));
    }
    QString PathOf(const QString &name) const { return dir.filePath(name); }
    QTemporaryDir dir;
    PageList pages;
};

} // namespace

TEST(ContentsPages, LinesHaveDotLeadersAndRightAlignedNumbers)
{
    const Album album({"alpha.jpg", "b.png", "zz-a-rather-long-name-for-a-line-of-its-own.jpg"});
    const PageList &pages = album.pages;
    ASSERT_EQ(pages.Count(), 3);
    const QStringList selection{album.PathOf("b.png").toUpper()};
    TContents_Fm contents;
    contents.SetPageList(&pages);
    contents.SetSelection(&selection);
    contents.SetContentsArea(kArea);
    const QFontMetrics fm(BookFont(8));
    const int lh = fm.height() + 5;
    ASSERT_EQ(contents.Layout().LineHeight(), lh);
    EXPECT_EQ(contents.LinesPerPage(), 360 / lh);
    EXPECT_EQ(contents.ContentsPageCount(), 1);

    const QImage img = Render(contents, kArea, 1);
    const int right = 20 + 260;   // exclusive right edge of the lines

    // The title sits centred in the three-line block above the list.
    const auto title = InkRuns(img, 20, right, 20, 20 + 3 * lh);
    ASSERT_FALSE(title.isEmpty());
    const int titleMid = (title.first().first + title.last().second) / 2;
    EXPECT_NEAR(titleMid, 20 + 130, 3);

    // Line 1: "alpha.jpg", a run of evenly spaced dots, " 1" ending at the area's right edge.
    const int top = 20 + 3 * lh;
    const auto runs = InkRuns(img, 20, right, top, top + lh);
    ASSERT_GE(runs.size(), 10);
    EXPECT_GE(runs.last().second, right - 3);
    EXPECT_LE(runs.last().second, right);
    const int nameEnd = 20 + fm.horizontalAdvance("alpha.jpg");
    const int numberStart = right - fm.horizontalAdvance("1");
    QList<int> dots;
    for (const auto &r : runs)
        if (r.first > nameEnd + 2 && r.second < numberStart - 2) dots.append(r.first);
    const double dotAdvance = QFontMetricsF(BookFont(8)).horizontalAdvance(QLatin1Char('.'));
    ASSERT_GE(dots.size(), int((numberStart - nameEnd) / dotAdvance) - 4);
    EXPECT_LE(dots.first(), nameEnd + 2 * dotAdvance + 2);   // the leader starts right after the name
    for (int i = 1; i < dots.size(); ++i) EXPECT_NEAR(dots[i] - dots[i - 1], dotAdvance, 1.0);

    // Only the selected file's line is blue, the whole line.
    EXPECT_EQ(CountPixels(img, QRect(20, top, 260, lh), IsBlue), 0);
    EXPECT_GT(CountPixels(img, QRect(20, top + lh, 40, lh), IsBlue), 10);
    EXPECT_GT(CountPixels(img, QRect(right - 20, top + lh, 20, lh), IsBlue), 3);

    // A name as wide as the line leaves no room: nothing is drawn past the area.
    EXPECT_EQ(CountPixels(img, QRect(right, top + 2 * lh, 330 - right, lh), IsInk), 0);
}

TEST(ContentsPages, HitRectanglesFollowTheLines)
{
    QStringList names;
    for (int i = 0; i < 40; ++i) names << QStringLiteral("file%1.jpg").arg(i);
    const Album album(names);
    const PageList &pages = album.pages;
    TContents_Fm contents;
    contents.SetPageList(&pages);
    contents.SetContentsArea(kArea);
    const int ch = contents.Layout().CharHeight();
    const int lh = ch + 5;
    const int perPage = contents.LinesPerPage();

    QRect r;
    int sub = -1;
    EXPECT_EQ(contents.HitTest(kArea, 1, QPoint(25, 20 + 3 * lh + 1), &r, &sub), 1);
    EXPECT_EQ(r, QRect(20, 20 + 3 * lh, 260, ch + 3));
    EXPECT_EQ(contents.HitTest(kArea, 1, QPoint(25, 20 + 4 * lh + 2), &r, &sub), 2);
    EXPECT_EQ(contents.HitTest(kArea, 1, QPoint(25, 20 + 4 * lh + ch + 3), &r, &sub), 0);   // the band
    EXPECT_EQ(contents.HitTest(kArea, 1, QPoint(25, 25), &r, &sub), 0);                     // the title
    EXPECT_EQ(contents.HitTest(kArea, 2, QPoint(279, 21), &r, &sub), perPage - 2);          // page 2, first
    EXPECT_EQ(contents.HitTest(kArea, 2, QPoint(281, 21), &r, &sub), 0);

    // The same page on the right-hand side: everything moves with the content rectangle.
    const QRect rightArea = kArea.translated(15, 0);
    EXPECT_EQ(contents.HitTest(rightArea, 1, QPoint(40, 20 + 3 * lh + 1), &r, &sub), 1);
    EXPECT_EQ(r, QRect(35, 20 + 3 * lh, 260, ch + 3));
    const QImage left = Render(contents, kArea, 2);
    const QImage moved = Render(contents, rightArea, 2);
    EXPECT_EQ(left.copy(20, 20, 260, 360), moved.copy(35, 20, 260, 360));
}

TEST(IndexPages, HeadingsEntriesAndSelection)
{
    const Album album({"b.jpg", "A.jpg"});
    const PageList &pages = album.pages;
    ASSERT_EQ(pages.Names(), QStringList({"A.jpg", "b.jpg"}));
    QString selected = album.PathOf("b.jpg");
    selected.replace("b.jpg", "B.JPG");
    const QStringList selection{selected};
    TIndex_Fm index;
    index.SetPageList(&pages);
    index.SetSelection(&selection);
    index.SetIndexArea(kArea);
    index.BuildIndex(pages.Entries());
    ASSERT_EQ(index.List().Texts(), QStringList({"A", " ", "A.jpg, 1", "B", " ", "b.jpg, 2"}));
    EXPECT_EQ(index.IndexPageCount(), 1);

    const QImage img = Render(index, kArea, 1);
    const QFontMetrics fm(BookFont(8));
    const int ch = fm.height(), lh = ch + 5;

    // "INDEX" starts a third of the way across (less half its width).
    const auto title = InkRuns(img, 20, 280, 20, 20 + 3 * lh);
    ASSERT_FALSE(title.isEmpty());
    const int titleWidth = QFontMetrics(BookFont(11, true)).horizontalAdvance("INDEX");
    EXPECT_NEAR(title.first().first, 20 + (260 - titleWidth) / 3, 3);

    // Row 0: heading "A" in large bold, row 2: "A.jpg, 1" in black; then "B" and the blue "b.jpg, 2".
    const int y0 = 20 + 3 * lh;
    EXPECT_GT(CountPixels(img, QRect(20, y0, 20, 2 * lh), IsInk), 20);
    EXPECT_GT(CountPixels(img, QRect(20, y0 + 2 * lh, 100, lh), IsInk), 30);
    EXPECT_EQ(CountPixels(img, QRect(20, y0 + 2 * lh, 100, lh), IsBlue), 0);
    EXPECT_GT(CountPixels(img, QRect(20, y0 + 5 * lh, 100, lh), IsBlue), 30);
    const auto entry = InkRuns(img, 20, 150, y0 + 2 * lh, y0 + 3 * lh);
    ASSERT_FALSE(entry.isEmpty());
    EXPECT_NEAR(entry.last().second, 20 + fm.horizontalAdvance("A.jpg, 1"), 2);

    QRect r;
    int sub = -1;
    EXPECT_EQ(index.HitTest(kArea, 1, QPoint(22, y0 + 2 * lh + 2), &r, &sub), 1);
    EXPECT_EQ(r, QRect(20, y0 + 2 * lh, fm.horizontalAdvance("A.jpg, 1"), ch + 3));
    EXPECT_EQ(index.HitTest(kArea, 1, QPoint(22, y0 + 5 * lh + 2), &r, &sub), 2);
    EXPECT_EQ(index.HitTest(kArea, 1, QPoint(22, y0 + 2), &r, &sub), 0);   // heading
    EXPECT_EQ(index.HitTest(kArea.translated(15, 0), 1, QPoint(37, y0 + 2 * lh + 2), &r, &sub), 1);
    EXPECT_EQ(r.left(), 35);
}

TEST(IndexPages, SecondColumnAndFollowingPages)
{
    QStringList names;
    for (int i = 0; i < 60; ++i) names << QStringLiteral("%1%2.jpg").arg(QChar('a' + i / 10)).arg(i % 10);
    const Album album(names);
    const PageList &pages = album.pages;
    TIndex_Fm index;
    index.SetPageList(&pages);
    index.SetIndexArea(kArea);
    index.BuildIndex(pages.Entries());
    const int lh = index.List().LineHeight();
    const int rows = 360 / lh;
    ASSERT_EQ(index.EntriesPerPage(), 2 * rows);
    ASSERT_EQ(index.List().Count(), 72);   // six groups of ten
    EXPECT_EQ(index.IndexPageCount(), (72 + 6 + 2 * rows - 1) / (2 * rows));

    // The right column (from the middle of the area) carries text on the first page, and the
    // second page starts at its top-left.
    const QImage first = Render(index, kArea, 1);
    EXPECT_GT(CountPixels(first, QRect(150, 20 + 3 * lh, 130, 3 * lh), IsInk), 30);
    const QImage second = Render(index, kArea, 2);
    EXPECT_GT(CountPixels(second, QRect(20, 20, 100, lh), IsInk), 20);
    const int firstFile = index.IndexFirstFile(2);
    EXPECT_GT(firstFile, 0);
    EXPECT_EQ(index.IndexPageOfFile(firstFile), 1);
    QRect r;
    int sub = 0;
    const int hit = index.HitTest(kArea, 2, QPoint(22, 22), &r, &sub);
    if (index.List().At(index.FirstLineOfPage(2)).kind == IndexList::LineKind::Entry) {
        EXPECT_EQ(hit, firstFile);
    }
}
