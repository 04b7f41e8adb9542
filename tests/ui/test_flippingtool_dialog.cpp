// The flipping tool driven through its real controls: slider drags, keys and the four buttons.
#include "app/OrvFlippingTool.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace pagero;

namespace {

struct Tool {
    TFlippingToolForm form;
    std::vector<int> flips;
    int beeps = 0;

    Tool()
    {
        form.flipTo = [this](int page) { flips.push_back(page); };
        form.pageLabel = [](int page) { return page <= 1 || page >= 40 ? QString() : QString("p%1").arg(page); };
        form.beep = [this] { ++beeps; };
    }
    // A book of 40 pages: the slider runs from 0 to LastPageNo + 1, open at spread (2, 3).
    void open(int position = 3)
    {
        form.Prepare(QPoint(400, 20), 0, 41, position);
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    QRect handleRect() const
    {
        QStyleOptionSlider opt;
        opt.initFrom(form.ScrollBar);
        opt.subControls = QStyle::SC_All;
        opt.orientation = Qt::Horizontal;
        opt.state |= QStyle::State_Horizontal;
        opt.minimum = form.ScrollBar->minimum();
        opt.maximum = form.ScrollBar->maximum();
        opt.sliderPosition = form.ScrollBar->sliderPosition();
        opt.sliderValue = form.ScrollBar->value();
        opt.singleStep = form.ScrollBar->singleStep();
        opt.pageStep = form.ScrollBar->pageStep();
        return form.ScrollBar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, QStyle::SC_ScrollBarSlider,
                                                       form.ScrollBar);
    }
};

} // namespace

TEST(FlippingTool, ControlsAsDesigned)
{
    TFlippingToolForm form;
    EXPECT_EQ(form.windowTitle(), "        Flipping Control");
    for (const char *name : {"FFlipToLeft", "FlipToLeft", "FlipToRight", "FFlipToRight"})
        EXPECT_NE(form.findChild<QToolButton *>(name), nullptr) << name;
    auto *bar = form.findChild<QScrollBar *>("ScrollBar");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->singleStep(), 2);
    EXPECT_EQ(bar->pageStep(), 6);
    EXPECT_EQ(form.findChild<QLabel *>("SliderNo")->text(), "1000");
    EXPECT_EQ(form.findChild<QPushButton *>("BitBtn1")->text(), "&Close");
}

TEST(FlippingTool, PresetShowsTheLabelWithoutFlipping)
{
    Tool t;
    t.open(3);
    EXPECT_EQ(t.form.ScrollBar->minimum(), 0);
    EXPECT_EQ(t.form.ScrollBar->maximum(), 41);
    EXPECT_EQ(t.form.CurrentPosition(), 3);
    EXPECT_EQ(t.form.SliderNo->text(), "p3");
    EXPECT_TRUE(t.flips.empty());
}

