#pragma once
// Work that arrives while a flip runs (clicks, keys, commands, redraws, further flips) waits here and
// runs in order on the event-loop turn after the leaves land, so nothing acts on a half-turned
// spread and nothing is lost. Work that a running piece of work or a flip's follow-up asks for goes
// ahead of what was already waiting, as it would have run at once without the flip.
#include <QObject>
#include <deque>
#include <functional>

namespace pagero {

class FlipQueue : public QObject {
public:
    // `flipping` tells whether leaves are in flight.
    explicit FlipQueue(std::function<bool()> flipping, QObject *parent = nullptr);

    // True while a flip runs or earlier work waits (outside that work itself).
    bool MustWait() const;
    // No flip runs and nothing waits.
    bool Idle() const;
    // Runs `work` now, or queues it when it must wait.
    void Run(std::function<void()> work);
    // Runs a flip's follow-up: what it asks for goes ahead of the waiting work.
    void RunInSequence(const std::function<void()> &work);
    // The flip has landed: the waiting work runs on the next event-loop turn.
    void Landed();

private:
    void Replay();

    std::function<bool()> flipping_;
    std::deque<std::function<void()>> waiting_;
    bool inSequence_ = false;
    size_t insertAt_ = 0;
    bool replayQueued_ = false;
};

} // namespace pagero
