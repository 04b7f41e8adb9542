#pragma once
// Book layout and page numbering: sections, their first pages, and the mappings between page
// numbers and (section, position). Page 1 is the front cover (a right page); even pages are left
// pages; LastPageNo is always even.
#include <QString>
#include <functional>

namespace pagero {

enum SectionKind : int {
    FrontCover = 1, Overview = 2, Contents = 4, Context = 7, Index = 9, BackCover = 10
};

QString SectionName(int kind);   // "Front Cover", "OverView", ..., "Unknow Section"

// What the sections report about themselves for one layout.
struct SectionSizes {
    int files = 0;              // N: page-list entries
    int thumbsPerPage = 1;      // T
    int contentsLines = 1;      // L: lines on a contents page (the first holds 3 fewer)
    int overviewPages = 0;      // ceil(N / T)
    int contentsPages = 1;      // ceil((N + 3) / L)
    int indexPages = 1;         // from the index window
    // The index window's own mappings: first line of index page k (k from 1), and the index page
    // (from 0) of a line. Empty functions mean "line 0" and "page 0".
    std::function<int(int)> indexFirstLineOfPage;
    std::function<int(int)> indexPageOfLine;
};

class BookLayout {
public:
    void Compute(const SectionSizes &sizes);

    int FrontCoverPage = 1;
    int FirstOverviewPage = 2;
    int FirstContentsPage = 2;
    int FirstFilePage = 3;
    int FirstIndexPage = 3;
    int BackCoverPage = 4;
    int LastPageNo = 4;

    int SectionOf(int page) const;
    struct Position { int kind; int position; };
    Position PageToSection(int page) const;
    int SectionToPage(int kind, int position) const;   // -1 for an unknown kind
    // "- label -" text of a page: "" for covers and beyond the book, roman numerals for overview and
    // contents pages, decimals from the first file page on.
    QString PageLabel(int page) const;
    const SectionSizes &Sizes() const { return sizes_; }

private:
    SectionSizes sizes_;
};

} // namespace pagero
