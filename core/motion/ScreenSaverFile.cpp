#include "core/motion/ScreenSaverFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

namespace pagero {
namespace {

// Copies one file atomically with the given permissions; "" on success, else the reason.
QString CopyWhole(const QString &from, const QString &to, QFileDevice::Permissions permissions)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly)) return source.errorString();
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly)) return target.errorString();
    QByteArray chunk;
    while (!source.atEnd()) {
        chunk = source.read(1 << 20);
        if (chunk.isEmpty()) {
            if (source.error() != QFileDevice::NoError) return source.errorString();
            break;
        }
        if (target.write(chunk) != chunk.size()) return target.errorString();
    }
    if (!target.setPermissions(permissions)) return target.errorString();   // the temporary file's
    if (!target.commit()) return target.errorString();   // flushed, synced, renamed, or cancelled
    return QString();
}

} // namespace

ScreenSaverInstall InstallScreenSaverFile(const QString &programFile, const QString &systemFolder)
{
    ScreenSaverInstall result;
    result.file = QDir(systemFolder).filePath(QString::fromLatin1(kScreenSaverFileName));
    const QFileInfo program(programFile);
    if (!program.isFile()) {
        result.error = QStringLiteral("The program file %1 was not found.").arg(programFile);
        return result;
    }
    if (!QDir().mkpath(systemFolder)) {
        result.error = QStringLiteral("The folder %1 could not be made.").arg(systemFolder);
        return result;
    }
    static const QRegularExpression library(QStringLiteral("\\.so(\\.[0-9.]+)?$"));
    const QFileInfoList files = program.absoluteDir().entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo &file : files) {
        if (!library.match(file.fileName()).hasMatch()) continue;
        const QString error = CopyWhole(file.filePath(), QDir(systemFolder).filePath(file.fileName()),
                                        file.permissions());
        if (!error.isEmpty()) {
            result.error = file.fileName() + QStringLiteral(": ") + error;
            return result;
        }
    }
    const QFileDevice::Permissions executable = program.permissions() | QFileDevice::ExeOwner | QFileDevice::ReadOwner;
    result.error = CopyWhole(program.filePath(), result.file, executable);
    result.ok = result.error.isEmpty();
    return result;
}

QString ScreenSaverName(const QString &fileName)
{
    const qsizetype dot = fileName.indexOf(QLatin1Char('.'));
    return dot < 0 ? fileName : fileName.left(dot);
}

QString ScreenSaverEnabledText(const QString &name)
{
    return QLatin1Char('"') + name + QStringLiteral("\"  enabled now.\n\r\n\rYou can select ") + name +
           QStringLiteral(" by setting Display in Control Panel.");
}

} // namespace pagero
