// Pointer and keyboard navigation on the real window: page clicks, keys, stack edges, the batch
// selection with Ctrl and Shift, the right-click rule and the FlipTo menu.
#include <QWheelEvent>
#include "main_window_fixture.h"
#include <QAction>
#include <QMenu>
#include "platform/media/Sound.h"

using namespace pagero;
using namespace pagero::test;

class NavigationTest : public MainWindowTest {
protected:
    // Opens the album closed at the front cover: spread (0, 1).
    TTurvane_Fm &OpenClosed()
    {
        WriteSettings([](Settings &s) { s.AutoFlipToOverview = false; });
        TTurvane_Fm &w = Start({album});
        EXPECT_TRUE(WaitOpen());
        EXPECT_EQ(w.Flip_().LeftPageNo, 0);
        EXPECT_EQ(w.Flip_().RightPageNo, 1);
        return w;
    }
    // A window point whose hit test gives `code` (and `subKind` when not 0); (-1, -1) when none.
    QPoint FindHot(int code, int subKind = 0)
    {
        const BookGeometry &g = window->Geometry();
        for (int y = g.leftT; y < g.rightB; y += 2)
            for (int x = g.leftL; x < g.rightR; x += 2) {
                const HotState hot = HitTester::HitTest(window->MakeHitScene(), x, y);
                if (hot.HotCode == code && (!subKind || hot.HotSubKind == subKind)) return QPoint(x, y);
            }
        return QPoint(-1, -1);
    }
    void Click(QPoint at, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers mods = {})
    {
        QTest::mouseMove(window->View(), at);
        QTest::mouseClick(window->View(), button, mods, at);
        Landed();
    }
};

TEST_F(NavigationTest, AClickOnTheRightPageTurnsOneLeafForwardAndOnTheLeftPageBack)
{
    TTurvane_Fm &w = OpenClosed();
    // Nothing lies left of the closed book's spine.
    Click(LeftPageCentre());
    EXPECT_EQ(w.Flip_().LeftPageNo, 0);
    Click(RightPageCentre());
    EXPECT_EQ(w.Flip_().LeftPageNo, 2);
    EXPECT_EQ(w.Flip_().RightPageNo, 3);
    Click(RightPageCentre());
    EXPECT_EQ(w.Flip_().LeftPageNo, 4);
    Click(LeftPageCentre());
    EXPECT_EQ(w.Flip_().LeftPageNo, 2);
    EXPECT_TRUE(w.Flip_().Consistent());
}

TEST_F(NavigationTest, ArrowKeysTurnOneLeafAndStopAtTheCovers)
{
    TTurvane_Fm &w = OpenClosed();
    QTest::keyClick(w.View(), Qt::Key_Left);
    Landed();
    EXPECT_EQ(w.Flip_().LeftPageNo, 0);
    QTest::keyClick(w.View(), Qt::Key_Right);
    Landed();
    QTest::keyClick(w.View(), Qt::Key_Right);
    Landed();
    EXPECT_EQ(w.Flip_().LeftPageNo, 4);
    QTest::keyClick(w.View(), Qt::Key_Left);
    Landed();
    EXPECT_EQ(w.Flip_().LeftPageNo, 2);
    const int last = w.Flip_().LastPageNo;
    for (int i = 0; i < last; ++i) {
        QTest::keyClick(w.View(), Qt::Key_Right);
        Landed();
    }
    EXPECT_EQ(w.Flip_().LeftPageNo, last);
    EXPECT_EQ(w.Flip_().RightPageNo, last + 1);
}

