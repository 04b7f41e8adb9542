#include "editor/AdjustDialogs.h"
#include "core/editor/EditorRules.h"
#include "platform/imaging/Operations.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cmath>

namespace pagero::editor {

using namespace pagero::imaging;

// ---- the base ----

TAdjustDialog::TAdjustDialog(PreviewHost &host, const QString &caption, QWidget *parent)
    : QDialog(parent), host_(host)
{
    setWindowTitle(caption);
}

void TAdjustDialog::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    RequestPreview();
}

QSlider *TAdjustDialog::AddSlider(QWidget *box, const QString &label, int min, int max, int start, int step,
                                  std::function<QString(int)> shown)
{
    auto *row = new QHBoxLayout;
    auto *name = new QLabel(label);
    auto *slider = new QSlider(Qt::Horizontal);
    slider->setRange(min, max);
    slider->setPageStep(step);
    slider->setValue(start);
    slider->setMinimumWidth(260);
    if (!shown) shown = [](int v) { return QString::number(v); };
    auto *value = new QLabel(shown(start));
    value->setMinimumWidth(48);
    row->addWidget(name);
    row->addWidget(slider, 1);
    row->addWidget(value);
    static_cast<QBoxLayout *>(box->layout())->addLayout(row);
    // The label follows the slider; the preview runs when it is let go (or moved by keys).
    connect(slider, &QSlider::valueChanged, this, [this, slider, value, shown](int v) {
        value->setText(shown(v));
        if (!slider->isSliderDown()) RequestPreview();
    });
    connect(slider, &QSlider::sliderReleased, this, [this] { RequestPreview(); });
    return slider;
}

