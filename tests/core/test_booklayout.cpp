// Book layout: section starts, the page <-> (section, position) mappings and page labels.
#include "core/book/BookLayout.h"

#include <gtest/gtest.h>

using namespace pagero;

namespace {

// Sizes as the section windows would report them for N files, T thumbs and L contents lines per
// page, and an index of `indexLines` lines with K lines per page (the first holds 6 fewer).
SectionSizes sizesFor(int n, int t, int l, int indexLines, int k)
{
    SectionSizes s;
    s.files = n;
    s.thumbsPerPage = t;
    s.contentsLines = l;
    s.overviewPages = (n + t - 1) / t;
    s.contentsPages = (n + 3 + l - 1) / l;
    s.indexPages = (indexLines + 6 + k - 1) / k;
    s.indexFirstLineOfPage = [k](int page) { return page <= 1 ? 0 : (page - 1) * k - 6; };
    s.indexPageOfLine = [k](int line) { return (line + 6) / k; };
    return s;
}

} // namespace

TEST(BookLayout, OneFileGivesCoverOverviewContentsFileIndex)
{
    BookLayout layout;
    layout.Compute(sizesFor(1, 16, 4, 2, 20));
    EXPECT_EQ(layout.FrontCoverPage, 1);
    EXPECT_EQ(layout.FirstOverviewPage, 2);
    EXPECT_EQ(layout.FirstContentsPage, 3);
    EXPECT_EQ(layout.FirstFilePage, 4);
    EXPECT_EQ(layout.FirstIndexPage, 5);
    EXPECT_EQ(layout.BackCoverPage, 6);
    EXPECT_EQ(layout.LastPageNo, 6);

    // An odd back cover adds one page past it, which still belongs to the back cover.
    layout.Compute(sizesFor(1, 16, 4, 30, 20));   // two index pages
    EXPECT_EQ(layout.BackCoverPage, 7);
    EXPECT_EQ(layout.LastPageNo, 8);
    EXPECT_EQ(layout.SectionOf(8), BackCover);
    EXPECT_EQ(layout.PageToSection(8).position, 1);
    EXPECT_EQ(layout.SectionToPage(BackCover, 5), 8);
}

TEST(BookLayout, EmptyFolderHasNoOverviewAndNoFilePages)
{
    BookLayout layout;
    layout.Compute(sizesFor(0, 16, 10, 0, 20));
    EXPECT_EQ(layout.FirstContentsPage, 2);
    EXPECT_EQ(layout.FirstFilePage, 3);
    EXPECT_EQ(layout.FirstIndexPage, 3);
    EXPECT_EQ(layout.BackCoverPage, 4);
    EXPECT_EQ(layout.LastPageNo, 4);
    EXPECT_EQ(layout.SectionOf(2), Contents);
    EXPECT_EQ(layout.SectionOf(3), Index);
    // Mapping into an empty section lands just before it rather than inside another section.
    EXPECT_EQ(layout.SectionToPage(Overview, 0), 1);
    EXPECT_EQ(layout.SectionToPage(Context, 0), 2);
}

TEST(BookLayout, SectionToPageInvertsPageToSectionForEveryPage)
{
    const int shapes[][5] = {{1, 16, 4, 2, 20},   {37, 6, 9, 60, 14}, {200, 12, 25, 400, 30},
                             {5, 1, 4, 0, 7},     {0, 9, 5, 1, 8},    {64, 16, 13, 120, 13}};
    for (const auto &shape : shapes) {
        BookLayout layout;
        layout.Compute(sizesFor(shape[0], shape[1], shape[2], shape[3], shape[4]));
        ASSERT_EQ(layout.LastPageNo % 2, 0);
        for (int page = 1; page <= layout.LastPageNo; ++page) {
            const auto pos = layout.PageToSection(page);
            EXPECT_EQ(pos.kind, layout.SectionOf(page));
            EXPECT_EQ(layout.SectionToPage(pos.kind, pos.position), page)
                << "files " << shape[0] << " page " << page << " kind " << pos.kind;
        }
    }
}

TEST(BookLayout, PositionsInsideAPageRoundUpAndStayInTheirSection)
{
    BookLayout layout;
    layout.Compute(sizesFor(40, 16, 10, 50, 20));   // overview 2..4, contents 5..9, files 10..49
    ASSERT_EQ(layout.FirstContentsPage, 5);
    ASSERT_EQ(layout.FirstFilePage, 10);
    EXPECT_EQ(layout.SectionToPage(Overview, 1), 3);     // past the first thumb: next page
    EXPECT_EQ(layout.SectionToPage(Overview, 1000), 4);  // clamped to the last overview page
    EXPECT_EQ(layout.SectionToPage(Contents, 6), 5);     // still on the first contents page
    EXPECT_EQ(layout.SectionToPage(Contents, 7), 6);     // first line of the second page
    EXPECT_EQ(layout.SectionToPage(Contents, 8), 7);
    EXPECT_EQ(layout.SectionToPage(Context, 39), 49);
    EXPECT_EQ(layout.SectionToPage(Context, 40), 49);
    EXPECT_EQ(layout.SectionToPage(Context, -3), 10);    // a damaged bookmark stays in its section
    EXPECT_EQ(layout.SectionToPage(FrontCover, -1), 1);
    EXPECT_EQ(layout.SectionToPage(FrontCover, 7), 1);
    EXPECT_EQ(layout.SectionToPage(BackCover, 99), layout.LastPageNo);
    EXPECT_EQ(layout.SectionToPage(3, 0), -1);
    EXPECT_EQ(layout.SectionToPage(0, 0), -1);
}

TEST(BookLayout, PageLabelsAndSectionNames)
{
    BookLayout layout;
    layout.Compute(sizesFor(40, 16, 10, 50, 20));   // overview 2..4, contents 5..9, files 10..49
    EXPECT_EQ(layout.PageLabel(0), "");
    EXPECT_EQ(layout.PageLabel(1), "");
    EXPECT_EQ(layout.PageLabel(2), "i");
    EXPECT_EQ(layout.PageLabel(5), "iv");
    EXPECT_EQ(layout.PageLabel(9), "viii");
    EXPECT_EQ(layout.PageLabel(10), "1");
    EXPECT_EQ(layout.PageLabel(50), "41");   // index pages go on counting
    EXPECT_EQ(layout.PageLabel(layout.LastPageNo), "");
    EXPECT_EQ(layout.PageLabel(layout.LastPageNo + 1), "");

    layout.Compute(sizesFor(0, 16, 10, 0, 20));   // an empty album: contents 2, index 3
    EXPECT_EQ(layout.PageLabel(3), "ii");

    EXPECT_EQ(SectionName(Overview), "OverView");
    EXPECT_EQ(SectionName(BackCover), "BackCover");
    EXPECT_EQ(SectionName(3), "Unknow Section");
}
