// Auto flipping on the real window: the tick turns one spread at a time, acts at the book's ends by
// the end action, follows the pointer's side when the direction is "by pointer", leaves a leaf in
// flight alone, and stops on a click or a key.
#include "main_window_fixture.h"
#include <QMenu>

using namespace pagero;
using namespace pagero::test;

class AutoFlipTest : public MainWindowTest {
protected:
    // Opens the album closed at the front cover, spread (0, 1), with the given auto-flip options.
    // The long interval keeps the timer quiet: the tests call the tick themselves.
    TTurvane_Fm &OpenWith(int direction, int endAction, int intervalMs = 60000)
    {
        WriteSettings([](Settings &s) { s.AutoFlipToOverview = false; });
        TTurvane_Fm &w = Start({album});
        EXPECT_TRUE(WaitOpen());
        w.Options().AutoFlipDirection = direction;
        w.Options().AutoFlipEndAction = endAction;
        w.Options().AutoFlipInterval = intervalMs;
        return w;
    }
    // Ticks forward until the book lies closed at the back; each tick turns exactly one spread.
    void TickToTheBack(TTurvane_Fm &w)
    {
        const int last = w.Flip_().LastPageNo;
        for (int guard = 0; w.Flip_().LeftPageNo < last && guard < 100; ++guard) {
            const int left = w.Flip_().LeftPageNo;
            w.Timer1Timer();
            Landed();
            ASSERT_EQ(w.Flip_().LeftPageNo, left + 2);
            ASSERT_TRUE(w.Flip_().Consistent());
            ASSERT_TRUE(w.AutoFlip().Timer1.isActive());
        }
        ASSERT_GE(w.Flip_().LeftPageNo, last);
    }
};

TEST_F(AutoFlipTest, StartingTurnsTheFirstSpreadAtOnceAndLocksTheMenus)
{
    TTurvane_Fm &w = OpenWith(1, 2, 2500);
    w.StartAutoFlipping();
    Landed();
    EXPECT_EQ(w.Mode(), PaintMode::AutoFlipping);
    EXPECT_EQ(w.Flip_().LeftPageNo, 2);
    EXPECT_TRUE(w.AutoFlip().Timer1.isActive());
    EXPECT_EQ(w.AutoFlip().Timer1.interval(), 2500);
    EXPECT_FALSE(w.Menus().menus.File1->menuAction()->isEnabled());
    EXPECT_FALSE(w.Menus().menus.Options1->menuAction()->isEnabled());
    EXPECT_EQ(w.View()->cursor().shape(), Qt::BlankCursor);
    w.StopAutoFlipping();
    EXPECT_EQ(w.Mode(), PaintMode::Normal);
    EXPECT_FALSE(w.AutoFlip().Timer1.isActive());
    EXPECT_TRUE(w.Menus().menus.File1->menuAction()->isEnabled());
    EXPECT_NE(w.View()->cursor().shape(), Qt::BlankCursor);
}

TEST_F(AutoFlipTest, ReverseAtTheBackTurnsBackToTheFrontAndForwardAgain)
{
    TTurvane_Fm &w = OpenWith(1, 2);
    w.StartAutoFlipping();
    Landed();
    TickToTheBack(w);
    const int last = w.Flip_().LastPageNo;
    w.Timer1Timer();   // the end: one spread back, now backward
    Landed();
    EXPECT_EQ(w.AutoFlip().AutoFlipDirection, 2);
    EXPECT_LE(w.Flip_().LeftPageNo, last - 2);
    EXPECT_GE(w.Flip_().RightPageNo, last - 2);
    for (int guard = 0; w.Flip_().RightPageNo > 1 && guard < 100; ++guard) {
        const int right = w.Flip_().RightPageNo;
        w.Timer1Timer();
        Landed();
        ASSERT_EQ(w.Flip_().RightPageNo, right - 2);
    }
    EXPECT_EQ(w.Flip_().RightPageNo, 1);
    w.Timer1Timer();   // the front: forward again, to page 2
    Landed();
    EXPECT_EQ(w.AutoFlip().AutoFlipDirection, 1);
    EXPECT_EQ(w.Flip_().LeftPageNo, 2);
    EXPECT_TRUE(w.AutoFlip().Timer1.isActive());
}

TEST_F(AutoFlipTest, RepeatAtTheBackStartsAgainAtTheFrontAndStopLeavesTheTimerOff)
{
    TTurvane_Fm &w = OpenWith(1, 1);
    w.StartAutoFlipping();
    Landed();
    TickToTheBack(w);
    w.Timer1Timer();
    Landed();
    EXPECT_EQ(w.Flip_().LeftPageNo, 0);
    EXPECT_EQ(w.Flip_().RightPageNo, 1);
    EXPECT_EQ(w.AutoFlip().AutoFlipDirection, 1);
    EXPECT_TRUE(w.AutoFlip().Timer1.isActive());

    w.StopAutoFlipping();
    w.Options().AutoFlipEndAction = 0;
    w.StartAutoFlipping();
    Landed();
    TickToTheBack(w);
    const int left = w.Flip_().LeftPageNo;
    w.Timer1Timer();
    Landed();
    EXPECT_EQ(w.Flip_().LeftPageNo, left);
    EXPECT_FALSE(w.AutoFlip().Timer1.isActive());
    EXPECT_EQ(w.Mode(), PaintMode::AutoFlipping);   // still auto flipping until the user stops it
}

