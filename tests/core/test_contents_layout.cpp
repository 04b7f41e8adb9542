#include "core/pages/ContentsLayout.h"
#include <gtest/gtest.h>

using pagero::ContentsLayout;

namespace {
// Lines 18 pixels high (13 + 5); `lines` full lines fit the area.
ContentsLayout LayoutWithLines(int lines, int extraPixels = 0)
{
    ContentsLayout c;
    c.SetCharHeight(13);
    c.SetArea(20, 20, 245, lines * 18 + extraPixels);
    return c;
}
} // namespace

TEST(ContentsLayout, AreaFromCornersAndLinesPerPage)
{
    ContentsLayout c;
    c.SetCharHeight(13);
    c.SetArea(QRect(QPoint(20, 20), QPoint(265, 379)));
    EXPECT_EQ(c.AreaLeft(), 20);
    EXPECT_EQ(c.AreaTop(), 20);
    EXPECT_EQ(c.AreaWidth(), 245);
    EXPECT_EQ(c.AreaHeight(), 359);
    EXPECT_EQ(c.LineHeight(), 18);
    EXPECT_EQ(c.LinesPerPage(), 19);   // 359 div 18
    EXPECT_EQ(LayoutWithLines(20, 17).LinesPerPage(), 20);
}

TEST(ContentsLayout, PageCountsKeepThreeTitleLinesOnTheFirstPage)
{
    const ContentsLayout c = LayoutWithLines(20);
    EXPECT_EQ(c.PageCount(0), 1);     // the title page alone
    EXPECT_EQ(c.PageCount(17), 1);
    EXPECT_EQ(c.PageCount(18), 2);
    EXPECT_EQ(c.PageCount(37), 2);
    EXPECT_EQ(c.PageCount(38), 3);

    const auto first = c.LinesOfPage(1, 18);
    EXPECT_EQ(first.first, 0);
    EXPECT_EQ(first.last, 16);
    EXPECT_EQ(first.top, 20 + 3 * 18);
    const auto second = c.LinesOfPage(2, 18);   // lists only file 18
    EXPECT_EQ(second.first, 17);
    EXPECT_EQ(second.last, 17);
    EXPECT_EQ(second.top, 20);

    const auto empty = c.LinesOfPage(1, 0);
    EXPECT_LT(empty.last, empty.first);
}

TEST(ContentsLayout, FirstIndexAndPageOffsetAreInverse)
{
    for (int lines : {4, 5, 20, 33}) {
        const ContentsLayout c = LayoutWithLines(lines);
        const int files = 250;
        for (int page = 1; page <= c.PageCount(files); ++page) {
            const int first = c.FirstIndex(page);
            EXPECT_EQ(c.PageOffset(first), page - 1) << "lines " << lines << " page " << page;
            EXPECT_EQ(c.LinesOfPage(page, files).first, first);
        }
        // Every file is listed on exactly the page PageOffset names for the first of a page.
        int listed = 0;
        for (int page = 1; page <= c.PageCount(files); ++page) {
            const auto l = c.LinesOfPage(page, files);
            if (l.last >= l.first) {
                EXPECT_EQ(l.first, listed);
                listed = l.last + 1;
            }
        }
        EXPECT_EQ(listed, files);
    }
    // A position that is not the first line of its page rounds up to the next page.
    const ContentsLayout c = LayoutWithLines(20);
    EXPECT_EQ(c.PageOffset(16), 0);
    EXPECT_EQ(c.PageOffset(17), 1);
    EXPECT_EQ(c.PageOffset(18), 2);
}

TEST(ContentsLayout, HitRectanglesLeaveTheBandBelowEachLine)
{
    const ContentsLayout c = LayoutWithLines(20);
    const int top1 = 20 + 3 * 18;
    EXPECT_EQ(c.IndexAt(1, 30, QPoint(25, top1)), 0);
    EXPECT_EQ(c.IndexAt(1, 30, QPoint(25, top1 + 15)), 0);      // CharHeight + 3 = 16 rows
    EXPECT_EQ(c.IndexAt(1, 30, QPoint(25, top1 + 16)), -1);     // the 2-pixel band
    EXPECT_EQ(c.IndexAt(1, 30, QPoint(25, top1 + 17)), -1);
    EXPECT_EQ(c.IndexAt(1, 30, QPoint(25, top1 + 18)), 1);
    EXPECT_EQ(c.IndexAt(1, 30, QPoint(25, 20)), -1);            // the title block
    EXPECT_EQ(c.IndexAt(2, 30, QPoint(264, 21)), 17);
    EXPECT_EQ(c.IndexAt(2, 30, QPoint(265, 21)), -1);           // right of the area
    EXPECT_EQ(c.IndexAt(2, 30, QPoint(19, 21)), -1);
    EXPECT_EQ(c.IndexAt(2, 30, QPoint(30, 20 + 13 * 18)), -1);  // below the last file (index 29)
    EXPECT_EQ(c.IndexAt(2, 30, QPoint(30, 20 + 12 * 18)), 29);

    const auto lines = c.LinesOfPage(2, 30);
    EXPECT_EQ(c.LineRect(lines, 18), QRect(20, 38, 245, 18));
    EXPECT_EQ(c.HitRect(lines, 18), QRect(20, 38, 245, 16));
}

TEST(ContentsLayout, TinyAreasStayDefined)
{
    ContentsLayout c;
    c.SetCharHeight(13);
    c.SetArea(0, 0, 10, 5);
    EXPECT_EQ(c.LinesPerPage(), 1);
    EXPECT_EQ(c.PageCount(2), 5);
    for (int page = 1; page <= 5; ++page) {
        const auto l = c.LinesOfPage(page, 2);
        EXPECT_GE(l.first, 0);
        EXPECT_LE(l.last, 1);
    }
    c.SetArea(0, 0, -5, -5);
    EXPECT_EQ(c.AreaWidth(), 0);
    EXPECT_EQ(c.IndexAt(1, 2, QPoint(0, 0)), -1);
}
