#include "print/OrvPrintSet.h"
#include "core/common/MyLib.h"
#include "platform/Prompter.h"
#include "platform/imaging/Imaging.h"
#include "print/PrintDevice.h"
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QtMath>
#include <algorithm>

namespace pagero {

using namespace print;

namespace {

const QString kNotLoaded = QStringLiteral("The image can not be loaded, please try again.");

// The picture shown in the preview is decoded no larger than this.
constexpr QSize kPreviewDecode(400, 400);

QScrollBar *MakeBar(Qt::Orientation orientation, const char *name, QWidget *parent)
{
    auto *bar = new QScrollBar(orientation, parent);
    bar->setObjectName(name);
    bar->setSingleStep(5);
    bar->setPageStep(50);
    return bar;
}

QLabel *MakeText(const char *name, QRect at, QWidget *parent, const QString &text = QString())
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(at);
    return label;
}

} // namespace

// Shows the preview sheet in the preview box.
class TPrintSet_Fm::PreviewBox : public QWidget {
public:
    explicit PreviewBox(TPrintSet_Fm *owner) : QWidget(owner), owner_(owner) { setGeometry(kPreviewArea); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        if (!owner_->preview_.isNull())
            p.drawImage(owner_->sheet_.topLeft() - kPreviewArea.topLeft(), owner_->preview_);
    }

private:
    TPrintSet_Fm *owner_;
};

