#include "app/WindowFrameController.h"
#include "app/BookContext.h"
#include "app/MainMenus.h"
#include "core/book/Settings.h"
#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QMainWindow>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QWindow>

namespace pagero {

WindowFrameController::WindowFrameController(BookContext &book, const MainMenus &menus, QMainWindow &window,
                                             std::function<void()> relayout)
    : book_(book), menus_(menus), window_(window), relayout_(std::move(relayout))
{
    const MainActions &act = menus.actions;
    ConnectCommand(book_, act.ToolBar1, this, [this] { ToggleToolBar(); });
    ConnectCommand(book_, act.WindowFrame2, this, [this] { ToggleFrame(); });
    ConnectCommand(book_, act.WindowFrame1, this, [this] { ToggleFrame(); });
}

bool WindowFrameController::Frameless() const
{
    return window_.windowFlags() & Qt::FramelessWindowHint;
}

void WindowFrameController::ToggleFrame()
{
    const Qt::WindowFlags flags = window_.windowFlags() ^ Qt::FramelessWindowHint;
    if (QWindow *native = window_.isVisible() ? window_.windowHandle() : nullptr) {
        // The frame changes on the window as it is. Setting the widget's flags would hide the window
        // and show a new one: the application forgets its active window and keyboard focus, and
        // the window system need not hand the keyboard back (no window manager, or one that
        // prevents focus stealing), so Escape and F2 would go nowhere.
        const QRect bounds = window_.geometry();
        window_.overrideWindowFlags(flags);
        native->setFlags(flags);
        window_.setGeometry(bounds);
    } else {
        window_.setWindowFlags(flags);
    }
    menus_.actions.WindowFrame2->setChecked(!Frameless());
    TakeKeyboard();
}

void WindowFrameController::TakeKeyboard()
{
    if (!window_.isVisible()) return;
    window_.activateWindow();
    if (QWidget *area = book_.BookArea()) area->setFocus(Qt::OtherFocusReason);
}

void WindowFrameController::ToggleToolBar()
{
    Settings &s = book_.Options();
    s.ToolBarVisible = !s.ToolBarVisible;
    menus_.actions.ToolBar1->setChecked(s.ToolBarVisible);
    menus_.toolBar->setVisible(s.ToolBarVisible);
    relayout_();
    book_.DrawBook();
}

QRect WindowFrameController::NormalBounds(const QRect &screen)
{
    const QSize size(screen.width() * 3 / 4, screen.height() * 3 / 4);
    return QRect(screen.center() - QPoint(size.width() / 2, size.height() / 2), size);
}

void WindowFrameController::ShowMaximisedOnScreen()
{
    const QScreen *target = window_.screen() ? window_.screen() : QGuiApplication::primaryScreen();
    if (target) window_.setGeometry(target->availableGeometry());
    window_.showMaximized();
}

void WindowFrameController::Unmaximised()
{
    // From the event loop: the window system sets the restored geometry after the state change.
    QTimer::singleShot(0, this, [this] {
        if (window_.windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)) return;
        const QScreen *target = window_.screen() ? window_.screen() : QGuiApplication::primaryScreen();
        if (!target) return;
        const QRect screen = target->availableGeometry();
        if (window_.width() >= screen.width() && window_.height() >= screen.height() * 9 / 10)
            window_.setGeometry(NormalBounds(screen));
    });
}

void InstallProgramIcon()
{
    if (!QApplication::windowIcon().isNull()) return;
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1x%1/org.pagero.Pagero.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);
}

} // namespace pagero
