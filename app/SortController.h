#pragma once
// The page order of the book (View > Sort Pages): by name, type, size, date or the folder's own
// order; changing it rebuilds the book.
#include <QObject>

class QAction;

namespace pagero {

class BookContext;
struct MainMenus;

class SortController : public QObject {
public:
    SortController(BookContext &book, const MainMenus &menus, QObject *parent = nullptr);

    // 1 name, 2 type, 3 size, 4 date; 0 the default order (also when nothing is checked).
    int CurrentOrder() const;
    void ShowOrder(int order);

private:
    void Choose(QAction *item, int order);

    BookContext &book_;
    const MainMenus &menus_;
};

} // namespace pagero
