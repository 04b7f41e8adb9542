#include "app/SortController.h"
#include "app/BookContext.h"
#include "app/MainMenus.h"
#include "core/book/PageList.h"
#include <QAction>

namespace pagero {

SortController::SortController(BookContext &book, const MainMenus &menus, QObject *parent)
    : QObject(parent), book_(book), menus_(menus)
{
    const MainActions &a = menus.actions;
    for (auto [item, order] : {std::pair{a.byName1, int(SortByName)}, {a.byType1, int(SortByType)},
                               {a.bySize1, int(SortBySize)}, {a.byDate1, int(SortByDate)},
                               {a.byDefault1, int(SortDefault)}})
        ConnectCommand(book_, item, this, [this, item, order] { Choose(item, order); });
}

int SortController::CurrentOrder() const
{
    const MainActions &a = menus_.actions;
    const QAction *items[] = {a.byName1, a.byType1, a.bySize1, a.byDate1};
    for (int i = 0; i < 4; ++i)
        if (items[i]->isChecked()) return i + 1;
    return 0;
}

void SortController::ShowOrder(int order)
{
    const MainActions &a = menus_.actions;
    QAction *items[] = {a.byDefault1, a.byName1, a.byType1, a.bySize1, a.byDate1};
    for (int i = 0; i < 5; ++i) items[i]->setChecked(i == order);
}

void SortController::Choose(QAction *item, int order)
{
    if (!item->isChecked()) {   // it was checked already: triggering only unchecked it
        item->setChecked(true);
        return;
    }
    ShowOrder(order);
    book_.Rebuild([this](bool built) { if (built) book_.DrawBook(); });
}

} // namespace pagero
