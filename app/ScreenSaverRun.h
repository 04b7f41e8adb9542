#pragma once
// A start from the system folder is a screen-saver run: it holds the per-user lock for its whole
// life (a second start sees it and ends), opens the screen saver's album, flips it automatically
// with the pointer hidden, and ends at the first click, key or a few pointer moves.
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QWidget;

namespace pagero {

namespace sys { class ScreenSaverLock; }
class AlbumSession;
class AutoFlipController;
class BookContext;
struct MainMenus;

class ScreenSaverRun : public QObject {
public:
    // `closeWindow` ends the run's window; `opened` runs once its album is open, before the show.
    ScreenSaverRun(BookContext &book, const MainMenus &menus, AlbumSession &session, AutoFlipController &autoFlip,
                   QWidget &window, std::function<void()> closeWindow, std::function<void()> opened);
    ~ScreenSaverRun() override;

    // Takes the lock at once, so that any later start sees it.
    void Lock();
    // Opens the album and starts the show (the window closes when another run holds the lock).
    void Start(const QString &programFolder);
    // The pointer moved during the show: true when the run is to end.
    bool PointerMoved() { return ++moves_ > 6; }
    // The window closes: the timer stops and the run clears its mark (only the run holding the lock).
    void Closing();
    void Release();
    // Starts the background music when the screen saver's choices turn it on.
    std::function<void()> startMusic;

private:
    void BeginShow();

    BookContext &book_;
    const MainMenus &menus_;
    AlbumSession &session_;
    AutoFlipController &autoFlip_;
    QWidget &window_;
    std::function<void()> closeWindow_, opened_;
    std::unique_ptr<sys::ScreenSaverLock> lock_;
    int moves_ = 0;
};

} // namespace pagero
