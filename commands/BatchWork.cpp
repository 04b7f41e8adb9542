#include "commands/BatchWork.h"

#include "common/OrvComAnimate.h"
#include "core/batch/SizeFactors.h"
#include "core/common/FileTransfer.h"
#include "core/common/MyLib.h"

#include <QFileInfo>

namespace pagero {
namespace {

BatchOutcome FromTransform(const imaging::TransformResult &r)
{
    using imaging::TransformStatus;
    switch (r.status) {
    case TransformStatus::Done: return {BatchOutcome::Done, {}};
    case TransformStatus::Unchanged: return {BatchOutcome::Unchanged, {}};
    case TransformStatus::Missing: return {BatchOutcome::Skipped, r.error};
    default: return {BatchOutcome::Failed, r.error};
    }
}

BatchOutcome FromTransfer(const TransferResult &r)
{
    if (r.Ok()) return {BatchOutcome::Done, {}};
    if (r.status == TransferStatus::SourceMissing) return {BatchOutcome::Skipped, r.text};
    return {BatchOutcome::Failed, r.text};
}

} // namespace

BatchOutcome RunBatchStep(const BatchJob &job, int index)
{
    const QString &path = job.files.at(index);
    switch (job.kind) {
    case BatchKind::Rotate:
        return FromTransform(imaging::RotateFile(path, job.angle, job.fill, true));
    case BatchKind::Resize: {
        const auto sizeFor = [&job](QSize s) {
            return QSize(ScaledSide(job.widthBar, s.width()), ScaledSide(job.heightBar, s.height()));
        };
        return FromTransform(imaging::ResizeFile(path, sizeFor, job.sizeMode));
    }
    case BatchKind::Copy:
        return FromTransfer(CopyFileTo(path, job.targets.at(index), {ExistingTarget::Keep, true}));
    case BatchKind::Move:
        return FromTransfer(MoveFileTo(path, job.targets.at(index), {ExistingTarget::Keep, true}));
    case BatchKind::Delete:
        if (!QFileInfo::exists(path)) return {BatchOutcome::Skipped, QStringLiteral("The file does not exist")};
        return DeleteFileSafe(path) ? BatchOutcome{BatchOutcome::Done, {}}
                                    : BatchOutcome{BatchOutcome::Failed, QStringLiteral("The file could not be deleted")};
    }
    return {};
}

QString BatchCaption(BatchKind kind)
{
    switch (kind) {
    case BatchKind::Rotate: return QStringLiteral("Batch Rotate Image File(s)");
    case BatchKind::Resize: return QStringLiteral("Batch Image file Resze");
    case BatchKind::Copy: return AnimationCaption(4);
    case BatchKind::Move: return QStringLiteral("Move Files...");
    case BatchKind::Delete: return AnimationCaption(6);
    }
    return {};
}

} // namespace pagero
