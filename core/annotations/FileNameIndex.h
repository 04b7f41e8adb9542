#pragma once
// Looks page-list entries up by file name, ignoring case, in constant time: bookmarks and comments
// of a large album are resolved against its page list in one linear pass.
#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>

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
    int IndexOf(const QString &name) const { return first_.value(name.toCaseFolded(), -1); }
    // The name of entry i as given; empty outside 0 .. Count() - 1.
    QString NameAt(int i) const { return i >= 0 && i < names_.size() ? names_[i] : QString(); }

private:
    QStringList names_;
    QHash<QString, int> first_;
};

// The file-name part of a path ("/a/b.jpg" gives "b.jpg").
QString FileNameOf(const QString &path);

} // namespace pagero
