#include "app/SaveReporter.h"
#include "app/WindowLog.h"
#include "core/pages/ThumbnailCache.h"
#include "platform/Prompter.h"

#include <QFileInfo>

namespace pagero {

Q_LOGGING_CATEGORY(lcPagero, "pagero")

QString SaveReporter::ReasonFor(const QString &path)
{
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    if (!folder.isDir()) return QStringLiteral("its folder does not exist");
    if (!folder.isWritable()) return QStringLiteral("its folder is write-protected");
    if (file.isDir()) return QStringLiteral("a folder of that name is in the way");
    return QStringLiteral("the disk may be full or the file may be in use");
}

bool SaveReporter::Check(bool saved, const QString &path)
{
    if (saved) return true;
    const QString reason = ReasonFor(path);
    qCWarning(lcPagero) << "could not save" << path << "-" << reason;
    if (told_.contains(path)) return false;
    told_.insert(path);
    ThePrompter().Warn("The file\r\n" + path + "\r\ncould not be saved: " + reason + ".");
    return false;
}

namespace {
// Why nothing could be written in the cache folder `root`.
QString CacheReason(const QString &root)
{
    const QFileInfo folder(root);
    if (folder.exists() && !folder.isDir()) return QStringLiteral("a file of that name is in the way");
    if (!folder.exists()) return SaveReporter::ReasonFor(root);
    return SaveReporter::ReasonFor(root + QLatin1Char('/') + QLatin1String(kFolderIndexName));
}
} // namespace

void SaveReporter::CheckThumbnailCache(bool unavailable, bool writeFailed, const QString &cacheRoot)
{
    if (unavailable) {
        const QString reason = CacheReason(cacheRoot);
        qCWarning(lcPagero) << "thumbnail cache unavailable" << cacheRoot << "-" << reason;
        if (told_.contains(cacheRoot)) return;
        told_.insert(cacheRoot);
        ThePrompter().Warn("The thumbnail cache\r\n" + cacheRoot + "\r\ncannot be written: " + reason
                           + ".\r\nThe book is shown without thumbnails.");
        return;
    }
    if (!writeFailed) return;
    const QString reason = CacheReason(cacheRoot);
    qCWarning(lcPagero) << "thumbnails not saved in" << cacheRoot << "-" << reason;
    ThePrompter().Warn("Some thumbnails could not be saved in the thumbnail cache\r\n" + cacheRoot + "\r\n("
                       + reason + "). They are made again the next time the album is opened.");
}

} // namespace pagero
