#pragma once
// The overview's thumbnail size (large, medium, small) and emptying its cache: both make the
// overview grid anew, so the album is opened again when it shows.
#include <QObject>
#include <functional>

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
    // item: 0 large, 1 medium, 2 small.
    void Choose(int item);

private:
    BookContext &book_;
    const MainMenus &menus_;
    TOverView_Fm &overview_;
    std::function<void()> reopen_;
    std::function<void()> emptyCache_;
};

} // namespace pagero