void TAdjustDialog::Finish(QWidget *body)
{
    auto *buttons = new QDialogButtonBox;
    buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    QPushButton *reset = buttons->addButton(QStringLiteral("&Reset"), QDialogButtonBox::ResetRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(reset, &QPushButton::clicked, this, [this] { Reset(); RequestPreview(); });
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(body);
    layout->addWidget(buttons);
}

namespace {
QWidget *Column()
{
    auto *w = new QWidget;
    new QVBoxLayout(w);
    return w;
}
}

// ---- one slider ----

TSliderDialog::TSliderDialog(PreviewHost &host, Setup setup, QWidget *parent)
    : TAdjustDialog(host, setup.caption, parent), setup_(std::move(setup))
{
    QWidget *body = Column();
    slider_ = AddSlider(body, setup_.label, setup_.min, setup_.max, setup_.neutral, 20, setup_.shown);
    Finish(body);
}

Operation TSliderDialog::CurrentOperation() const
{
    const int v = slider_->value();
    if (v == setup_.neutral) return {};
    return [apply = setup_.apply, v](QImage &image, double) { return apply(image, v); };
}

void TSliderDialog::Reset() { slider_->setValue(setup_.neutral); }

TBrightnessDlg::TBrightnessDlg(PreviewHost &h, QWidget *p)
    : TSliderDialog(h, {QStringLiteral("Brightness Change"), QStringLiteral("Percentage(%)"), -100, 100, 0,
                        [](QImage &i, int v) { return ChangeIntensity(i, v * 10); }, {}}, p) {}
TContrastDlg::TContrastDlg(PreviewHost &h, QWidget *p)
    : TSliderDialog(h, {QStringLiteral("Contrast Change"), QStringLiteral("Percentage(%)"), -100, 100, 0,
                        [](QImage &i, int v) { return ChangeContrast(i, v * 10); }, {}}, p) {}
TSaturationDlg::TSaturationDlg(PreviewHost &h, QWidget *p)
    : TSliderDialog(h, {QStringLiteral("Saturation Change"), QStringLiteral("Percentage(%)"), -100, 100, 0,
                        [](QImage &i, int v) { return ChangeSaturation(i, v * 10); }, {}}, p) {}
THueDlg::THueDlg(PreviewHost &h, QWidget *p)
    : TSliderDialog(h, {QStringLiteral("Hue Change"), QStringLiteral("Hue Angle"), 0, 359, 0,
                        [](QImage &i, int v) { return ChangeHue(i, v); }, {}}, p) {}
TGammaDlg::TGammaDlg(PreviewHost &h, QWidget *p)
    : TSliderDialog(h, {QStringLiteral("Gamma Correction"), QStringLiteral("Gamma Value"), 10, 500, 100,
                        [](QImage &i, int v) { return GammaCorrect(i, v); },
                        [](int v) { return QString::number(v / 100.0, 'f', 2); }}, p) {}
TSolarizeDlg::TSolarizeDlg(PreviewHost &h, QWidget *p)
    : TSliderDialog(h, {QStringLiteral("Solarize"), QStringLiteral("Threshold"), 0, 255, 255,
                        [](QImage &i, int v) { return Solarize(i, v); }, {}}, p) {}

// ---- colour sliders ----

ColourSliders::ColourSliders(const QString &title, QColor start, QWidget *parent, std::function<void()> changed)
    : QWidget(parent)
{
    auto *group = new QGroupBox(title);
    auto *form = new QFormLayout(group);
    const auto make = [&](const QString &name, int value) {
        auto *s = new QSlider(Qt::Horizontal);
        s->setRange(0, 255);
        s->setPageStep(10);
        s->setValue(value);
        form->addRow(name, s);
        connect(s, &QSlider::valueChanged, this, [this, changed] {
            swatch_->setStyleSheet(QStringLiteral("background:%1").arg(Colour().name()));
            if (changed) changed();
        });
        return s;
    };
    swatch_ = new QLabel;
    swatch_->setFixedSize(40, 20);
    r_ = make(QStringLiteral("R"), start.red());
    g_ = make(QStringLiteral("G"), start.green());
    b_ = make(QStringLiteral("B"), start.blue());
    form->addRow(QString(), swatch_);
    swatch_->setStyleSheet(QStringLiteral("background:%1").arg(Colour().name()));
    auto *l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(group);
}

QColor ColourSliders::Colour() const { return QColor(r_->value(), g_->value(), b_->value()); }

void ColourSliders::SetColour(QColor c)
{
    r_->setValue(c.red());
    g_->setValue(c.green());
    b_->setValue(c.blue());
}

// ---- image processing ----

TImageProcessDlg::TImageProcessDlg(PreviewHost &host, QWidget *parent)
    : TAdjustDialog(host, QStringLiteral("Image Processing"), parent)
{
    struct Tab { const char *name, *label; int min, max, start; };
    static const Tab tabs[6] = {{"Add Noise", "Percentage (%)", 0, 100, 0}, {"Average", "Square Size", 1, 25, 1},
                                {"Sharpen", "Percentage (%)", -100, 100, 0}, {"Median", "Square Size", 1, 25, 1},
                                {"Posterize", "Color Level", 1, 64, 1}, {"Mosaic", "Tile Size", 1, 64, 1}};
    tabs_ = new QTabWidget;
    noiseColour_ = new QButtonGroup(this);
    for (int i = 0; i < 6; ++i) {
        QWidget *page = Column();
        sliders_[i] = AddSlider(page, QString::fromLatin1(tabs[i].label), tabs[i].min, tabs[i].max, tabs[i].start, 10);
        if (i == 0) {
            auto *colour = new QGroupBox(QStringLiteral("Color"));
            auto *row = new QHBoxLayout(colour);
            const char *names[4] = {"Red", "Green", "Blue", "White"};
            const int channels[4] = {1, 2, 3, 0};
            for (int c = 0; c < 4; ++c) {
                auto *b = new QRadioButton(QString::fromLatin1(names[c]));
                noiseColour_->addButton(b, channels[c]);
                row->addWidget(b);
                if (channels[c] == 0) b->setChecked(true);
            }
            connect(noiseColour_, &QButtonGroup::idClicked, this, [this] { RequestPreview(); });
            page->layout()->addWidget(colour);
        }
        tabs_->addTab(page, QString::fromLatin1(tabs[i].name));
    }
    // Entering a tab starts it from its own neutral value.
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int t) {
        const QSignalBlocker block(sliders_[t]);
        sliders_[t]->setValue(t == 0 || t == 2 ? 0 : 1);
        RequestPreview();
    });
    Finish(tabs_);
}

