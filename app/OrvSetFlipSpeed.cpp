#include "app/OrvSetFlipSpeed.h"

#include "common/Fonts.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace pagero {

namespace {

QRect screenAround(QPoint p)
{
    QScreen *screen = QGuiApplication::screenAt(p);
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

} // namespace

TSetFlipSpeedForm::TSetFlipSpeedForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SetFlipSpeedForm"));
    setWindowTitle(QStringLiteral("             Set Flipping Speed "));
    setFont(BookFont(8));

    Label1 = new QLabel(QStringLiteral("Speed=100%"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);

    ScrollBar1 = new QScrollBar(Qt::Horizontal, this);
    ScrollBar1->setObjectName(QStringLiteral("ScrollBar1"));
    ScrollBar1->setRange(MinSpeed, MaxSpeed);
    ScrollBar1->setValue(50);
    ScrollBar1->setMinimumWidth(200);
    ScrollBar1->setFocusPolicy(Qt::StrongFocus);
    ScrollBar1->setInvertedControls(false);   // the right arrow key makes it faster

    StaticText1 = new QLabel(QStringLiteral("Slower"), this);
    StaticText1->setObjectName(QStringLiteral("StaticText1"));
    StaticText2 = new QLabel(QStringLiteral("Faster"), this);
    StaticText2->setObjectName(QStringLiteral("StaticText2"));

    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("Test"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setAutoDefault(false);
    BitBtn3 = new QPushButton(QStringLiteral("Test"), this);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    BitBtn3->setAutoDefault(false);

    auto *sliderRow = new QHBoxLayout;
    sliderRow->addWidget(StaticText1);
    sliderRow->addWidget(ScrollBar1, 1);
    sliderRow->addWidget(StaticText2);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addWidget(BitBtn2);
    buttonRow->addStretch(1);
    buttonRow->addWidget(BitBtn1);
    buttonRow->addStretch(1);
    buttonRow->addWidget(BitBtn3);
    auto *column = new QVBoxLayout(this);
    column->addWidget(Label1);
    column->addLayout(sliderRow);
    column->addLayout(buttonRow);
    setFixedSize(sizeHint());

    connect(ScrollBar1, &QScrollBar::valueChanged, this, &TSetFlipSpeedForm::ScrollBar1Change);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, [this] { if (flip) flip(1, 2); });
    connect(BitBtn3, &QPushButton::clicked, this, [this] { if (flip) flip(2, 2); });
}

QPoint TSetFlipSpeedForm::Placement(QPoint centre, QSize size, const QRect &screen)
{
    int left = centre.x() - size.width() / 2;
    int top = centre.y() - size.height() / 2;
    left = std::max(left, screen.left() + 5);
    top = std::max(top, screen.top() + 5);
    if (screen.left() + screen.width() < left + size.width())
        left = screen.left() + screen.width() - size.width() - 5;
    if (screen.top() + screen.height() < top + size.height())
        top = screen.top() + screen.height() - size.height() - 5;
    return QPoint(left, top);
}

void TSetFlipSpeedForm::Prepare(QPoint centre, int speed)
{
    move(Placement(centre, frameGeometry().size().expandedTo(size()), screenAround(centre)));
    // Presetting is not a user's move: the speed is already in force.
    const QSignalBlocker quiet(ScrollBar1);
    ScrollBar1->setValue(speed);
    showSpeed(speed);
}

int TSetFlipSpeedForm::ShowAt(QPoint centre, int speed)
{
    Prepare(centre, speed);
    return exec();
}

int TSetFlipSpeedForm::Speed() const { return ScrollBar1->value(); }

void TSetFlipSpeedForm::ScrollBar1Change(int position)
{
    showSpeed(position);
    if (setSpeed) setSpeed(position);
}

void TSetFlipSpeedForm::showSpeed(int speed)
{
    Label1->setText(QStringLiteral("speed=") + QString::number(speed) + QStringLiteral("%"));
}

} // namespace pagero
