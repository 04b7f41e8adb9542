// The flip loop: Advance, compose the background frame and the leaves, show; the frames follow the
// display's pace instead of running as fast as they can be drawn, which would end a flip before
// anyone could see it.
#include "app/FlipAnimator.h"
#include "platform/media/Sound.h"

#include <QElapsedTimer>
#include <QThread>
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

void WaitUntil(const QElapsedTimer &clock, qint64 dueMs)
{
    const qint64 remainingUs = dueMs * 1000 - clock.nsecsElapsed() / 1000;
    if (remainingUs > 0)
        QThread::usleep(static_cast<unsigned long>(remainingUs));
}

} // namespace

bool FlipAnimator::FlipTo(const BookScene &scene, FlipState &flip, int page)
{
    const FlipState::FlipRequest request = flip.RequestFor(page);
    if (request.direction == 0)
        return false;
    return Flip(scene, flip, request.direction, request.count);
}

bool FlipAnimator::Flip(const BookScene &scene, FlipState &flip, int direction, int count)
{
    if (!flip.Consistent())
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
    CopyFrame(painter_.ViewImage2, painter_.ViewImage1);
    painter_.DrawLeaves(scene, painter_.ViewImage1);
    return painter_.ViewImage1;
}

void FlipAnimator::Animate(const BookScene &scene, FlipState &flip, int direction)
{
    BookScene current = scene;
    current.flip = &flip;

    painter_.RenderSpread(current, painter_.ViewImage2);
    if (painter_.ViewImage2.isNull()) {
        // Nothing laid out yet (no frame to draw on): the leaves land at once.
        while (flip.LeafCount() > 0)
            flip.Advance(direction, std::max(1, flip.FlipStep));
        framesOfLastFlip_ = 0;
        return;
    }
    for (const FlipLeaf &leaf : flip.leaves) {
        painter_.GetPage(current, leaf.FrontPage);
        painter_.GetPage(current, leaf.BackPage);
    }
    if (removeHighlight)
        removeHighlight();

    const bool sound = current.settings && current.settings->FlippingSound && !current.settings->BackgroundMusic;
    const int step = std::max(1, flip.FlipStep);   // a leaf always moves, so the loop ends
    QElapsedTimer clock;
    clock.start();
    int frames = 0;
    for (;;) {
        flip.Advance(direction, step);
        if (flip.LeafCount() == 0)
            break;
        if (frames > 0)
            WaitUntil(clock, qint64(frames) * frameIntervalMs);
        ComposeFrame(current);
        if (present)
            present(painter_.ViewImage1);
        ++frames;
        if (frames == 1 && sound)
            media::PlaySoundAsync(current.exeDir + QStringLiteral("/SysSound/flipSnd.wav"));
    }
    if (frames > 0)
        WaitUntil(clock, qint64(frames) * frameIntervalMs);
    framesOfLastFlip_ = frames;
    painter_.RenderSpread(current, painter_.ViewImage1);
    if (present)
        present(painter_.ViewImage1);
}

} // namespace pagero
