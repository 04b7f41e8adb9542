#include "app/FlipQueue.h"

namespace pagero {

FlipQueue::FlipQueue(std::function<bool()> flipping, QObject *parent)
    : QObject(parent), flipping_(std::move(flipping))
{
}

bool FlipQueue::MustWait() const
{
    return flipping_() || (!inSequence_ && !waiting_.empty());
}

bool FlipQueue::Idle() const
{
    return !flipping_() && waiting_.empty() && !replayQueued_;
}

void FlipQueue::Run(std::function<void()> work)
{
    if (!MustWait()) {
        work();
        return;
    }
    if (inSequence_) waiting_.insert(waiting_.begin() + std::ptrdiff_t(insertAt_++), std::move(work));
    else waiting_.push_back(std::move(work));
}

void FlipQueue::RunInSequence(const std::function<void()> &work)
{
    const bool outer = inSequence_;
    const size_t outerAt = insertAt_;
    inSequence_ = true;
    insertAt_ = 0;
    work();
    inSequence_ = outer;
    insertAt_ = outerAt;
}

void FlipQueue::Landed()
{
    // Never inside the code that landed the flip: on the next turn of the event loop.
    if (waiting_.empty() || replayQueued_) return;
    replayQueued_ = true;
    QMetaObject::invokeMethod(this, &FlipQueue::Replay, Qt::QueuedConnection);
}

void FlipQueue::Replay()
{
    replayQueued_ = false;
    while (!flipping_() && !waiting_.empty()) {
        std::function<void()> work = std::move(waiting_.front());
        waiting_.pop_front();
        RunInSequence(work);
    }
}

} // namespace pagero
