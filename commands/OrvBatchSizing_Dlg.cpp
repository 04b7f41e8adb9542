#include "commands/OrvBatchSizing_Dlg.h"

#include "core/batch/SizeFactors.h"
#include "platform/imaging/Imaging.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

namespace pagero {
namespace {

constexpr int kPreviewBox = 200;

QScrollBar *Bar(int maximum, QWidget *parent)
{
    auto *bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setRange(0, maximum);
    bar->setValue(maximum / 2);
    bar->setPageStep(maximum / 100);
    bar->setMinimumWidth(220);
    return bar;
}

QString SizeText(QSize s) { return QString::number(s.width()) + " x " + QString::number(s.height()); }

} // namespace

TBatchSizing_Fm::TBatchSizing_Fm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("BatchSizing_Fm"));
    auto *layout = new QVBoxLayout(this);
    ModeLabel = new QLabel(QStringLiteral("Reszing"), this);
    layout->addWidget(ModeLabel);

    auto *ratio = new QGroupBox(QStringLiteral("Ratio"), this);
    auto *ratioGrid = new QGridLayout(ratio);
    HorizontalBar = Bar(kRatioBarMax, ratio);
    VerticalBar = Bar(kRatioBarMax, ratio);
    HorizontalLabel = new QLabel(ratio);
    VerticalLabel = new QLabel(ratio);
    ratioGrid->addWidget(new QLabel(QStringLiteral("Horizontal"), ratio), 0, 0);
    ratioGrid->addWidget(HorizontalBar, 0, 1);
    ratioGrid->addWidget(HorizontalLabel, 0, 2);
    ratioGrid->addWidget(new QLabel(QStringLiteral("Vertical"), ratio), 1, 0);
    ratioGrid->addWidget(VerticalBar, 1, 1);
    ratioGrid->addWidget(VerticalLabel, 1, 2);
    AspectCheck = new QCheckBox(QStringLiteral("Maintain aspect ratio"), ratio);
    ratioGrid->addWidget(AspectCheck, 2, 1);
    layout->addWidget(ratio);

    auto *sizes = new QGridLayout;
    WidthScrollBar = Bar(kSizeBarMax, this);
    HeightScrollBar = Bar(kSizeBarMax, this);
    WidthLabel = new QLabel(this);
    HeightLabel = new QLabel(this);
    sizes->addWidget(new QLabel(QStringLiteral("Width"), this), 0, 0);
    sizes->addWidget(WidthScrollBar, 0, 1);
    sizes->addWidget(WidthLabel, 0, 2);
    sizes->addWidget(new QLabel(QStringLiteral("Height"), this), 1, 0);
    sizes->addWidget(HeightScrollBar, 1, 1);
    sizes->addWidget(HeightLabel, 1, 2);
    layout->addLayout(sizes);

    auto *quick = new QGroupBox(QStringLiteral("Quick Select"), this);
    auto *quickRow = new QHBoxLayout(quick);
    const QSize presets[] = {{300, 200}, {640, 480}, {800, 600}, {1024, 768}, {1280, 1024}};
    for (QSize preset : presets) {
        auto *b = new QPushButton(SizeText(preset), quick);
        QuickButtons << b;
        quickRow->addWidget(b);
        connect(b, &QPushButton::clicked, this, [this, preset] { QuickSelect(preset); });
    }
    auto *desktop = new QPushButton(QStringLiteral("Desktop Size"), quick);
    QuickButtons << desktop;
    quickRow->addWidget(desktop);
    connect(desktop, &QPushButton::clicked, this, [this] {
        const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
        if (screen) QuickSelect(screen->size());
    });
    layout->addWidget(quick);

    auto *previews = new QGridLayout;
    Image1 = new QLabel(this);
    Image2 = new QLabel(this);
    for (QLabel *box : {Image1, Image2}) {
        box->setFixedSize(kPreviewBox, kPreviewBox);
        box->setAlignment(Qt::AlignCenter);
        box->setFrameShape(QFrame::Panel);
        box->setFrameShadow(QFrame::Sunken);
    }
    BeforeSize = new QLabel(this);
    AfterSize = new QLabel(this);
    Gauge1 = new QProgressBar(this);
    Gauge2 = new QProgressBar(this);
    for (QProgressBar *g : {Gauge1, Gauge2}) {
        g->setOrientation(Qt::Vertical);
        g->setRange(0, 100);
        g->setTextVisible(false);
        g->setFixedWidth(12);
    }
    previews->addWidget(Gauge1, 0, 0);
    previews->addWidget(Image1, 0, 1);
    previews->addWidget(Image2, 0, 2);
    previews->addWidget(Gauge2, 0, 3);
    previews->addWidget(BeforeSize, 1, 1, Qt::AlignHCenter);
    previews->addWidget(AfterSize, 1, 2, Qt::AlignHCenter);
    layout->addLayout(previews);

    auto *buttons = new QHBoxLayout;
    OkButton = new QPushButton(QStringLiteral("&OK"), this);
    CancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
    ResetButton = new QPushButton(QStringLiteral("&Reset"), this);
    OkButton->setDefault(true);
    buttons->addWidget(ResetButton);
    buttons->addStretch();
    buttons->addWidget(OkButton);
    buttons->addWidget(CancelButton);
    layout->addLayout(buttons);
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(ResetButton, &QPushButton::clicked, this, &TBatchSizing_Fm::ResetClick);

    connect(HorizontalBar, &QScrollBar::valueChanged, this, [this] { RatioMoved(true); });
    connect(VerticalBar, &QScrollBar::valueChanged, this, [this] { RatioMoved(false); });
    connect(WidthScrollBar, &QScrollBar::valueChanged, this, [this] { SizeMoved(true); });
    connect(HeightScrollBar, &QScrollBar::valueChanged, this, [this] { SizeMoved(false); });
    for (QScrollBar *bar : {HorizontalBar, VerticalBar, WidthScrollBar, HeightScrollBar})
        connect(bar, &QScrollBar::sliderReleased, this, &TBatchSizing_Fm::DrawAfter);

    Timer1 = new QTimer(this);
    Timer1->setSingleShot(true);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &TBatchSizing_Fm::Preview);
    loader_.loaded = [this](const QImage &picture) {
        before_ = picture;
        Image1->setPixmap(QPixmap::fromImage(before_));
        OkButton->setEnabled(true);
        DrawAfter();
    };
    UpdateLabels();
}

