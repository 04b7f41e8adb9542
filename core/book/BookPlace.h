#pragma once
// Where the reader is in the book, independent of how the book is laid out: the section and the
// file or entry the open spread shows. Page counts of the navigation sections change with the page
// size, the thumbnail size, the order and the filter, so a rebuild turns to the same place rather
// than to the same page number.
#include "core/book/BookLayout.h"
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace pagero {

class PageList;

struct BookPlace {
    int kind = FrontCover;   // SectionKind
    // Covers: page offset from the cover (kClosedAtBack: the book closed at the back). Overview
    // and contents: the page-list entry listed first on the page. Files: the page-list entry.
    // Index: the first index line of the page.
    int entry = 0;
    QString file;            // the file of `entry` (overview, contents, files); empty otherwise
    static constexpr int kClosedAtBack = 1 << 20;
    bool operator==(const BookPlace &) const = default;
};

// The place of the spread whose left page is `leftPage`: its left page, or the right page when the
// left one does not exist (the closed book) or when only the right one shows a file.
BookPlace PlaceOfSpread(const BookLayout &layout, const PageList &pages, int leftPage);
// The page that shows `place` in `layout`: a file is found by name (the order or the filter may have
// moved it), else by its old entry; every result lies inside the book (0 .. LastPageNo).
int PageOfPlace(const BookLayout &layout, const PageList &pages, const BookPlace &place);

// Places stored as text ("kind entry file"), for the per-user store. Malformed or out-of-range
// text reads as no place.
QString PlaceToText(const BookPlace &place);
std::optional<BookPlace> PlaceFromText(const QString &text);

// The remembered places of recent albums, most recent first, at most kMaxAlbums of them, so the
// store never grows without end.
class PlaceRegister {
public:
    static constexpr int kMaxAlbums = 50;
    struct Entry { QString folder; BookPlace place; };
    PlaceRegister() = default;
    explicit PlaceRegister(std::vector<Entry> entries);   // as stored; cut to kMaxAlbums
    std::optional<BookPlace> Find(const QString &folder) const;
    void Remember(const QString &folder, const BookPlace &place);   // moves the album to the front
    const std::vector<Entry> &Entries() const { return entries_; }
private:
    std::vector<Entry> entries_;
};

} // namespace pagero
