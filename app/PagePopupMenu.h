#pragma once
// The page pop-up menu: what lies under the pointer when it opens (its target, page and file). The
// file and bookmark commands act on that target; the command availability enables them.
#include <QPoint>
#include <QString>
#include <functional>

namespace pagero {

class BookContext;
struct HitScene;
struct MainMenus;

class PagePopupMenu {
public:
    PagePopupMenu(BookContext &book, const MainMenus &menus, const HitScene &scene);

    // Opens the menu at a client point of the book (its screen position `globalPos`).
    void OpenAt(QPoint clientPos, QPoint globalPos);

    // The target when it last opened: the hot code and page, and the full path of the file they
    // designate (empty: none).
    int Target = 0, Page = 0;
    QString File;
    // Told of each opening with the target and whether the album takes commands (bookmarks).
    std::function<void(int target, int page, bool normal)> opened;

private:
    BookContext &book_;
    const MainMenus &menus_;
    const HitScene &scene_;
};

} // namespace pagero
