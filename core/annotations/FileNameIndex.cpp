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
    for (int i = 0; i < count; ++i) names_.append(nameAt(i));
    first_.reserve(names_.size());
    for (int i = 0; i < count; ++i) first_.try_emplace(QStringView(std::as_const(names_)[i]), i);
}

FileNameIndex FileNameIndex::Of(const PageList &pages)
{
    // Only the entry names are used: the one place to follow a change in how the list keeps them.
    return FileNameIndex(pages.Count(), [&pages](int i) { return pages.names[i]; });
}

} // namespace pagero
