#include "core/batch/BatchTargets.h"

#include "core/common/MyLib.h"

#include <QFileInfo>
#include <QSet>

namespace pagero {

QStringList PlanBatchTargets(const QStringList &sources, const QString &targetFolder)
{
    QStringList targets;
    QSet<QString> planned;   // upper-cased: a name differing only in case is taken as well
    const auto taken = [&planned](const QString &path) {
        return planned.contains(path.toUpper()) || QFileInfo::exists(path);
    };
    for (const QString &source : sources) {
        QString target = targetFolder + '/' + QFileInfo(source).fileName();
        if (taken(target)) {
            const QString ext = FileExtension(target);
            const QString stem = target.left(target.size() - ext.size());
            for (qint64 n = 1;; ++n) {
                target = stem + '_' + QString::number(n) + ext;
                if (!taken(target)) break;
            }
        }
        planned.insert(target.toUpper());
        targets << target;
    }
    return targets;
}

} // namespace pagero
