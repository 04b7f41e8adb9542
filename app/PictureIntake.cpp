#include "app/PictureIntake.h"
#include "app/BookContext.h"
#include "app/MainMenus.h"
#include "core/book/BookLayout.h"
#include "core/book/PageList.h"
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QToolBar>

namespace pagero {

void RestMainCommands(BookContext &book, const MainMenus &menus, bool resting)
{
    const MainMenuSet &m = menus.menus;
    for (QMenu *menu : {m.File1, m.Edit1, m.View1, m.FlipTo1, m.BookMark1, m.Tools1, m.Options1})
        menu->menuAction()->setEnabled(!resting);
    menus.toolBar->setEnabled(!resting);
    menus.actions.AutoFlipping2->setEnabled(!resting);
    if (!resting) book.RefreshToolBar();
}

bool InAlbumFolder(const QString &path, const QString &folder)
{
    if (path.isEmpty() || folder.isEmpty()) return false;
    const QString a = QFileInfo(QFileInfo(path).absolutePath()).canonicalFilePath();
    const QString b = QFileInfo(folder).canonicalFilePath();
    return !a.isEmpty() && a == b;
}

int FilePageOf(const BookContext &book, const QString &path)
{
    const int index = book.Pages().IndexOfName(QFileInfo(path).fileName());
    return index < 0 ? -1 : book.Sections().FirstFilePage + index;
}

} // namespace pagero