TEST_F(NavigationTest, PageKeysHomeEndAndTheWheelTurnTheBook)
{
    TTurvane_Fm &w = OpenClosed();
    QTest::keyClick(w.View(), Qt::Key_PageDown);
    Landed();
    EXPECT_EQ(w.Flip_().LeftPageNo, 2);
    QTest::keyClick(w.View(), Qt::Key_PageUp);
    Landed();
    EXPECT_EQ(w.Flip_().LeftPageNo, 0);
    QTest::keyClick(w.View(), Qt::Key_End);
    Landed();
    const int back = w.Layout_().BackCoverPage;
    EXPECT_TRUE(w.Flip_().LeftPageNo == back || w.Flip_().RightPageNo == back);
    QTest::keyClick(w.View(), Qt::Key_Home);
    Landed();
    EXPECT_EQ(w.Flip_().RightPageNo, w.Layout_().FrontCoverPage);

    // One leaf per notch; half notches add up; notches during a flip are dropped.
    const auto wheel = [&](int delta) {
        QWheelEvent e(QPointF(50, 50), w.View()->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(w.View(), &e);
    };
    wheel(-120);
    Landed();
    EXPECT_EQ(w.Flip_().LeftPageNo, 2);
    wheel(-60);
    EXPECT_EQ(w.Flip_().LeftPageNo, 2);
    wheel(-60);
    Landed();
    EXPECT_EQ(w.Flip_().LeftPageNo, 4);
    wheel(120);
    wheel(120);   // arrives while the first leaf turns
    Landed();
    EXPECT_EQ(w.Flip_().LeftPageNo, 2);
}

TEST_F(NavigationTest, TheRightStackEdgeWithoutTheJumpCursorGoesToTheBackOfTheBook)
{
    TTurvane_Fm &w = OpenClosed();
    w.Menus().actions.JCAutoShow->trigger();   // page-jump cursor off
    Landed();
    ASSERT_FALSE(w.Options().JCAutoShow);
    const BookGeometry &g = w.Geometry();
    const int depth = std::min((w.Flip_().LastPageNo - w.Flip_().RightPageNo + 1) / 2, 14);
    const QPoint outer(g.rightR + depth + 2, (g.rightT + g.rightB) / 2);
    Click(outer);
    EXPECT_FALSE(w.Overlay().JumpCursorShown);
    EXPECT_EQ(w.Flip_().LeftPageNo, w.Flip_().LastPageNo);
}

TEST_F(NavigationTest, TheJumpCursorShowsOverAStackAndTheClickGoesToItsPage)
{
    TTurvane_Fm &w = OpenClosed();
    const BookGeometry &g = w.Geometry();
    QTest::mouseMove(w.View(), QPoint(g.rightR + 1, (g.rightT + g.rightB) / 2));
    EXPECT_EQ(w.Hot.HotCode, HotRightStack);
    EXPECT_TRUE(w.Overlay().JumpCursorShown);
    const int target = w.Overlay().JumpCursorPage;
    EXPECT_GE(target, w.Flip_().RightPageNo);
    QTest::mouseMove(w.View(), RightPageCentre());
    EXPECT_FALSE(w.Overlay().JumpCursorShown);
    EXPECT_EQ(w.Hot.HotCode, HotRightPage);
    Click(QPoint(g.rightR + 1, (g.rightT + g.rightB) / 2));
    EXPECT_EQ(w.Flip_().RightPageNo, (target / 2) * 2 + 1);
}

TEST_F(NavigationTest, ARedrawOrAFlipForgetsTheJumpCursor)
{
    TTurvane_Fm &w = OpenClosed();
    const BookGeometry &g = w.Geometry();
    const QPoint overStack(g.rightR + 1, (g.rightT + g.rightB) / 2);
    QTest::mouseMove(w.View(), RightPageCentre());
    QTest::mouseMove(w.View(), overStack);
    ASSERT_TRUE(w.Overlay().JumpCursorShown);
    w.DrawBook();
    EXPECT_FALSE(w.Overlay().JumpCursorShown);
    QTest::mouseMove(w.View(), RightPageCentre());
    QTest::mouseMove(w.View(), overStack);
    ASSERT_TRUE(w.Overlay().JumpCursorShown);
    w.Flip(Forward, 2);   // gone from the flip's first frame on
    EXPECT_FALSE(w.Overlay().JumpCursorShown);
    Landed();
    EXPECT_FALSE(w.Overlay().JumpCursorShown);
}

TEST_F(NavigationTest, ControlAndShiftClicksOnFilePagesBuildTheBatchSelection)
{
    TTurvane_Fm &w = OpenClosed();
    const int first = w.Layout_().FirstFilePage;
    w.FlipTo(first);
    Landed();
    const int leftEntry = w.Flip_().LeftPageNo - first;
    ASSERT_GE(leftEntry, 0);
    Click(LeftPageCentre(), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(w.Selection().paths, QStringList{w.Pages().PagePath(leftEntry)});
    EXPECT_EQ(w.SelectAnchor, leftEntry);
    EXPECT_EQ(w.Flip_().LeftPageNo - first, leftEntry);   // no flip
    // Ctrl again toggles it off; case does not matter for the comparison.
    w.Selection().paths = {w.Pages().PagePath(leftEntry).toUpper()};
    Click(LeftPageCentre(), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_TRUE(w.Selection().IsEmpty());
    // Anchor, then Shift on a later page selects the whole range.
    Click(LeftPageCentre(), Qt::LeftButton, Qt::ControlModifier);
    w.FlipTo(first + 4);
    Landed();
    const int farEntry = w.Flip_().RightPageNo - first;
    Click(RightPageCentre(), Qt::LeftButton, Qt::ShiftModifier);
    ASSERT_EQ(w.Selection().Count(), farEntry - leftEntry + 1);
    for (int i = leftEntry; i <= farEntry; ++i) EXPECT_TRUE(w.Selection().Contains(w.Pages().PagePath(i)));
}

TEST_F(NavigationTest, ShiftWithAnEmptySelectionSelectsOneFile)
{
    TTurvane_Fm &w = OpenClosed();
    w.FlipTo(w.Layout_().FirstFilePage);
    Landed();
    Click(RightPageCentre(), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(w.Selection().Count(), 1);
    EXPECT_EQ(w.SelectAnchor, w.Flip_().RightPageNo - w.Layout_().FirstFilePage);
}

TEST_F(NavigationTest, CtrlOnACoverDoesNotSelectButTurnsThePage)
{
    TTurvane_Fm &w = OpenClosed();
    Click(RightPageCentre(), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_TRUE(w.Selection().IsEmpty());
    EXPECT_EQ(w.Flip_().LeftPageNo, 2);
}

TEST_F(NavigationTest, AfterARightClickTheNextLeftClickDoesNothing)
{
    TTurvane_Fm &w = OpenClosed();
    w.FormMouseDown(Qt::RightButton, {}, RightPageCentre().x(), RightPageCentre().y());
    EXPECT_TRUE(w.RightClickPending);
    w.Menus().popup->hide();
    Click(RightPageCentre());
    EXPECT_FALSE(w.RightClickPending);
    EXPECT_EQ(w.Flip_().LeftPageNo, 0);
    Click(RightPageCentre());
    EXPECT_EQ(w.Flip_().LeftPageNo, 2);
}

TEST_F(NavigationTest, TheFlipToMenuEnablesTargetsOffTheSpreadAndJumpsThere)
{
    TTurvane_Fm &w = OpenClosed();
    QMenu *menu = w.Menus().menus.FlipTo1;
    const auto choose = [&](QAction *item) {
        emit menu->aboutToShow();   // the menu is recomputed each time it opens
        item->trigger();
        Landed();
    };
    emit menu->aboutToShow();
    EXPECT_TRUE(w.Menus().actions.Overview1->isEnabled());
    choose(w.Menus().actions.Overview1);
    EXPECT_EQ(w.Flip_().LeftPageNo, w.Layout_().FirstOverviewPage);
    emit menu->aboutToShow();
    EXPECT_FALSE(w.Menus().actions.Overview1->isEnabled());
    choose(w.Menus().actions.FirstPage1);
    EXPECT_EQ((w.Flip_().LeftPageNo / 2) * 2, (w.Layout_().FirstFilePage / 2) * 2);
    choose(w.Menus().actions.Index1);
    EXPECT_EQ(w.Flip_().LeftPageNo, (w.Layout_().FirstIndexPage / 2) * 2);
    choose(w.Menus().actions.Contents1);
    EXPECT_EQ(w.Flip_().LeftPageNo, (w.Layout_().FirstContentsPage / 2) * 2);
    emit menu->aboutToShow();
    EXPECT_FALSE(w.Menus().actions.Contents1->isEnabled());
    EXPECT_TRUE(w.Menus().actions.Index1->isEnabled());
}

TEST_F(NavigationTest, SortCommandsRebuildInTheNewOrderAndIgnoreTheCheckedItem)
{
    MakePicture(album + "/big.png", 400, 300, Qt::white);
    TTurvane_Fm &w = OpenClosed();
    ASSERT_EQ(w.Pages().NameOf(0), "big.png");
    w.Menus().actions.byName1->trigger();   // already checked: nothing happens
    Landed();
    EXPECT_TRUE(w.Menus().actions.byName1->isChecked());
    w.Menus().actions.bySize1->trigger();
    Landed();
    EXPECT_TRUE(w.Menus().actions.bySize1->isChecked());
    EXPECT_FALSE(w.Menus().actions.byName1->isChecked());
    EXPECT_EQ(w.Pages().Order(), SortBySize);
    EXPECT_EQ(w.Pages().Names().last(), "big.png");
}

TEST_F(NavigationTest, ThumbnailsHighlightShowTheirNameAndACaptionClickJumpsToTheFile)
{
    TTurvane_Fm &w = OpenClosed();
    w.FlipTo(w.Layout_().FirstOverviewPage);
    Landed();
    const QPoint caption = FindHot(HotThumbBase + 2, 1);
    ASSERT_NE(caption.x(), -1);
    QTest::mouseMove(w.View(), QPoint(3, 3));
    QTest::mouseMove(w.View(), caption);
    EXPECT_EQ(w.Overlay().HighlightCode, HotThumbBase + 2);
    EXPECT_EQ(w.View()->toolTip(), w.Pages().NameOf(2));
    Click(caption);
    EXPECT_EQ(w.Overlay().HighlightCode, -1);
    const int page = w.Layout_().FirstFilePage + 2;
    EXPECT_TRUE(w.Flip_().LeftPageNo == page || w.Flip_().RightPageNo == page);
}

TEST_F(NavigationTest, ControlClickOnAThumbnailTogglesItsFileWithoutFlipping)
{
    TTurvane_Fm &w = OpenClosed();
    w.FlipTo(w.Layout_().FirstOverviewPage);
    Landed();
    const QPoint picture = FindHot(HotThumbBase + 1, 2);
    ASSERT_NE(picture.x(), -1);
    Click(picture, Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(w.Selection().paths, QStringList{w.Pages().PagePath(1)});
    EXPECT_EQ(w.Flip_().LeftPageNo, w.Layout_().FirstOverviewPage);
    const QPoint last = FindHot(HotThumbBase + 4, 2);
    Click(last, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(w.Selection().Count(), 4);
}

TEST_F(NavigationTest, AContentsLineJumpsToItsFile)
{
    TTurvane_Fm &w = OpenClosed();
    w.FlipTo(w.Layout_().FirstContentsPage);
    Landed();
    const QPoint line = FindHot(HotContentsBase + 5);
    ASSERT_NE(line.x(), -1);
    Click(line);
    const int page = w.Layout_().FirstFilePage + 5;
    EXPECT_TRUE(w.Flip_().LeftPageNo == page || w.Flip_().RightPageNo == page);
}

TEST_F(NavigationTest, EachFlipPlaysTheFlippingSoundOnceWhileItIsChecked)
{
    // A short silent wave file as the program folder's flipping sound.
    QByteArray wav("RIFF\x2c\0\0\0WAVEfmt \x10\0\0\0\1\0\1\0\x40\x1f\0\0\x80\x3e\0\0\2\0\x10\0data\x08\0\0\0", 44);
    wav.append(8, '\0');
    QFile sound(exeDir + "/SysSound/flipSnd.wav");
    ASSERT_TRUE(sound.open(QIODevice::WriteOnly));
    sound.write(wav);
    sound.close();
    TTurvane_Fm &w = OpenClosed();
    const int before = media::SoundsStarted();
    Click(RightPageCentre());
    EXPECT_EQ(media::SoundsStarted(), before + 1);
    EXPECT_EQ(media::LastSoundPath(), exeDir + "/SysSound/flipSnd.wav");
    w.Menus().actions.FlippingSound1->trigger();   // off
    Landed();
    Click(RightPageCentre());
    EXPECT_EQ(media::SoundsStarted(), before + 1);
    EXPECT_EQ(w.Flip_().LeftPageNo, 4);
}

// A redraw of the book forgets the hover highlight before the new frame reaches the screen, so the
// old box is never drawn over the new layout.
TEST_F(NavigationTest, ARedrawShowsTheNewFrameWithoutTheOldHighlight)
{
    TTurvane_Fm &w = OpenClosed();
    w.FlipTo(w.Layout_().FirstOverviewPage);
    Landed();
    const QPoint caption = FindHot(HotThumbBase + 2, 1);
    ASSERT_NE(caption.x(), -1);
    QTest::mouseMove(w.View(), QPoint(3, 3));
    QTest::mouseMove(w.View(), caption);
    ASSERT_EQ(w.Overlay().HighlightCode, HotThumbBase + 2);

    struct PaintWatch : QObject {
        TTurvane_Fm *w;
        int highlightAtPaint = 0;
        int paints = 0;
        bool eventFilter(QObject *, QEvent *e) override
        {
            if (e->type() == QEvent::Paint) { highlightAtPaint = w->Overlay().HighlightCode; ++paints; }
            return false;
        }
    } watch;
    watch.w = &w;
    w.View()->installEventFilter(&watch);
    w.DrawBook();
    w.View()->removeEventFilter(&watch);
    ASSERT_GT(watch.paints, 0);
    EXPECT_EQ(watch.highlightAtPaint, -1);
}
