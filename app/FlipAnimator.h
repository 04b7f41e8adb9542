#pragma once
// The page flip: queues a leaf through the flip state and animates it frame by frame, paced to the
// display (one frame about every 16 ms) by a timer, so the GUI thread keeps running between frames.
// Each frame is composed off screen and shown through `present`.
#include "app/BookPainter.h"
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

namespace pagero {

class FlipAnimator : public QObject {
    Q_OBJECT
public:
    using PresentFn = std::function<void(const QImage &frame)>;

    explicit FlipAnimator(BookPainter &painter, QObject *parent = nullptr);

    // Shows a frame at once (the main window repaints synchronously). Unset: frames are composed
    // but not shown.
    PresentFn present;
    // Forgets the pointer highlight before the first frame. Optional.
    std::function<void()> removeHighlight;
    // The pace of the frames; 0 shows the next frame on the next turn of the event loop. FlipStep
    // still decides how many frames a flip has.
    int frameIntervalMs = 16;

    // Turns to the spread that holds `page`: backward by LeftPageNo - page when page < LeftPageNo,
    // forward by page - RightPageNo when page > RightPageNo, else nothing moves. 0 closes the book to
    // the front, LastPageNo + 1 to the back. Returns true when pages turn.
    bool FlipTo(const BookScene &scene, FlipState &flip, int page);
    // Only on a consistent spread and while no flip runs: queues a leaf (Enqueue) and, when accepted,
    // animates it. The spread is renumbered and the first frame shown before this returns; the step
    // is taken from the flip state now, so the caller may change the speed back at once.
    bool Flip(const BookScene &scene, FlipState &flip, int direction, int count);
    // Renders the already renumbered spread as the background and starts the frames; Finished is
    // emitted once every leaf has landed and the final spread is shown. `flip` is the state that
    // scene.flip points to and must outlive the flip.
    void Animate(const BookScene &scene, FlipState &flip, int direction);

    // Lands the running flip's leaves at once and shows the final spread (Finished follows); for
    // work that must rebuild the book now. Nothing happens while idle.
    void Finish();

    // True from the start of a flip until its final spread is shown.
    bool Running() const { return flip_ != nullptr; }

    // One frame of the loop: the background frame ViewImage2 copied into ViewImage1 (only where the
    // last frame's leaves were, when nothing else changed either image) and the queued leaves drawn
    // over it.
    const QImage &ComposeFrame(const BookScene &scene);

    int FramesOfLastFlip() const { return framesOfLastFlip_; }
    // Device pixels of ViewImage1 changed by the last frame composed or the landing: where the last
    // two frames' leaves were, the whole frame when all of it was drawn. A view that shows every
    // frame repaints only this.
    QRect ChangedRect() const { return changed_; }

signals:
    // The leaves have landed and the final spread is shown.
    void Finished();

private:
    void NextFrame();
    void ScheduleNextFrame();
    void Land();

    BookPainter &painter_;
    QTimer timer_;
    QElapsedTimer clock_;
    BookScene scene_;
    FlipState *flip_ = nullptr;   // the running flip's state; null while idle
    int direction_ = 0;
    int step_ = 1;
    int frames_ = 0;
    bool landing_ = false;   // every leaf is down; the next timeout shows the final spread
    bool sound_ = false;
    int framesOfLastFlip_ = 0;
    QRect touched_;                 // device pixels the last composed frame's leaves drew on
    QRect changed_;
    qint64 backgroundKey_ = 0, frameKey_ = 0;   // the images as the last composed frame left them
};

} // namespace pagero