Operation TImageProcessDlg::CurrentOperation() const
{
    const int tab = tabs_->currentIndex();
    const int v = sliders_[tab]->value();
    const int neutral = tab == 0 || tab == 2 ? 0 : 1;
    if (v == neutral) return {};
    const auto channel = NoiseChannel(noiseColour_->checkedId());
    switch (tab) {
    case 0: return [v, channel](QImage &i, double) { return AddNoise(i, v * 10, channel); };
    case 1: return [v](QImage &i, double) { return AverageFilter(i, v); };
    case 2: return [v](QImage &i, double) { return Sharpen(i, v * 10); };
    case 3: return [v](QImage &i, double) { return MedianFilter(i, v); };
    case 4: return [v](QImage &i, double) { return Posterize(i, v); };
    default: return [v](QImage &i, double) { return Mosaic(i, v); };
    }
}

void TImageProcessDlg::Reset()
{
    for (int t = 0; t < 6; ++t) {
        const QSignalBlocker block(sliders_[t]);
        sliders_[t]->setValue(t == 0 || t == 2 ? 0 : 1);
    }
}

// ---- spatial filter ----

TSpatialFilterDlg::TSpatialFilterDlg(PreviewHost &host, QWidget *parent)
    : TAdjustDialog(host, QStringLiteral("Spatial Filter"), parent)
{
    const QStringList compass{"North", "North-East", "East", "South-East", "South", "South-West", "West", "North-West"};
    const QStringList hv{"Horizontal", "Vertical"};
    const QList<QPair<QString, QStringList>> families{
        {"Emboss", compass},
        {"Gradient", compass},
        {"Laplacian", {"Custom Filter 1", "Custom Filter 2", "Custom Filter 3", "Diagonal", "Horizontal", "Vertical"}},
        {"Sobel", hv},
        {"Prewitt", hv},
        {"Line Segment", {"Horizontal", "Vertical", "Left to Right", "Right to Left"}},
        {"Shift and Difference", {"Diagonal", "Horizontal", "Vertical"}},
    };
    tabs_ = new QTabWidget;
    for (int i = 0; i < families.size(); ++i) {
        QWidget *page = Column();
        auto *form = new QFormLayout;
        directions_[i] = new QComboBox;
        directions_[i]->addItem(QStringLiteral("None"));
        directions_[i]->addItems(families[i].second);
        form->addRow(QStringLiteral("Direction"), directions_[i]);
        static_cast<QBoxLayout *>(page->layout())->addLayout(form);
        connect(directions_[i], &QComboBox::currentIndexChanged, this, [this] { RequestPreview(); });
        tabs_->addTab(page, families[i].first);
    }
    connect(tabs_, &QTabWidget::currentChanged, this, [this] { RequestPreview(); });
    Finish(tabs_);
}

int TSpatialFilterDlg::FilterNumber() const
{
    const int tab = tabs_->currentIndex();
    return SpatialFilterNumber(tab, directions_[tab]->currentIndex());
}

Operation TSpatialFilterDlg::CurrentOperation() const
{
    const int filter = FilterNumber();
    if (filter < 0) return {};
    return [filter](QImage &i, double) { return SpatialFilter(i, filter); };
}

void TSpatialFilterDlg::Reset()
{
    for (QComboBox *d : directions_) {
        const QSignalBlocker block(d);
        d->setCurrentIndex(0);
    }
}

// ---- rotate and shear ----

