#pragma once
// The screen-saver run inside a window of another program: a screen-saver daemon (its window, or
// the root window) or its preview. The main window becomes a child of that window, without menus
// or tool bar and transparent for input (the daemon takes the input and ends the run), follows its
// size, and closes as soon as that window is gone. X11 only.
#include "core/motion/DisplayTarget.h"

#include <QObject>
#include <QSize>
#include <QTimer>

class QMainWindow;
class QWindow;

namespace pagero {

class ScreenSaverDisplay : public QObject {
public:
    explicit ScreenSaverDisplay(QMainWindow &window);
    ~ScreenSaverDisplay() override;

    // Shows the window inside the target; false (with the reason) when the target cannot be used:
    // not an X11 display, or no such window.
    bool Show(const DisplayTarget &target, QString *error);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Check();

    QMainWindow &window_;
    quint32 target_ = 0;
    QWindow *foreign_ = nullptr;
    QSize size_;
    QTimer watch_;
};

} // namespace pagero
