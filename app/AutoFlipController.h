#pragma once
// Auto flipping: the tick timer turns one spread per tick in the auto-flip direction (0 by the
// pointer's side of the spine at each tick, 1 forward, 2 backward) and acts at the book's end by the
// end action (0 stop, 1 repeat, 2 reverse). While it runs the mode is AutoFlipping, the main menus
// and the tool bar rest, and a click or key stops it.
// It also owns the commands of auto flipping and the slide show (Tools menu, pop-up, tool bar) and
// their two option dialogs.
#include <QObject>
#include <QTimer>
#include <functional>

namespace pagero {

class BookContext;
class TSliderShow_Fm;
struct MainMenus;

class AutoFlipController : public QObject {
public:
    AutoFlipController(BookContext &book, const MainMenus &menus, QObject *parent = nullptr);

    // Takes the interval, direction and end action from the settings; false when it cannot start
    // (no album, another mode, a build).
    bool Start();
    void Stop();
    void Tick();
    // Starts the tick timer with values that may come unchecked from a settings file.
    void StartTimer(int intervalMs, int direction, int endAction);

    // Interval limits of the tick timer: a settings file may hold any number.
    static constexpr int MinIntervalMs = 10, MaxIntervalMs = 60000;
    QTimer Timer1;
    int AutoFlipDirection = 1;
    int AutoFlipEndAction = 2;

    // Stops auto flipping when it runs, then shows the album's files in the slide-show window.
    void StartSlideShow();
    void SetAutoFlippingOptions();
    void SetSlideShowOptions();
    TSliderShow_Fm *SlideShow() const { return slideShow_; }
    // Runs after auto flipping has started (the window forgets a pending right click).
    std::function<void()> started;

private:
    void EnableCommands(bool on);
    void ConnectCommands();
    void StartOrStop();
    TSliderShow_Fm *slideShow_ = nullptr;

    BookContext &book_;
    const MainMenus &menus_;
};

} // namespace pagero
