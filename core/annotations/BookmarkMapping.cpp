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
    // A file of the page list was on disk when the list was just built; only the others are asked.
    std::erase_if(table, [&](const BookMarkRec &b) {
        return b.Section == Context && pages.IndexOf(b.FileName) < 0 && !fileExists(b.FileName);
    });
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
    const QString folder = JoinPath(albumFolder, QString());   // "" when the folder is gone
    return [folder](const QString &name) {
        const QString file = FileNameOf(name);
        return !folder.isEmpty() && !file.isEmpty() && QFileInfo(folder + file).isFile();
    };
}

} // namespace pagero
