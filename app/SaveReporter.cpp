#include "app/SaveReporter.h"
#include "app/WindowLog.h"
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

} // namespace pagero
