#pragma once
// One file's step of a batch operation, run on a worker thread by BatchRunner: turn, resize, copy,
// move or delete it. Each step touches only its own file and its own planned target.
#include "core/batch/BatchRunner.h"
#include "platform/imaging/Transform.h"

#include <QRgb>
#include <QStringList>

namespace pagero {

enum class BatchKind { Rotate, Resize, Copy, Move, Delete };

struct BatchJob {
    BatchKind kind = BatchKind::Rotate;
    QStringList files;
    QStringList targets;            // copy and move: one planned target per file
    int angle = 0;                  // rotate: degrees, positive to the right
    QRgb fill = qRgb(255, 255, 255);
    int widthBar = 10000, heightBar = 10000;   // resize: the size bars' positions
    imaging::SizeMode sizeMode = imaging::SizeMode::Resize;
};

BatchOutcome RunBatchStep(const BatchJob &job, int index);

// The caption of a batch of this kind in the progress window.
QString BatchCaption(BatchKind kind);

} // namespace pagero
