#pragma once
// The screen-saver file: the running program copied under the screen saver's name into the system
// folder. A copy started from there finds itself in the system folder and runs as the screen saver.
// The shared libraries the program loads from its own folder go beside it, so that the copy starts.
#include <QString>

namespace pagero {

inline constexpr const char *kScreenSaverFileName = "Pagero Screen Saver.SCR";

struct ScreenSaverInstall {
    bool ok = false;
    QString file;    // the screen-saver file
    QString error;   // why it failed (empty on success)
};

// Copies `programFile` to <systemFolder>/"Pagero Screen Saver.SCR" (executable, replacing an older
// one) and every shared library of the program's folder into `systemFolder`, which is created when
// missing. Each file is written whole under a temporary name and renamed into place, the program
// last: a failed copy leaves the files there before untouched and never a partial screen saver.
// A screen saver that is running keeps its own files. Any thread.
ScreenSaverInstall InstallScreenSaverFile(const QString &programFile, const QString &systemFolder);

// The name the screen saver is chosen by: the file name up to its first ".".
QString ScreenSaverName(const QString &fileName = QString::fromLatin1(kScreenSaverFileName));
// The text shown once the screen saver is installed.
QString ScreenSaverEnabledText(const QString &name);

} // namespace pagero
