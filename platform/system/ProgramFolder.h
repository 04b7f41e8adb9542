#pragma once
// Where the program's data lives, the per-user "registry" (an INI file), and the screen-saver lock.
#include <QString>
#include <QVariant>

namespace pagero::sys {

// The program folder: $PAGERO_EXEDIR when set, else the folder of the executable. No trailing "/".
QString ProgramFolder();
// The folder that stands for the system folder (screen-saver file): $PAGERO_SYSTEMDIR, else
// <user data folder>/system.
QString SystemFolder();

// The per-user settings key "Pagero 3.0" with its sections ("GEnv", "ScnSVr"), kept as an INI file in
// the user's config folder ($PAGERO_CONFIGDIR overrides the folder, for tests).
QVariant RegistryRead(const QString &section, const QString &name, const QVariant &def);
void RegistryWrite(const QString &section, const QString &name, const QVariant &value);

// True while another process of this user holds the screen-saver lock (a screen-saver run).
bool ScreenSaverRunning();

} // namespace pagero::sys
