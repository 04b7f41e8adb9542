#include "core/pages/IndexList.h"
#include <QLocale>
#include "support/PageEntriesOf.h"
#include <gtest/gtest.h>

using pagero::IndexList;
using Kind = IndexList::LineKind;

namespace {
// Lines 18 pixels high, `rows` rows in each column.
void SetRows(IndexList &x, int rows)
{
    x.SetCharHeight(13);
    x.SetArea(20, 20, 240, rows * 18);
}

pagero::PageEntries Names(std::initializer_list<const char *> names)
{
    QStringList out;
    for (const char *n : names) out << QString::fromUtf8(n);
    return pagero::test::EntriesOf(out);
}
} // namespace

TEST(IndexList, SortsIgnoringCaseAndGroupsUnderHeadings)
{
    IndexList x;
    x.Build(Names({"b.jpg", "A.jpg"}));
    EXPECT_EQ(x.Texts(), QStringList({"A", " ", "A.jpg, 2", "B", " ", "b.jpg, 1"}));
    EXPECT_EQ(x.At(0).kind, Kind::Heading);
    EXPECT_EQ(x.At(1).kind, Kind::Separator);
    EXPECT_EQ(x.FileNumberOfLine(2), 2);
    EXPECT_EQ(x.FileNumberOfLine(5), 1);
    EXPECT_EQ(x.FileNumberOfLine(3), 0);
    EXPECT_EQ(x.FileNumberOfLine(6), 0);

    x.Build(Names({"apple.jpg", "x, y.jpg", "Apple.jpg", "  \t1st.jpg", "banana.png"}));
    EXPECT_EQ(x.Texts(), QStringList({"1", " ", "1st.jpg, 4", "A", " ", "apple.jpg, 1", "Apple.jpg, 3",
                                      "B", " ", "banana.png, 5", "X", " ", "x, y.jpg, 2"}));
    EXPECT_EQ(x.FileNumberOfLine(12), 2);   // the number after the last ","

    QList<int> progress;
    x.Build(Names({"c.jpg", "d.jpg", "e.jpg"}), [&](int p) { progress << p; });
    // 90 + round(10 * i / 9) per entry, then 75 + round(25 * k / 3) while grouping.
    EXPECT_EQ(progress, QList<int>({90, 91, 92, 83, 92, 100}));

    SetRows(x, 20);
    x.Build({});
    EXPECT_EQ(x.Count(), 0);
    EXPECT_EQ(x.PageCount(), 1);
    EXPECT_TRUE(x.PlacePage(1).isEmpty());
}

QStringList Texts(std::initializer_list<const char *> texts)
{
    QStringList out;
    for (const char *t : texts) out << QString::fromUtf8(t);
    return out;
}

TEST(IndexList, AccentedNamesSortAndGroupWithTheirBaseLetter)
{
    const pagero::PageEntries names = Names({"zoo.jpg", "École.jpg", "apple.jpg", "Ähre.jpg", "Été.jpg",
                                     "Ökonomie.jpg", "Ost.jpg"});
    IndexList x;
    x.Build(names);
    EXPECT_EQ(x.Texts(), Texts({"A", " ", "Ähre.jpg, 4", "apple.jpg, 3", "E", " ", "École.jpg, 2",
                                "Été.jpg, 5", "O", " ", "Ökonomie.jpg, 6", "Ost.jpg, 7", "Z", " ",
                                "zoo.jpg, 1"}));

    // Where the language sorts a letter apart, it keeps a heading of its own.
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Swedish));
    x.Build(names);
    QLocale::setDefault(before);
    EXPECT_EQ(x.Texts(), Texts({"A", " ", "apple.jpg, 3", "E", " ", "École.jpg, 2", "Été.jpg, 5",
                                "O", " ", "Ost.jpg, 7", "Z", " ", "zoo.jpg, 1", "Ä", " ", "Ähre.jpg, 4",
                                "Ö", " ", "Ökonomie.jpg, 6"}));
}

