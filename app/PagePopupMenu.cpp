#include "app/PagePopupMenu.h"
#include "app/BookContext.h"
#include "app/HitTester.h"
#include "app/MainMenus.h"
#include "core/book/PageList.h"
#include <QMenu>

namespace pagero {

PagePopupMenu::PagePopupMenu(BookContext &book, const MainMenus &menus, const HitScene &scene)
    : book_(book), menus_(menus), scene_(scene)
{
}

void PagePopupMenu::OpenAt(QPoint clientPos, QPoint globalPos)
{
    const bool normal = book_.Mode() == PaintMode::Normal && book_.AlbumOpen();
    Target = Page = 0;
    File.clear();
    if (normal) {
        const HotState hot = HitTester::HitTest(scene_, clientPos.x(), clientPos.y());
        Target = hot.HotCode;
        Page = hot.HotPage;
        // Pages and entries designate files; bookmark tabs and stack edges do not.
        const bool designates = IsLeftPage(Target) || IsRightPage(Target) || IsEntryCode(Target);
        const int file = designates ? HitTester::FileOfHotCode(scene_, hot) : -1;
        if (file >= 0 && file < book_.Pages().Count()) File = book_.Pages().PagePath(file);
    }
    if (opened) opened(Target, Page, normal);
    // Its items are enabled by the command availability as it opens.
    menus_.popup->popup(globalPos);
}

} // namespace pagero
