#pragma once
// Looks page-list entries up by file name, ignoring case, in constant time: bookmarks and comments
// of a large album are resolved against its page list in one linear pass.
#include "core/annotations/FoldedKey.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <unordered_map>

namespace pagero {

class PageList;

class FileNameIndex {
public:
    FileNameIndex() = default;
    // `nameAt(i)` is the file name (no folder) of entry i, 0 <= i < count.
    FileNameIndex(int count, const std::function<QString(int)> &nameAt);
    static FileNameIndex Of(const PageList &pages);

    int Count() const { return int(names_.size()); }
    // The first entry whose name equals `name` ignoring case; -1 when none.
    int IndexOf(QStringView name) const
    {
        const auto it = first_.find(name);
        return it == first_.end() ? -1 : it->second;
    }
    // The name of entry i as given; empty outside 0 .. Count() - 1.
    QString NameAt(int i) const { return i >= 0 && i < names_.size() ? names_[i] : QString(); }

private:
    QStringList names_;
    // Views into names_, which never changes after construction.
    std::unordered_map<QStringView, int, FoldedHash<FoldCase>, FoldedEqual<FoldCase>> first_;
};

// The file-name part of a path ("/a/b.jpg" gives "b.jpg").
QString FileNameOf(const QString &path);

} // namespace pagero
