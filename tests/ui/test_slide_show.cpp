// The slide show and its options: the options dialogs' enabling and values, the window's screens,
// keys, pause, frames and slides appearing one by one, and the commands of the main window.
#include "commands/OrvAutoFlippingOpsDlg.h"
#include "commands/OrvSliderOpsDlg.h"
#include "commands/OrvSliderShow.h"
#include "commands/IntervalGroup.h"
#include "core/common/MyLib.h"
#include "main_window_fixture.h"
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QScrollBar>

using namespace pagero;
using namespace pagero::test;

namespace {

QList<SlideFile> Pictures(const QTemporaryDir &dir, int n)
{
    QList<SlideFile> files;
    for (int i = 0; i < n; ++i) {
        const QString path = dir.filePath(QString("p%1.png").arg(i));
        MakePicture(path, 80, 60, QColor::fromHsv(i * 40, 200, 200));
        files.append({path, KindImaging});
    }
    return files;
}

Settings Slides(int next, int rows, int columns, int end = SlideEndRepeat, int slideInterval = 0)
{
    Settings s;
    s.SlideNextScreen = next;
    s.SlideRows = rows;
    s.SlideColumns = columns;
    s.SlideEndAction = end;
    s.SlideSlideInterval = slideInterval;
    s.SlideScreenInterval = 60000;
    return s;
}

void Key(QWidget &w, int key) { QTest::keyClick(&w, Qt::Key(key)); }

} // namespace

TEST(SlideOptionsTest, IntervalBoxesAreEnabledOnlyWhereTheyActAndValuesGoBack)
{
    TSliderOps_Fm dialog;
    Settings s = Slides(0, 2, 2);
    dialog.Load(s);
    EXPECT_FALSE(dialog.ScreenInterval->isEnabled());
    EXPECT_FALSE(dialog.SlideInterval->isEnabled());
    dialog.NextScreen->Buttons[1]->click();   // "Auto"
    EXPECT_TRUE(dialog.ScreenInterval->isEnabled());
    EXPECT_TRUE(dialog.SlideInterval->isEnabled());
    dialog.Rows->setCurrentIndex(0);
    dialog.Columns->setCurrentIndex(0);       // 1 x 1: no slides to space out
    EXPECT_FALSE(dialog.SlideInterval->isEnabled());
    EXPECT_EQ(dialog.SlideInterval->ValueLabel->palette().color(QPalette::WindowText), QColor(0x80, 0x80, 0x80));

    dialog.Rows->setEditText(" 9");           // not an entry: back to " 2"
    emit dialog.Rows->lineEdit()->editingFinished();
    EXPECT_EQ(dialog.Rows->currentText(), " 2");
    dialog.ScreenInterval->SetValue(0);
    dialog.SlideInterval->SetValue(61500);    // beyond the bar's end
    EXPECT_EQ(dialog.SlideInterval->ValueLabel->text(), "1 Min ");
    dialog.Store(s);
    EXPECT_EQ(s.SlideNextScreen, 1);
    EXPECT_EQ(s.SlideRows, 2);
    EXPECT_EQ(s.SlideColumns, 1);
    EXPECT_EQ(s.SlideScreenInterval, 1);      // 0 is raised to 1
    EXPECT_EQ(s.SlideSlideInterval, 60000);
}

TEST(SlideOptionsTest, AutoFlipOptionsLoadAndStore)
{
    TAutoFlipOps_Fm dialog;
    Settings s;
    s.AutoFlipInterval = 1500;
    s.AutoFlipDirection = 0;
    dialog.Load(s);
    EXPECT_EQ(dialog.Interval->ValueLabel->text(), "1.5 Sec");
    EXPECT_EQ(dialog.Interval->ScrollBar->minimum(), 10);
    dialog.RadioGroup1->Buttons[2]->click();
    dialog.RadioGroup2->Buttons[0]->click();
    dialog.Interval->ScrollBar->triggerAction(QAbstractSlider::SliderPageStepSub);
    dialog.Store(s);
    EXPECT_EQ(s.AutoFlipDirection, 2);
    EXPECT_EQ(s.AutoFlipEndAction, 0);
    EXPECT_EQ(s.AutoFlipInterval, 500);
}