TRotateAngle_Fm::TRotateAngle_Fm(PreviewHost &host, QWidget *parent)
    : TAdjustDialog(host, QStringLiteral("Rotate Image"), parent)
{
    QWidget *body = Column();
    angle_ = AddSlider(body, QStringLiteral("Left "), -359, 359, 0, 10);
    body->layout()->addWidget(new QLabel(QStringLiteral("Right")));
    auto *quick = new QGroupBox;
    auto *row = new QHBoxLayout(quick);
    quick_ = new QButtonGroup(this);
    for (int a : {0, 90, -90, 180, -180, 270, -270}) {
        auto *b = new QRadioButton(QStringLiteral("%1°").arg(a));
        quick_->addButton(b, a + 1000);
        row->addWidget(b);
    }
    quick_->button(1000)->setChecked(true);
    connect(quick_, &QButtonGroup::idClicked, this, [this](int id) { angle_->setValue(id - 1000); });
    connect(angle_, &QSlider::valueChanged, this, [this](int v) {
        if (QAbstractButton *b = quick_->button(v + 1000)) b->setChecked(true);
        else if (QAbstractButton *c = quick_->checkedButton()) {
            quick_->setExclusive(false);
            c->setChecked(false);
            quick_->setExclusive(true);
        }
    });
    body->layout()->addWidget(quick);
    fill_ = new ColourSliders(QStringLiteral("Background fill color"), Qt::white, body, [this] { RequestPreview(); });
    body->layout()->addWidget(fill_);
    Finish(body);
}

Operation TRotateAngle_Fm::CurrentOperation() const
{
    const int a = angle_->value();
    if (a == 0) return {};
    return [a, fill = fill_->Colour()](QImage &i, double) { return RotateFine(i, a * 100, 1, fill); };
}

void TRotateAngle_Fm::Reset() { angle_->setValue(0); }

TShearImage_Dlg::TShearImage_Dlg(PreviewHost &host, QWidget *parent)
    : TAdjustDialog(host, QStringLiteral("Shear Image"), parent)
{
    QWidget *body = Column();
    angle_ = AddSlider(body, QStringLiteral("-45 °"), -45, 45, 0, 5);
    body->layout()->addWidget(new QLabel(QStringLiteral("45 °")));
    auto *dir = new QGroupBox;
    auto *row = new QHBoxLayout(dir);
    direction_ = new QButtonGroup(this);
    auto *h = new QRadioButton(QStringLiteral("Horizontal"));
    auto *v = new QRadioButton(QStringLiteral("Vertical"));
    direction_->addButton(h, 1);
    direction_->addButton(v, 0);
    h->setChecked(true);
    row->addWidget(h);
    row->addWidget(v);
    connect(direction_, &QButtonGroup::idClicked, this, [this] { RequestPreview(); });
    body->layout()->addWidget(dir);
    fill_ = new ColourSliders(QStringLiteral("Background fill color"), Qt::white, body, [this] { RequestPreview(); });
    body->layout()->addWidget(fill_);
    Finish(body);
}

Operation TShearImage_Dlg::CurrentOperation() const
{
    const int a = angle_->value();
    if (a == 0) return {};
    return [a, horizontal = direction_->checkedId() == 1, fill = fill_->Colour()](QImage &i, double) {
        return Shear(i, a * 100, horizontal, fill);
    };
}

void TShearImage_Dlg::Reset() { angle_->setValue(0); }

// ---- size change ----

