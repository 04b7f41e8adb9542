#pragma once
// The print setup window " Set Print Image Size": one page file's picture on one sheet. It shows the
// printer and its paper, a small preview of the sheet with the picture, two scroll bars for the
// picture's position and two for its size, and the size mode; OK prints the picture from its file at
// the printed size.
#include "core/print/PrintLayout.h"
#include <QDialog>
#include <QImage>
#include <functional>

class QButtonGroup;
class QLabel;
class QPrinter;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace pagero {

class Prompter;

class TPrintSet_Fm : public QDialog {
public:
    TPrintSet_Fm(QPrinter &printer, Prompter &prompt, QWidget *parent = nullptr);

    // Busy printer or unreadable picture: told, and the window is not shown. True when printed.
    bool PrintPicture(const QString &path);
    // The steps of PrintPicture before the window shows (tests drive the window from here).
    bool LoadPicture(const QString &path);
    void Prepare();

    void SetMode(print::SizeMode mode);   // RadioGroup1Click
    void SetPictureWidth(int width);      // the size bars' work
    void SetPictureHeight(int height);
    void SetPosition(QPoint position);    // the position bars' work
    // OK's work: prints, tells a failure; true when the sheet was printed.
    bool PrintNow();

    const print::PrinterMetrics &Metrics() const { return metrics_; }
    QPoint Position() const { return QPoint(PrintLeft, PrintTop); }
    QSize PictureSize() const { return QSize(width_, height_); }
    QSize ImageSize() const { return QSize(ImageWidth, ImageHeight); }
    QImage PreviewImage() const { return preview_; }   // the sheet as the preview shows it

    // A job of ours runs on the printer (replaceable by tests).
    std::function<bool()> PrinterBusy;
    // The system's printer-setup dialog; true when the user chose (replaceable by tests).
    std::function<bool()> PrinterSetup;

    int PrintLeft = 65, PrintTop = 45;
    int ImageWidth = 100, ImageHeight = 100;
    int Result = 0;   // 1 printed, 2 cancelled

    QLabel *PrintName, *PaperWidth, *PaperHeight, *Offset;
    QLabel *StaticText7, *StaticText9, *StaticText11, *StaticText13;
    QPushButton *BitBtn1, *BitBtn3, *BitBtn4;
    QButtonGroup *RadioGroup1;
    QScrollBar *HorScrollBar1, *VerScrollBar1, *HorScrollBar2, *VerScrollBar2;

private:
    class PreviewBox;
    void BitBtn1Click();
    void BitBtn3Click();
    void ApplyMode();
    void PlaceScrollBars();
    void Refresh();   // limits, bars, texts and preview after any change
    void PaintPreview();

    QPrinter &printer_;
    Prompter &prompt_;
    QString path_;
    QImage picture_;   // decoded at preview size
    print::PrinterMetrics metrics_;
    print::SizeMode mode_ = print::SizeMode::Default;
    int width_ = 100, height_ = 100;
    QRect sheet_;
    QImage preview_;
    PreviewBox *previewBox_;
    bool refreshing_ = false;
};

} // namespace pagero
