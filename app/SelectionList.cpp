#include "app/SelectionList.h"
#include <QFileInfo>

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

} // namespace pagero
