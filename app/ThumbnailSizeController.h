#pragma once
// The overview's thumbnail size (extra large, large 144, large, medium, small) and emptying its
// cache: both make the
// overview grid anew, so the album is opened again when it shows.
#include "pages/ThumbnailSizes.h"
#include <QObject>
#include <array>
#include <functional>

class QAction;

namespace pagero {

class BookContext;
class TOverView_Fm;
struct MainMenus;

class ThumbnailSizeController : public QObject {
public:
    // `reopen` opens the album again and lays the book out anew; `emptyCache` asks, empties the
    // cache in the background and then reopens the album.
    ThumbnailSizeController(BookContext &book, const MainMenus &menus, TOverView_Fm &overview,
                            std::function<void()> reopen, std::function<void()> emptyCache,
                            QObject *parent = nullptr);

    // Checks the size item that matches the settings' thumbnail width.
    void ShowSetting();
    // item: an index of kThumbnailSizeItems (0 large, 1 medium, 2 small, 3 large 144, 4 extra large).
    void Choose(int item);

private:
    // The menu's items in the order of kThumbnailSizeItems.
    std::array<QAction *, kThumbnailSizeItems.size()> Items() const;

    BookContext &book_;
    const MainMenus &menus_;
    TOverView_Fm &overview_;
    std::function<void()> reopen_;
    std::function<void()> emptyCache_;
};

} // namespace pagero