TBatchSizing_Fm::~TBatchSizing_Fm() = default;

void TBatchSizing_Fm::showEvent(QShowEvent *event)
{
    AspectCheck->setChecked(true);   // checked at every show
    QDialog::showEvent(event);
}

void TBatchSizing_Fm::SetFile(const QString &path, bool batchMode, imaging::SizeMode mode)
{
    CurrentFile = path;
    BatchMode = batchMode;
    SizeMode = mode;
    ModeLabel->setText(mode == imaging::SizeMode::Resize ? QStringLiteral("Reszing") : QStringLiteral("Resampling"));
    Gauge1->setVisible(batchMode);
    Gauge2->setVisible(batchMode);
    // The header gives the size at once; the pixels of the preview follow from a worker.
    StartSize = imaging::PictureSize(path);
    if (!StartSize.isValid()) StartSize = QSize(0, 0);
    BeforeSize->setText(SizeText(StartSize));
    UpdateLabels();
    Timer1->start();
}

int TBatchSizing_Fm::WidthBar() const { return WidthScrollBar->value(); }
int TBatchSizing_Fm::HeightBar() const { return HeightScrollBar->value(); }

QSize TBatchSizing_Fm::WantedSize() const
{
    return QSize(ScaledSide(WidthBar(), StartSize.width()), ScaledSide(HeightBar(), StartSize.height()));
}

