#pragma once
// Where the program's data lives, the per-user "registry" (an INI file), and the screen-saver lock.
#include <QString>
#include <QVariant>
#include <memory>

class QLockFile;

namespace pagero::sys {

// The program folder: $PAGERO_EXEDIR when set, else the folder of the executable. No trailing "/".
QString ProgramFolder();
// The folder the program writes to and reads its own files from (settings files, "Overview",
// "Bookmark", "SysSound", chosen backgrounds). It is the program folder itself when that can be
// written or when $PAGERO_EXEDIR names it; otherwise (an installed, read-only program folder) the
// per-user folder $XDG_DATA_HOME/pagero (~/.local/share/pagero), laid out like the program folder.
QString DataFolder();
// The decision behind DataFolder(): a writable program folder is used as it is; otherwise
// userFolder is created with "Overview", "Bookmark" and "SysSound", and every default the program
// folder holds (its top-level data files and the SysSound files) that userFolder lacks is copied
// in. Files already there are never overwritten. Returns the program folder if userFolder cannot
// be made.
QString ChooseDataFolder(const QString &programFolder, bool programFolderWritable, const QString &userFolder);
// The folder that stands for the system folder (screen-saver file): $PAGERO_SYSTEMDIR, else
// <user data folder>/Pagero/system (~/.local/share/Pagero/system). Not created here.
QString SystemFolder();

// The per-user settings key "Pagero 3.0" with its sections ("GEnv", "ScnSVr"), kept as the INI file
// "Pagero 3.0.ini" in the user's config folder ($PAGERO_CONFIGDIR overrides the folder, for tests).
// Sections are INI groups; values are stored as QSettings writes them (booleans "true"/"false").
QString RegistryFilePath();
QVariant RegistryRead(const QString &section, const QString &name, const QVariant &def);
void RegistryWrite(const QString &section, const QString &name, const QVariant &value);

// True while a process of this user holds the screen-saver lock (a screen-saver run), this process
// included. A lock left behind by a process that ended does not count.
bool ScreenSaverRunning();

// The screen-saver lock, held for the lifetime of the object. The lock file lives in the user's
// runtime folder ($XDG_RUNTIME_DIR; $PAGERO_RUNTIMEDIR overrides it, for tests).
class ScreenSaverLock {
public:
    ScreenSaverLock();
    ~ScreenSaverLock();
    ScreenSaverLock(const ScreenSaverLock &) = delete;
    ScreenSaverLock &operator=(const ScreenSaverLock &) = delete;
    bool held() const;   // false when another run holds it already
private:
    std::unique_ptr<QLockFile> lock_;
};
// Takes the lock for a screen-saver run; check held() on the result.
std::unique_ptr<ScreenSaverLock> AcquireScreenSaverLock();
QString ScreenSaverLockPath();

} // namespace pagero::sys
