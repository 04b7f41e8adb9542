#pragma once
// The files picked for batch work: full paths, without duplicates, compared ignoring case.
// The book painter reads `paths` directly; everything else goes through the methods.
#include <QStringList>
#include <Qt>

namespace pagero {

class PageList;

class SelectionList {
public:
    bool Contains(const QString &path) const { return indexOf(path) >= 0; }
    int Count() const { return int(paths.size()); }
    bool IsEmpty() const { return paths.isEmpty(); }
    void Add(const QString &path);          // no-op when already selected
    void Remove(const QString &path);
    void Toggle(const QString &path);
    void Clear() { paths.clear(); }
    void DropMissing();                     // forgets files that no longer exist
    // A click on page-list entry `file` with Ctrl toggles it and makes it the anchor; with Shift it
    // selects the run from the anchor to it (with nothing selected or no valid anchor it adds the
    // file and makes it the anchor). True when the click was a selecting one.
    bool Click(const PageList &pages, int file, Qt::KeyboardModifiers modifiers, int &anchor);

    QStringList paths;

private:
    int indexOf(const QString &path) const;
};

} // namespace pagero
