// The flip loop: Advance, compose the background frame and the leaves, show; the frames follow the
// display's pace instead of running as fast as they can be drawn, which would end a flip before
// anyone could see it. A single-shot timer waits for each frame's due time, measured from the start
// of the flip, so one slow frame does not push the later ones back.
#include "app/FlipAnimator.h"
#include "platform/media/Sound.h"

#include <cstring>

namespace pagero {

namespace {

void CopyFrame(const QImage &from, QImage &to)
{
    if (to.size() == from.size() && to.format() == from.format() && to.bytesPerLine() == from.bytesPerLine())
        std::memcpy(to.bits(), from.constBits(), size_t(from.sizeInBytes()));
    else
        to = from.copy();
}

} // namespace

FlipAnimator::FlipAnimator(BookPainter &painter, QObject *parent) : QObject(parent), painter_(painter)
{
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &FlipAnimator::NextFrame);
}

bool FlipAnimator::FlipTo(const BookScene &scene, FlipState &flip, int page)
{
    const FlipState::FlipRequest request = flip.RequestFor(page);
    if (request.direction == 0)
        return false;
    return Flip(scene, flip, request.direction, request.count);
}

bool FlipAnimator::Flip(const BookScene &scene, FlipState &flip, int direction, int count)
{
    if (Running() || !flip.Consistent())
        return false;
    if (!flip.Enqueue(direction, count))
        return false;
    BookScene current = scene;
    current.flip = &flip;
    for (const FlipLeaf &leaf : flip.leaves) {
        painter_.GetPage(current, leaf.FrontPage);
        painter_.GetPage(current, leaf.BackPage);
    }
    Animate(current, flip, direction);
    return true;
}

const QImage &FlipAnimator::ComposeFrame(const BookScene &scene)
{
    QImage &frame = painter_.ViewImage1;
    const QImage &background = painter_.ViewImage2;
    // Only what the last frame's leaves touched is restored, as long as neither image has been
    // changed by anyone else since (their cache keys tell).
    if (background.cacheKey() == backgroundKey_ && frame.cacheKey() == frameKey_ && frame.size() == background.size()) {
        const QRect r = touched_ & frame.rect();
        const size_t bytes = size_t(r.width()) * sizeof(QRgb);
        for (int y = r.top(); y <= r.bottom(); ++y)
            std::memcpy(frame.scanLine(y) + r.left() * sizeof(QRgb), background.constScanLine(y) + r.left() * sizeof(QRgb),
                        bytes);
        changed_ = r;
    } else {
        CopyFrame(background, frame);
        changed_ = frame.rect();
    }
    touched_ = painter_.DrawLeaves(scene, frame);
    changed_ |= touched_;
    backgroundKey_ = background.cacheKey();
    frameKey_ = frame.cacheKey();
    return frame;
}

void FlipAnimator::Animate(const BookScene &scene, FlipState &flip, int direction)
{
    scene_ = scene;
    scene_.flip = &flip;

    painter_.RenderSpread(scene_, painter_.ViewImage2);
    if (painter_.ViewImage2.isNull()) {
        // Nothing laid out yet (no frame to draw on): the leaves land at once.
        while (flip.LeafCount() > 0)
            flip.Advance(direction, std::max(1, flip.FlipStep));
        framesOfLastFlip_ = 0;
        emit Finished();
        return;
    }
    for (const FlipLeaf &leaf : flip.leaves) {
        painter_.GetPage(scene_, leaf.FrontPage);
        painter_.GetPage(scene_, leaf.BackPage);
    }
    // Everything a frame draws is ready before the first one: the frames only compose.
    painter_.PrepareLeafFaces(scene_);
    if (removeHighlight)
        removeHighlight();

    flip_ = &flip;
    direction_ = direction;
    sound_ = scene_.settings && scene_.settings->FlippingSound && !scene_.settings->BackgroundMusic;
    step_ = std::max(1, flip.FlipStep);   // a leaf always moves, so the flip ends
    frames_ = 0;
    landing_ = false;
    clock_.start();
    NextFrame();   // the first frame is due now
}

void FlipAnimator::NextFrame()
{
    if (!flip_)
        return;
    if (landing_) {
        Land();
        return;
    }
    flip_->Advance(direction_, step_);
    if (flip_->LeafCount() == 0) {
        // The final spread keeps the pace of the frames: it follows when the last frame's time is up.
        landing_ = true;
        if (frames_ == 0)
            Land();
        else
            ScheduleNextFrame();
        return;
    }
    ComposeFrame(scene_);
    if (present)
        present(painter_.ViewImage1);
    ++frames_;
    if (frames_ == 1 && sound_)
        media::PlaySoundAsync(scene_.exeDir + QStringLiteral("/SysSound/flipSnd.wav"));
    ScheduleNextFrame();
}

void FlipAnimator::ScheduleNextFrame()
{
    const qint64 dueMs = qint64(frames_) * frameIntervalMs;
    const qint64 remainingMs = (dueMs * 1'000'000 - clock_.nsecsElapsed() + 999'999) / 1'000'000;
    timer_.start(int(std::max<qint64>(0, remainingMs)));
}

void FlipAnimator::Finish()
{
    if (!flip_)
        return;
    timer_.stop();
    while (flip_->LeafCount() > 0)
        flip_->Advance(direction_, step_);
    Land();
}

void FlipAnimator::Land()
{
    framesOfLastFlip_ = frames_;
    flip_ = nullptr;
    painter_.RenderSpread(scene_, painter_.ViewImage1);
    changed_ = painter_.ViewImage1.rect();
    if (present)
        present(painter_.ViewImage1);
    // The next turn either way finds its pictures decoded.
    painter_.Pictures().PrefetchAround(scene_);
    emit Finished();
}

} // namespace pagero
