// The questions asked before a file is overwritten or deleted, with the answers given by a callback so
// that the window layer decides how to ask.
#include "core/common/Log.h"
#include "core/common/MyLib.h"

#include <QFileInfo>

namespace pagero {

namespace {
const QLatin1String kLfCr("\n\r");
}

bool AskOverwrite(const QString &target, const ConfirmFn &confirm)
{
    const QFileInfo fi(target);
    if (!fi.exists() && !fi.isSymLink()) return true;
    if (!confirm(QStringLiteral("A file with the same name already exists. Overwrite it?") + kLfCr + target))
        return false;
    return !IsReadOnly(target) ||
           confirm(QStringLiteral("This is a ReadOnly File. Replace it anyway?") + kLfCr + target);
}

bool ConfirmOverwrite(const QString &target, const ConfirmFn &confirm)
{
    if (!QFileInfo(target).exists() && !QFileInfo(target).isSymLink()) return true;
    if (!AskOverwrite(target, confirm)) return false;
    // A file that stays is overwritten by the copy itself, which reports its own failure.
    if (!DeleteFileSafe(target)) qCWarning(lcCore) << "cannot delete before overwriting" << target;
    return true;
}

bool ConfirmImageDeletion(const QString &path, const ConfirmFn &confirm)
{
    const QString warning = path + kLfCr + kLfCr + QStringLiteral("WARNING!") + kLfCr + kLfCr +
                            QStringLiteral("Do you really want to delete this Image File") + kLfCr +
                            QStringLiteral("PERMANENTLY from the DISK?");
    if (!confirm(warning)) return false;
    if (IsReadOnly(path)) {
        const QString readOnly = path + kLfCr + kLfCr + QStringLiteral("WARNING!") + kLfCr + kLfCr +
                                 QStringLiteral("This is a ReadOnly File. Delete it anyway?");
        if (!confirm(readOnly)) return false;
    }
    return true;
}

bool DeleteImageFile(const QString &path, const ConfirmFn &confirm)
{
    if (!ConfirmImageDeletion(path, confirm)) return false;
    return DeleteFileSafe(path);
}

} // namespace pagero
