#include "platform/system/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>

#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace pagero::sys {
namespace {

QString CleanFolder(const QString &path)
{
    QString p = QDir::cleanPath(QDir(path).absolutePath());
    while (p.size() > 1 && p.endsWith(QLatin1Char('/'))) p.chop(1);
    return p;
}

QString EnvFolder(const char *name)
{
    const QString value = qEnvironmentVariable(name);
    return value.isEmpty() ? QString() : CleanFolder(value);
}

QString ExecutableFolder()
{
    if (QCoreApplication::instance()) return CleanFolder(QCoreApplication::applicationDirPath());
    // Before the application object exists: ask the kernel where the executable is.
    return CleanFolder(QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath());
}

// Copies the files of from (not its subfolders, not programs or libraries) that to lacks.
void CopyMissingFiles(const QString &from, const QString &to)
{
    const QFileInfoList files = QDir(from).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo &file : files) {
        static const QRegularExpression library(QStringLiteral("\\.so(\\.|$)"));
        if (file.isExecutable() || library.match(file.fileName()).hasMatch()) continue;
        const QString target = to + QLatin1Char('/') + file.fileName();
        if (QFileInfo::exists(target)) continue;
        // Copied under a temporary name first: a copy cut short is never taken for the default.
        const QString partial = target + QStringLiteral(".part");
        QFile::remove(partial);
        if (QFile::copy(file.filePath(), partial)) {
            QFile::setPermissions(partial, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
            if (!QFile::rename(partial, target)) QFile::remove(partial);
        }
    }
}

} // namespace

QString ProgramFolder()
{
    const QString env = EnvFolder("PAGERO_EXEDIR");
    return env.isEmpty() ? ExecutableFolder() : env;
}

QString ChooseDataFolder(const QString &programFolder, bool programFolderWritable, const QString &userFolder)
{
    if (programFolderWritable) return programFolder;
    const QString folder = CleanFolder(userFolder);
    QDir dir;
    for (const char *sub : {"Overview", "Bookmark", "SysSound"}) {
        if (!dir.mkpath(folder + QLatin1Char('/') + QLatin1String(sub))) return programFolder;
    }
    CopyMissingFiles(programFolder, folder);
    CopyMissingFiles(programFolder + QStringLiteral("/SysSound"), folder + QStringLiteral("/SysSound"));
    return folder;
}

QString DataFolder()
{
    const QString program = ProgramFolder();
    if (!EnvFolder("PAGERO_EXEDIR").isEmpty()) return program;
    // access() rather than the permission bits: it also knows read-only mounts and the root user.
    const bool writable = ::access(QFile::encodeName(program).constData(), W_OK) == 0;
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty() || !QDir::isAbsolutePath(dataHome)) dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    return ChooseDataFolder(program, writable, dataHome + QStringLiteral("/pagero"));
}

QString SystemFolder()
{
    const QString env = EnvFolder("PAGERO_SYSTEMDIR");
    if (!env.isEmpty()) return env;
    return CleanFolder(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                       QStringLiteral("/Pagero/system"));
}

QString RegistryFilePath()
{
    QString folder = EnvFolder("PAGERO_CONFIGDIR");
    if (folder.isEmpty()) folder = CleanFolder(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    return folder + QStringLiteral("/Pagero 3.0.ini");
}

QVariant RegistryRead(const QString &section, const QString &name, const QVariant &def)
{
    QSettings settings(RegistryFilePath(), QSettings::IniFormat);
    return settings.value(section + QLatin1Char('/') + name, def);
}

void RegistryWrite(const QString &section, const QString &name, const QVariant &value)
{
    QSettings settings(RegistryFilePath(), QSettings::IniFormat);
    settings.setValue(section + QLatin1Char('/') + name, value);
    settings.sync();
}

QString ScreenSaverLockPath()
{
    QString folder = EnvFolder("PAGERO_RUNTIMEDIR");
    if (folder.isEmpty()) folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QDir::tempPath() + QStringLiteral("/pagero-") + QString::number(getuid());
    QDir().mkpath(folder);
    return CleanFolder(folder) + QStringLiteral("/Pagero 3.0 screen saver.lock");
}

bool ScreenSaverRunning()
{
    // Read the holder's id instead of trying the lock, so that asking never gets in the way of a
    // screen saver that is starting at the same moment.
    QLockFile probe(ScreenSaverLockPath());
    qint64 pid = 0;
    QString host, app;
    if (!probe.getLockInfo(&pid, &host, &app) || pid <= 0) return false;
    return kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

ScreenSaverLock::ScreenSaverLock() : lock_(std::make_unique<QLockFile>(ScreenSaverLockPath()))
{
    // A run may last for days: only a holder that has ended makes the lock stale.
    lock_->setStaleLockTime(std::chrono::hours(24 * 365));
    lock_->tryLock(0);
}

ScreenSaverLock::~ScreenSaverLock() = default;   // QLockFile unlocks when destroyed

bool ScreenSaverLock::held() const { return lock_->isLocked(); }

std::unique_ptr<ScreenSaverLock> AcquireScreenSaverLock() { return std::make_unique<ScreenSaverLock>(); }

} // namespace pagero::sys
