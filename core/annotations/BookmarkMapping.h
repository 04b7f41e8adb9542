#pragma once
// After every rebuild of the book each bookmark is resolved again by its file name: a re-sort moves
// a file page's tab to the file's new page; a file page whose file was deleted loses its bookmark for
// good; any other bookmark whose file left the album is kept hidden (page -1) and comes back with it.
#include "core/annotations/BookMarkRec.h"

#include <QString>
#include <functional>

namespace pagero {

class BookLayout;
class FileNameIndex;

// `fileExists(name)` tells whether the album folder still holds a file of that name; it is asked only
// for file-page bookmarks whose file is not in the page list. Linear in the table and the page list. Two bookmarks on one page: the later one is hidden.
void MapBookmarksToPages(BookmarkTable &table, const BookLayout &layout, const FileNameIndex &pages,
                         const std::function<bool(const QString &name)> &fileExists);

// The usual existence test: the name part of `name` inside `albumFolder` is a file.
std::function<bool(const QString &)> FileExistsIn(const QString &albumFolder);

} // namespace pagero
