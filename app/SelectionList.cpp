#include "app/SelectionList.h"
#include "core/book/PageList.h"
#include <QFileInfo>
#include <algorithm>

namespace pagero {

int SelectionList::indexOf(const QString &path) const
{
    for (int i = 0; i < paths.size(); ++i)
        if (paths[i].compare(path, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

void SelectionList::Add(const QString &path)
{
    if (!Contains(path)) paths.append(path);
}

void SelectionList::Remove(const QString &path)
{
    const int i = indexOf(path);
    if (i >= 0) paths.removeAt(i);
}

void SelectionList::Toggle(const QString &path)
{
    const int i = indexOf(path);
    if (i >= 0) paths.removeAt(i);
    else paths.append(path);
}

void SelectionList::DropMissing()
{
    for (int i = int(paths.size()) - 1; i >= 0; --i)
        if (!QFileInfo(paths[i]).isFile()) paths.removeAt(i);
}

bool SelectionList::Click(const PageList &pages, int file, Qt::KeyboardModifiers modifiers, int &anchor)
{
    if (file < 0 || file >= pages.Count()) return false;
    if (modifiers & Qt::ControlModifier) {
        Toggle(pages.PagePath(file));
        anchor = file;
        return true;
    }
    if (!(modifiers & Qt::ShiftModifier)) return false;
    if (IsEmpty() || anchor < 0 || anchor >= pages.Count()) {
        Add(pages.PagePath(file));
        anchor = file;
    } else {
        Clear();
        for (int i = std::min(anchor, file); i <= std::max(anchor, file); ++i) Add(pages.PagePath(i));
    }
    return true;
}

} // namespace pagero
