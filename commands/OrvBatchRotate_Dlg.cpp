#include "commands/OrvBatchRotate_Dlg.h"

#include "platform/imaging/Imaging.h"
#include "platform/imaging/Transform.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

namespace pagero {
namespace {

constexpr int kPreviewBox = 200;
constexpr int kQuickAngles[] = {0, 90, -90, 180, -180, 270, -270};

QScrollBar *ColourBar(QWidget *parent)
{
    auto *bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setRange(0, 255);
    bar->setValue(255);
    return bar;
}

QLabel *PreviewBox(QWidget *parent)
{
    auto *box = new QLabel(parent);
    box->setFixedSize(kPreviewBox, kPreviewBox);
    box->setAlignment(Qt::AlignCenter);
    box->setFrameShape(QFrame::Panel);
    box->setFrameShadow(QFrame::Sunken);
    return box;
}

QProgressBar *Gauge(QWidget *parent)
{
    auto *g = new QProgressBar(parent);
    g->setOrientation(Qt::Vertical);
    g->setRange(0, 100);
    g->setTextVisible(false);
    g->setFixedWidth(12);
    return g;
}

} // namespace

TBatchRotate_Fm::TBatchRotate_Fm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("BatchRotate_Fm"));
    auto *layout = new QVBoxLayout(this);

    auto *angleRow = new QHBoxLayout;
    ScrollBar1 = new QScrollBar(Qt::Horizontal, this);
    ScrollBar1->setObjectName(QStringLiteral("ScrollBar1"));
    ScrollBar1->setRange(-359, 359);
    ScrollBar1->setPageStep(10);
    ScrollBar1->setMinimumWidth(240);
    AngleLabel = new QLabel(this);
    AngleLabel->setStyleSheet(QStringLiteral("background: yellow; padding: 1px 4px;"));
    angleRow->addWidget(new QLabel(QStringLiteral("Left "), this));
    angleRow->addWidget(ScrollBar1, 1);
    angleRow->addWidget(new QLabel(QStringLiteral("Right"), this));
    angleRow->addWidget(AngleLabel);
    layout->addLayout(angleRow);

    auto *quickRow = new QHBoxLayout;
    auto *quickGroup = new QButtonGroup(this);
    for (int angle : kQuickAngles) {
        auto *b = new QRadioButton(QString::number(angle) + QChar(0x00B0) + ' ', this);
        QuickAngles << b;
        quickGroup->addButton(b);
        quickRow->addWidget(b);
        connect(b, &QRadioButton::clicked, this, [this, angle] {
            SetAngle(angle);
            DrawAfter();
        });
    }
    layout->addLayout(quickRow);

    auto *fill = new QGroupBox(QStringLiteral("Background fill color"), this);
    auto *fillGrid = new QGridLayout(fill);
    ScrollBarR = ColourBar(fill);
    ScrollBarG = ColourBar(fill);
    ScrollBarB = ColourBar(fill);
    Panel1 = new QLabel(fill);
    Panel1->setFixedSize(40, 40);
    Panel1->setAutoFillBackground(true);
    const char *names[] = {"R", "G", "B"};
    QScrollBar *bars[] = {ScrollBarR, ScrollBarG, ScrollBarB};
    for (int i = 0; i < 3; ++i) {
        fillGrid->addWidget(new QLabel(QString::fromLatin1(names[i]), fill), i, 0);
        fillGrid->addWidget(bars[i], i, 1);
        connect(bars[i], &QScrollBar::valueChanged, this, &TBatchRotate_Fm::ColourChanged);
    }
    fillGrid->addWidget(Panel1, 0, 2, 3, 1);
    layout->addWidget(fill);

    auto *previews = new QHBoxLayout;
    Image1 = PreviewBox(this);
    Image2 = PreviewBox(this);
    Gauge1 = Gauge(this);
    Gauge2 = Gauge(this);
    previews->addWidget(Gauge1);
    previews->addWidget(Image1);
    previews->addWidget(Image2);
    previews->addWidget(Gauge2);
    layout->addLayout(previews);

    auto *buttons = new QHBoxLayout;
    OkButton = new QPushButton(QStringLiteral("&OK"), this);
    CancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
    ResetButton = new QPushButton(QStringLiteral("&Reset"), this);
    OkButton->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(OkButton);
    buttons->addWidget(CancelButton);
    buttons->addWidget(ResetButton);
    layout->addLayout(buttons);
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(ResetButton, &QPushButton::clicked, this, &TBatchRotate_Fm::ResetClick);

    connect(ScrollBar1, &QScrollBar::valueChanged, this, &TBatchRotate_Fm::AngleChanged);
    // Dragging only moves the number; the preview follows when the bar is let go, or at once for
    // clicks and keys.
    connect(ScrollBar1, &QScrollBar::sliderReleased, this, &TBatchRotate_Fm::DrawAfter);
    connect(ScrollBar1, &QScrollBar::actionTriggered, this, [this](int action) {
        if (action != QAbstractSlider::SliderMove) QTimer::singleShot(0, this, &TBatchRotate_Fm::DrawAfter);
    });

    Timer1 = new QTimer(this);
    Timer1->setSingleShot(true);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &TBatchRotate_Fm::Preview);
    loader_.loaded = [this](const QImage &picture) {
        before_ = picture;
        loaded_ = !before_.isNull();
        Image1->setPixmap(QPixmap::fromImage(before_));
        for (QWidget *w : {static_cast<QWidget *>(OkButton), static_cast<QWidget *>(ScrollBar1)}) w->setEnabled(true);
        DrawAfter();
    };
    AngleChanged();
    ColourChanged();
}

TBatchRotate_Fm::~TBatchRotate_Fm() = default;

void TBatchRotate_Fm::SetFile(const QString &path, bool batchMode)
{
    CurrentFile = path;
    BatchMode = batchMode;
    Gauge1->setVisible(batchMode);
    Gauge2->setVisible(batchMode);
    Timer1->start();
}

int TBatchRotate_Fm::Angle() const { return ScrollBar1->value(); }

void TBatchRotate_Fm::SetAngle(int angle) { ScrollBar1->setValue(angle); }

QRgb TBatchRotate_Fm::FillColor() const
{
    return qRgb(ScrollBarR->value(), ScrollBarG->value(), ScrollBarB->value());
}

void TBatchRotate_Fm::AngleChanged()
{
    AngleLabel->setText(QString::number(Angle()) + QChar(0x00B0));
}

void TBatchRotate_Fm::ColourChanged()
{
    QPalette p = Panel1->palette();
    p.setColor(QPalette::Window, QColor(FillColor()));
    Panel1->setPalette(p);
}

void TBatchRotate_Fm::Preview()
{
    if (!loader_.Load(CurrentFile, QSize(kPreviewBox, kPreviewBox))) return;
    Ready = false;
    OkButton->setEnabled(false);
}

void TBatchRotate_Fm::DrawAfter()
{
    if (loader_.Running()) return;
    QImage after;
    if (loaded_) {
        after = imaging::RotateImage(before_, Angle(), FillColor());
        after = after.scaled(QSize(kPreviewBox, kPreviewBox).boundedTo(after.size()), Qt::KeepAspectRatio,
                             Qt::SmoothTransformation);
    }
    Ready = loaded_ && !after.isNull();
    Image2->setPixmap(QPixmap::fromImage(after));
    Gauge1->setValue(100);
    Gauge2->setValue(100);
    emit PreviewShown();
}

void TBatchRotate_Fm::ResetClick()
{
    SetAngle(0);
    DrawAfter();
}

} // namespace pagero