void TBatchSizing_Fm::QuickSelect(QSize size)
{
    if (StartSize.isEmpty()) return;
    syncing_ = true;
    WidthScrollBar->setValue(SizeBarPositionFor(size.width(), StartSize.width()));
    HeightScrollBar->setValue(SizeBarPositionFor(size.height(), StartSize.height()));
    HorizontalBar->setValue(BarPositionForFactor(BarFactor(WidthBar(), kSizeBarMax), kRatioBarMax));
    VerticalBar->setValue(BarPositionForFactor(BarFactor(HeightBar(), kSizeBarMax), kRatioBarMax));
    syncing_ = false;
    UpdateLabels();
    DrawAfter();
}

void TBatchSizing_Fm::RatioMoved(bool horizontal)
{
    if (syncing_) return;
    syncing_ = true;
    QScrollBar *moved = horizontal ? HorizontalBar : VerticalBar;
    QScrollBar *other = horizontal ? VerticalBar : HorizontalBar;
    if (AspectCheck->isChecked()) other->setValue(moved->value());
    WidthScrollBar->setValue(BarPositionForFactor(BarPercent(HorizontalBar->value(), kRatioBarMax) / 100.0, kSizeBarMax));
    HeightScrollBar->setValue(BarPositionForFactor(BarPercent(VerticalBar->value(), kRatioBarMax) / 100.0, kSizeBarMax));
    syncing_ = false;
    UpdateLabels();
}

void TBatchSizing_Fm::SizeMoved(bool horizontal)
{
    if (syncing_) return;
    syncing_ = true;
    QScrollBar *moved = horizontal ? WidthScrollBar : HeightScrollBar;
    QScrollBar *other = horizontal ? HeightScrollBar : WidthScrollBar;
    if (AspectCheck->isChecked()) other->setValue(moved->value());
    HorizontalBar->setValue(BarPositionForFactor(BarFactor(WidthBar(), kSizeBarMax), kRatioBarMax));
    VerticalBar->setValue(BarPositionForFactor(BarFactor(HeightBar(), kSizeBarMax), kRatioBarMax));
    syncing_ = false;
    UpdateLabels();
}

void TBatchSizing_Fm::UpdateLabels()
{
    HorizontalLabel->setText(QString::number(BarPercent(HorizontalBar->value(), kRatioBarMax) * 0.01, 'f', 2));
    VerticalLabel->setText(QString::number(BarPercent(VerticalBar->value(), kRatioBarMax) * 0.01, 'f', 2));
    const QSize wanted = WantedSize();
    WidthLabel->setText(QString::number(wanted.width()) + " pixels");
    HeightLabel->setText(QString::number(wanted.height()) + " pixels");
    AfterSize->setText(SizeText(wanted));
}

void TBatchSizing_Fm::Preview()
{
    if (!loader_.Load(CurrentFile, QSize(kPreviewBox, kPreviewBox))) return;
    Ready = false;
    OkButton->setEnabled(false);
}

void TBatchSizing_Fm::DrawAfter()
{
    if (loader_.Running()) return;
    QImage after;
    if (!before_.isNull() && !StartSize.isEmpty()) {
        // The preview shows the wanted proportions at the preview's scale.
        const QSize wanted = WantedSize();
        const double scale = std::min({1.0, double(kPreviewBox) / wanted.width(), double(kPreviewBox) / wanted.height()});
        const QSize shown(std::max(1, int(wanted.width() * scale)), std::max(1, int(wanted.height() * scale)));
        after = imaging::ResizeImage(before_, shown, imaging::SizeMode::Resize);
    }
    Ready = !after.isNull();
    Image2->setPixmap(QPixmap::fromImage(after));
    Gauge1->setValue(100);
    Gauge2->setValue(100);
    emit PreviewShown();
}

void TBatchSizing_Fm::ResetClick()
{
    syncing_ = true;
    for (QScrollBar *bar : {HorizontalBar, VerticalBar, WidthScrollBar, HeightScrollBar}) bar->setValue(bar->maximum() / 2);
    syncing_ = false;
    AspectCheck->setChecked(true);
    UpdateLabels();
    DrawAfter();
}

} // namespace pagero
