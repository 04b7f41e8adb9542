#include "core/annotations/FileNameIndex.h"

#include "core/book/PageList.h"

namespace pagero {

QString FileNameOf(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

FileNameIndex::FileNameIndex(int count, const std::function<QString(int)> &nameAt)
{
    names_.reserve(std::max(0, count));
    first_.reserve(std::max(0, count));
    for (int i = 0; i < count; ++i) {
        names_.append(nameAt(i));
        const QString key = names_.back().toCaseFolded();
        if (!first_.contains(key)) first_.insert(key, i);
    }
}

FileNameIndex FileNameIndex::Of(const PageList &pages)
{
    // Only the entry paths are used, so the index does not care how the list keeps its entries.
    return FileNameIndex(pages.Count(), [&pages](int i) { return FileNameOf(pages.PagePath(i)); });
}

} // namespace pagero
