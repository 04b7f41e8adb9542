#include "app/OrvFlippingTool.h"

#include "common/Fonts.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

namespace pagero {

namespace {

constexpr int kScreenMargin = 38;

QRect screenAround(QPoint p)
{
    QScreen *screen = QGuiApplication::screenAt(p);
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

QToolButton *speedButton(QWidget *parent, const char *name, const QString &glyph)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setText(glyph);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);   // speed buttons never take the focus
    b->setMinimumSize(24, 22);
    return b;
}

} // namespace

TFlippingToolForm::TFlippingToolForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FlippingToolForm"));
    setWindowTitle(QStringLiteral("        Flipping Control"));
    setFont(BookFont(8));

    FFlipToLeft = speedButton(this, "FFlipToLeft", QStringLiteral("|\u25C0"));
    FlipToLeft = speedButton(this, "FlipToLeft", QStringLiteral("\u25C0"));
    FlipToRight = speedButton(this, "FlipToRight", QStringLiteral("\u25B6"));
    FFlipToRight = speedButton(this, "FFlipToRight", QStringLiteral("\u25B6|"));

    ScrollBar = new QScrollBar(Qt::Horizontal, this);
    ScrollBar->setObjectName(QStringLiteral("ScrollBar"));
    ScrollBar->setSingleStep(2);
    ScrollBar->setPageStep(6);
    ScrollBar->setMinimumWidth(220);
    ScrollBar->setFocusPolicy(Qt::StrongFocus);
    ScrollBar->setInvertedControls(false);   // the right arrow key turns forward

    SliderNo = new QLabel(QStringLiteral("1000"), this);
    SliderNo->setObjectName(QStringLiteral("SliderNo"));
    SliderNo->setAlignment(Qt::AlignCenter);
    SliderNo->setMinimumWidth(40);

    BitBtn1 = new QPushButton(QStringLiteral("&Close"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));

    auto *sliderRow = new QHBoxLayout;
    sliderRow->addWidget(FFlipToLeft);
    sliderRow->addWidget(FlipToLeft);
    sliderRow->addWidget(ScrollBar, 1);
    sliderRow->addWidget(FlipToRight);
    sliderRow->addWidget(FFlipToRight);
    auto *bottomRow = new QHBoxLayout;
    bottomRow->addStretch(1);
    bottomRow->addWidget(SliderNo);
    bottomRow->addStretch(1);
    bottomRow->addWidget(BitBtn1);
    auto *column = new QVBoxLayout(this);
    column->addLayout(sliderRow);
    column->addLayout(bottomRow);
    setFixedSize(sizeHint());

    // valueChanged comes from the user's moves only: programmatic moves block it.
    connect(ScrollBar, &QScrollBar::valueChanged, this, &TFlippingToolForm::ScrollBarScroll);
    connect(ScrollBar, &QScrollBar::sliderReleased, this, &TFlippingToolForm::ScrollBarReleased);
    connect(FFlipToLeft, &QToolButton::clicked, this, &TFlippingToolForm::FFlipToLeftClick);
    connect(FlipToLeft, &QToolButton::clicked, this, &TFlippingToolForm::FlipToLeftClick);
    connect(FlipToRight, &QToolButton::clicked, this, &TFlippingToolForm::FlipToRightClick);
    connect(FFlipToRight, &QToolButton::clicked, this, &TFlippingToolForm::FFlipToRightClick);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

QPoint TFlippingToolForm::Placement(QPoint anchor, QSize size, const QRect &screen)
{
    int left = anchor.x() - size.width() / 2;
    int top = anchor.y();
    const int screenRight = screen.left() + screen.width();
    const int screenBottom = screen.top() + screen.height();
    if (left < screen.left() + kScreenMargin)
        left = screen.left() + kScreenMargin;
    else if (left + size.width() > screenRight - kScreenMargin)
        left = screenRight - size.width() - kScreenMargin;
    if (top < screen.top() + kScreenMargin)
        top = screen.top() + kScreenMargin;
    else if (top + size.height() > screenBottom - kScreenMargin)
        top = screenBottom - size.height() - kScreenMargin;
    return QPoint(left, top);
}

void TFlippingToolForm::Prepare(QPoint anchor, int minimum, int maximum, int position)
{
    move(Placement(anchor, frameGeometry().size().expandedTo(size()), screenAround(anchor)));
    const QSignalBlocker quiet(ScrollBar);
    ScrollBar->setRange(minimum, std::max(minimum, maximum));
    ScrollBar->setValue(position);
    currentPosition_ = ScrollBar->value();
    showLabel();
}

int TFlippingToolForm::ShowAt(QPoint anchor, int minimum, int maximum, int position)
{
    Prepare(anchor, minimum, maximum, position);
    return exec();
}

void TFlippingToolForm::ScrollBarScroll(int position)
{
    currentPosition_ = position;
    showLabel();
    // While the thumb is dragged only the label follows; the release flips.
    if (!ScrollBar->isSliderDown() && flipTo) flipTo(currentPosition_);
}

void TFlippingToolForm::ScrollBarReleased()
{
    currentPosition_ = ScrollBar->value();
    showLabel();
    if (flipTo) flipTo(currentPosition_);
}

void TFlippingToolForm::FFlipToLeftClick() { moveTo(ScrollBar->minimum()); }

void TFlippingToolForm::FFlipToRightClick() { moveTo(ScrollBar->maximum()); }

void TFlippingToolForm::FlipToLeftClick()
{
    if (currentPosition_ - ScrollBar->minimum() < 2)
        ring();
    else
        moveTo(currentPosition_ - 2);
}

void TFlippingToolForm::FlipToRightClick()
{
    if (ScrollBar->maximum() - currentPosition_ < 2)
        ring();
    else
        moveTo(currentPosition_ + 2);
}

void TFlippingToolForm::moveTo(int position)
{
    {
        const QSignalBlocker quiet(ScrollBar);
        ScrollBar->setValue(position);
    }
    currentPosition_ = ScrollBar->value();
    showLabel();
    if (flipTo) flipTo(currentPosition_);
}

void TFlippingToolForm::showLabel()
{
    SliderNo->setText(pageLabel ? pageLabel(currentPosition_) : QString::number(currentPosition_));
}

void TFlippingToolForm::ring()
{
    if (beep)
        beep();
    else
        QApplication::beep();
}

} // namespace pagero
