#pragma once
// The full-screen preview of one page's picture over the preview background. A picture larger than
// the screen opens fitted to it, a smaller one at its own size, centred. The wheel and "+" / "-"
// zoom (about the pointer or the centre), dragging pans, a click, Escape or Space closes it. Its
// pop-up menu offers the view modes, the file information, the file commands and the preview
// background.
#include <QDialog>
#include <QImage>
#include <QString>
#include <functional>

class QAction;
class QMenu;
class QTimer;

namespace pagero {

struct Settings;
class TInfoBox;

class TPreviewPic_Fm : public QDialog {
    Q_OBJECT
public:
    // ModeZoom: a scale the user chose with the wheel or "+" / "-"; neither menu mode is checked.
    enum ViewMode { ModeNone = 0, ModeNormal = 1, ModeFit = 2, ModeZoom = 3 };

    explicit TPreviewPic_Fm(QWidget *parent = nullptr);
    ~TPreviewPic_Fm() override;

    // The preview background: `settings` holds PreviewBackKind (1 colour, 2 bitmap) and
    // PreviewBackColor; `bitmap` is the background picture used with kind 2. Both are owned by the
    // main window, which saves them with the settings; the menu changes them in place.
    void SetBackground(Settings *settings, QImage *bitmap, const QString &exeDir);
    // The information box used by "&Information" (one of its own when not given).
    void SetInfoBox(TInfoBox *box) { infoBox_ = box; }

    // Loads the file, opens it fitted (larger than the screen) or at its own size and shows the
    // window modally; then runs the file command chosen from its menu, if any.
    void ShowPreview(const QString &path);
    // The first half of ShowPreview: load and reset the view, without showing anything.
    void Prepare(const QString &path);

    QString Path() const { return path_; }
    bool Loaded() const { return !picture_.isNull(); }
    int Mode() const { return mode_; }
    void SetMode(int mode);
    // The picture's scale on screen (1 at its own size) for a client of `client` size.
    double Scale(QSize client) const;
    // Multiplies the scale by `factor` keeping the picture point under `anchor` (client
    // coordinates) where it is; the scale stays between the fitted size (or 1, if smaller) and 16.
    void ZoomBy(double factor, QPoint anchor);

    // The file commands of the menu, run for the previewed file after the window has closed:
    // "&Edit...", "&Save as...", "&Copy to...", "&Move to...", "&Rename...", "&Delete...",
    // "&Print...". Unset commands are left out of the menu's work (the window still closes).
    std::function<void(const QString &path)> EditFile, SaveFileAs, CopyFileTo, MoveFileTo, RenameFile,
        DeleteFile, PrintPicture;
    // Dialog hooks of the background commands, replaceable for tests.
    std::function<bool(QColor &colour)> PickColor;
    std::function<QString(const QString &title, const QString &folder)> PickBitmapFile;

    QMenu *PopupMenu1;
    QAction *PreviewNormal1, *PreviewFit1, *Information1, *Edit1, *SaveAs1, *CopyTo1, *MoveTo1,
        *Rename1, *Delete1, *Print1, *BackDefault1, *BackColor1, *BackBitmap1;

    // Paints the window's content (background and picture) into `painter` for a client of `size`.
    void PaintPreview(QPainter &painter, QSize size, QPoint scroll) const;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    friend class PreviewView;
    void UpdateScrollRanges();
    QSize ShownSize(QSize client) const;                       // the picture's size at Scale()
    QRect PictureRect(QSize client, QPoint scroll) const;      // where it is drawn
    double FitScale(QSize client) const;
    void CloseWith(std::function<void(const QString &)> command);
    void ChooseBackgroundColor();
    void ChooseBackgroundBitmap();

    class PreviewView *view_;
    QString path_;
    QImage picture_;
    int mode_ = ModeNone;
    double zoom_ = 1.0;          // the scale of ModeZoom
    mutable QImage reduced_;     // the picture at a scale below 1, made once per scale
    mutable QSize reducedFor_;
    bool zooming_ = false;       // the wheel or "+" / "-" moved within the last moments
    QTimer *settle_;             // ends `zooming_`
    Settings *settings_ = nullptr;
    QImage *backBitmap_ = nullptr;
    QString exeDir_;
    TInfoBox *infoBox_ = nullptr;
    TInfoBox *ownInfoBox_ = nullptr;
    std::function<void(const QString &)> pending_;
};

} // namespace pagero
