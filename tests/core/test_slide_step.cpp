// Slide-show stepping at the album's ends, and the interval, playing-time and tune texts.
#include "core/motion/MediaTexts.h"
#include "core/motion/SlideStep.h"
#include <QList>
#include <gtest/gtest.h>

using namespace pagero;

TEST(SlideStepTest, RepeatBackwardFromTheFirstScreenGoesToTheLastOne)
{
    const SlidePosition first{0, SlideForward};
    EXPECT_EQ(Step(StepBackward, first, 5, 4, SlideEndRepeat).position.firstSlide, 4);   // 4 x (5 div 4)
    EXPECT_EQ(Step(StepBackward, first, 8, 4, SlideEndRepeat).position.firstSlide, 4);   // 8 - 4
    EXPECT_EQ(Step(StepBackward, first, 8, 4, SlideEndRepeat).position.direction, SlideBackward);
    const SlideStepResult wrap = Step(StepKeep, {4, SlideForward}, 5, 4, SlideEndRepeat);
    EXPECT_TRUE(wrap.redraw);
    EXPECT_EQ(wrap.position.firstSlide, 0);
}

TEST(SlideStepTest, ReverseRedrawsTheEndScreenOnceThenRunsTheOtherWay)
{
    SlideStepResult r = Step(StepKeep, {4, SlideForward}, 6, 4, SlideEndReverse);
    EXPECT_TRUE(r.redraw);
    EXPECT_EQ(r.position.firstSlide, 4);
    EXPECT_EQ(r.position.direction, SlideBackward);
    r = Step(StepKeep, r.position, 6, 4, SlideEndReverse);
    EXPECT_EQ(r.position.firstSlide, 0);
    r = Step(StepKeep, r.position, 6, 4, SlideEndReverse);
    EXPECT_EQ(r.position.firstSlide, 0);
    EXPECT_EQ(r.position.direction, SlideForward);
}

TEST(SlideStepTest, StopAndEmptyAlbumsDoNothing)
{
    EXPECT_FALSE(Step(StepForward, {4, SlideForward}, 6, 4, SlideEndStop).redraw);
    EXPECT_FALSE(Step(StepBackward, {0, SlideForward}, 6, 4, SlideEndStop).redraw);
    // No files: "Repeat" backward would otherwise start a screen at -perScreen.
    const SlideStepResult none = Step(StepBackward, {0, SlideForward}, 0, 4, SlideEndRepeat);
    EXPECT_FALSE(none.redraw);
    EXPECT_EQ(none.position.firstSlide, 0);
    EXPECT_EQ(LastSlideOfScreen(4, 4, 6), 6);
}

TEST(SlideTextsTest, IntervalsPlayTimesTunesAndColours)
{
    EXPECT_EQ(IntervalText(61500), "1 Min 1.5 Sec");
    EXPECT_EQ(IntervalText(59), " 0 Sec");
    EXPECT_EQ(IntervalText(500), "0.5 Sec");
    EXPECT_EQ(IntervalText(2000), "2 Sec");
    EXPECT_EQ(IntervalText(60000), "1 Min ");
    EXPECT_EQ(PlayTimeText(3723456), "01:02:03.45 (hour:min:sec)");
    EXPECT_EQ(MusicFileName(MusicUserDefined, "Song.MID"), "bksnd.mid");
    EXPECT_EQ(MusicFileName(MusicUserDefined, "Song.WAV"), "bksnd.wav");
    EXPECT_EQ(MusicFileName(MusicLuther, ""), "bksnd3.mid");
    int colour = 4;
    QList<int> cycle;
    for (int i = 0; i < 10; ++i) cycle << (colour = NextColourIndex(colour));
    EXPECT_EQ(cycle, (QList<int>{0, 15, 5, 6, 10, 12, 14, 15, 5, 6}));
}