TSizingDlg::TSizingDlg(PreviewHost &host, bool resample, QWidget *parent)
    : TAdjustDialog(host, resample ? QStringLiteral("Size Change") : QStringLiteral("Resize"), parent),
      resample_(resample), original_(host.TargetSize())
{
    QWidget *body = Column();
    auto *form = new QFormLayout;
    width_ = new QSpinBox;
    height_ = new QSpinBox;
    for (QSpinBox *s : {width_, height_}) s->setRange(1, 20000);
    width_->setValue(original_.width());
    height_->setValue(original_.height());
    form->addRow(QStringLiteral("Width"), width_);
    form->addRow(QStringLiteral("Height"), height_);
    aspect_ = new QCheckBox(QStringLiteral("Maintain aspect ratio"));
    aspect_->setChecked(true);
    form->addRow(QString(), aspect_);
    static_cast<QBoxLayout *>(body->layout())->addLayout(form);
    // With the aspect kept, one side follows the other.
    connect(width_, &QSpinBox::editingFinished, this, [this] {
        if (aspect_->isChecked() && original_.width() > 0) {
            const QSignalBlocker block(height_);
            height_->setValue(std::max(1, int(std::lround(double(width_->value()) * original_.height() / original_.width()))));
        }
        RequestPreview();
    });
    connect(height_, &QSpinBox::editingFinished, this, [this] {
        if (aspect_->isChecked() && original_.height() > 0) {
            const QSignalBlocker block(width_);
            width_->setValue(std::max(1, int(std::lround(double(height_->value()) * original_.width() / original_.height()))));
        }
        RequestPreview();
    });
    auto *quick = new QHBoxLayout;
    const QList<QSize> sizes{{300, 200}, {640, 480}, {800, 600}, {1024, 768}, {1280, 1024}};
    for (QSize s : sizes) {
        auto *b = new QPushButton(QStringLiteral("%1 x %2").arg(s.width()).arg(s.height()));
        connect(b, &QPushButton::clicked, this, [this, s] { SetSize(s.width(), s.height()); });
        quick->addWidget(b);
    }
    auto *desktop = new QPushButton(QStringLiteral("Desktop Size"));
    connect(desktop, &QPushButton::clicked, this, [this] {
        const QSize s = QApplication::primaryScreen() ? QApplication::primaryScreen()->size() : QSize(1920, 1080);
        SetSize(s.width(), s.height());
    });
    quick->addWidget(desktop);
    static_cast<QBoxLayout *>(body->layout())->addLayout(quick);
    Finish(body);
}

void TSizingDlg::SetSize(int width, int height)
{
    {
        const QSignalBlocker a(width_), b(height_);
        width_->setValue(width);
        height_->setValue(height);
    }
    RequestPreview();
}

Operation TSizingDlg::CurrentOperation() const
{
    const QSize chosen(width_->value(), height_->value());
    if (chosen == original_) return {};
    return [chosen, resample = resample_](QImage &i, double scale) {
        const int w = std::max(1, int(std::lround(chosen.width() * scale)));
        const int h = std::max(1, int(std::lround(chosen.height() * scale)));
        return resample ? ResampleBitmap(i, w, h) : SizeBitmap(i, w, h, 0);
    };
}

void TSizingDlg::Reset() { SetSize(original_.width(), original_.height()); }

// ---- colour resolution ----

TColorResDlg::TColorResDlg(PreviewHost &host, QWidget *parent)
    : TAdjustDialog(host, QStringLiteral("Color Resolution"), parent)
{
    namespace F = ColorResFlag;
    QWidget *body = Column();
    const auto group = [&](const QString &title, QComboBox *&box, const QStringList &items, const QList<int> &data) {
        auto *g = new QGroupBox(title);
        auto *l = new QVBoxLayout(g);
        box = new QComboBox;
        for (int i = 0; i < items.size(); ++i) box->addItem(items[i], data[i]);
        l->addWidget(box);
        body->layout()->addWidget(g);
        connect(box, &QComboBox::currentIndexChanged, this, [this] { RequestPreview(); });
        return g;
    };
    // The picture in the editor is 24 bits per pixel, undithered, RGB, with an optimized palette:
    // those are the current settings, marked with "*".
    group(QStringLiteral("Bits Per Pixel"), bits_,
          {"1", "2", "3", "4", "5", "6", "7", "8", "16", "24 *", "32"}, {1, 2, 3, 4, 5, 6, 7, 8, 16, 24, 32});
    ditherGroup_ = group(QStringLiteral("Dithering Method"), dither_,
                         {"None *", "Floyd Stein", "Burkes", "Stucki", "Sierra", "Stevenson", "Jarvis", "Ordered"},
                         {F::DitherNone, F::DitherFloydStein, F::DitherBurkes, F::DitherStucki, F::DitherSierra,
                          F::DitherStevenson, F::DitherJarvis, F::DitherOrdered});
    group(QStringLiteral("Color Order"), order_, {"BGR", "RGB *"}, {F::OrderBgr, 0});
    paletteGroup_ = group(QStringLiteral("Palette"), palette_, {"Optimized *", "Fixed", "Netscape", "System"},
                          {F::PaletteOptimized, F::PaletteFixed, F::PaletteNetscape, F::PaletteSystem});
    body->layout()->addWidget(new QLabel(QStringLiteral("Current settings marked with *")));
    connect(bits_, &QComboBox::currentIndexChanged, this, [this] { BitsChanged(); });
    Reset();
    Finish(body);
}