TEST(IndexList, ShortPageMovesAHeadingThatWouldEndTheLeftColumn)
{
    IndexList x;
    SetRows(x, 8);   // the first page: 5 rows in each column
    x.Build(Names({"b.jpg", "A.jpg"}));   // A, " ", A.jpg, B, " ", b.jpg
    const auto placed = x.PlacePage(1);
    ASSERT_EQ(placed.size(), 6);
    const int y0 = 20 + 3 * 18, mid = 20 + 120;
    EXPECT_EQ(placed[3].rect.topLeft(), QPoint(mid, y0));            // "B" heads the right column
    EXPECT_EQ(placed[5].rect.topLeft(), QPoint(mid, y0 + 2 * 18));   // its entry below it
}

TEST(IndexList, PageArithmeticForTwoColumns)
{
    IndexList x;
    SetRows(x, 20);                    // 40 lines a page, 34 on the first
    EXPECT_EQ(x.EntriesPerPage(), 40);
    QStringList names;
    for (int i = 0; i < 100; ++i) names << QStringLiteral("f%1.jpg").arg(i, 3, 10, QLatin1Char('0'));
    x.Build(pagero::test::EntriesOf(names));                    // one heading "F": 102 lines
    ASSERT_EQ(x.Count(), 102);
    EXPECT_EQ(x.PageCount(), 3);       // (102 + 6 + 39) div 40
    EXPECT_EQ(x.FirstLineOfPage(1), 0);
    EXPECT_EQ(x.FirstLineOfPage(2), 34);
    EXPECT_EQ(x.FirstLineOfPage(3), 74);
    for (int page = 1; page <= x.PageCount(); ++page)
        EXPECT_EQ(x.PageOfLine(x.FirstLineOfPage(page)), page - 1);
    EXPECT_EQ(x.PageOfLine(33), 0);
    EXPECT_EQ(x.PageOfLine(73), 1);

    EXPECT_EQ(x.FirstFileOfPage(1), 0);
    EXPECT_EQ(x.FirstFileOfPage(2), 33);   // line 34 is "f032.jpg, 33"
    EXPECT_EQ(x.PageOfFile(33), 1);
    EXPECT_EQ(x.PageOfFile(32), 0);
    EXPECT_EQ(x.PageOfFile(0), 0);
    EXPECT_EQ(x.PageOfFile(999), 0);
    for (int page = 2; page <= x.PageCount(); ++page)
        EXPECT_EQ(x.PageOfFile(x.FirstFileOfPage(page)), page - 1);
}

TEST(IndexList, ColumnEndingOnAHeadingContinuesOneRowLower)
{
    IndexList x;
    SetRows(x, 8);   // the first page: 5 rows in each column
    x.Build(Names({"a1.jpg", "a2.jpg", "b1.jpg", "b2.jpg", "b3.jpg", "b4.jpg", "b5.jpg"}));
    // A, " ", a1, a2, B (the left column's last row), " " (below the column), b1 .. b4 | b5 next page
    const auto placed = x.PlacePage(1);
    ASSERT_EQ(placed.size(), 10);
    const int y0 = 20 + 3 * 18, mid = 20 + 120;
    EXPECT_EQ(placed[4].kind, Kind::Heading);
    EXPECT_EQ(placed[4].rect, QRect(20, y0 + 4 * 18, 116, 18));
    EXPECT_FALSE(placed[5].visible);
    EXPECT_EQ(placed[6].line, 6);
    EXPECT_EQ(placed[6].rect, QRect(mid, y0 + 18, 120, 18));   // b1 one row lower
    EXPECT_EQ(placed[9].rect.top(), y0 + 4 * 18);               // b4 in the last row
    EXPECT_EQ(x.FirstLineOfPage(2), 10);
}

