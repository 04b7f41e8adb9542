// The main window's frame: the keyboard after frame toggles (keys go where the window system sends
// them, and Escape and F2 must keep reaching the book), the tool bar over a rising leaf, the normal
// size after a maximised start, and the icon.
#include "main_window_fixture.h"
#include "core/common/ProductInfo.h"
#include <QApplication>
#include <QScreen>
#include <QToolBar>
#include <QWindow>

using namespace pagero;
using namespace pagero::test;

TEST_F(MainWindowTest, EscapeAndF2KeepReachingTheBookAfterFrameToggles)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    const auto keyboardOnBook = [&w] {
        return QApplication::activeWindow() == &w && QApplication::focusWidget() == w.View();
    };
    ASSERT_TRUE(keyboardOnBook());
    // The frame changes on the shown window: it is never hidden and shown again, so nothing flashes.
    struct HideCounter : QObject {
        int hides = 0;
        bool eventFilter(QObject *, QEvent *e) override
        {
            if (e->type() == QEvent::Hide) ++hides;
            return false;
        }
    } hideCounter;
    w.installEventFilter(&hideCounter);

    // F2 while a flip runs waits for it, then takes the frame away; the window keeps the keyboard.
    w.FrameIntervalMs = 16;
    QTest::keyClick(w.windowHandle(), Qt::Key_Right);
    QTest::keyClick(w.windowHandle(), Qt::Key_F2);
    ASSERT_TRUE(Landed());
    EXPECT_TRUE(w.windowHandle()->flags() & Qt::FramelessWindowHint);
    EXPECT_FALSE(w.Menus().actions.WindowFrame2->isChecked());
    EXPECT_TRUE(keyboardOnBook());

    // F2 brings the frame back, then Escape asks before exiting.
    QTest::keyClick(w.windowHandle(), Qt::Key_F2);
    ASSERT_TRUE(Landed());
    EXPECT_FALSE(w.windowHandle()->flags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(keyboardOnBook());
    prompter.answers = {PromptAnswer::No};
    QTest::keyClick(w.windowHandle(), Qt::Key_Escape);
    ASSERT_TRUE(Landed());
    ASSERT_EQ(prompter.texts.size(), 1);
    EXPECT_EQ(prompter.texts[0], QString("Exit ") + kApplicationTitle + "?");

    // Without a frame, Escape gives it back instead of asking.
    QTest::keyClick(w.windowHandle(), Qt::Key_F2);
    QTest::keyClick(w.windowHandle(), Qt::Key_Escape);
    ASSERT_TRUE(Landed());
    EXPECT_FALSE(w.windowHandle()->flags() & Qt::FramelessWindowHint);
    EXPECT_EQ(prompter.texts.size(), 1);
    EXPECT_TRUE(keyboardOnBook());
    EXPECT_EQ(hideCounter.hides, 0);
    w.removeEventFilter(&hideCounter);
}

TEST_F(MainWindowTest, TheToolBarHidesWhatIsDrawnBehindIt)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    w.Painter().ViewImage1.fill(Qt::red);   // as a leaf high above the pages would be
    w.View()->repaint();
    QToolBar *bar = w.Menus().toolBar;
    const QImage shot = w.View()->grab(bar->geometry()).toImage();
    // The bar's empty right end and the gaps between its buttons show the bar, not the leaf.
    EXPECT_NE(shot.pixelColor(shot.width() - 3, shot.height() / 2), QColor(Qt::red));
    EXPECT_NE(shot.pixelColor(1, 1), QColor(Qt::red));
}

TEST_F(MainWindowTest, AMaximisedStartUnmaximisesToANormalSizeWithTheIcon)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    EXPECT_FALSE(w.windowIcon().pixmap(32, 32).isNull());
    const QRect screen = w.screen()->availableGeometry();
    w.ShowMaximisedOnScreen();
    ASSERT_TRUE(WaitFor([&w] { return w.isMaximized(); }));
    w.showNormal();
    ASSERT_TRUE(WaitFor([&w, screen] { return !w.isMaximized() && w.width() < screen.width(); }));
    EXPECT_LT(w.height(), screen.height());
    EXPECT_TRUE(screen.contains(w.geometry()));
}
