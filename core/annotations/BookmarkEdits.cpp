#include "core/annotations/BookmarkEdits.h"

#include "core/annotations/FileNameIndex.h"
#include "core/book/BookLayout.h"

#include <algorithm>
#include <map>

namespace pagero {

namespace {

int FindSlotOfFile(const BookmarkTable &table, const QString &path)
{
    const QString name = FileNameOf(path);
    for (size_t i = 0; i < table.size(); ++i)
        if (table[i].FileName.compare(name, Qt::CaseInsensitive) == 0) return int(i);
    return -1;
}

} // namespace

bool AddBookmark(BookmarkTable &table, int page, const BookLayout &layout, const FileNameIndex &pages)
{
    if (table.size() >= size_t(kMaxBookmarks)) return false;
    const auto at = std::find_if(table.begin(), table.end(), [page](const BookMarkRec &b) { return b.Page > page; });
    BookMarkRec b;
    const BookLayout::Position pos = layout.PageToSection(page);
    b.Section = pos.kind;
    b.FileIndex = pos.position;
    b.FileName = pages.NameAt(pos.position);
    b.Page = page;
    table.insert(at, b);
    return true;
}

bool RemoveBookmark(BookmarkTable &table, int page)
{
    const int slot = FindBookmarkOfPage(table, page);
    if (slot < 0) return false;
    table.erase(table.begin() + slot);
    return true;
}

int FindBookmarkOfPage(const BookmarkTable &table, int page)
{
    for (size_t i = 0; i < table.size(); ++i)
        if (table[i].Page == page) return int(i);
    return -1;
}

bool RenameBookmarkFile(BookmarkTable &table, const QString &oldPath, const QString &newPath)
{
    const int slot = FindSlotOfFile(table, oldPath);
    if (slot < 0) return false;
    table[slot].FileName = FileNameOf(newPath);
    return true;
}

bool DropBookmarkOfFile(BookmarkTable &table, const QString &path)
{
    const int slot = FindSlotOfFile(table, path);
    if (slot < 0) return false;
    table.erase(table.begin() + slot);
    return true;
}

std::vector<BookmarkMenuItem> BookmarkMenuItems(const BookmarkTable &table, int lastPageNo)
{
    // Pages in order, each with its lowest slot: one pass over the table, no scan per page.
    std::map<int, int> firstSlot;
    for (size_t i = 0; i < table.size(); ++i) {
        const int p = table[i].Page;
        if (p >= 2 && p <= lastPageNo - 1) firstSlot.try_emplace(p, int(i));
    }
    std::vector<BookmarkMenuItem> items;
    for (const auto &[page, slot] : firstSlot) {
        if (items.size() == size_t(kBookmarkMenuItems)) break;
        items.push_back({page, slot});
    }
    return items;
}

} // namespace pagero
