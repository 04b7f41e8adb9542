#include "app/OptionsController.h"
#include "app/BookContext.h"
#include "app/MainMenus.h"
#include "core/book/Settings.h"
#include <QAction>
#include <QMenu>

namespace pagero {

OptionsController::OptionsController(BookContext &book, const MainMenus &menus) : book_(book), menus_(menus)
{
    const MainActions &act = menus.actions;
    for (auto [item, field] : {std::pair{act.JCAutoShow, &Settings::JCAutoShow}, {act.AutoReopen, &Settings::AutoReopen},
                               {act.FlippingSound1, &Settings::FlippingSound}})
        ConnectCommand(book_, item, this, [this, item, field] { book_.Options().*field = item->isChecked(); });
}

void OptionsController::ShowSettings()
{
    const Settings &s = book_.Options();
    const MainActions &act = menus_.actions;
    act.AutoFlipToOverview->setChecked(s.AutoFlipToOverview);
    act.JCAutoShow->setChecked(s.JCAutoShow);
    act.FlippingSound1->setChecked(s.FlippingSound);
    act.AutoReopen->setChecked(s.AutoReopen);
    act.WithPageNo1->setChecked(s.WithPageNo);
    act.Fancy1->setChecked(!s.WithPageNo);
    act.BackgroundMusic1->setChecked(s.BackgroundMusic);
}

} // namespace pagero