TEST(FlippingTool, DraggingTheThumbFlipsOnlyOnRelease)
{
    Tool t;
    t.open(3);
    const QRect handle = t.handleRect();
    ASSERT_TRUE(handle.isValid());
    const QPoint start = handle.center();
    QTest::mousePress(t.form.ScrollBar, Qt::LeftButton, Qt::NoModifier, start);
    ASSERT_TRUE(t.form.ScrollBar->isSliderDown());
    for (int dx = 10; dx <= 60; dx += 10) {
        QMouseEvent move(QEvent::MouseMove, QPointF(start + QPoint(dx, 0)),
                         t.form.ScrollBar->mapToGlobal(QPointF(start + QPoint(dx, 0))), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(t.form.ScrollBar, &move);
    }
    const int dragged = t.form.ScrollBar->value();
    ASSERT_GT(dragged, 3);
    EXPECT_TRUE(t.flips.empty());                             // no flip while dragging
    EXPECT_EQ(t.form.SliderNo->text(), t.form.pageLabel(dragged));   // but the label follows
    QTest::mouseRelease(t.form.ScrollBar, Qt::LeftButton, Qt::NoModifier, start + QPoint(60, 0));
    EXPECT_EQ(t.flips, std::vector<int>{dragged});
    EXPECT_EQ(t.form.CurrentPosition(), dragged);
}

TEST(FlippingTool, KeysAndGrooveClicksFlipAtOnce)
{
    Tool t;
    t.open(3);
    t.form.ScrollBar->setFocus();
    QTest::keyClick(t.form.ScrollBar, Qt::Key_Right);   // SmallChange 2
    EXPECT_EQ(t.flips, std::vector<int>{5});
    QTest::keyClick(t.form.ScrollBar, Qt::Key_Left);
    EXPECT_EQ(t.flips.back(), 3);
    // A click on the groove right of the thumb moves by LargeChange 6.
    const QRect handle = t.handleRect();
    QTest::mouseClick(t.form.ScrollBar, Qt::LeftButton, Qt::NoModifier,
                      QPoint(handle.right() + 8, handle.center().y()));
    EXPECT_EQ(t.flips.back(), 9);
    EXPECT_EQ(t.form.SliderNo->text(), "p9");
}

TEST(FlippingTool, ButtonsStepByOneLeafAndBeepAtTheEnds)
{
    Tool t;
    t.open(3);
    QTest::mouseClick(t.form.FlipToRight, Qt::LeftButton);
    EXPECT_EQ(t.flips, std::vector<int>{5});
    EXPECT_EQ(t.form.ScrollBar->value(), 5);
    QTest::mouseClick(t.form.FlipToLeft, Qt::LeftButton);
    EXPECT_EQ(t.flips.back(), 3);

    QTest::mouseClick(t.form.FFlipToRight, Qt::LeftButton);   // closes the book at the back
    EXPECT_EQ(t.flips.back(), 41);
    EXPECT_EQ(t.form.SliderNo->text(), "");
    const size_t before = t.flips.size();
    QTest::mouseClick(t.form.FlipToRight, Qt::LeftButton);
    EXPECT_EQ(t.beeps, 1);
    EXPECT_EQ(t.flips.size(), before);   // nothing moves
    EXPECT_EQ(t.form.ScrollBar->value(), 41);

    QTest::mouseClick(t.form.FFlipToLeft, Qt::LeftButton);   // closes it at the front
    EXPECT_EQ(t.flips.back(), 0);
    QTest::mouseClick(t.form.FlipToLeft, Qt::LeftButton);
    EXPECT_EQ(t.beeps, 2);
    EXPECT_EQ(t.flips.back(), 0);

    // One page short of the end is not a whole leaf either.
    t.form.Prepare(QPoint(400, 20), 0, 41, 40);
    t.flips.clear();
    QTest::mouseClick(t.form.FlipToRight, Qt::LeftButton);
    EXPECT_EQ(t.beeps, 3);
    EXPECT_TRUE(t.flips.empty());
}

TEST(FlippingTool, CloseAndEscapeCloseTheTool)
{
    Tool t;
    t.open(3);
    QTest::keyClick(&t.form, Qt::Key_Escape);
    EXPECT_FALSE(t.form.isVisible());
    QTimer::singleShot(0, &t.form, [&] { QTest::mouseClick(t.form.BitBtn1, Qt::LeftButton); });
    t.form.ShowAt(QPoint(400, 20), 0, 41, 3);
    EXPECT_FALSE(t.form.isVisible());
    EXPECT_TRUE(t.flips.empty());
}

TEST(FlippingTool, KeepsA38PixelMarginToTheScreenEdges)
{
    const QRect screen(0, 0, 800, 600);
    const QSize size(360, 80);
    EXPECT_EQ(TFlippingToolForm::Placement(QPoint(400, 20), size, screen), QPoint(220, 38));
    EXPECT_EQ(TFlippingToolForm::Placement(QPoint(100, 100), size, screen).x(), 38);
    EXPECT_EQ(TFlippingToolForm::Placement(QPoint(700, 100), size, screen).x(), 800 - 360 - 38);
    EXPECT_EQ(TFlippingToolForm::Placement(QPoint(400, 590), size, screen).y(), 600 - 80 - 38);
}
