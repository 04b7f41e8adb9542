#pragma once
// The main window's frame and tool bar: the frame toggle (menu, pop-up menu, F2, and Escape while
// the frame is off), the tool bar toggle, the program icon, and a maximised start that un-maximises
// to a sensible size. After a frame change the window takes the keyboard back on the book, so that
// Escape and F2 keep reaching it.
#include <QObject>
#include <QRect>
#include <functional>

class QMainWindow;
class QWidget;

namespace pagero {

class BookContext;
struct MainMenus;

class WindowFrameController : public QObject {
public:
    // `relayout` lays the book out anew after the tool bar came or went.
    WindowFrameController(BookContext &book, const MainMenus &menus, QMainWindow &window,
                          std::function<void()> relayout);

    bool Frameless() const;
    void ToggleFrame();
    void ToggleToolBar();
    // Shows the window maximised on its screen. The geometry is set to the screen's available area
    // first, so that the window fills it even where nothing manages windows (a bare X server).
    void ShowMaximisedOnScreen();
    // The window left the maximised state: one that still covers its whole screen gets the normal
    // size instead.
    void Unmaximised();
    // The size a window that is not maximised gets on `screen`: three quarters of it, centred.
    static QRect NormalBounds(const QRect &screen);
    // Gives the keyboard back to the book area after a frame change.
    void TakeKeyboard();

private:
    BookContext &book_;
    const MainMenus &menus_;
    QMainWindow &window_;
    std::function<void()> relayout_;
};

// The program's icon (the desktop icon in every size), for every window of the program.
void InstallProgramIcon();

} // namespace pagero
