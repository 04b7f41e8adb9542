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
    ConnectCommand(book_, a.btnLarger1, this, [this] { Choose(3); });
    ConnectCommand(book_, a.btnExtraLarge1, this, [this] { Choose(4); });
    ConnectCommand(book_, a.EmptyOverviewCache1, this, [this] {
        if (book_.AlbumOpen()) emptyCache_();
    });
}

void ThumbnailSizeController::ShowSetting()
{
    const int checked = CheckedThumbnailSizeItem(book_.Options().ThumbW);
    const auto items = Items();
    for (int i = 0; i < int(items.size()); ++i) items[size_t(i)]->setChecked(i == checked);
}

std::array<QAction *, kThumbnailSizeItems.size()> ThumbnailSizeController::Items() const
{
    const MainActions &a = menus_.actions;
    return {a.btnLargest1, a.btnMiddle1, a.btnSmallest1, a.btnLarger1, a.btnExtraLarge1};
}

void ThumbnailSizeController::Choose(int item)
{
    const ThumbnailSizeItem &size = kThumbnailSizeItems[size_t(item)];
    Settings &s = book_.Options();
    s.ThumbW = size.width;
    s.ThumbH = size.height;
    const auto items = Items();
    for (int i = 0; i < int(items.size()); ++i) items[size_t(i)]->setChecked(i == CheckedThumbnailSizeItem(size.width));
    if (book_.AlbumOpen() && ThumbnailSizeNeedsReopen(overview_.ThumbWidth(), item)) reopen_();
}

} // namespace pagero
