// Print arithmetic: printer stand-ins, the setup window's texts, placement per size mode, and the
// sizing and corners of overview sheets.
#include "core/print/PrintLayout.h"

#include <gtest/gtest.h>

using namespace pagero::print;

TEST(PrintLayout, LetterDefaultsReplaceOnlyMissingMetrics)
{
    PrinterMetrics reported;
    reported.DpiX = 600;
    reported.PageWidth = -4;
    reported.OffsetX = -1;
    reported.OffsetY = 30;
    const PrinterMetrics m = WithLetterDefaults(reported);
    EXPECT_EQ(m.DpiX, 600);
    EXPECT_EQ(m.DpiY, 360);
    EXPECT_EQ(QSize(m.PageWidth, m.PageHeight), QSize(2955, 3735));
    EXPECT_EQ(QSize(m.PhysWidth, m.PhysHeight), QSize(3060, 3960));
    EXPECT_EQ(QSize(m.SizeMmX, m.SizeMmY), QSize(208, 264));
    EXPECT_EQ(QPoint(m.OffsetX, m.OffsetY), QPoint(0, 30));
}

TEST(PrintLayout, Texts)
{
    EXPECT_EQ(PaperText(5100, 600, 208), "8.50 inch ( 208 mm )");
    EXPECT_EQ(PaperText(4830, 600, 196), "8.05 inch ( 196 mm )");   // not "8.5"
    EXPECT_EQ(PrinterNameText("Office", 600), "Office  (600 DPI)");
    EXPECT_EQ(OffsetText(QPoint(65, 45), 360, 360), "( 0.18 , 0.12 )");
    EXPECT_EQ(OffsetText(QPoint(720, 0), 360, 360), "( 2 , 0 )");
    EXPECT_EQ(SizeText(2955, 360), "8.2 in (208 mm)");
    EXPECT_EQ(ZoomText(2955, 3000), "0.98");
    EXPECT_EQ(ZoomText(3000, 3000), "1");
    EXPECT_EQ(ZoomText(4500, 3000), "1.5");
    EXPECT_EQ(HundredthsText(-105), "-1.05");
}

TEST(PrintLayout, FitThenCentre)
{
    const QSize page(2955, 3735);
    const QSize fitted = FitSize(QSize(3000, 2000), page);
    EXPECT_EQ(fitted, QSize(2955, 1970));
    EXPECT_EQ(CentredPosition(page, fitted), QPoint(0, 882));   // 882.5 rounds to even
    EXPECT_EQ(FitSize(QSize(100, 400), page), QSize(934, 3735));
}

TEST(PrintLayout, ZoomKeepsProportionsWithinTheHeight)
{
    EXPECT_EQ(ZoomSize(QSize(3000, 2000), 1500, 3735), QSize(1500, 1000));
    EXPECT_EQ(ZoomSize(QSize(3000, 2000), 6000, 3735), QSize(5602, 3735));
}

TEST(PrintLayout, PositionStaysOnThePrintableArea)
{
    PrinterMetrics m = WithLetterDefaults({});
    m.OffsetX = 20;
    m.OffsetY = 10;
    EXPECT_EQ(LimitPosition(QPoint(65, 45), QSize(100, 100), m), QPoint(65, 45));
    EXPECT_EQ(LimitPosition(QPoint(2900, 3700), QSize(100, 100), m), QPoint(2855, 3635));
    EXPECT_EQ(LimitPosition(QPoint(0, 0), QSize(100, 100), m), QPoint(20, 10));
    // A fitted picture is not pushed off the area by the offset; a larger one starts at the corner.
    EXPECT_EQ(LimitPosition(QPoint(65, 45), QSize(2955, 1970), m), QPoint(0, 45));
    EXPECT_EQ(LimitPosition(QPoint(65, 45), QSize(6000, 4000), m), QPoint(0, 0));
}

TEST(PrintLayout, PreviewSheetAndPicture)
{
    const PrinterMetrics m = WithLetterDefaults({});
    const QRect sheet = PreviewSheet(m);
    EXPECT_EQ(sheet, QRect(43, 88 + 17, 155, 200));
    EXPECT_EQ(PreviewPicture(sheet, m, QPoint(1530, 0), QSize(1530, 1980)), QRect(43 + 78, 105, 78, 100));
}

TEST(PrintLayout, OverviewPagesKeepTheirProportions)
{
    const QSize printable(4800, 6000);
    // A tall book page is limited by height, a wide one by width.
    EXPECT_EQ(OverviewTarget(SheetSize::Paper, printable, QPoint(0, 0), QSize(300, 900)), QSize(2000, 6000));
    EXPECT_EQ(OverviewTarget(SheetSize::Paper, printable, QPoint(0, 0), QSize(900, 300)), QSize(4800, 1600));
    EXPECT_EQ(OverviewTarget(SheetSize::Paper, printable, QPoint(100, 50), QSize(460, 575)), QSize(4600, 5750));
    EXPECT_EQ(OverviewTarget(SheetSize::Quarter, printable, QPoint(100, 50), QSize(460, 575)), QSize(2250, 2812));
    const auto corners = QuarterSlots(printable, QPoint(100, 50));
    EXPECT_EQ(corners[0], QPoint(100, 50));
    EXPECT_EQ(corners[1], QPoint(2450, 50));
    EXPECT_EQ(corners[2], QPoint(100, 3025));
    EXPECT_EQ(corners[3], QPoint(2450, 3025));
}

TEST(PrintLayout, FiveTickedPagesMakeTwoQuarterSheets)
{
    const QList<int> ticked{1, 2, 4, 5, 7};
    EXPECT_EQ(SheetsOf(ticked, SheetSize::Quarter), (QList<QList<int>>{{1, 2, 4, 5}, {7}}));
    EXPECT_EQ(SheetsOf(ticked, SheetSize::Paper).size(), 5);
    EXPECT_TRUE(SheetsOf({}, SheetSize::Quarter).isEmpty());
}
