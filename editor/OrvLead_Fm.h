#pragma once
// The image editor window: one picture, shown on grey at a zoom of 1:10 .. 10:1, with rectangular
// and elliptical floating selections, one-step commands and the adjustment dialogs, one-level undo,
// and saving to the same file or through the save dialog in nine formats.
//
// Everything slow (pixel operations on the whole picture, live previews, saving) runs on a worker
// thread; meanwhile the commands rest and Escape abandons the operation, leaving the picture as it
// was. Live previews work on a copy scaled to the window, so they keep up with the sliders on large
// photos; OK applies the operation to the full picture.
#include "core/editor/EditorRules.h"
#include "editor/AdjustDialogs.h"
#include "editor/EditorDocument.h"

#include <QDialog>
#include <atomic>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QMenuBar;
class QProgressBar;
class QScrollArea;
class QTimer;
class QToolBar;
class QVBoxLayout;

namespace pagero::editor {

class EditorCanvas;

// The reduced copy a live preview works on: `image` fitted into `box` when it is larger, and the
// scale of the copy (1 when the picture already fits).
QImage PreviewCopyOf(const QImage &image, QSize box, double *scale);

class TLead_Fm : public QDialog, public PreviewHost {
    Q_OBJECT
public:
    explicit TLead_Fm(const QString &programFolder, QWidget *parent = nullptr);
    ~TLead_Fm() override;

    // Shows the editor over the whole screen, window-modal, and loads `path` on a worker meanwhile
    // (the editor is busy until then: Escape abandons the load and closes it). A file that cannot be
    // loaded gets the load message and closes the editor. False when the editor is still busy.
    // `finished` is emitted when the editor closes.
    bool EditFile(const QString &path);
    // Loads a picture file: zoom 1:1, state clean; on failure the load message and no picture.
    bool LoadFile(const QString &path);
    // Paints the picture scaled into `rect` (the mail preview uses this).
    void PaintScaled(QPainter &painter, const QRect &rect) const;

    EditorDocument &Document() { return doc_; }
    Zoom CurrentZoom() const { return zoom_; }
    void SetZoom(Zoom z);
    int RegionTool = NoRegion;
    bool Busy() const { return bool(cancel_); }
    bool PreviewShowing() const { return !previewImage_.isNull(); }
    const QImage &PreviewImage() const { return previewImage_; }
    QSize ViewSize() const;

    // How the editor shows its modal dialogs (tests drive them instead).
    std::function<bool(QDialog &)> RunDialog;
    // Prints a picture file through the program's print setup; unset, "&Print..." stays disabled.
    std::function<bool(const QString &path)> PrintFile;
    // The scanner chosen with "Twain S&elect" (empty: the first one found).
    QString ScanSource;

    // PreviewHost
    void Preview(const Operation &op) override;
    QSize TargetSize() const override;

    // The commands, named after their components.
    QAction *New1, *Open1, *ScreenCapture1, *Save1, *SaveAs1, *Print1, *TwainSelect1, *TwainAcquire1, *Exit1;
    QAction *Undo1, *CopyToClipboard1, *PasteFromClipboard1, *SelectRect1, *SelectEllipse1, *Deselect1, *AddText1;
    QAction *Normal1, *ZoomInBtn, *ZoomOutBtn, *Toolbar1, *StatusBar1;
    QAction *HorizontalFlip1, *VerticalFlip1, *Rotate1, *Shear1, *Resize1, *SizeChange1, *ImageProcessing1,
        *Filter1, *Contrast1, *Brightness1, *Hue1, *Saturation1, *Solarize1, *Gamma1, *ColorRes1, *Crop1,
        *Negative1, *Halftone1, *GreyScale1, *HistoEqualize1, *IntensityStretch1, *About1, *SpeedButton9;

    // The flows of the commands (also run by tests).
    void AskToSave(std::function<void()> then);
    void Save(std::function<void()> then = {});
    void SaveAs(std::function<void()> then = {});
    void RunAdjust(TAdjustDialog &dialog, bool mainOnly = false);
    void ApplyToTarget(Operation op);
    void Crop();
    void Undo();
    void PasteFloatingDown();
    // Ends a running operation, leaving the picture as it was before it.
    void Abandon();
    void AddText();
    void PrintImage();
    // Lets the user choose the scanner; `done` runs afterwards whatever the outcome.
    void SelectScanSource(std::function<void()> done = {});
    // Scans into the picture (state acquired, with an undo point); `done` gets whether a picture
    // came. A failure other than the user's cancelling shows the acquire error.
    void Acquire(std::function<void(bool acquired)> done = {});
    bool Scanning() const { return scanning_; }
    // Puts the floating image, or else the picture, on the clipboard.
    void CopyToClipboard();
    // The clipboard's picture becomes the picture, named `fileName`; false (with the clipboard
    // error shown) when the clipboard holds none.
    bool TakeClipboardPicture(const QString &fileName);
    // Save As starting in `folder` with `name`; `done` gets whether the picture was saved (its path
    // is then the document's file name).
    void SaveAsIn(const QString &folder, const QString &name, std::function<void(bool saved)> done);

signals:
    void workFinished();   // a worker's result has been taken in
    void previewShown();

protected:
    void closeEvent(QCloseEvent *e) override;
    void reject() override;
    void keyPressEvent(QKeyEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    friend class EditorCanvas;
    void BuildCommands();
    void Refresh();   // caption, canvas size, zoom label, enabled commands
    void UpdateCommands();
    void PlaceToolbar();
    void BeginClose();
    void SaveToSameFile(std::function<void()> then);
    void SaveWith(const QString &path, int format, int bits, int quality, std::function<void(bool)> done);
    void Changed();
    void RunPreview(Operation op);
    struct Work { bool ok = false; QImage image; QString error; };
    void RunLong(std::function<Work(const std::atomic<bool> &)> work, std::function<void(Work)> done,
                 std::function<void()> abandoned = {});
    void TellLoadFailed(const QString &path, const QString &error);
    void CloseUnloaded();
    void NewPicture();
    void OpenImage();
    void CaptureScreen();
    void PasteFromClipboard();
    void OneStep(std::function<bool(QImage &)> op);
    void Dialog(TAdjustDialog *dialog, bool mainOnly = false);
    void BeginPreview();
    void EndPreview();

    QString programFolder_;
    EditorDocument doc_;
    Zoom zoom_;
    EditorParams params_;
    bool closeApproved_ = false;

    QMenuBar *menuBar_;
    QToolBar *toolBar_;
    QVBoxLayout *layout_;
    QScrollArea *scroll_;
    EditorCanvas *canvas_;
    QLabel *zoomLabel_;
    QProgressBar *gauge_;
    QTimer *outlineTimer_;
    int outlinePhase_ = 0;
    bool scanning_ = false;

    std::shared_ptr<std::atomic<bool>> cancel_;   // set while a worker runs

    bool previewing_ = false;
    QImage previewBase_, previewImage_;
    double previewScale_ = 1;
    bool previewRunning_ = false;
    Operation pendingPreview_;
    bool previewPending_ = false;
    quint64 previewGeneration_ = 0;
};

} // namespace pagero::editor
