#pragma once
// Adding, removing and finding bookmarks in an album's table, the hooks of the rename and delete
// commands, and the pages the Bookmarks menu lists. The table stays sorted by page at insertion.
#include "core/annotations/BookMarkRec.h"

#include <vector>

namespace pagero {

class BookLayout;
class FileNameIndex;

// Inserts a bookmark for `page` before the first one that points past it, taking section and file
// index from the layout and the file name from the page list. False (table unchanged) when the
// table is full. The caller refreshes the table afterwards.
bool AddBookmark(BookmarkTable &table, int page, const BookLayout &layout, const FileNameIndex &pages);
// Removes the first bookmark of `page`; false when the page has none.
bool RemoveBookmark(BookmarkTable &table, int page);
// The lowest slot whose page is `page`; -1 when none.
int FindBookmarkOfPage(const BookmarkTable &table, int page);

// The first bookmark of the file named like the name part of oldPath (ignoring case) takes the name
// part of newPath. False when no bookmark has that file.
bool RenameBookmarkFile(BookmarkTable &table, const QString &oldPath, const QString &newPath);
// Removes the first bookmark of the file named like the name part of `path`; false when none.
bool DropBookmarkOfFile(BookmarkTable &table, const QString &path);

// The Bookmarks menu's items BK1..BK12: the bookmarked pages from 2 to lastPageNo - 1 in page
// order, at most twelve, each with the slot of its first bookmark.
struct BookmarkMenuItem { int page; int slot; };
std::vector<BookmarkMenuItem> BookmarkMenuItems(const BookmarkTable &table, int lastPageNo);
inline constexpr int kBookmarkMenuItems = 12;

} // namespace pagero
