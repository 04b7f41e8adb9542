#include "commands/SlideDecoder.h"

#include "core/common/MyLib.h"
#include "platform/imaging/Imaging.h"

#include <QPromise>
#include <QThread>
#include <memory>

namespace pagero {

QImage DecodeSlide(const QString &path, QSize box)
{
    if (box.width() < 1 || box.height() < 1) return QImage();
    const imaging::LoadResult r = imaging::Load(path, box);
    if (!r.ok()) return QImage();
    const QSize fitted = r.image.size().scaled(box, Qt::KeepAspectRatio);
    if (fitted == r.image.size() || fitted.isEmpty()) return r.image;
    return r.image.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

SlideDecoder::SlideDecoder()
{
    // Every core decodes, at low priority: the window only draws finished pictures and keeps
    // its turn, and the desktop's other programs come first.
    pool_.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
    pool_.setThreadPriority(QThread::LowPriority);
}

SlideDecoder::~SlideDecoder()
{
    pool_.clear();
    pool_.waitForDone();
}

QList<QFuture<QImage>> SlideDecoder::Screen(const QList<SlideFile> &files, int first, int count, QSize box)
{
    for (const Job &job : jobs_)
        if (job.first == first && job.count == count && job.box == box) return job.slides;
    Job job{first, count, box, {}};
    for (int i = first; i < first + count && i < files.size(); ++i) {
        auto promise = std::make_shared<QPromise<QImage>>();
        job.slides << promise->future();
        const SlideFile file = files[i];
        if (file.kind == KindWave || file.kind == KindMidi) {
            promise->start();
            promise->addResult(QImage());
            promise->finish();
            continue;
        }
        pool_.start([promise, file, box] {
            promise->start();
            promise->addResult(DecodeSlide(file.path, box));
            promise->finish();
        });
    }
    jobs_.append(job);
    if (jobs_.size() > 1 + kScreensAhead) jobs_.removeFirst();
    return job.slides;
}

} // namespace pagero
