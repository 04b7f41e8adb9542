// The program body: ends at once while a screen-saver run is showing, otherwise creates the main
// window and runs until it closes. SIGTERM and SIGINT close the main window as the user would.
// A second start while one runs opens a second, independent window.
#include "app/OrvTurvane.h"
#include "app/ScreenSaverDisplay.h"
#include "core/common/FileNames.h"
#include "core/common/ProductInfo.h"
#include "platform/system/ProgramFolder.h"
#include <QApplication>
#include <QCommandLineParser>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
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

enum class Outcome { Run, Done, Error };

// The screen-saver file's options for a screen-saver daemon: the window to draw into.
struct DisplayOptions {
    QString windowId;   // null when not given
    bool root = false;
    bool Given() const { return !windowId.isNull() || root; }
};

// Recognises --help and --version (printed on stdout, exit 0) and refuses any other option with a
// clear message on stderr (exit 2). Everything else is a path and goes to the main window as given:
// one path opens that folder, two paths open the Samples album. "--" ends the options, for paths
// that begin with "-".
Outcome ParseCommandLine(const QStringList &arguments, QStringList *paths, bool reportErrors,
                         DisplayOptions *display = nullptr)
{
    QCommandLineParser parser;
    // "-window-id" and "-root" are written with one dash, as screen-saver daemons pass them.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral("Shows the pictures and media files of a folder as a book."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("folder"),
                                 QStringLiteral("The folder to open, or a file in it (default: the last album or Samples)."),
                                 QStringLiteral("[folder]"));
    const QCommandLineOption windowId(QStringLiteral("window-id"),
                                      QStringLiteral("Screen saver: draw into the X window ID."), QStringLiteral("ID"));
    const QCommandLineOption root(QStringLiteral("root"),
                                  QStringLiteral("Screen saver: draw into $XSCREENSAVER_WINDOW, else the root window."));
    parser.addOption(windowId);
    parser.addOption(root);
    const bool parsed = parser.parse(arguments);
    if (parsed && (parser.isSet(help) || parser.isSet(QStringLiteral("help-all")))) {
        QString text = parser.helpText();
        text.replace(QStringLiteral("<executable_name>"), QStringLiteral("pagero"));
        std::fputs(text.toLocal8Bit().constData(), stdout);
        return Outcome::Done;
    }
    if (parsed && parser.isSet(version)) {
        std::printf("%s %s\n", pagero::kProductTitle, pagero::kProductVersion);
        return Outcome::Done;
    }
    if (!parsed) {
        if (reportErrors)
            std::fprintf(stderr, "pagero: %s\nTry 'pagero --help' for the options.\n",
                         parser.errorText().toLocal8Bit().constData());
        return Outcome::Error;
    }
    *paths = parser.positionalArguments();
    if (display) {
        if (parser.isSet(windowId)) display->windowId = parser.value(windowId);
        display->root = parser.isSet(root);
    }
    return Outcome::Run;
}

} // namespace

int main(int argc, char **argv)
{
    // --help and --version answer without a display. Qt's own options (-platform and the like) are
    // not known yet, so a refusal waits until the application object has taken them out.
    // Paths keep their bytes, also those that are not UTF-8 (a file named so opens as any other).
    QStringList raw;
    for (int i = 0; i < argc; ++i) raw << pagero::DecodeFileName(QByteArray(argv[i]));
    QStringList paths;
    if (ParseCommandLine(raw, &paths, false) == Outcome::Done) return 0;

    if (pagero::sys::ScreenSaverRunning()) return 0;

    QApplication app(argc, argv);
    QApplication::setApplicationName(pagero::kApplicationTitle);
    // No display name: the platform would append it to every window title, and the titles already
    // read as they should.
    QApplication::setDesktopFileName(QStringLiteral("org.pagero.Pagero"));

    // The application object has taken its own options out of argv.
    QStringList remaining;
    for (int i = 0; i < argc; ++i) remaining << pagero::DecodeFileName(QByteArray(argv[i]));
    DisplayOptions display;
    switch (ParseCommandLine(remaining, &paths, true, &display)) {
    case Outcome::Done: return 0;
    case Outcome::Error: return 2;
    case Outcome::Run: break;
    }
    pagero::TTurvane_Fm mainWindow(paths);

    QSocketNotifier *notifier = nullptr;
    if (InstallTerminationHandlers()) {
        notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &mainWindow, [&mainWindow] {
            char buffer[16];
            [[maybe_unused]] const ssize_t n = ::read(g_signalPipe[0], buffer, sizeof buffer);
            mainWindow.RequestTermination();
        });
    }
    // A screen-saver run started by a screen-saver daemon draws into the daemon's window.
    const pagero::DisplayTarget target = mainWindow.ScreenSaverMode
        ? pagero::ChooseDisplayTarget(display.windowId, display.root, qEnvironmentVariable("XSCREENSAVER_WINDOW"))
        : pagero::DisplayTarget{display.Given() ? pagero::DisplayTarget::Invalid : pagero::DisplayTarget::OwnWindow, 0};
    if (target.kind == pagero::DisplayTarget::OwnWindow) {
        mainWindow.ShowMaximisedOnScreen();
    } else {
        QString error = mainWindow.ScreenSaverMode ? QStringLiteral("the window id is not valid")
                                                   : QStringLiteral("-window-id and -root are for the screen-saver file");
        auto *embedded = new pagero::ScreenSaverDisplay(mainWindow);
        if (target.kind == pagero::DisplayTarget::Invalid || !embedded->Show(target, &error)) {
            std::fprintf(stderr, "pagero: %s\n", error.toLocal8Bit().constData());
            return 2;
        }
    }
    return app.exec();
}
