#pragma once
// Keeps the reader's place in the book: across rebuilds (a new page size, thumbnail size, order or
// filter turns to the same file or entry, not to the same page number), and per album across closing
// and reopening (the per-user store). Sees the window only through BookContext.
#include "core/book/BookPlace.h"
#include <optional>

namespace pagero {

class BookContext;

class PlaceController {
public:
    explicit PlaceController(BookContext &book) : book_(book) {}

    // The place the open spread shows.
    BookPlace Current() const;
    // The page that shows `place` in the book as it is laid out now.
    int PageOf(const BookPlace &place) const;
    // Stores the open album's place for its next opening.
    void RememberAlbum(const QString &folder) const;
    // The page a newly opened album turns to: the file named at start, else the first overview page
    // when "Auto Flip to Overview" is checked, else where the album was closed last; 0 (the book
    // stays closed) when there is none.
    int OpeningPage(const QString &folder, const QString &startFile) const;

    // A reopening of the open album (a new thumbnail size) shows this place at once instead.
    std::optional<BookPlace> reopenAt;

private:
    BookContext &book_;
};

} // namespace pagero
