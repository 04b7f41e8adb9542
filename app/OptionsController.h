#pragma once
// The Options menu's check marks that are only remembered (jump cursor, reopening the last album,
// flipping sound) and the check marks of every option as the settings files left them.
#include <QObject>

namespace pagero {

class BookContext;
struct MainMenus;

class OptionsController : public QObject {
public:
    OptionsController(BookContext &book, const MainMenus &menus);

    // Every option's check mark from the settings.
    void ShowSettings();

private:
    BookContext &book_;
    const MainMenus &menus_;
};

} // namespace pagero
