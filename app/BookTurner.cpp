#include "app/BookTurner.h"
#include "core/book/FlipState.h"
#include <utility>

namespace pagero {

BookTurner::BookTurner(BookPainter &painter, BookScene &scene, FlipState &flip, const int &frameIntervalMs,
                       std::function<bool()> building, QObject *parent)
    : QObject(parent), scene_(scene), flip_(flip), frameIntervalMs_(frameIntervalMs), building_(std::move(building)),
      animator_(painter)
{
    connect(&animator_, &FlipAnimator::Finished, this, &BookTurner::Landed);
}

void BookTurner::FlipTo(int page, std::function<void()> landed)
{
    if (MustWait()) {
        AfterFlipAtSpeedNow([this, page, landed = std::move(landed)]() mutable { FlipTo(page, std::move(landed)); });
        return;
    }
    animator_.frameIntervalMs = frameIntervalMs_;
    landed_ = std::move(landed);
    // While the book is built it is not laid out: nothing turns, and `landed` runs at once.
    if (building_() || !animator_.FlipTo(scene_, flip_, page)) {
        if (auto done = std::exchange(landed_, {})) done();
    }
    Moved();
}

void BookTurner::Flip(int direction, int count)
{
    if (MustWait()) {
        AfterFlipAtSpeedNow([this, direction, count] { Flip(direction, count); });
        return;
    }
    if (building_()) return;
    animator_.frameIntervalMs = frameIntervalMs_;
    animator_.Flip(scene_, flip_, direction, count);
    Moved();
}

void BookTurner::AfterFlipAtSpeedNow(std::function<void()> flip)
{
    AfterFlip([this, speed = flip_.FlipSpeed, flip = std::move(flip)] {
        const int current = flip_.FlipSpeed;
        flip_.SetFlipSpeed(speed);
        flip();
        flip_.SetFlipSpeed(current);
    });
}

void BookTurner::Landed()
{
    Moved();
    if (auto done = std::exchange(landed_, {})) queue_.RunInSequence(done);
    if (holdAfterLanding && holdAfterLanding()) return;
    queue_.Landed();
}

} // namespace pagero
