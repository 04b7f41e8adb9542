// The program body: ends at once while a screen-saver run is showing, otherwise creates the main
// window and runs until it closes. SIGTERM and SIGINT close the main window as the user would.
#include "app/OrvTurvane.h"
#include "core/common/ProductInfo.h"
#include "platform/system/ProgramFolder.h"
#include <QApplication>
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};

void OnTerminateSignal(int)
{
    const char byte = 1;
    // Only async-signal-safe work here: the GUI thread reads the pipe and closes the window.
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

bool InstallTerminationHandlers()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0) return false;
    struct sigaction action = {};
    action.sa_handler = OnTerminateSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGTERM, &action, nullptr) == 0 && ::sigaction(SIGINT, &action, nullptr) == 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (pagero::sys::ScreenSaverRunning()) return 0;

    QApplication app(argc, argv);
    QApplication::setApplicationName(pagero::kApplicationTitle);
    QApplication::setApplicationDisplayName(pagero::kApplicationTitle);

    QStringList args = QApplication::arguments();
    args.removeFirst();
    pagero::TTurvane_Fm mainWindow(args);

    QSocketNotifier *notifier = nullptr;
    if (InstallTerminationHandlers()) {
        notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &mainWindow, [&mainWindow] {
            char buffer[16];
            [[maybe_unused]] const ssize_t n = ::read(g_signalPipe[0], buffer, sizeof buffer);
            mainWindow.RequestTermination();
        });
    }
    mainWindow.ShowMaximisedOnScreen();
    return app.exec();
}