TEST_F(AutoFlipTest, TheTimerDrivesTheBookToTheBackAndReverses)
{
    TTurvane_Fm &w = OpenWith(1, 2, 10);
    w.StartAutoFlipping();
    Landed();
    EXPECT_TRUE(WaitFor([&w] { return w.AutoFlip().AutoFlipDirection == 2; }, 20000));
    EXPECT_TRUE(w.AutoFlip().Timer1.isActive());
    EXPECT_EQ(w.Mode(), PaintMode::AutoFlipping);
}

TEST_F(AutoFlipTest, ByPointerTheSideOfTheSpineChoosesTheDirectionAtEachTick)
{
    TTurvane_Fm &w = OpenWith(0, 2);
    w.FlipTo(6);
    Landed();
    const int spine = w.Geometry().SpineX;
    const int y = (w.Geometry().rightT + w.Geometry().rightB) / 2;
    QTest::mouseMove(w.View(), QPoint(spine + 40, y));
    w.StartAutoFlipping();
    Landed();
    EXPECT_EQ(w.Flip_().LeftPageNo, 8);
    EXPECT_NE(w.View()->cursor().shape(), Qt::BlankCursor);   // the pointer steers, so it shows
    QTest::mouseMove(w.View(), QPoint(spine - 40, y));
    EXPECT_EQ(w.Mode(), PaintMode::AutoFlipping);   // moving does not stop auto flipping
    w.Timer1Timer();
    Landed();
    EXPECT_EQ(w.Flip_().LeftPageNo, 6);
    w.Timer1Timer();
    Landed();
    EXPECT_EQ(w.Flip_().LeftPageNo, 4);
    QTest::mouseMove(w.View(), QPoint(spine + 40, y));
    w.Timer1Timer();
    Landed();
    EXPECT_EQ(w.Flip_().LeftPageNo, 6);
    EXPECT_EQ(w.AutoFlip().AutoFlipDirection, 0);
}

TEST_F(AutoFlipTest, ATickWhileALeafIsInFlightDoesNothing)
{
    TTurvane_Fm &w = OpenWith(1, 2);
    w.StartAutoFlipping();
    Landed();
    ASSERT_EQ(w.Flip_().LeftPageNo, 2);
    w.Timer1Timer();
    // The leaf of this tick is in flight when the next tick comes.
    ASSERT_TRUE(w.Flipping());
    ASSERT_EQ(w.Flip_().LeafCount(), 1);
    const int left = w.Flip_().LeftPageNo, right = w.Flip_().RightPageNo;
    w.Timer1Timer();
    EXPECT_EQ(w.Flip_().LeftPageNo, left);
    EXPECT_EQ(w.Flip_().RightPageNo, right);
    EXPECT_EQ(w.Flip_().LeafCount(), 1);
    EXPECT_TRUE(w.AutoFlip().Timer1.isActive());   // the next tick tries again
    Landed();
    EXPECT_EQ(w.Flip_().LeftPageNo, 4);   // one spread for the two ticks
    EXPECT_TRUE(w.Flip_().Consistent());
}

TEST_F(AutoFlipTest, AClickOrAKeyStopsAutoFlippingWithoutTurningAPage)
{
    TTurvane_Fm &w = OpenWith(1, 2);
    w.StartAutoFlipping();
    Landed();
    ASSERT_EQ(w.Flip_().LeftPageNo, 2);
    QTest::mouseClick(w.View(), Qt::LeftButton, {}, RightPageCentre());
    Landed();
    EXPECT_EQ(w.Mode(), PaintMode::Normal);
    EXPECT_FALSE(w.AutoFlip().Timer1.isActive());
    EXPECT_EQ(w.Flip_().LeftPageNo, 2);
    EXPECT_TRUE(w.Menus().menus.Tools1->menuAction()->isEnabled());

    w.StartAutoFlipping();

    Landed();
    ASSERT_EQ(w.Flip_().LeftPageNo, 4);
    QTest::keyClick(w.View(), Qt::Key_Right);
    Landed();
    EXPECT_EQ(w.Mode(), PaintMode::Normal);
    EXPECT_FALSE(w.AutoFlip().Timer1.isActive());
    EXPECT_EQ(w.Flip_().LeftPageNo, 4);

    // A right click stops it too (no pop-up while auto flipping), and leaves no click pending.
    w.StartAutoFlipping();
    Landed();
    QTest::mouseClick(w.View(), Qt::RightButton, {}, RightPageCentre());
    Landed();
    EXPECT_EQ(w.Mode(), PaintMode::Normal);
    EXPECT_FALSE(w.RightClickPending);
}

TEST_F(AutoFlipTest, OptionsOutOfRangeFromTheSettingsFileAreKeptInBounds)
{
    TTurvane_Fm &w = OpenWith(9, -1, -5);
    w.StartAutoFlipping();
    Landed();
    EXPECT_EQ(w.AutoFlip().Timer1.interval(), AutoFlipController::MinIntervalMs);
    EXPECT_EQ(w.AutoFlip().AutoFlipDirection, 1);
    EXPECT_EQ(w.AutoFlip().AutoFlipEndAction, 2);
    w.StopAutoFlipping();
    w.Options().AutoFlipInterval = 0;
    w.StartAutoFlipping();
    Landed();
    EXPECT_EQ(w.AutoFlip().Timer1.interval(), AutoFlipController::MinIntervalMs);
    w.StopAutoFlipping();
    w.Options().AutoFlipInterval = 2000000000;
    w.StartAutoFlipping();
    Landed();
    EXPECT_EQ(w.AutoFlip().Timer1.interval(), AutoFlipController::MaxIntervalMs);
    w.StopAutoFlipping();
    // The stored options are not rewritten by the run.
    EXPECT_EQ(w.Options().AutoFlipDirection, 9);
}
