// Paths, folders and files of the common library: joining, creating and deleting folders, free
// names, safe deletion and renaming, read-only state.
#include "core/common/FileTransfer.h"
#include "core/common/Log.h"
#include "core/common/MyLib.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

namespace pagero {

namespace {

QString FileNamePart(const QString &name)
{
    const int slash = name.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? name : name.mid(slash + 1);
}

// Whether anything (file, folder, link, even a dangling one) occupies the path.
bool Occupied(const QString &path)
{
    const QFileInfo fi(path);
    return fi.exists() || fi.isSymLink();
}

} // namespace

QString JoinPath(const QString &folder, const QString &name)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) return QString();
    const QString file = FileNamePart(name);
    if (folder.endsWith(QLatin1Char('/'))) return folder + file;
    return folder + QLatin1Char('/') + file;
}

CreateFolderResult CreateFolder(const QString &path, int attempts, int waitMsAfterThird)
{
    if (path.isEmpty()) return CreateFolderResult::Failed;
    if (QFileInfo(path).isDir()) return CreateFolderResult::AlreadyExists;
    // A file in the way cannot turn into a folder by waiting.
    if (Occupied(path)) return CreateFolderResult::Failed;
    for (int attempt = 1; attempt <= attempts; ++attempt) {
        QDir().mkpath(path);
        if (QFileInfo(path).isDir()) return CreateFolderResult::Created;
        if (attempt >= 3 && attempt < attempts && waitMsAfterThird > 0) QThread::msleep(waitMsAfterThird);
    }
    return CreateFolderResult::Failed;
}

QString FolderExistsMessage(const QString &path)
{
    return path + QStringLiteral(" already exists.\r\nPlease select a new folder name");
}

bool DeleteFolderTree(const QString &path)
{
    const QFileInfo root(path);
    if (path.isEmpty()) return false;
    if (root.isSymLink()) return QFile::remove(path);   // never follow a link out of the tree
    if (!root.isDir()) return !Occupied(path);
    return DeleteTree(path).Ok();
}

bool DeleteFileSafe(const QString &path)
{
    if (path.isEmpty()) return false;
    const QFileInfo fi(path);
    if (!Occupied(path)) return true;
    if (fi.isDir() && !fi.isSymLink()) return false;
    if (!fi.isSymLink() && IsReadOnly(path)) SetReadOnly(path, false);
    QFile::remove(path);
    return !Occupied(path);
}

QString UniqueFolderName(const QString &base)
{
    if (!Occupied(base)) return base;
    for (qint64 n = 1;; ++n) {
        const QString candidate = base + QLatin1Char('_') + QString::number(n);
        if (!Occupied(candidate)) return candidate;
    }
}

QString UniqueFileName(const QString &path)
{
    const QString ext = FileExtension(path);
    const QString stem = path.left(path.size() - ext.size());
    for (qint64 n = 1;; ++n) {
        const QString candidate = stem + QLatin1Char('_') + QString::number(n) + ext;
        if (!Occupied(candidate)) return candidate;
    }
}

bool RenameFileSafe(const QString &oldPath, const QString &newPath)
{
    if (oldPath.isEmpty() || newPath.isEmpty()) return false;
    if (!Occupied(oldPath)) return Occupied(newPath);
    if (oldPath == newPath) return true;
    // Only a rename that happened counts: an unrelated file already at newPath is not success.
    return QFile::rename(oldPath, newPath) && Occupied(newPath);
}

qint64 FileSizeOf(const QString &path)
{
    const QFileInfo fi(path);
    return fi.isFile() ? fi.size() : 0;
}

QString FileSizeTextOf(const QString &path)
{
    return FileSizeText(FileSizeOf(path), true);
}

bool IsReadOnly(const QString &path)
{
    const QFileInfo fi(path);
    if (!fi.exists()) return false;
    return !(fi.permissions() & QFile::WriteOwner);
}

bool SetReadOnly(const QString &path, bool readOnly)
{
    if (!QFileInfo::exists(path)) return false;
    QFile::Permissions p = QFile::permissions(path);
    if (readOnly)
        p &= ~(QFile::WriteOwner | QFile::WriteUser | QFile::WriteGroup | QFile::WriteOther);
    else
        p |= QFile::WriteOwner | QFile::WriteUser;
    return QFile::setPermissions(path, p);
}

} // namespace pagero
