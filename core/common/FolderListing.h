#pragma once
// The folder listing under the page list and the filter dialog: the ordinary, non-hidden files of one
// folder whose names match a ";"-separated wildcard mask, in the order people read names
// (NameCollation: the locale's collation, ignoring case).
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace pagero {

// A ";"-separated list of wildcards ("*" any run, "?" one character), matched against whole file
// names ignoring case. "*.*" matches every name, also names without a dot. Blank pieces are ignored;
// a mask with no piece at all matches every name.
class FileMask {
public:
    explicit FileMask(const QString &mask);
    bool Matches(const QString &fileName) const;
    bool MatchesFolded(const QString &caseFoldedName) const;   // the name already case-folded
private:
    QStringList patterns_;   // case-folded
    bool matchAll_ = false;
};

struct ListedFile {
    QString name;
    qint64 size = -1;        // -1 when the file vanished before it could be measured
    int32_t age = -1;        // packed DOS date-time, -1 when vanished
};

// The listing order of file names (NameCollation); names equal but for case are ordered by code so
// the order never depends on the folder's own order. Makes a collator per call: to sort many names,
// use NameCollation::SortKey.
bool FileNameLess(const QString &a, const QString &b);

// Reads the folder once. Hidden entries (name starting with "."), folders, devices, pipes, sockets
// and dangling links are left out; links to files count as files. With `measure`, each file's size
// and age come from one status read. False when the folder cannot be read.
bool ListFolder(const QString &folder, const QString &mask, bool measure, std::vector<ListedFile> &out);

} // namespace pagero
