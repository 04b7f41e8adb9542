#pragma once
// The page flip: queues a leaf through the flip state and animates it frame by frame, paced to the
// display (one frame about every 16 ms), each frame composed off screen and shown synchronously.
#include "app/BookPainter.h"
#include <functional>

namespace pagero {

class FlipAnimator {
public:
    using PresentFn = std::function<void(const QImage &frame)>;

    explicit FlipAnimator(BookPainter &painter) : painter_(painter) {}

    // Shows a frame at once and returns when it is on screen (the main window repaints
    // synchronously). Unset: frames are composed but not shown.
    PresentFn present;
    // Forgets the pointer highlight before the first frame. Optional.
    std::function<void()> removeHighlight;
    // The pace of the frames. FlipStep still decides how many frames a flip has.
    int frameIntervalMs = 16;

    // Turns to the spread that holds `page`: backward by LeftPageNo - page when page < LeftPageNo,
    // forward by page - RightPageNo when page > RightPageNo, else nothing moves. 0 closes the book to
    // the front, LastPageNo + 1 to the back. Returns true when pages turned.
    bool FlipTo(const BookScene &scene, FlipState &flip, int page);
    // Only on a consistent spread: queues a leaf (Enqueue) and, when accepted, animates it.
    bool Flip(const BookScene &scene, FlipState &flip, int direction, int count);
    // Renders the already renumbered spread as the background, then advances, composes and shows
    // frames until every leaf has landed, then shows the final spread. `flip` is the state that
    // scene.flip points to.
    void Animate(const BookScene &scene, FlipState &flip, int direction);

    // One frame of the loop: the background frame ViewImage2 copied into ViewImage1 and the queued
    // leaves drawn over it.
    const QImage &ComposeFrame(const BookScene &scene);

    int FramesOfLastFlip() const { return framesOfLastFlip_; }

private:
    BookPainter &painter_;
    int framesOfLastFlip_ = 0;
};

} // namespace pagero
