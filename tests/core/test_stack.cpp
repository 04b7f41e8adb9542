// Page stacks beside the open pages: depths, the stack-edge bands and the page a stack position means.
#include "core/book/StackArithmetic.h"

#include <gtest/gtest.h>

using namespace pagero;

TEST(BookGeometry, DerivedFromTheClientSize)
{
    const auto g = BookGeometry::For(QSize(1000, 700), 0);
    EXPECT_EQ(g.SpineX, 500);
    EXPECT_EQ(g.BookBottomY, 700 - 14 - 10);
    EXPECT_EQ(g.PageW, 470);
    EXPECT_EQ(g.PageH, 700 - 14 - 30);
    EXPECT_EQ(QRect(QPoint(g.leftL, g.leftT), QPoint(g.leftR, g.leftB)),
              QRect(QPoint(30, 676 - 656), QPoint(500, 676)));
    EXPECT_EQ(g.rightL, 500);
    EXPECT_EQ(g.rightR, 970);
    EXPECT_EQ(g.leftContentLocal(), QRect(QPoint(20, 20), QPoint(470 - 1 - 35, 656 - 1 - 20)));
    EXPECT_EQ(g.rightContentLocal(), QRect(QPoint(35, 20), QPoint(470 - 1 - 20, 656 - 1 - 20)));
    EXPECT_EQ(g.contentLocal(4), g.leftContentLocal());
    EXPECT_EQ(g.contentLocal(5), g.rightContentLocal());
    EXPECT_EQ(g.pageImageSize(), QSize(469, 655));

    // The tool bar takes its height from the pages; a small client is raised to the minimum.
    EXPECT_EQ(BookGeometry::For(QSize(1000, 700), 28).PageH, 656 - 28);
    const auto small = BookGeometry::For(QSize(400, 200), 0);
    EXPECT_EQ(small.client, QSize(485, 290));
    EXPECT_EQ(small.PageW, 485 / 2 - 30);
}

TEST(BookGeometry, PageHitTestsSplitAtTheSpine)
{
    const auto g = BookGeometry::For(QSize(1000, 700), 0);
    EXPECT_TRUE(g.inLeftPage(g.leftL, g.leftT));
    EXPECT_TRUE(g.inLeftPage(g.SpineX - 1, g.BookBottomY - 1));
    EXPECT_FALSE(g.inLeftPage(g.SpineX, 300));
    EXPECT_TRUE(g.inRightPage(g.SpineX, 300));
    EXPECT_FALSE(g.inRightPage(g.rightR, 300));
    EXPECT_FALSE(g.inLeftPage(g.leftL - 1, 300));
    EXPECT_FALSE(g.inRightPage(600, g.BookBottomY));
}

TEST(StackArithmetic, Depths)
{
    EXPECT_EQ(LeftStackDepth(20), 10);
    EXPECT_EQ(RightStackDepth(40, 21), 10);
    EXPECT_EQ(LeftStackDepth(0), 0);
    EXPECT_EQ(LeftStackDepth(100), 14);
    EXPECT_EQ(RightStackDepth(100, 3), 14);
    EXPECT_EQ(RightStackDepth(40, 41), 0);
}

TEST(StackArithmetic, EdgeBands)
{
    const auto g = BookGeometry::For(QSize(1000, 700), 0);
    const int y = 300;
    // 40 pages open at (20, 21): both stacks 10 pixels deep.
    EXPECT_EQ(StackEdgeAt(g, g.leftL, y, 20, 21, 40), 1);
    EXPECT_EQ(StackEdgeAt(g, g.leftL - 12, y, 20, 21, 40), 1);
    EXPECT_EQ(StackEdgeAt(g, g.leftL - 13, y, 20, 21, 40), 0);
    EXPECT_EQ(StackEdgeAt(g, g.leftL + 2, y, 20, 21, 40), 1);
    EXPECT_EQ(StackEdgeAt(g, g.leftL + 3, y, 20, 21, 40), 0);
    EXPECT_EQ(StackEdgeAt(g, g.rightR + 12, y, 20, 21, 40), 2);
    EXPECT_EQ(StackEdgeAt(g, g.rightR + 13, y, 20, 21, 40), 0);
    EXPECT_EQ(StackEdgeAt(g, g.rightR - 2, y, 20, 21, 40), 2);
    // Only between the top and bottom of the pages, and only where a page exists.
    EXPECT_EQ(StackEdgeAt(g, g.leftL, g.BookBottomY, 20, 21, 40), 0);
    EXPECT_EQ(StackEdgeAt(g, g.leftL, g.BookBottomY - g.PageH, 20, 21, 40), 0);
    EXPECT_EQ(StackEdgeAt(g, g.leftL, y, 0, 1, 40), 0);
    EXPECT_EQ(StackEdgeAt(g, g.rightR, y, 40, 41, 40), 0);
}

TEST(StackArithmetic, PageFromStackScalesBetweenCoverAndOpenPage)
{
    const auto g = BookGeometry::For(QSize(1000, 700), 0);
    // Left stack at (20, 21): depth 10, outer edge = page 0, inner edge = the open left page.
    EXPECT_EQ(PageFromStack(g, g.leftL + 1, 1, 20, 21, 40), 20);
    EXPECT_EQ(PageFromStack(g, g.leftL, 1, 20, 21, 40), 20);
    EXPECT_EQ(PageFromStack(g, g.leftL - 10, 1, 20, 21, 40), 0);
    EXPECT_EQ(PageFromStack(g, g.leftL - 11, 1, 20, 21, 40), 0);
    EXPECT_EQ(PageFromStack(g, g.leftL - 5, 1, 20, 21, 40), 10);
    // Right stack: inner edge the open right page, outer edge LastPageNo.
    EXPECT_EQ(PageFromStack(g, g.rightR - 1, 2, 20, 21, 40), 21);
    EXPECT_EQ(PageFromStack(g, g.rightR, 2, 20, 21, 40), 21);
    EXPECT_EQ(PageFromStack(g, g.rightR + 10, 2, 20, 21, 40), 40);
    EXPECT_EQ(PageFromStack(g, g.rightR + 11, 2, 20, 21, 40), 40);
    EXPECT_EQ(PageFromStack(g, g.rightR + 4, 2, 20, 21, 40), 21 + 8);   // 4 * 19 / 10 = 7.6
    // Small books: at (6, 7) of 12 pages the left stack is 3 deep, x = L - 1 gives 2 * 6 / 3 = 4;
    // the right stack is (12 - 7 + 1) div 2 = 3 deep, x = R + 1 gives 5 / 3 = 1.67 -> 2.
    EXPECT_EQ(PageFromStack(g, g.leftL - 1, 1, 6, 7, 12), 4);
    EXPECT_EQ(PageFromStack(g, g.rightR + 1, 2, 6, 7, 12), 9);
    // A half goes to the even neighbour: at (10, 11) of 40 the right stack is 14 deep, and
    // x = R + 7 gives 7 * 29 / 14 = 14.5 -> 14.
    EXPECT_EQ(PageFromStack(g, g.rightR + 7, 2, 10, 11, 40), 11 + 14);
}