TEST(IndexList, NoLineOfAPageIsLostAtColumnBreaks)
{
    // A heading and its separator filling the left column's last two rows: the right column starts
    // at its top, so the page's last line still has a row.
    IndexList x;
    SetRows(x, 8);
    x.Build(Names({"a1.jpg", "b1.jpg", "b2.jpg", "b3.jpg", "b4.jpg", "b5.jpg", "b6.jpg"}));
    auto placed = x.PlacePage(1);
    ASSERT_EQ(placed.size(), 10);
    EXPECT_EQ(placed[5].rect.topLeft(), QPoint(140, 20 + 3 * 18));
    EXPECT_EQ(placed[9].rect.top(), 20 + 7 * 18);

    // Many groups of every size: each line is placed on exactly one page, inside the area.
    QStringList names;
    for (int g = 0; g < 20; ++g)
        for (int k = 0; k <= g % 4; ++k) names << QStringLiteral("%1%2.jpg").arg(QChar('a' + g)).arg(k);
    for (int rows : {4, 5, 7, 11}) {
        SetRows(x, rows);
        x.Build(pagero::test::EntriesOf(names));
        QList<int> seen;
        for (int page = 1; page <= x.PageCount(); ++page) {
            for (const auto &p : x.PlacePage(page)) {
                seen << p.line;
                if (p.visible) {
                    EXPECT_GE(p.rect.top(), x.AreaTop());
                    EXPECT_LE(p.rect.top() + p.rect.height(), x.AreaTop() + x.AreaHeight());
                }
            }
        }
        ASSERT_EQ(seen.size(), x.Count()) << "rows " << rows;
        for (int i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i], i);
    }
}

TEST(IndexList, PageStartingOnASeparatorKeepsItsFirstEntry)
{
    IndexList x;
    SetRows(x, 8);   // 10 lines on the first page
    x.Build(Names({"a1.jpg", "a2.jpg", "a3.jpg", "a4.jpg", "a5.jpg", "a6.jpg", "a7.jpg", "b1.jpg"}));
    ASSERT_EQ(x.At(9).kind, Kind::Heading);   // the first page ends on "B"
    const auto placed = x.PlacePage(2);
    ASSERT_EQ(placed.size(), 2);
    EXPECT_EQ(placed[0].kind, Kind::Separator);
    EXPECT_FALSE(placed[0].visible);
    EXPECT_EQ(placed[1].line, 11);
    EXPECT_TRUE(placed[1].visible);
    EXPECT_EQ(placed[1].rect.top(), 20 + 18);
    EXPECT_EQ(x.FirstFileOfPage(2), 8);
}

TEST(IndexList, HitTestFindsEntriesByTextWidth)
{
    IndexList x;
    SetRows(x, 8);
    x.Build(Names({"b.jpg", "A.jpg"}));
    const auto width = [](const QString &s) { return int(s.size()) * 6; };
    const int y0 = 20 + 3 * 18;
    QRect r;
    EXPECT_EQ(x.HitTest(1, QPoint(21, y0 + 2 * 18 + 1), width, &r), 2);   // "A.jpg, 2"
    EXPECT_EQ(r, QRect(20, y0 + 36, 48, 16));
    EXPECT_EQ(x.HitTest(1, QPoint(67, y0 + 36), width), 2);
    EXPECT_EQ(x.HitTest(1, QPoint(68, y0 + 36), width), 0);     // right of the text
    EXPECT_EQ(x.HitTest(1, QPoint(21, y0 + 36 + 16), width), 0); // the band below the text
    EXPECT_EQ(x.HitTest(1, QPoint(141, y0 + 2 * 18 + 1), width), 1);   // "b.jpg, 1", right column
    EXPECT_EQ(x.HitTest(1, QPoint(21, y0 + 1), width), 0);       // the heading "A"
    EXPECT_EQ(x.HitTest(1, QPoint(21, 25), width), 0);           // the title block
    EXPECT_EQ(x.HitTest(1, QPoint(5, y0 + 36), width), 0);       // outside the area

    // Widths are capped at half the area plus one.
    const auto wide = [](const QString &) { return 1000; };
    EXPECT_EQ(x.HitTest(1, QPoint(20 + 120, y0 + 36), wide, &r), 2);
    EXPECT_EQ(r.width(), 121);
    EXPECT_NE(x.HitTest(1, QPoint(20 + 121, y0 + 36), wide), 2);
}