TPrintSet_Fm::TPrintSet_Fm(QPrinter &printer, Prompter &prompt, QWidget *parent)
    : QDialog(parent), printer_(printer), prompt_(prompt)
{
    setObjectName("PrintSet_Fm");
    setWindowTitle(QStringLiteral(" Set Print Image Size"));
    setFixedSize(470, 360);
    PrinterBusy = [this] { return print::PrinterBusy(printer_); };
    PrinterSetup = [this] { return RunPrinterSetup(printer_, this); };

    PrintName = MakeText("PrintName", QRect(8, 8, 300, 16), this);
    PaperWidth = MakeText("PaperWidth", QRect(8, 28, 300, 16), this);
    PaperHeight = MakeText("PaperHeight", QRect(8, 46, 300, 16), this);
    Offset = MakeText("Offset", QRect(8, 64, 230, 16), this);
    previewBox_ = new PreviewBox(this);

    auto *sizeGroup = new QGroupBox(QStringLiteral("Picture Size"), this);
    sizeGroup->setGeometry(250, 84, 210, 112);
    MakeText("StaticText6", QRect(8, 20, 60, 16), sizeGroup, QStringLiteral("Width :"));
    StaticText7 = MakeText("StaticText7", QRect(70, 20, 135, 16), sizeGroup);
    MakeText("StaticText8", QRect(8, 40, 60, 16), sizeGroup, QStringLiteral("Height :"));
    StaticText9 = MakeText("StaticText9", QRect(70, 40, 135, 16), sizeGroup);
    MakeText("StaticText10", QRect(8, 64, 130, 16), sizeGroup, QStringLiteral("Zoom (Horizontal) :"));
    StaticText11 = MakeText("StaticText11", QRect(140, 64, 60, 16), sizeGroup, QStringLiteral("1.00"));
    MakeText("StaticText12", QRect(8, 84, 130, 16), sizeGroup, QStringLiteral("Zoom (Vertical)     :"));
    StaticText13 = MakeText("StaticText13", QRect(140, 84, 60, 16), sizeGroup, QStringLiteral("1.00"));

    auto *modes = new QGroupBox(this);
    modes->setObjectName("RadioGroup1");
    modes->setGeometry(250, 200, 210, 112);
    RadioGroup1 = new QButtonGroup(this);
    const QString names[] = {"Default", "Fit", "Zoom", "Stretch", "Center"};
    for (int i = 0; i < 5; ++i) {
        auto *button = new QRadioButton(names[i], modes);
        button->setGeometry(10 + (i / 3) * 100, 8 + (i % 3) * 32, 95, 24);
        RadioGroup1->addButton(button, i);
    }
    RadioGroup1->button(0)->setChecked(true);
    connect(RadioGroup1, &QButtonGroup::idClicked, this, [this](int id) { SetMode(SizeMode(id)); });

    BitBtn1 = new QPushButton(QStringLiteral("Printer Setup"), this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setGeometry(340, 8, 120, 28);
    BitBtn3 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn3->setObjectName("BitBtn3");
    BitBtn3->setGeometry(250, 322, 100, 30);
    BitBtn3->setDefault(true);
    BitBtn4 = new QPushButton(QStringLiteral("Cancel"), this);
    BitBtn4->setObjectName("BitBtn4");
    BitBtn4->setGeometry(360, 322, 100, 30);
    connect(BitBtn1, &QPushButton::clicked, this, &TPrintSet_Fm::BitBtn1Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TPrintSet_Fm::BitBtn3Click);
    connect(BitBtn4, &QPushButton::clicked, this, [this] { Result = 2; reject(); });

    HorScrollBar2 = MakeBar(Qt::Horizontal, "HorScrollBar2", this);
    VerScrollBar2 = MakeBar(Qt::Vertical, "VerScrollBar2", this);
    HorScrollBar1 = MakeBar(Qt::Horizontal, "HorScrollBar1", this);
    VerScrollBar1 = MakeBar(Qt::Vertical, "VerScrollBar1", this);
    connect(HorScrollBar2, &QScrollBar::valueChanged, this, [this](int v) {
        if (!refreshing_) SetPosition(QPoint(v, PrintTop));
    });
    connect(VerScrollBar2, &QScrollBar::valueChanged, this, [this](int v) {
        if (!refreshing_) SetPosition(QPoint(PrintLeft, v));
    });
    connect(HorScrollBar1, &QScrollBar::valueChanged, this, [this](int v) {
        if (!refreshing_) SetPictureWidth(v);
    });
    connect(VerScrollBar1, &QScrollBar::valueChanged, this, [this](int v) {
        if (!refreshing_) SetPictureHeight(v);
    });
}

bool TPrintSet_Fm::PrintPicture(const QString &path)
{
    if (PrinterBusy && PrinterBusy()) {
        prompt_.Inform(QStringLiteral("The printer is busy, please try to print later."));
        return false;
    }
    if (!LoadPicture(path)) return false;
    Prepare();
    Result = 0;
    exec();
    picture_ = QImage();   // the decoded picture is freed when the window closes
    return Result == 1;
}

bool TPrintSet_Fm::LoadPicture(const QString &path)
{
    picture_ = QImage();
    path_.clear();
    const QSize size = imaging::PictureSize(path);
    imaging::LoadResult loaded = size.isValid() ? imaging::Load(path, kPreviewDecode) : imaging::LoadResult();
    if (!loaded.ok()) {
        prompt_.Inform(kNotLoaded);
        return false;
    }
    path_ = path;
    picture_ = std::move(loaded.image);
    ImageWidth = size.width() > 0 ? size.width() : 100;
    ImageHeight = size.height() > 0 ? size.height() : 100;
    return true;
}

void TPrintSet_Fm::Prepare()
{
    metrics_ = ReadMetrics(printer_);
    PrintName->setText(PrinterNameText(PrinterName(printer_), metrics_.DpiX));
    PaperWidth->setText(PaperText(metrics_.PhysWidth, metrics_.DpiX, metrics_.SizeMmX));
    PaperHeight->setText(PaperText(metrics_.PhysHeight, metrics_.DpiY, metrics_.SizeMmY));
    sheet_ = PreviewSheet(metrics_);
    PlaceScrollBars();
    ApplyMode();
}

void TPrintSet_Fm::PlaceScrollBars()
{
    constexpr int t = 14;
    HorScrollBar2->setGeometry(sheet_.left(), sheet_.top() - t - 2, sheet_.width(), t);
    VerScrollBar2->setGeometry(sheet_.left() - t - 2, sheet_.top(), t, sheet_.height());
    HorScrollBar1->setGeometry(sheet_.left(), sheet_.bottom() + 3, sheet_.width(), t);
    VerScrollBar1->setGeometry(sheet_.right() + 3, sheet_.top(), t, sheet_.height());
    refreshing_ = true;
    HorScrollBar2->setRange(0, metrics_.PageWidth);
    VerScrollBar2->setRange(0, metrics_.PageHeight);
    HorScrollBar1->setRange(1, metrics_.PageWidth);
    VerScrollBar1->setRange(1, metrics_.PageHeight);
    refreshing_ = false;
}

void TPrintSet_Fm::SetMode(SizeMode mode)
{
    mode_ = mode;
    if (QAbstractButton *button = RadioGroup1->button(int(mode))) button->setChecked(true);
    ApplyMode();
}

void TPrintSet_Fm::ApplyMode()
{
    HorScrollBar1->setEnabled(false);
    VerScrollBar1->setEnabled(false);
    const QSize image(ImageWidth, ImageHeight), page(metrics_.PageWidth, metrics_.PageHeight);
    switch (mode_) {
    case SizeMode::Default:
        width_ = ImageWidth;
        height_ = ImageHeight;
        break;
    case SizeMode::Fit: {
        const QSize fitted = FitSize(image, page);
        width_ = fitted.width();
        height_ = fitted.height();
        break;
    }
    case SizeMode::Zoom:
    case SizeMode::Stretch:
        HorScrollBar1->setEnabled(true);
        VerScrollBar1->setEnabled(true);
        break;
    case SizeMode::Center: {
        const QPoint centred = CentredPosition(page, QSize(width_, height_));
        PrintLeft = centred.x();
        PrintTop = centred.y();
        break;
    }
    }
    Refresh();
}

void TPrintSet_Fm::SetPictureWidth(int width)
{
    width = std::max(1, width);
    if (mode_ == SizeMode::Zoom) {
        const QSize zoomed = ZoomSize(QSize(ImageWidth, ImageHeight), width, VerScrollBar1->maximum());
        width_ = zoomed.width();
        height_ = zoomed.height();
    } else {
        width_ = width;
    }
    Refresh();
}

void TPrintSet_Fm::SetPictureHeight(int height)
{
    height_ = std::max(1, height);
    if (mode_ == SizeMode::Zoom)   // the width follows in proportion
        width_ = std::max(1, RoundHalfEven(double(ImageWidth) * height_ / ImageHeight));
    Refresh();
}

void TPrintSet_Fm::SetPosition(QPoint position)
{
    PrintLeft = position.x();
    PrintTop = position.y();
    Refresh();
}

void TPrintSet_Fm::Refresh()
{
    const QPoint limited = LimitPosition(QPoint(PrintLeft, PrintTop), QSize(width_, height_), metrics_);
    PrintLeft = limited.x();
    PrintTop = limited.y();
    refreshing_ = true;
    HorScrollBar2->setValue(PrintLeft);
    VerScrollBar2->setValue(PrintTop);
    HorScrollBar1->setValue(width_);
    VerScrollBar1->setValue(height_);
    refreshing_ = false;
    Offset->setText(OffsetText(limited, metrics_.DpiX, metrics_.DpiY));
    StaticText7->setText(SizeText(width_, metrics_.DpiX));
    StaticText9->setText(SizeText(height_, metrics_.DpiY));
    StaticText11->setText(ZoomText(width_, ImageWidth));
    StaticText13->setText(ZoomText(height_, ImageHeight));
    PaintPreview();
}

void TPrintSet_Fm::PaintPreview()
{
    preview_ = QImage(sheet_.size(), QImage::Format_RGB32);
    preview_.fill(Qt::white);
    QPainter p(&preview_);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect picture = PreviewPicture(sheet_, metrics_, QPoint(PrintLeft, PrintTop), QSize(width_, height_))
                              .translated(-sheet_.topLeft());
    if (!picture_.isNull()) p.drawImage(picture, picture_);
    p.setPen(Qt::black);
    p.drawRect(0, 0, sheet_.width() - 1, sheet_.height() - 1);
    p.end();
    previewBox_->update();
}

void TPrintSet_Fm::BitBtn1Click()
{
    if (PrinterSetup && !PrinterSetup()) return;
    preview_ = QImage();
    previewBox_->update();
    Prepare();
}

void TPrintSet_Fm::BitBtn3Click()
{
    if (!PrintNow()) return;
    Result = 1;
    accept();
}

bool TPrintSet_Fm::PrintNow()
{
    bool cancelled = false;
    if (const QString problem = ReadyForJob(printer_, this, &cancelled); !problem.isEmpty()) {
        prompt_.Fail(problem);
        return false;
    }
    if (cancelled) return false;
    HourglassCursor hourglass;
    // Decoded from the file again, just large enough for the printed size (never enlarged).
    const double cover = std::max(double(width_) / ImageWidth, double(height_) / ImageHeight);
    const QSize decode(qCeil(ImageWidth * cover), qCeil(ImageHeight * cover));
    const QImage image = imaging::Load(path_, decode).image;
    if (image.isNull()) {
        prompt_.Inform(kNotLoaded);
        return false;
    }
    QPainter painter;
    if (!painter.begin(&printer_)) {
        prompt_.Fail(JobNotStartedText(printer_));
        return false;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(PrintLeft, PrintTop, width_, height_), image);
    if (!JobSucceeded(printer_, painter.end())) {
        prompt_.Fail(JobFailedText(printer_));
        return false;
    }
    return true;
}

} // namespace pagero
