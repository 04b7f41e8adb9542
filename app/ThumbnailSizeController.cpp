#include "app/ThumbnailSizeController.h"
#include "app/BookContext.h"
#include "app/MainMenus.h"
#include "core/book/Settings.h"
#include "pages/OrvOverView_Ut.h"
#include "pages/ThumbnailSizes.h"
#include <QAction>

namespace pagero {

ThumbnailSizeController::ThumbnailSizeController(BookContext &book, const MainMenus &menus,
                                                 TOverView_Fm &overview, std::function<void()> reopen,
                                                 std::function<void()> emptyCache, QObject *parent)
    : QObject(parent), book_(book), menus_(menus), overview_(overview), reopen_(std::move(reopen)),
      emptyCache_(std::move(emptyCache))
{
    const MainActions &a = menus.actions;
    ConnectCommand(book_, a.btnLargest1, this, [this] { Choose(0); });
    ConnectCommand(book_, a.btnMiddle1, this, [this] { Choose(1); });
    ConnectCommand(book_, a.btnSmallest1, this, [this] { Choose(2); });
    ConnectCommand(book_, a.EmptyOverviewCache1, this, [this] {
        if (book_.AlbumOpen()) emptyCache_();
    });
}

void ThumbnailSizeController::ShowSetting()
{
    const MainActions &a = menus_.actions;
    const int width = book_.Options().ThumbW;
    a.btnLargest1->setChecked(width == 72);
    a.btnMiddle1->setChecked(width == 56);
    a.btnSmallest1->setChecked(width == 38);
}

void ThumbnailSizeController::Choose(int item)
{
    const ThumbnailSizeItem &size = kThumbnailSizeItems[size_t(item)];
    Settings &s = book_.Options();
    s.ThumbW = size.width;
    s.ThumbH = size.height;
    const MainActions &a = menus_.actions;
    QAction *items[] = {a.btnLargest1, a.btnMiddle1, a.btnSmallest1};
    for (int i = 0; i < 3; ++i) items[i]->setChecked(i == CheckedThumbnailSizeItem(size.width));
    if (book_.AlbumOpen() && ThumbnailSizeNeedsReopen(overview_.ThumbWidth(), item)) reopen_();
}

} // namespace pagero
