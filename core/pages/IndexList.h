#pragma once
// The index pages: the album's file names sorted alphabetically (ignoring case, in the current
// locale), grouped under heading letters, in two columns per page. The first index page keeps room
// for six lines (three in each column) for its "INDEX" title.
//
// Lines are of three kinds: a heading (the upper-cased first letter of its group, without its accent
// where the language sorts the accented letter among its base letter: Été under "E"), the separator
// " " that always follows a heading, and an entry "name, number" where number is the file's 1-based
// position in the page list. Text metrics come in as numbers (and a width callback) so this stays
// free of any window.
#include "core/book/PageEntry.h"
#include <QHash>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>

namespace pagero {

class IndexList {
public:
    static constexpr int TitleLines = 6;   // room of the first page's title, both columns together

    enum class LineKind { Heading, Separator, Entry };
    struct Line {
        LineKind kind = LineKind::Entry;
        QString text;
        int fileNumber = 0;                 // entries only: 1-based position in the page list
    };

    // Builds the lines from the page list's entries, in page order. `progress` receives the
    // album-opening percentages 90 .. 93 while entries are made, then 75 .. 100 while they are
    // grouped under their headings.
    void Build(const PageEntries &entries, const std::function<void(int)> &progress = {});
    void Clear();

    int Count() const { return int(lines_.size()); }
    const Line &At(int line) const { return lines_.at(line); }
    QStringList Texts() const;
    // File number of an entry line (the number after its last ","), 0 for headings, separators and
    // lines outside the list.
    int FileNumberOfLine(int line) const;

    // Layout. The area is given by its corners (left, top) .. (right, bottom) as the book gives it.
    void SetArea(const QRect &corners);
    void SetArea(int left, int top, int width, int height);
    void SetCharHeight(int charHeight);    // height of "H" in the list font
    int AreaLeft() const { return areaLeft_; }
    int AreaTop() const { return areaTop_; }
    int AreaWidth() const { return areaWidth_; }
    int AreaHeight() const { return areaHeight_; }
    int CharHeight() const { return charHeight_; }
    int LineHeight() const { return charHeight_ + 5; }
    int RowsPerColumn() const;             // AreaHeight div LineHeight, at least 1
    int EntriesPerPage() const { return 2 * RowsPerColumn(); }

    // (Count + 6 + K - 1) div K with K = EntriesPerPage: one page even for an empty album.
    int PageCount() const;
    // First line of index page `page` (from 1): 0 for the first page, else (page - 1) * K - 6.
    int FirstLineOfPage(int page) const;
    // Last line the page holds (before cutting to the list's end).
    int LastLineOfPage(int page) const;
    // 0-based page offset within the section of the page holding `line`.
    int PageOfLine(int line) const;
    // File number of the first entry on index page `page`; 0 for the first page or a page without
    // entries.
    int FirstFileOfPage(int page) const;
    // 0-based page offset of the entry of file `fileNumber`; 0 when no entry has that number.
    int PageOfFile(int fileNumber) const;

    // Where the lines of a page go. Headings take their own row and their separator's row; a
    // column that ends right on a heading continues in the right column one row lower, so the
    // separator's row is not lost. Every line of the page gets a row. On a page with room to spare,
    // a heading that would end the left column moves to the top of the right one with its entries.
    struct Placed {
        int line = 0;
        LineKind kind = LineKind::Entry;
        QRect rect;          // the line's rectangle: its column's width, LineHeight high
        bool visible = true; // separators are never drawn
    };
    QList<Placed> PlacePage(int page) const;

    // File number of the entry under `pt` on `page`, 0 for none. The hit rectangle of a line starts
    // at its top-left, is as wide as its text (`textWidth`) but at most AreaWidth div 2 + 1, and
    // CharHeight + 3 high; the search ends at the first line whose rectangle holds the point.
    int HitTest(int page, QPoint pt, const std::function<int(const QString &)> &textWidth,
                QRect *hitRect = nullptr) const;

private:
    QList<Line> lines_;
    QHash<int, int> lineOfFile_;          // file number -> its entry line
    int areaLeft_ = 0, areaTop_ = 0, areaWidth_ = 0, areaHeight_ = 0;
    int charHeight_ = 13;
};

} // namespace pagero
