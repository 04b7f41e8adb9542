#include "core/book/BookLayout.h"

#include "core/common/MyLib.h"

#include <algorithm>

namespace pagero {

QString SectionName(int kind)
{
    switch (kind) {
    case FrontCover: return QStringLiteral("Front Cover");
    case Overview: return QStringLiteral("OverView");
    case Contents: return QStringLiteral("Contents");
    case Context: return QStringLiteral("Context");
    case Index: return QStringLiteral("Index");
    case BackCover: return QStringLiteral("BackCover");
    default: return QStringLiteral("Unknow Section");
    }
}

namespace {

// The capacities are owned by the section windows and are positive there; a zero or negative value
// (an empty window) must not divide by zero here.
int thumbsOf(const SectionSizes &s) { return std::max(1, s.thumbsPerPage); }
int linesOf(const SectionSizes &s) { return std::max(1, s.contentsLines); }

// Brings `page` into first .. last; when the section is empty (last < first) the upper bound wins,
// which lands on the page before the section.
int clampToSection(int page, int first, int last) { return std::min(std::max(page, first), last); }

} // namespace

void BookLayout::Compute(const SectionSizes &sizes)
{
    sizes_ = sizes;
    FrontCoverPage = 1;
    FirstOverviewPage = 2;
    FirstContentsPage = FirstOverviewPage + std::max(0, sizes.overviewPages);
    FirstFilePage = FirstContentsPage + std::max(0, sizes.contentsPages);
    FirstIndexPage = FirstFilePage + std::max(0, sizes.files);
    BackCoverPage = FirstIndexPage + std::max(0, sizes.indexPages);
    LastPageNo = BackCoverPage + (BackCoverPage % 2);   // the last page is a left page
}

int BookLayout::SectionOf(int page) const
{
    if (page < FirstOverviewPage) return FrontCover;
    if (page < FirstContentsPage) return Overview;
    if (page < FirstFilePage) return Contents;
    if (page < FirstIndexPage) return Context;
    if (page < BackCoverPage) return Index;
    return BackCover;
}

BookLayout::Position BookLayout::PageToSection(int page) const
{
    const int kind = SectionOf(page);
    switch (kind) {
    case FrontCover: return {kind, page};
    case Overview: return {kind, (page - FirstOverviewPage) * thumbsOf(sizes_)};
    case Contents:
        return {kind, page == FirstContentsPage ? 0 : (page - FirstContentsPage) * linesOf(sizes_) - 3};
    case Context: return {kind, page - FirstFilePage};
    case Index:
        return {kind, sizes_.indexFirstLineOfPage ? sizes_.indexFirstLineOfPage(page - FirstIndexPage + 1) : 0};
    default: return {kind, page - BackCoverPage};
    }
}

int BookLayout::SectionToPage(int kind, int position) const
{
    switch (kind) {
    case FrontCover:
        return position < 1 ? 1 : std::min(position, FirstOverviewPage - 1);
    case Overview: {
        const int t = thumbsOf(sizes_);
        // A position inside a page rounds up to the next page, as stored bookmarks expect.
        return clampToSection(FirstOverviewPage + (position + t - 1) / t, FirstOverviewPage,
                              FirstContentsPage - 1);
    }
    case Contents: {
        const int l = linesOf(sizes_);
        const int offset = position < l - 3 ? 0 : (position + 3 + l - 1) / l;
        return clampToSection(FirstContentsPage + offset, FirstContentsPage, FirstFilePage - 1);
    }
    case Context:
        return clampToSection(FirstFilePage + position, FirstFilePage, FirstIndexPage - 1);
    case Index: {
        const int indexPage = sizes_.indexPageOfLine ? sizes_.indexPageOfLine(position) : 0;
        return clampToSection(FirstIndexPage + indexPage, FirstIndexPage, BackCoverPage - 1);
    }
    case BackCover:
        return clampToSection(BackCoverPage + position, BackCoverPage, LastPageNo);
    default:
        return -1;
    }
}

QString BookLayout::PageLabel(int page) const
{
    if (page >= LastPageNo) return QString();
    // Index pages count on from the file pages; with no file page (an empty album) they count on
    // from the contents pages instead, so the page number "1" never names a page without a file.
    if (page >= FirstFilePage && FirstIndexPage > FirstFilePage) return QString::number(page - FirstFilePage + 1);
    if (page >= FirstOverviewPage) return RomanOf(page - FirstOverviewPage + 1);
    return QString();
}

} // namespace pagero
