#pragma once
// Turning the book's leaves: the flip animation, the work that waits while leaves are in flight and
// each flip's own follow-up. A flip asked for meanwhile waits in order and keeps the flip speed of the
// moment it was asked; while the book is being built nothing turns and the follow-up runs at once.
#include "app/FlipAnimator.h"
#include "app/FlipQueue.h"
#include <functional>

namespace pagero {

class FlipState;

class BookTurner : public QObject {
public:
    // `frameIntervalMs` is read at each flip's start (tests set 0); `building` tells whether a book
    // build runs.
    BookTurner(BookPainter &painter, BookScene &scene, FlipState &flip, const int &frameIntervalMs,
               std::function<bool()> building, QObject *parent = nullptr);

    // Turns to the spread of `page`; `landed` runs once the leaves are down (at once when nothing
    // turns), ahead of the work that waits.
    void FlipTo(int page, std::function<void()> landed = {});
    void Flip(int direction, int count);
    // Runs `work` now, or after the running flip and the work already waiting.
    void AfterFlip(std::function<void()> work) { queue_.Run(std::move(work)); }
    bool MustWait() const { return queue_.MustWait(); }
    bool Idle() const { return queue_.Idle(); }
    bool Running() const { return animator_.Running(); }
    FlipAnimator &Animator() { return animator_; }

    // Told when a flip starts or lands (the tool bar follows the spread).
    std::function<void()> moved;
    // Asked when the leaves have landed and the follow-up ran: true keeps the waiting work from
    // running (the window is closing).
    std::function<bool()> holdAfterLanding;

private:
    // Queues a flip after the running one, to run at the flip speed set now.
    void AfterFlipAtSpeedNow(std::function<void()> flip);
    void Landed();
    void Moved() { if (moved) moved(); }

    BookScene &scene_;
    FlipState &flip_;
    const int &frameIntervalMs_;
    std::function<bool()> building_;
    FlipAnimator animator_;
    FlipQueue queue_{[this] { return animator_.Running(); }};
    std::function<void()> landed_;   // the running flip's own follow-up
};

} // namespace pagero
