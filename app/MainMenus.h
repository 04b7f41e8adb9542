#pragma once
// The main window's menu bar, page pop-up menu and tool bar. Every command exists with its caption
// and component name (the action's objectName); commands start disabled and the window enables the
// ones it handles when it connects them.
#include <QHash>
#include <QList>
#include <QString>

class QAction;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

namespace pagero {

struct MainMenus {
    QMenuBar *bar = nullptr;
    QMenu *popup = nullptr;         // PopupMenu1
    QToolBar *toolBar = nullptr;    // SpeedPanel
    QHash<QString, QAction *> actions;
    QHash<QString, QMenu *> menus;
    QList<QAction *> mru;           // MRU1 .. MRU12
    QAction *mruSeparator = nullptr;

    QAction *Act(const QString &name) const;   // never null: a missing name is a programming error
    QMenu *Menu(const QString &name) const;
};

// Builds everything; the menu bar and pop-up are owned by `owner`, the tool bar by `toolBarParent`.
MainMenus BuildMainMenus(QWidget *owner, QWidget *toolBarParent);

} // namespace pagero
