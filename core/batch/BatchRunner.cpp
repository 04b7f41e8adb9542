#include "core/batch/BatchRunner.h"

#include <QThread>
#include <QtConcurrent/QtConcurrentMap>
#include <numeric>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace pagero {
namespace {

// A large picture needs blocks of tens of megabytes per file (decoded rows, DCT coefficients). By
// default each is mapped afresh and the kernel zero-fills every page again for the next file; while
// a batch runs they stay in the workers' heaps and are reused, and the memory is handed back when
// the batch ends.
void KeepLargeBlocks(bool keep)
{
#if defined(__GLIBC__)
    constexpr int kDefaultThreshold = 128 * 1024;
    mallopt(M_MMAP_THRESHOLD, keep ? 256 << 20 : kDefaultThreshold);
    mallopt(M_TRIM_THRESHOLD, keep ? 1 << 30 : kDefaultThreshold);
    if (!keep) malloc_trim(0);
#else
    (void)keep;
#endif
}

} // namespace

BatchRunner::BatchRunner(QObject *parent) : QObject(parent)
{
    connect(&watcher_, &QFutureWatcher<void>::finished, this, [this] {
        running_ = false;
        KeepLargeBlocks(false);
        emit BatchFinished(cancelled_.load());
    });
}

BatchRunner::~BatchRunner()
{
    cancelled_.store(true);
    WaitForFinished();
}

void BatchRunner::Start(int count, Work work, int workers)
{
    if (running_) return;
    running_ = true;
    cancelled_.store(false);
    finished_ = 0;
    outcomes_.assign(size_t(std::max(0, count)), BatchOutcome{});
    indices_.resize(outcomes_.size());
    std::iota(indices_.begin(), indices_.end(), 0);
    KeepLargeBlocks(true);
    pool_.setMaxThreadCount(workers > 0 ? workers : std::max(1, QThread::idealThreadCount()));
    // Each file writes only its own slot; the slot is read on this thread after the queued report.
    watcher_.setFuture(QtConcurrent::map(&pool_, indices_, [this, work = std::move(work)](int index) {
        if (cancelled_.load()) return;
        BatchOutcome outcome = work(index);
        QMetaObject::invokeMethod(this, [this, index, outcome = std::move(outcome)] {
            outcomes_[size_t(index)] = outcome;
            ++finished_;
            emit ItemFinished(index, finished_, Total());
        }, Qt::QueuedConnection);
    }));
}

void BatchRunner::WaitForFinished()
{
    watcher_.waitForFinished();
}

} // namespace pagero
