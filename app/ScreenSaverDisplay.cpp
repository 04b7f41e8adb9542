#include "app/ScreenSaverDisplay.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QToolBar>
#include <QWindow>
#include <xcb/xcb.h>

#include <cstdlib>
#include <optional>

namespace pagero {
namespace {

xcb_connection_t *Connection()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// The window's size, or nothing when the window does not exist (any more).
std::optional<QSize> WindowSize(xcb_connection_t *c, quint32 window)
{
    xcb_generic_error_t *error = nullptr;
    xcb_get_geometry_reply_t *reply = xcb_get_geometry_reply(c, xcb_get_geometry(c, window), &error);
    std::free(error);
    if (!reply) return std::nullopt;
    const QSize size(reply->width, reply->height);
    std::free(reply);
    return size;
}

} // namespace

ScreenSaverDisplay::ScreenSaverDisplay(QMainWindow &window) : QObject(&window), window_(window)
{
    // Often enough that the run ends with the daemon's window, seldom enough to cost nothing.
    watch_.setInterval(250);
    connect(&watch_, &QTimer::timeout, this, [this] { Check(); });
}

ScreenSaverDisplay::~ScreenSaverDisplay() = default;

bool ScreenSaverDisplay::Show(const DisplayTarget &target, QString *error)
{
    xcb_connection_t *c = Connection();
    if (!c) {
        *error = QStringLiteral("drawing into another window needs an X11 display");
        return false;
    }
    if (target.kind == DisplayTarget::Root) {
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        target_ = screen ? screen->root : 0;
    } else {
        target_ = quint32(target.window);
    }
    const std::optional<QSize> size = target_ ? WindowSize(c, target_) : std::nullopt;
    if (!size) {
        *error = QStringLiteral("there is no window 0x%1").arg(target_, 0, 16);
        return false;
    }
    size_ = *size;
    foreign_ = QWindow::fromWinId(WId(target_));
    // Owned by the application: the main window's native window is its child until the main
    // window has gone, which happens before the application object goes.
    static_cast<QObject *>(foreign_)->setParent(qApp);
    window_.menuBar()->hide();
    for (QToolBar *bar : window_.findChildren<QToolBar *>()) bar->hide();
    window_.setWindowFlags(Qt::FramelessWindowHint | Qt::WindowTransparentForInput);
    window_.winId();   // the native window exists before it is moved into the target
    window_.windowHandle()->setParent(foreign_);
    window_.setGeometry(0, 0, size_.width(), size_.height());
    window_.show();
    // Inside a window of another program the main window is not a top-level window, so its close
    // does not end the application by itself.
    window_.installEventFilter(this);
    watch_.start();
    return true;
}

bool ScreenSaverDisplay::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &window_ && event->type() == QEvent::Hide) {
        watch_.stop();
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    }
    return false;
}

void ScreenSaverDisplay::Check()
{
    xcb_connection_t *c = Connection();
    const std::optional<QSize> size = c ? WindowSize(c, target_) : std::nullopt;
    if (!size) {
        watch_.stop();
        window_.close();   // the run ends as on any other close: its mark cleared, nothing saved
        return;
    }
    if (*size != size_) {
        size_ = *size;
        window_.setGeometry(0, 0, size_.width(), size_.height());
    }
}

} // namespace pagero
