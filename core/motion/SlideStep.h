#pragma once
// The slide show's arithmetic: which screen comes next, and the texts of its option dialogs.
// Window-free, so the stepping rules are tested on their own.
#include <QString>

namespace pagero {

enum SlideEnd : int { SlideEndStop = 0, SlideEndRepeat = 1, SlideEndReverse = 2 };
enum SlideDir : int { SlideForward = 0, SlideBackward = 1 };
// What a step asks for: keep the direction, go backward, go forward.
enum SlideStepKind : int { StepKeep = 0, StepBackward = 1, StepForward = 2 };

struct SlidePosition {
    int firstSlide = 0;               // page-list index of the first file on the screen
    int direction = SlideForward;
};

struct SlideStepResult {
    SlidePosition position;
    bool redraw = false;              // false: nothing happens (the end with "Stop", or no files)
};

// One step over `fileCount` files shown `perScreen` at a time. Forward moves one screen on; at the
// end "Repeat" starts at the first screen and "Reverse" turns and shows the same screen again.
// Backward mirrors it: "Repeat" goes to the last screen, which starts at perScreen x (n div perScreen),
// or n - perScreen when n is a multiple of perScreen.
SlideStepResult Step(int kind, SlidePosition at, int fileCount, int perScreen, int endAction);

// The index one past the last file of the screen starting at `firstSlide`.
int LastSlideOfScreen(int firstSlide, int perScreen, int fileCount);

// An interval in milliseconds as the option dialogs show it: " 0 Sec" below 100 ms, else tenths of
// seconds with minutes and hours in front ("1 Min 1.5 Sec").
QString IntervalText(int ms);

} // namespace pagero