void TColorResDlg::BitsChanged()
{
    const bool indexed = Bits() <= 8;
    ditherGroup_->setEnabled(indexed);
    paletteGroup_->setEnabled(indexed);
}

int TColorResDlg::Bits() const { return bits_->currentData().toInt(); }

int TColorResDlg::Flags() const
{
    const int order = order_->currentData().toInt();
    if (Bits() > 8) return order;
    return palette_->currentData().toInt() | dither_->currentData().toInt() | order;
}

Operation TColorResDlg::CurrentOperation() const
{
    const int bits = Bits();
    if (bits >= 24) return {};   // the picture already has them
    return [bits, flags = Flags()](QImage &i, double) { return ColorRes(i, bits, flags); };
}

void TColorResDlg::Reset()
{
    const QSignalBlocker a(bits_), b(dither_), c(order_), d(palette_);
    bits_->setCurrentIndex(bits_->findData(24));
    dither_->setCurrentIndex(0);
    order_->setCurrentIndex(1);
    palette_->setCurrentIndex(0);
    BitsChanged();
}

// ---- new image and colour picker ----

TNewImage_Fm::TNewImage_Fm(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("New Image"));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    width_ = new QSpinBox;
    height_ = new QSpinBox;
    for (QSpinBox *s : {width_, height_}) s->setRange(16, 2048);
    form->addRow(QStringLiteral("Width"), width_);
    form->addRow(QStringLiteral("Height"), height_);
    layout->addLayout(form);
    auto *quick = new QHBoxLayout;
    for (QSize s : QList<QSize>{{300, 200}, {640, 480}, {800, 600}, {1024, 768}, {1280, 1024}}) {
        auto *b = new QPushButton(QStringLiteral("%1 x %2").arg(s.width()).arg(s.height()));
        connect(b, &QPushButton::clicked, this, [this, s] { Preset(s, Fill()); });
        quick->addWidget(b);
    }
    auto *desktop = new QPushButton(QStringLiteral("Desktop Size"));
    connect(desktop, &QPushButton::clicked, this, [this] {
        if (QScreen *s = QApplication::primaryScreen()) Preset(s->size(), Fill());
    });
    quick->addWidget(desktop);
    layout->addLayout(quick);
    fill_ = new ColourSliders(QStringLiteral("Background Fill Color"), Qt::white, this);
    layout->addWidget(fill_);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    Preset({640, 480}, Qt::white);
}

void TNewImage_Fm::Preset(QSize size, QColor fill)
{
    width_->setValue(size.width());
    height_->setValue(size.height());
    fill_->SetColour(fill);
}

QSize TNewImage_Fm::ChosenSize() const { return {width_->value(), height_->value()}; }

TSelectColorDlg_Fm::TSelectColorDlg_Fm(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Select Color"));
    auto *layout = new QVBoxLayout(this);
    sliders_ = new ColourSliders(QString(), Qt::black, this);
    layout->addWidget(sliders_);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

} // namespace pagero::editor
