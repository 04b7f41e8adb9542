#pragma once
// The full-screen preview of one page's picture, at its own size (scrolled) or fitted to the
// screen, over the preview background; a click, Escape or Space closes it. Its pop-up menu offers
// the view modes, the file information, the file commands and the preview background.
#include <QDialog>
#include <QImage>
#include <QString>
#include <functional>

class QAction;
class QMenu;

namespace pagero {

struct Settings;
class TInfoBox;

class TPreviewPic_Fm : public QDialog {
    Q_OBJECT
public:
    enum ViewMode { ModeNone = 0, ModeNormal = 1, ModeFit = 2 };

    explicit TPreviewPic_Fm(QWidget *parent = nullptr);
    ~TPreviewPic_Fm() override;

    // The preview background: `settings` holds PreviewBackKind (1 colour, 2 bitmap) and
    // PreviewBackColor; `bitmap` is the background picture used with kind 2. Both are owned by the
    // main window, which saves them with the settings; the menu changes them in place.
    void SetBackground(Settings *settings, QImage *bitmap, const QString &exeDir);
    // The information box used by "&Information" (one of its own when not given).
    void SetInfoBox(TInfoBox *box) { infoBox_ = box; }

    // Loads the file, sets the normal-size view scrolled to the top-left and shows the window
    // modally; then runs the file command chosen from its menu, if any.
    void ShowPreview(const QString &path);
    // The first half of ShowPreview: load and reset the view, without showing anything.
    void Prepare(const QString &path);

    QString Path() const { return path_; }
    bool Loaded() const { return !picture_.isNull(); }
    int Mode() const { return mode_; }
    void SetMode(int mode);

    // The file commands of the menu, run for the previewed file after the window has closed:
    // "&Edit...", "&Save as...", "&Copy to...", "&Move to...", "&Rename...", "&Delete...",
    // "&Print...". Unset commands are left out of the menu's work (the window still closes).
    std::function<void(const QString &path)> EditFile, SaveFileAs, CopyFileTo, MoveFileTo, RenameFile,
        DeleteFile, PrintPicture;

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
    void CloseWith(std::function<void(const QString &)> command);
    void ChooseBackgroundColor();
    void ChooseBackgroundBitmap();

    class PreviewView *view_;
    QString path_;
    QImage picture_;
    int mode_ = ModeNone;
    Settings *settings_ = nullptr;
    QImage *backBitmap_ = nullptr;
    QString exeDir_;
    TInfoBox *infoBox_ = nullptr;
    TInfoBox *ownInfoBox_ = nullptr;
    std::function<void(const QString &)> pending_;
};

} // namespace pagero