TEST(SlideShowTest, ManualKeysStepThroughScreensAndRepeatAtTheEnds)
{
    QTemporaryDir dir;
    TSliderShow_Fm show;
    show.StartSlideShow(Pictures(dir, 5), Slides(0, 2, 2));
    EXPECT_TRUE(show.isVisible());
    EXPECT_TRUE(show.isFullScreen());
    EXPECT_TRUE(show.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(show.Paused);
    ASSERT_TRUE(WaitFor([&] { return show.ScreenComplete(); }));
    EXPECT_EQ(show.SlidesShown(), 4);
    Key(show, Qt::Key_Left);                 // backward from the first screen: the last one
    EXPECT_EQ(show.FirstSlide, 4);
    ASSERT_TRUE(WaitFor([&] { return show.ScreenComplete(); }));
    EXPECT_EQ(show.SlidesShown(), 1);
    Key(show, Qt::Key_Space);                // keeps going backward
    EXPECT_EQ(show.FirstSlide, 0);
    Key(show, Qt::Key_Right);
    Key(show, Qt::Key_Right);
    EXPECT_EQ(show.FirstSlide, 0);
    EXPECT_FALSE(show.Timer1.isActive());    // manual: no timer
    Key(show, Qt::Key_Escape);
    EXPECT_FALSE(show.isVisible());
}

TEST(SlideShowTest, FramesSurroundThePicturesAndMediaFilesShowTheirIcon)
{
    QTemporaryDir dir;
    QList<SlideFile> files = Pictures(dir, 1);
    QFile tune(dir.filePath("tune.wav"));
    ASSERT_TRUE(tune.open(QIODevice::WriteOnly));
    tune.close();
    files.append({tune.fileName(), KindWave});
    TSliderShow_Fm show;
    show.resize(800, 600);
    Settings s = Slides(0, 1, 2);
    s.SlideShowFileName = true;
    show.StartSlideShow(files, s);
    ASSERT_TRUE(WaitFor([&] { return show.ScreenComplete(); }));
    const QImage frame = show.Frame();
    int blue = 0, lightInRight = 0;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x) {
            const QRgb px = frame.pixel(x, y);
            if (px == qRgb(0, 0, 255)) ++blue;
            if (x > frame.width() / 2 && qGray(px) > 60) ++lightInRight;
        }
    EXPECT_GT(blue, 100);
    EXPECT_GT(lightInRight, 100);            // the sound icon in the second cell
    EXPECT_EQ(frame.pixel(1, 1), qRgb(0, 0, 0));
}

TEST(SlideShowTest, AutomaticSlidesAppearOneByOneAndKeysPause)
{
    QTemporaryDir dir;
    TSliderShow_Fm show;
    Settings s = Slides(1, 2, 2, SlideEndRepeat, 150);
    s.SlideScreenInterval = 50;
    show.StartSlideShow(Pictures(dir, 6), s);
    EXPECT_FALSE(show.Paused);
    ASSERT_TRUE(WaitFor([&] { return show.SlidesShown() >= 1; }));
    EXPECT_LT(show.SlidesShown(), 4);        // the rest follow on the slide timer
    ASSERT_TRUE(WaitFor([&] { return show.FirstSlide == 4; }));
    Key(show, Qt::Key_A);                    // any key pauses
    EXPECT_TRUE(show.Paused);
    ASSERT_TRUE(WaitFor([&] { return show.ScreenComplete(); }));
    QTest::qWait(200);
    EXPECT_EQ(show.FirstSlide, 4);
    Key(show, Qt::Key_A);
    ASSERT_TRUE(WaitFor([&] { return show.FirstSlide == 0; }));

    show.OpenPopupAt(QPoint(10, 10));        // a click opens the menu and pauses
    EXPECT_TRUE(show.Paused && show.MenuOpen);
    EXPECT_FALSE(show.NextScreen1->isEnabled());
    show.Continue1->trigger();
    EXPECT_FALSE(show.Paused || show.MenuOpen);
    show.Exit1->trigger();
    EXPECT_FALSE(show.isVisible());
}

TEST(SlideShowTest, OneSlideScreensNeverWaitBetweenSlides)
{
    QTemporaryDir dir;
    TSliderShow_Fm show;
    show.StartSlideShow(Pictures(dir, 3), Slides(1, 1, 1, SlideEndStop, 60000));
    ASSERT_TRUE(WaitFor([&] { return show.ScreenComplete(); }, 3000));
    EXPECT_FALSE(show.SlideTimer.isActive());
    EXPECT_TRUE(show.Timer1.isActive());
    show.close();
}

class SlideCommandsTest : public MainWindowTest {};

TEST_F(SlideCommandsTest, ToolsMenuRestsWhileAutoFlippingAndTheSlideShowStopsIt)
{
    WriteSettings([](Settings &s) { s.AutoFlipToOverview = false; });
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    w.Options().AutoFlipInterval = 60000;
    w.Options().SlideNextScreen = 0;
    const MainActions &a = w.Menus().actions;
    emit w.Menus().menus.Tools1->aboutToShow();
    EXPECT_TRUE(a.AutoFLipping1->isEnabled());
    a.AutoFlipping2->trigger();              // the pop-up starts it
    ASSERT_TRUE(Landed());
    EXPECT_EQ(w.Mode(), PaintMode::AutoFlipping);
    emit w.Menus().menus.Tools1->aboutToShow();
    EXPECT_FALSE(a.SliderShow1->isEnabled());
    w.AutoFlip().StartSlideShow();
    EXPECT_EQ(w.Mode(), PaintMode::Normal);
    ASSERT_NE(w.AutoFlip().SlideShow(), nullptr);
    EXPECT_TRUE(w.AutoFlip().SlideShow()->isVisible());
    EXPECT_TRUE(w.AutoFlip().SlideShow()->isModal());
    w.AutoFlip().SlideShow()->close();
}
