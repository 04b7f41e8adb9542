#include "core/annotations/BookmarkMapping.h"

#include "core/annotations/FileNameIndex.h"
#include "core/book/BookLayout.h"
#include "core/common/MyLib.h"

#include <QFileInfo>
#include <QSet>

namespace pagero {

void MapBookmarksToPages(BookmarkTable &table, const BookLayout &layout, const FileNameIndex &pages,
                         const std::function<bool(const QString &)> &fileExists)
{
    std::erase_if(table, [&](const BookMarkRec &b) { return b.Section == Context && !fileExists(b.FileName); });
    QSet<int> shown;
    for (BookMarkRec &b : table) {
        const int k = pages.IndexOf(b.FileName);
        if (k >= 0) {
            b.FileIndex = k;
            b.Page = layout.SectionToPage(b.Section, k);
        } else {
            b.FileIndex = 0;
            b.Page = -1;
        }
        if (b.Page != -1 && !shown.contains(b.Page)) shown.insert(b.Page);
        else b.Page = -1;
    }
}

std::function<bool(const QString &)> FileExistsIn(const QString &albumFolder)
{
    return [albumFolder](const QString &name) {
        const QString path = JoinPath(albumFolder, name);
        return !path.isEmpty() && !FileNameOf(name).isEmpty() && QFileInfo(path).isFile();
    };
}

} // namespace pagero
