// The flipping-speed dialog driven through its real controls.
#include "app/OrvSetFlipSpeed.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace pagero;

namespace {

struct Recorder {
    std::vector<int> speeds;
    std::vector<std::pair<int, int>> flips;
    void attach(TSetFlipSpeedForm &form)
    {
        form.setSpeed = [this](int s) { speeds.push_back(s); };
        form.flip = [this](int d, int c) { flips.emplace_back(d, c); };
    }
};

} // namespace

TEST(FlipSpeedDialog, ControlsAsDesigned)
{
    TSetFlipSpeedForm form;
    EXPECT_EQ(form.windowTitle(), "             Set Flipping Speed ");
    auto *bar = form.findChild<QScrollBar *>("ScrollBar1");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->minimum(), 5);
    EXPECT_EQ(bar->maximum(), 75);
    EXPECT_EQ(bar->value(), 50);
    EXPECT_EQ(form.findChild<QLabel *>("Label1")->text(), "Speed=100%");
    EXPECT_EQ(form.findChild<QLabel *>("StaticText1")->text(), "Slower");
    EXPECT_EQ(form.findChild<QLabel *>("StaticText2")->text(), "Faster");
    EXPECT_EQ(form.findChild<QPushButton *>("BitBtn1")->text(), "OK");
    EXPECT_EQ(form.findChild<QPushButton *>("BitBtn2")->text(), "Test");
    EXPECT_EQ(form.findChild<QPushButton *>("BitBtn3")->text(), "Test");
}

TEST(FlipSpeedDialog, MovingTheScrollBarSetsTheSpeedAtOnce)
{
    TSetFlipSpeedForm form;
    Recorder rec;
    rec.attach(form);
    form.Prepare(QPoint(400, 30), 15);
    EXPECT_EQ(form.Label1->text(), "speed=15%");
    EXPECT_EQ(form.ScrollBar1->value(), 15);
    EXPECT_TRUE(rec.speeds.empty());   // presetting is not a change

    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QTest::keyClick(form.ScrollBar1, Qt::Key_Right);
    EXPECT_EQ(rec.speeds, std::vector<int>{16});
    EXPECT_EQ(form.Label1->text(), "speed=16%");
    QTest::keyClick(form.ScrollBar1, Qt::Key_End);
    EXPECT_EQ(rec.speeds.back(), 75);
    EXPECT_EQ(form.Label1->text(), "speed=75%");
    QTest::keyClick(form.ScrollBar1, Qt::Key_Home);
    EXPECT_EQ(rec.speeds.back(), 5);
    EXPECT_EQ(form.Speed(), 5);
}

TEST(FlipSpeedDialog, TestButtonsTurnOneLeafEachWay)
{
    TSetFlipSpeedForm form;
    Recorder rec;
    rec.attach(form);
    form.Prepare(QPoint(400, 30), 40);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QTest::mouseClick(form.BitBtn2, Qt::LeftButton);
    QTest::mouseClick(form.BitBtn3, Qt::LeftButton);
    EXPECT_EQ(rec.flips, (std::vector<std::pair<int, int>>{{1, 2}, {2, 2}}));
    EXPECT_TRUE(form.isVisible());   // testing does not close the dialog
}

TEST(FlipSpeedDialog, OkAndEscapeCloseTheModalDialog)
{
    TSetFlipSpeedForm form;
    QTimer::singleShot(0, &form, [&] { QTest::keyClick(&form, Qt::Key_Escape); });
    form.ShowAt(QPoint(400, 30), 20);
    EXPECT_FALSE(form.isVisible());

    QTimer::singleShot(0, &form, [&] { QTest::mouseClick(form.BitBtn1, Qt::LeftButton); });
    EXPECT_EQ(form.ShowAt(QPoint(400, 30), 20), QDialog::Accepted);
    EXPECT_FALSE(form.isVisible());
}

TEST(FlipSpeedDialog, StaysOnTheScreen)
{
    const QRect screen(0, 0, 800, 600);
    const QSize size(300, 120);
    // The spine near the top: a top above 5 becomes 5.
    EXPECT_EQ(TSetFlipSpeedForm::Placement(QPoint(400, 30), size, screen), QPoint(250, 5));
    // Near the bottom of a small screen the dialog moves up; near the right edge, left.
    EXPECT_EQ(TSetFlipSpeedForm::Placement(QPoint(790, 590), size, screen), QPoint(495, 475));
    EXPECT_EQ(TSetFlipSpeedForm::Placement(QPoint(10, 300), size, screen).x(), 5);
    // A second screen to the right keeps its own edges.
    EXPECT_EQ(TSetFlipSpeedForm::Placement(QPoint(810, 30), size, QRect(800, 0, 1024, 768)), QPoint(805, 5));

    // The real dialog lands inside the screen it is shown on.
    TSetFlipSpeedForm form;
    form.Prepare(QPoint(100000, 100000), 15);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QRect avail = form.screen()->availableGeometry();
    EXPECT_TRUE(avail.contains(form.frameGeometry().topLeft()));
    EXPECT_LE(form.frameGeometry().bottom(), avail.bottom());
}
