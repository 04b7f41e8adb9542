#pragma once
// Applies the command availability (core/commands/CommandAvailability.h) to the main window's
// actions: a menu's items when it opens, the page pop-up's when it pops up, the tool bar and the
// book menus after every command and every change of the spread. It reads the book through the
// BookContext and the rest of the program's state through a few questions (Facts).
#include "core/commands/CommandAvailability.h"
#include <QHash>
#include <QObject>
#include <QString>
#include <functional>

class QAction;
class QMenu;

namespace pagero {

class BookContext;
struct MainMenus;

class CommandAvailabilityApplier : public QObject {
public:
    struct Facts {
        std::function<bool(int page)> bookmarked;
        std::function<int()> bookmarkCount;
        std::function<bool()> albumWritable;
        std::function<bool()> mailSending;
        std::function<bool()> batchRunning;
        std::function<bool()> printJobRunning;
        std::function<bool()> windowFrameShown;
        std::function<bool()> clipboardHasPicture;   // empty: the application's clipboard is asked
        // The pop-up menu's target code, page and file when it opened.
        std::function<int()> popupTarget;
        std::function<int()> popupPage;
        std::function<QString()> popupFile;
    };

    // Connect after the feature controllers: the menus' own handlers run first, these rules last.
    CommandAvailabilityApplier(BookContext &book, const MainMenus &menus, Facts facts, QObject *parent = nullptr);

    CommandState State() const;
    // The tool bar and the book menus' own items.
    void RefreshToolBar();
    // Every governed command of `menu` and its submenus (a menu about to open).
    void ApplyTo(QMenu *menu);

private:
    using Flag = bool CommandFlags::*;
    PageFacts FactsOfPage(int page) const;
    void Apply(QAction *action, bool on) const;

    BookContext &book_;
    const MainMenus &menus_;
    Facts facts_;
    QHash<QAction *, Flag> commands_;   // the governed actions of the menus and the pop-up
    QHash<QAction *, Flag> buttons_;    // the governed tool-bar buttons
};

} // namespace pagero
