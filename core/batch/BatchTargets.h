#pragma once
// Where the files of a batch copy or move go: the target folder + each file's name, or the first
// free "_1", "_2", ... name when that is taken on disk or by a file of the same batch, so two files
// of one batch never land on one name, however many workers copy them.
#include <QStringList>

namespace pagero {

QStringList PlanBatchTargets(const QStringList &sources, const QString &targetFolder);

} // namespace pagero
