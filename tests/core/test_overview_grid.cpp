// The overview grid: cell sizes, page capacity, page arithmetic and hit-testing.
#include "core/pages/OverviewGrid.h"

#include <gtest/gtest.h>

using pagero::OverviewGrid;

namespace {

OverviewGrid Grid(int tw, int th, QRect area = QRect(0, 0, 300, 400), int label = 15)
{
    OverviewGrid g;
    g.SetLabelHeight(label);
    g.SetThumbSize(tw, th);
    g.SetArea(area);
    return g;
}

} // namespace

TEST(OverviewGrid, ThreeThumbnailSizesOnA300By400Page)
{
    struct Case { int tw, th, cellW, cellH, cols, rows, perPage; };
    const Case cases[] = {
        {72, 70, 78, 93, 3, 4, 12},
        {56, 55, 62, 78, 4, 5, 20},
        {38, 36, 44, 59, 6, 6, 36},
    };
    for (const Case &c : cases) {
        const OverviewGrid g = Grid(c.tw, c.th);
        EXPECT_EQ(g.CellWidth, c.cellW) << c.tw;
        EXPECT_EQ(g.CellHeight, c.cellH) << c.tw;
        EXPECT_EQ(g.Columns, c.cols) << c.tw;
        EXPECT_EQ(g.Rows, c.rows) << c.tw;
        EXPECT_EQ(g.PerPage, c.perPage) << c.tw;
    }
}

TEST(OverviewGrid, PageCountsAndTheMappingsBetweenPagesAndIndexes)
{
    const OverviewGrid g = Grid(72, 70);
    EXPECT_EQ(g.PageCount(0), 0);
    EXPECT_EQ(g.PageCount(1), 1);
    EXPECT_EQ(g.PageCount(12), 1);
    EXPECT_EQ(g.PageCount(13), 2);
    EXPECT_EQ(g.PageCount(36), 3);
    for (int page = 1; page <= 5; ++page) {
        const int first = g.FirstIndexOfPage(page);
        EXPECT_EQ(first, (page - 1) * 12);
        EXPECT_EQ(g.OverviewPageOfIndex(first), page - 1);
        EXPECT_EQ(g.PageOfIndex(first + 11), page);
    }
    // A stored position inside a page rounds up to the next page, as the book's mapping does.
    EXPECT_EQ(g.OverviewPageOfIndex(5), 1);
}

TEST(OverviewGrid, AreaNarrowerThanOneCellHasNoPages)
{
    const OverviewGrid g = Grid(72, 70, QRect(10, 10, 77, 400));
    EXPECT_EQ(g.Columns, 0);
    EXPECT_EQ(g.PerPage, 0);
    EXPECT_EQ(g.PageCount(10), 0);
    EXPECT_EQ(g.OverviewPageOfIndex(3), 0);
    EXPECT_FALSE(g.HitTest(QPoint(20, 20), 1, 10).hit);
}

TEST(OverviewGrid, CellsAreLaidOutRowByRowAndRestartOnEachPage)
{
    const OverviewGrid g = Grid(72, 70, QRect(20, 30, 300, 400));
    EXPECT_EQ(g.CellOrigin(0), QPoint(23, 34));
    EXPECT_EQ(g.CellOrigin(1), QPoint(23 + 78, 34));
    EXPECT_EQ(g.CellOrigin(3), QPoint(23, 34 + 93));
    EXPECT_EQ(g.CellOrigin(11), QPoint(23 + 2 * 78, 34 + 3 * 93));
    EXPECT_EQ(g.CellOrigin(12), QPoint(23, 34));
    EXPECT_EQ(g.CaptionRect(QPoint(23, 34)), QRect(23, 34, 72, 15));
    EXPECT_EQ(g.PictureRect(QPoint(23, 34)), QRect(23, 49, 72, 71));
}

TEST(OverviewGrid, HitTestFindsCaptionsPicturesAndGaps)
{
    // Area at (20, 30); the first cell's corner is (23, 34); cells are 78 x 93.
    const OverviewGrid g = Grid(72, 70, QRect(20, 30, 300, 400));
    struct Case { QPoint pt; int page; bool hit; int part; int file; QRect rect; };
    const Case cases[] = {
        // caption strip of file 1: rectangle (24, 34) - (97, 50) exclusive
        {{23, 34}, 1, true, 1, 1, QRect(QPoint(24, 34), QPoint(96, 49))},
        {{60, 48}, 1, true, 1, 1, QRect(QPoint(24, 34), QPoint(96, 49))},
        // from the label height down: the picture, (24, 50) - (97, 122)
        {{60, 49}, 1, true, 2, 1, QRect(QPoint(24, 50), QPoint(96, 121))},
        {{23 + 72, 34 + 85}, 1, true, 2, 1, QRect(QPoint(24, 50), QPoint(96, 121))},
        // horizontal gap (dx mod 78 = 73) and vertical gap (dy mod 93 = 86)
        {{23 + 73, 60}, 1, false, 0, 0, {}},
        {{60, 34 + 86}, 1, false, 0, 0, {}},
        // second row, second column: file 5; on page 2 file 17
        {{23 + 78 + 5, 34 + 93 + 5}, 1, true, 1, 5, QRect(QPoint(102, 127), QPoint(174, 142))},
        {{23 + 78 + 5, 34 + 93 + 5}, 2, true, 1, 17, QRect(QPoint(102, 127), QPoint(174, 142))},
        // outside the test rectangle
        {{22, 40}, 1, false, 0, 0, {}},
        {{20 + 3 * 78, 40}, 1, false, 0, 0, {}},
        {{40, 30 + 4 * 93}, 1, false, 0, 0, {}},
        // beyond the album's 20 files on page 2
        {{23 + 2 * 78 + 5, 34 + 3 * 93 + 5}, 2, false, 0, 0, {}},
    };
    for (const Case &c : cases) {
        const OverviewGrid::Hit h = g.HitTest(c.pt, c.page, 20);
        EXPECT_EQ(h.hit, c.hit) << c.pt.x() << "," << c.pt.y();
        if (!c.hit) continue;
        EXPECT_EQ(h.part, c.part) << c.pt.x() << "," << c.pt.y();
        EXPECT_EQ(h.fileNumber, c.file) << c.pt.x() << "," << c.pt.y();
        EXPECT_EQ(h.cellRect, c.rect) << c.pt.x() << "," << c.pt.y();
    }
}
