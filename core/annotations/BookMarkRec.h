#pragma once
// One bookmark. It is tied to a file name and a section, not to a page number, so it follows its
// file when the album is re-sorted, filtered or grows; the page and the tab fields are derived again
// after every rebuild.
#include <QString>
#include <vector>

namespace pagero {

// The edge of the page a tab sticks out of.
enum TabSide : int { TabTop = 601, TabOuter = 602, TabBottom = 603 };

// An album holds at most this many bookmarks; an add beyond it is refused.
inline constexpr int kMaxBookmarks = 1000;

struct BookMarkRec {
    // Stored in the album's bookmark file.
    int Section = 0;            // SectionKind of the bookmarked page
    int FileIndex = 0;          // page-list entry of the file the page belongs to
    QString FileName;           // that file's name, no folder
    // Derived.
    int Page = -1;              // page the bookmark points to; -1 = not shown
    int TabSide = TabOuter;
    QString Caption;            // the page's label
    int CaptionOffset = 0;      // caption's offset inside the tab, centred
    int TabX = 0;               // along the page, page-local
    int TabY = 0;               // across the page, page-local
};

using BookmarkTable = std::vector<BookMarkRec>;

} // namespace pagero
