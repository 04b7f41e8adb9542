#pragma once
// The image editor's adjustment dialogs. Each previews its effect live through the editor (a
// PreviewHost) and, once closed with OK, names the operation the editor applies to the whole
// picture. A dialog at its neutral value (brightness 0, gamma 100, solarize 255, ...) has no
// operation: the editor then shows the picture unchanged and calls nothing.
#include <QColor>
#include <QDialog>
#include <QImage>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QSlider;
class QSpinBox;
class QTabWidget;

namespace pagero::editor {

// An operation on a picture; `scale` is the size of that picture over the full one (below 1 for the
// reduced copy a live preview works on), for operations whose arguments are sizes in pixels.
using Operation = std::function<bool(QImage &, double scale)>;

class PreviewHost {
public:
    virtual ~PreviewHost() = default;
    virtual void Preview(const Operation &op) = 0;   // op empty: the picture as before the dialog
    virtual QSize TargetSize() const = 0;
};

// Base of the dialogs with a live preview: OK, Cancel and Reset.
class TAdjustDialog : public QDialog {
public:
    TAdjustDialog(PreviewHost &host, const QString &caption, QWidget *parent);
    virtual Operation CurrentOperation() const = 0;
    virtual void Reset() = 0;
    void RequestPreview() { host_.Preview(CurrentOperation()); }

protected:
    void showEvent(QShowEvent *e) override;
    QSlider *AddSlider(QWidget *box, const QString &label, int min, int max, int start, int step,
                       std::function<QString(int)> shown = {});
    void Finish(QWidget *body);   // adds the buttons under `body`
    PreviewHost &host_;
};

// One slider, a value label and Reset: brightness, contrast, saturation, hue, gamma, solarize.
class TSliderDialog : public TAdjustDialog {
public:
    struct Setup {
        QString caption, label;
        int min, max, neutral;
        std::function<bool(QImage &, int)> apply;
        std::function<QString(int)> shown;
    };
    TSliderDialog(PreviewHost &host, Setup setup, QWidget *parent);
    Operation CurrentOperation() const override;
    void Reset() override;
    QSlider *Slider() const { return slider_; }

private:
    Setup setup_;
    QSlider *slider_;
};

class TBrightnessDlg : public TSliderDialog { public: TBrightnessDlg(PreviewHost &h, QWidget *p); };
class TContrastDlg : public TSliderDialog { public: TContrastDlg(PreviewHost &h, QWidget *p); };
class TSaturationDlg : public TSliderDialog { public: TSaturationDlg(PreviewHost &h, QWidget *p); };
class THueDlg : public TSliderDialog { public: THueDlg(PreviewHost &h, QWidget *p); };
class TGammaDlg : public TSliderDialog { public: TGammaDlg(PreviewHost &h, QWidget *p); };
class TSolarizeDlg : public TSliderDialog { public: TSolarizeDlg(PreviewHost &h, QWidget *p); };

// R, G and B sliders with a swatch.
class ColourSliders : public QWidget {
public:
    ColourSliders(const QString &title, QColor start, QWidget *parent, std::function<void()> changed = {});
    QColor Colour() const;
    void SetColour(QColor c);
private:
    QSlider *r_, *g_, *b_;
    QLabel *swatch_;
};

// "Image Processing": noise, average, sharpen, median, posterize, mosaic, one tab each.
class TImageProcessDlg : public TAdjustDialog {
public:
    TImageProcessDlg(PreviewHost &host, QWidget *parent);
    Operation CurrentOperation() const override;
    void Reset() override;
    QTabWidget *Tabs() const { return tabs_; }
    QSlider *SliderOf(int tab) const { return sliders_[tab]; }
private:
    QTabWidget *tabs_;
    QSlider *sliders_[6];
    QButtonGroup *noiseColour_;
};

// "Spatial Filter": one tab per filter family, each with its directions after "None".
class TSpatialFilterDlg : public TAdjustDialog {
public:
    TSpatialFilterDlg(PreviewHost &host, QWidget *parent);
    Operation CurrentOperation() const override;
    int FilterNumber() const;   // -1 for "None"
    void Reset() override;
    QTabWidget *Tabs() const { return tabs_; }
    QComboBox *DirectionOf(int tab) const { return directions_[tab]; }
private:
    QTabWidget *tabs_;
    QComboBox *directions_[7];
};

class TRotateAngle_Fm : public TAdjustDialog {
public:
    TRotateAngle_Fm(PreviewHost &host, QWidget *parent);
    Operation CurrentOperation() const override;
    void Reset() override;
    QSlider *Angle() const { return angle_; }
private:
    QSlider *angle_;
    QButtonGroup *quick_;
    ColourSliders *fill_;
};

class TShearImage_Dlg : public TAdjustDialog {
public:
    TShearImage_Dlg(PreviewHost &host, QWidget *parent);
    Operation CurrentOperation() const override;
    void Reset() override;
private:
    QSlider *angle_;
    QButtonGroup *direction_;
    ColourSliders *fill_;
};

// Size change: resample (filtered) or resize (nearest pixel); works on the main image only.
class TSizingDlg : public TAdjustDialog {
public:
    TSizingDlg(PreviewHost &host, bool resample, QWidget *parent);
    Operation CurrentOperation() const override;
    void Reset() override;
    void SetSize(int width, int height);
private:
    bool resample_;
    QSize original_;
    QSpinBox *width_, *height_;
    QCheckBox *aspect_;
};

class TColorResDlg : public TAdjustDialog {
public:
    TColorResDlg(PreviewHost &host, QWidget *parent);
    Operation CurrentOperation() const override;
    void Reset() override;
    int Bits() const;
    int Flags() const;
    QComboBox *BitsBox() const { return bits_; }
    QWidget *DitherGroup() const { return ditherGroup_; }
    QWidget *PaletteGroup() const { return paletteGroup_; }
private:
    void BitsChanged();
    QComboBox *bits_, *dither_, *order_, *palette_;
    QWidget *ditherGroup_, *paletteGroup_;
};

// "New Image": size and background colour of a blank picture.
class TNewImage_Fm : public QDialog {
public:
    explicit TNewImage_Fm(QWidget *parent);
    void Preset(QSize size, QColor fill);
    QSize ChosenSize() const;
    QColor Fill() const { return fill_->Colour(); }
private:
    QSpinBox *width_, *height_;
    ColourSliders *fill_;
};

// "Select Color": R, G, B sliders.
class TSelectColorDlg_Fm : public QDialog {
public:
    explicit TSelectColorDlg_Fm(QWidget *parent);
    ColourSliders *Sliders() const { return sliders_; }
private:
    ColourSliders *sliders_;
};

} // namespace pagero::editor
