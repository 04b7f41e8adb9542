// The program body: ends at once while a screen-saver run is showing, otherwise creates the main
// window and runs until it closes. SIGTERM and SIGINT close the main window as the user would.
// A second start while one runs opens a second, independent window.
#include "app/OrvTurvane.h"
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

// Recognises --help and --version (printed on stdout, exit 0) and refuses any other option with a
// clear message on stderr (exit 2). Everything else is a path and goes to the main window as given:
// one path opens that folder, two paths open the Samples album. "--" ends the options, for paths
// that begin with "-".
Outcome ParseCommandLine(const QStringList &arguments, QStringList *paths, bool reportErrors)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Shows the pictures and media files of a folder as a book."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("folder"),
                                 QStringLiteral("The folder to open, or a file in it (default: the last album or Samples)."),
                                 QStringLiteral("[folder]"));
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
    switch (ParseCommandLine(remaining, &paths, true)) {
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
    mainWindow.ShowMaximisedOnScreen();
    return app.exec();
}
