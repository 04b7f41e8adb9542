#include "editor/OrvLead_Fm.h"
#include "commands/OrvOpenDlg.h"
#include "editor/AddTextDialog.h"
#include "editor/EditorCanvas.h"
#include "editor/EditorWorker.h"
#include "editor/OrvSaveDlg.h"
#include "editor/ScanRun.h"
#include "platform/Prompter.h"
#include "platform/imaging/Operations.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace pagero::editor {

using namespace pagero::imaging;

namespace {
const QString kCrLf = QStringLiteral("\r\n");
}

QImage PreviewCopyOf(const QImage &image, QSize box, double *scale)
{
    const QSize fitted = FitSize(image.size(), box);
    if (!box.isValid() || fitted.width() >= image.width()) {
        if (scale) *scale = 1;
        return image;
    }
    if (scale) *scale = double(fitted.width()) / image.width();
    return image.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

TLead_Fm::TLead_Fm(const QString &programFolder, QWidget *parent) : QDialog(parent), programFolder_(programFolder)
{
    setObjectName(QStringLiteral("Lead_Fm"));
    setSizeGripEnabled(true);
    RunDialog = [](QDialog &d) { return d.exec() == QDialog::Accepted; };
    params_ = ReadEditorParams(QDir(programFolder_).filePath(kEditorParamsFile));

    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    menuBar_ = new QMenuBar(this);
    layout_->setMenuBar(menuBar_);
    toolBar_ = new QToolBar(this);
    scroll_ = new QScrollArea(this);
    scroll_->setBackgroundRole(QPalette::Dark);
    QPalette grey = scroll_->palette();
    grey.setColor(QPalette::Dark, QColor(0x80, 0x80, 0x80));
    scroll_->setPalette(grey);
    canvas_ = new EditorCanvas(*this);
    scroll_->setWidget(canvas_);
    scroll_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto *status = new QHBoxLayout;
    zoomLabel_ = new QLabel(this);
    gauge_ = new QProgressBar(this);
    gauge_->setRange(0, 0);
    gauge_->setMaximumWidth(200);
    gauge_->hide();
    status->addWidget(zoomLabel_);
    status->addStretch();
    status->addWidget(gauge_);
    layout_->addWidget(scroll_, 1);
    layout_->addLayout(status);

    outlineTimer_ = new QTimer(this);
    outlineTimer_->setInterval(250);
    connect(outlineTimer_, &QTimer::timeout, this, [this] {
        outlinePhase_ = (outlinePhase_ + 1) % 8;
        if (doc_.Floating()) canvas_->update(canvas_->ToWindow(doc_.FloatingRect()).adjusted(-2, -2, 2, 2));
    });

    BuildCommands();
    PlaceToolbar();
    Refresh();
}

TLead_Fm::~TLead_Fm()
{
    if (cancel_) cancel_->store(true);
}

// ---- commands ----

void TLead_Fm::BuildCommands()
{
    const auto item = [this](QMenu *menu, const QString &name, const QString &text, std::function<void()> run,
                             const QString &hint = {}) {
        auto *a = new QAction(text, this);
        a->setObjectName(name);
        menu->addAction(a);
        if (!hint.isEmpty()) {
            a->setToolTip(hint);
            toolBar_->addAction(a);
        }
        if (run) connect(a, &QAction::triggered, this, [this, run] { if (!Busy()) run(); });
        return a;
    };
    QMenu *file = menuBar_->addMenu(QStringLiteral("&File"));
    New1 = item(file, "New1", "&New...", [this] { NewPicture(); }, "New image");
    Open1 = item(file, "Open1", "&Open...", [this] { OpenImage(); }, "Open image file");
    ScreenCapture1 = item(file, "ScreenCapture1", "Screen &Capture", [this] { CaptureScreen(); });
    Save1 = item(file, "Save1", "&Save", [this] { Save(); }, "Save image");
    SaveAs1 = item(file, "SaveAs1", "Save &As...", [this] { SaveAs(); });
    file->addSeparator();
    Print1 = item(file, "Print1", "&Print...", [this] { PrintImage(); }, "Print image");
    TwainSelect1 = item(file, "TwainSelect1", "Twain S&elect", [this] { SelectScanSource(); });
    TwainAcquire1 = item(file, "TwainAcquire1", "Twain Ac&quire", [this] { AskToSave([this] { Acquire(); }); });
    file->addSeparator();
    Exit1 = item(file, "Exit1", "E&xit", [this] { close(); });

    QMenu *edit = menuBar_->addMenu(QStringLiteral("&Edit"));
    Undo1 = item(edit, "Undo1", "&Undo", [this] { Undo(); }, "Undo");
    CopyToClipboard1 = item(edit, "CopyToClipboard1", "&Copy to clipboard", [this] { CopyToClipboard(); },
                            "Copy to clipboard");
    PasteFromClipboard1 = item(edit, "PasteFromClipboard1", "&Paste from clipboard", [this] { PasteFromClipboard(); },
                               "Paste from clipboard");
    QMenu *region = edit->addMenu(QStringLiteral("&Select Region"));
    SelectRect1 = item(region, "SelectRect1", "&Rectangle", [this] { RegionTool = RectRegion; UpdateCommands(); },
                       "Select rectangular region");
    SelectEllipse1 = item(region, "SelectEllipse1", "&Ellipse", [this] { RegionTool = EllipseRegion; UpdateCommands(); },
                          "Select elliptical region");
    for (QAction *a : {SelectRect1, SelectEllipse1}) a->setCheckable(true);
    Deselect1 = item(edit, "Deselect1", "&Deselect Region", [this] { doc_.Deselect(); Refresh(); }, "Deselect region");
    AddText1 = item(edit, "AddText1", "Add &Text...", [this] { AddText(); }, "Add text");

    QMenu *view = menuBar_->addMenu(QStringLiteral("&View"));
    Normal1 = item(view, "Normal1", "&Normal(1:1)", [this] { SetZoom({1, 1}); }, "Normal view (100%)");
    QMenu *in = view->addMenu(QStringLiteral("Zoom &In"));
    QMenu *out = view->addMenu(QStringLiteral("Zoom &Out"));
    for (int n = 2; n <= 10; ++n) {
        item(in, QStringLiteral("ZoomIn%1").arg(n), QStringLiteral("%1:1").arg(n), [this, n] { SetZoom({n, 1}); });
        item(out, QStringLiteral("ZoomOut%1").arg(n), QStringLiteral("1:%1").arg(n), [this, n] { SetZoom({1, n}); });
    }
    ZoomInBtn = item(view, "ZoomInBtn", "Zoom in", [this] { SetZoom(ZoomedIn(zoom_)); }, "Zoom in");
    ZoomOutBtn = item(view, "ZoomOutBtn", "Zoom out", [this] { SetZoom(ZoomedOut(zoom_)); }, "Zoom out");
    view->addSeparator();
    Toolbar1 = item(view, "Toolbar1", "&Toolbar", [this] {
        params_.toolbarVisible = !params_.toolbarVisible;
        PlaceToolbar();
    });
    Toolbar1->setCheckable(true);
    StatusBar1 = item(view, "StatusBar1", "&Status Bar", {});
    StatusBar1->setVisible(false);   // the gauge shows whenever work runs

    QMenu *image = menuBar_->addMenu(QStringLiteral("&Image"));
    HorizontalFlip1 = item(image, "HorizontalFlip1", "&Horizontal Flip", [this] { OneStep(FlipHorizontal); }, "Horizontal flip");
    VerticalFlip1 = item(image, "VerticalFlip1", "&Vertical Flip", [this] { OneStep(FlipVertical); }, "Vertical flip");
    Rotate1 = item(image, "Rotate1", "&Rotate...", [this] { Dialog(new TRotateAngle_Fm(*this, this)); });
    Shear1 = item(image, "Shear1", "S&hear...", [this] { Dialog(new TShearImage_Dlg(*this, this)); });
    Resize1 = item(image, "Resize1", "Re&size...", [this] { Dialog(new TSizingDlg(*this, false, this), true); });
    Resize1->setVisible(false);
    SizeChange1 = item(image, "SizeChange1", "&Size Change...", [this] { Dialog(new TSizingDlg(*this, true, this), true); });
    ImageProcessing1 = item(image, "ImageProcessing1", "&Image Processing...", [this] { Dialog(new TImageProcessDlg(*this, this)); });
    Filter1 = item(image, "Filter1", "&Filter...", [this] { Dialog(new TSpatialFilterDlg(*this, this)); });
    image->addSeparator();
    Contrast1 = item(image, "Contrast1", "&Contrast...", [this] { Dialog(new TContrastDlg(*this, this)); });
    Brightness1 = item(image, "Brightness1", "&Brightness...", [this] { Dialog(new TBrightnessDlg(*this, this)); });
    Hue1 = item(image, "Hue1", "H&ue...", [this] { Dialog(new THueDlg(*this, this)); });
    Saturation1 = item(image, "Saturation1", "S&aturation...", [this] { Dialog(new TSaturationDlg(*this, this)); });
    Solarize1 = item(image, "Solarize1", "S&olarize...", [this] { Dialog(new TSolarizeDlg(*this, this)); });
    Gamma1 = item(image, "Gamma1", "Ga&mma Correction...", [this] { Dialog(new TGammaDlg(*this, this)); });
    ColorRes1 = item(image, "ColorRes1", "Color &Resolution...", [this] { Dialog(new TColorResDlg(*this, this)); });
    image->addSeparator();
    Crop1 = item(image, "Crop1", "&Crop", [this] { Crop(); }, "Crop");
    Negative1 = item(image, "Negative1", "&Negative", [this] { OneStep(Invert); }, "Negative");
    Halftone1 = item(image, "Halftone1", "&Halftone", [this] { OneStep([](QImage &i) { return HalfTone(i, 1); }); }, "Halftone");
    GreyScale1 = item(image, "GreyScale1", "&Grey Scale", [this] { OneStep(GrayScale); }, "Grey scale");
    HistoEqualize1 = item(image, "HistoEqualize1", "Hi&stogram Equalize", [this] { OneStep(HistoEqualize); },
                          "Histogram equalize");
    IntensityStretch1 = item(image, "IntensityStretch1", "&Intensity Stretch", [this] { OneStep(StretchIntensity); },
                             "Intensity stretch");

    QMenu *help = menuBar_->addMenu(QStringLiteral("&Help"));
    About1 = item(help, "About1", "&About", [this] {
        QMessageBox::about(this, QStringLiteral("Pagero Image Editor 1.0"), QStringLiteral("Pagero Image Editor 1.0"));
    });
    SpeedButton9 = new QAction(QStringLiteral("\u21C5"), this);
    SpeedButton9->setObjectName(QStringLiteral("SpeedButton9"));
    toolBar_->addAction(SpeedButton9);
    connect(SpeedButton9, &QAction::triggered, this, [this] {
        params_.toolbarDock = params_.toolbarDock == 2 ? 1 : 2;
        PlaceToolbar();
    });
}

void TLead_Fm::PlaceToolbar()
{
    layout_->removeWidget(toolBar_);
    layout_->insertWidget(params_.toolbarDock == 1 ? 0 : 1, toolBar_);
    toolBar_->setVisible(params_.toolbarVisible);
    Toolbar1->setChecked(params_.toolbarVisible);
}

void TLead_Fm::Refresh()
{
    setWindowTitle(EditorCaption(doc_.Loaded(), doc_.State(), doc_.FileName()));
    const QSize s = doc_.Loaded() ? doc_.Main().size() : QSize(0, 0);
    canvas_->resize(std::max(1, s.width() * zoom_.in / zoom_.out), std::max(1, s.height() * zoom_.in / zoom_.out));
    zoomLabel_->setText(ZoomLabel(zoom_));
    if (doc_.Floating() && isActiveWindow()) outlineTimer_->start();
    else if (!doc_.Floating()) outlineTimer_->stop();
    UpdateCommands();
    canvas_->update();
}

void TLead_Fm::UpdateCommands()
{
    const bool idle = !Busy() && !scanning_;
    const bool loaded = doc_.Loaded() && idle;
    for (QAction *a : {Save1, SaveAs1, CopyToClipboard1, Deselect1, Normal1, ZoomInBtn, ZoomOutBtn, HorizontalFlip1,
                       VerticalFlip1, Rotate1, Shear1, Resize1, SizeChange1, ImageProcessing1, Filter1, Contrast1,
                       Brightness1, Hue1, Saturation1, Solarize1, Gamma1, ColorRes1, Negative1, Halftone1, GreyScale1,
                       HistoEqualize1, IntensityStretch1, SelectRect1, SelectEllipse1, AddText1})
        a->setEnabled(loaded);
    for (QAction *a : {New1, Open1, ScreenCapture1, PasteFromClipboard1, Exit1, TwainSelect1, TwainAcquire1})
        a->setEnabled(idle);
    Print1->setEnabled(loaded && PrintFile);
    Save1->setEnabled(loaded && doc_.State() != Clean);
    Undo1->setEnabled(idle && doc_.HasUndo());
    Deselect1->setEnabled(loaded && doc_.Floating());
    Crop1->setEnabled(loaded && doc_.Floating());
    SelectRect1->setChecked(RegionTool == RectRegion);
    SelectEllipse1->setChecked(RegionTool == EllipseRegion);
}

void TLead_Fm::SetZoom(Zoom z)
{
    zoom_ = z;
    Refresh();
}

QSize TLead_Fm::ViewSize() const { return scroll_->viewport()->size(); }

void TLead_Fm::Changed()
{
    Refresh();
}

// ---- loading and painting ----

bool TLead_Fm::LoadFile(const QString &path)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    const bool ok = doc_.Load(path, &error);
    QApplication::restoreOverrideCursor();
    if (ok) zoom_ = {1, 1};
    else TellLoadFailed(path, error);
    Refresh();
    return ok;
}

void TLead_Fm::TellLoadFailed(const QString &path, const QString &error)
{
    QString text = QStringLiteral("Error in loading file: ") + path + kCrLf + kCrLf +
                   QStringLiteral("Image data error or unknown image format!");
    if (!error.isEmpty()) text += kCrLf + kCrLf + QStringLiteral("(") + error + QStringLiteral(")");
    ThePrompter().Fail(text);
}

bool TLead_Fm::EditFile(const QString &path)
{
    if (Busy()) return false;
    doc_.Replace(QImage(), Clean, path);   // the last picture goes, with its undo copy
    doc_.DropUndo();
    closeApproved_ = false;
    zoom_ = {1, 1};
    if (QScreen *s = screen() ? screen() : QApplication::primaryScreen()) setGeometry(s->availableGeometry());
    PlaceToolbar();
    open();
    // The window shows at once, busy, while a large photo decodes on a worker.
    auto read = std::make_shared<EditorDocument::PictureRead>();
    RunLong([path, read](const std::atomic<bool> &) {
        *read = EditorDocument::Read(path);
        Work w;
        w.ok = !read->image.isNull();
        return w;
    }, [this, path, read](Work) {
        QString error;
        if (doc_.Adopt(path, std::move(*read), &error)) return;
        TellLoadFailed(path, error);
        CloseUnloaded();
    }, [this] { CloseUnloaded(); });
    return true;
}

// Nothing was loaded (a failed or abandoned load): the editor closes without questions.
void TLead_Fm::CloseUnloaded()
{
    closeApproved_ = true;
    outlineTimer_->stop();
    done(QDialog::Rejected);
}

void TLead_Fm::PaintScaled(QPainter &painter, const QRect &rect) const
{
    if (doc_.Loaded()) painter.drawImage(rect, doc_.Main());
}

// ---- work on a worker ----

void TLead_Fm::RunLong(std::function<Work(const std::atomic<bool> &)> work, std::function<void(Work)> done,
                       std::function<void()> abandoned)
{
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    cancel_ = cancel;
    gauge_->show();
    QApplication::setOverrideCursor(Qt::BusyCursor);
    UpdateCommands();
    RunOnWorker<Work>(this, [cancel, work = std::move(work)] {
        CancelScope scope(cancel.get());
        Work w = work(*cancel);
        if (cancel->load()) w.ok = false;
        return w;
    }, [this, cancel, done = std::move(done), abandoned = std::move(abandoned)](Work w) {
        cancel_.reset();
        gauge_->hide();
        QApplication::restoreOverrideCursor();
        if (!cancel->load()) done(std::move(w));
        else if (abandoned) abandoned();
        Refresh();
        emit workFinished();
    });
}

void TLead_Fm::Abandon()
{
    if (cancel_) cancel_->store(true);
}

void TLead_Fm::OneStep(std::function<bool(QImage &)> op)
{
    ApplyToTarget([op](QImage &i, double) { return op(i); });
}

void TLead_Fm::ApplyToTarget(Operation op)
{
    if (!doc_.Loaded() || !op) return;
    RunLong([image = doc_.Target(), op](const std::atomic<bool> &) {
        Work w;
        w.image = image;
        w.ok = op(w.image, 1.0);
        return w;
    }, [this](Work w) {
        if (!w.ok) {
            QApplication::beep();
            ThePrompter().Fail(QStringLiteral("The operation could not be completed: the picture would be too large "
                                              "or there is not enough memory."));
            return;
        }
        // With a floating selection only the floating image changes and the undo point stays the
        // one taken when the selection was made.
        if (!doc_.Floating()) doc_.TakeUndoPoint();
        doc_.SetTarget(std::move(w.image));
    });
}

// ---- previews ----

QSize TLead_Fm::TargetSize() const { return doc_.Target().size(); }

void TLead_Fm::Dialog(TAdjustDialog *dialog, bool mainOnly)
{
    std::unique_ptr<TAdjustDialog> owned(dialog);
    RunAdjust(*dialog, mainOnly);
}

void TLead_Fm::RunAdjust(TAdjustDialog &dialog, bool mainOnly)
{
    if (!doc_.Loaded()) return;
    if (mainOnly) doc_.Deselect();
    BeginPreview();
    const bool ok = RunDialog(dialog);
    const Operation op = dialog.CurrentOperation();
    EndPreview();
    if (ok && op) ApplyToTarget(op);
}

void TLead_Fm::BeginPreview()
{
    // Every preview starts again from the picture as it was before the dialog.
    previewBase_ = PreviewCopyOf(doc_.Target(), ViewSize(), &previewScale_);
    previewing_ = true;
}

void TLead_Fm::EndPreview()
{
    previewing_ = false;
    ++previewGeneration_;
    previewPending_ = false;
    previewBase_ = previewImage_ = QImage();
    Refresh();
}

void TLead_Fm::Preview(const Operation &op)
{
    if (!previewing_) return;
    ++previewGeneration_;
    if (!op) {
        // The neutral value: the picture as before, without calling the library.
        previewPending_ = false;
        previewImage_ = previewBase_;
        canvas_->update();
        emit previewShown();
        return;
    }
    if (previewRunning_) {
        pendingPreview_ = op;
        previewPending_ = true;
        return;
    }
    RunPreview(op);
}

void TLead_Fm::RunPreview(Operation op)
{
    previewRunning_ = true;
    const quint64 generation = previewGeneration_;
    RunOnWorker<Work>(this, [base = previewBase_, scale = previewScale_, op] {
        Work w;
        w.image = base;
        w.ok = op(w.image, scale);
        return w;
    }, [this, generation](Work w) {
        previewRunning_ = false;
        if (previewing_ && previewPending_) {
            previewPending_ = false;
            RunPreview(pendingPreview_);
            return;
        }
        if (!previewing_ || generation != previewGeneration_) return;
        previewImage_ = w.ok ? w.image : previewBase_;
        canvas_->update();
        emit previewShown();
    });
}

// ---- selection, crop, undo, clipboard ----

void TLead_Fm::PasteFloatingDown()
{
    if (!doc_.Floating()) return;
    doc_.PasteDown();
    doc_.SetState(StateAfterChange(doc_.State()));
    Refresh();
}

void TLead_Fm::Crop()
{
    if (!doc_.Floating()) return;
    QColor fill = Qt::black;
    if (doc_.Kind() == EllipseRegion) {
        TSelectColorDlg_Fm picker(this);
        picker.setWindowTitle(QStringLiteral("Select Background Fill Color for Elliptical Region"));
        if (RunDialog(picker)) fill = picker.Sliders()->Colour();
    }
    if (!doc_.Crop(fill)) QApplication::beep();
    Refresh();
}

void TLead_Fm::Undo()
{
    doc_.Undo();
    Refresh();
}

void TLead_Fm::PasteFromClipboard()
{
    const QImage image = QApplication::clipboard()->image();
    if (image.isNull()) {
        ThePrompter().Fail(QStringLiteral("Error in copying from clipboard."));
        return;
    }
    if (!doc_.Loaded() || image.width() > doc_.Main().width() || image.height() > doc_.Main().height()) {
        doc_.TakeUndoPoint();
        doc_.Replace(image, ModifiedOther, doc_.FileName());
        zoom_ = {1, 1};
    } else {
        // At the top-left corner of the visible part of the picture.
        const QPoint at = canvas_->ToImage(QPoint(scroll_->horizontalScrollBar()->value(), scroll_->verticalScrollBar()->value()));
        doc_.FloatImage(image, at);
        doc_.TakeUndoPoint();
    }
    Refresh();
}

void TLead_Fm::CaptureScreen()
{
    AskToSave([this] {
        doc_.TakeUndoPoint();
        QScreen *screen = QApplication::primaryScreen();
        const QImage shot = screen ? screen->grabWindow(0).toImage() : QImage();
        if (shot.isNull()) {
            doc_.SetState(CaptureFailed);
            ThePrompter().Fail(QStringLiteral("Error during Screen Capture"));
        } else {
            doc_.Replace(shot, ScreenCapture);
            zoom_ = {1, 1};
        }
        Refresh();
    });
}

void TLead_Fm::NewPicture()
{
    AskToSave([this] {
        TNewImage_Fm dialog(this);
        dialog.Preset({640, 480}, Qt::white);
        if (!RunDialog(dialog)) return;
        QImage blank(dialog.ChosenSize(), QImage::Format_RGB32);
        blank.fill(dialog.Fill());
        doc_.TakeUndoPoint();
        doc_.Replace(blank, NewImage);
        zoom_ = {1, 1};
        Refresh();
    });
}

void TLead_Fm::OpenImage()
{
    doc_.Deselect();
    AskToSave([this] {
        TOpenDlg open(this);
        if (!open.ExecuteMode(TOpenDlg::OpenFile, false) || open.SelectedPath.isEmpty()) return;
        doc_.TakeUndoPoint();
        LoadFile(open.SelectedPath);
    });
}


// ---- text, printing, scanning, clipboard pictures ----

void TLead_Fm::AddText()
{
    if (!doc_.Loaded() || Busy()) return;
    if (doc_.Floating()) {
        if (ThePrompter().Confirm(QStringLiteral("Do you want to paste the floating image onto the background image?")))
            PasteFloatingDown();
        else doc_.Deselect();
        Refresh();
    }
    TEIAddTextDlg_Fm dialog(*this, doc_.Main().size(), this);
    BeginPreview();
    const bool ok = RunDialog(dialog);
    EndPreview();
    const TextBox box = dialog.Box();
    if (!ok || box.text.isEmpty()) return;
    // The text's rectangle becomes a floating selection (with its undo point) and the text is drawn
    // into it, so it can still be moved before it is pasted down.
    const QRect rect = dialog.TextRect();
    if (!doc_.MakeSelection(rect, RectRegion)) {
        QApplication::beep();
        return;
    }
    QImage floating = doc_.FloatingImage();
    QPainter painter(&floating);
    PaintTextBox(painter, box, rect.topLeft() - doc_.FloatingRect().topLeft());
    painter.end();
    doc_.SetTarget(std::move(floating));
    Refresh();
}

void TLead_Fm::PrintImage()
{
    if (!doc_.Loaded() || !PrintFile || Busy()) return;
    doc_.Deselect();
    Refresh();
    if (doc_.State() == Clean) {
        PrintFile(doc_.FileName());
        return;
    }
    // A changed picture is printed from a temporary 16-bit BMP in a private folder, removed after.
    auto folder = std::make_shared<QTemporaryDir>();
    const QString temp = folder->isValid() ? folder->filePath(QStringLiteral("~MQXtempFn.bmp")) : QString();
    RunLong([image = doc_.Main(), temp](const std::atomic<bool> &) {
        Work w;
        CancelScope notAbandoned(nullptr);
        w.ok = !temp.isEmpty() && SaveBitmap(image, temp, 6, 16, 2, &w.error);
        return w;
    }, [this, folder, temp](Work w) {
        if (!w.ok) {
            ThePrompter().Fail(QStringLiteral("Print process failed. Insufficient swap memory."));
            return;
        }
        PrintFile(temp);
        QFile::remove(temp);
    });
}

void TLead_Fm::SelectScanSource(std::function<void()> done)
{
    if (scanning_) {
        if (done) done();
        return;
    }
    scanning_ = true;
    UpdateCommands();
    ListScanSources(this, [this, done](scan::SourceList list) {
        scanning_ = false;
        UpdateCommands();
        if (list.sources.isEmpty()) {
            const QString why = list.error.isEmpty() ? QStringLiteral("No scanner was found.") : list.error;
            ThePrompter().Fail(QStringLiteral("Error in selecting Twain device.") + kCrLf + kCrLf + why);
        } else {
            TSelectSourceDlg dialog(list.sources, ScanSource, this);
            if (RunDialog(dialog) && !dialog.Chosen().isEmpty()) ScanSource = dialog.Chosen();
        }
        if (done) done();
    });
}

void TLead_Fm::Acquire(std::function<void(bool acquired)> done)
{
    if (scanning_ || Busy()) {
        if (done) done(false);
        return;
    }
    scanning_ = true;
    UpdateCommands();
    QWidget *owner = isVisible() ? static_cast<QWidget *>(this) : parentWidget();
    RunScan(owner ? owner : this, ScanSource, [this, done](scan::ScanResult result) {
        scanning_ = false;
        const bool acquired = !result.image.isNull();
        if (acquired) {
            doc_.TakeUndoPoint();
            doc_.Replace(std::move(result.image), Acquired);
            zoom_ = {1, 1};
        } else {
            // A failed scan leaves a picture that is already here as it was; only an empty editor
            // takes the failed state.
            if (!doc_.Loaded()) doc_.SetState(AcquireFailed);
            if (!result.cancelled)
                ThePrompter().Fail(QStringLiteral("Error in acquiring Twain image.") + kCrLf + kCrLf + result.error);
        }
        Refresh();
        if (done) done(acquired);
    });
}

void TLead_Fm::CopyToClipboard()
{
    if (doc_.Loaded()) QApplication::clipboard()->setImage(doc_.Target());
}

bool TLead_Fm::TakeClipboardPicture(const QString &fileName)
{
    const QImage image = QApplication::clipboard()->image();
    if (image.isNull()) {
        ThePrompter().Fail(QStringLiteral("Error in copying from clipboard."));
        return false;
    }
    doc_.Deselect();
    doc_.DropUndo();
    doc_.Replace(image.convertToFormat(QImage::Format_RGB32), ModifiedOther, fileName);
    zoom_ = {1, 1};
    Refresh();
    return true;
}

// ---- saving ----

void TLead_Fm::AskToSave(std::function<void()> then)
{
    const QString question = SaveQuestion(doc_.State(), doc_.FileName());
    if (question.isEmpty() || !doc_.Loaded()) {
        then();
        return;
    }
    switch (ThePrompter().Ask(PromptKind::Question, question)) {
    case PromptAnswer::Cancel: return;
    case PromptAnswer::No: then(); return;
    default:
        if (doc_.State() == Modified) Save(then);
        else SaveAs(then);
    }
}

void TLead_Fm::Save(std::function<void()> then)
{
    doc_.Deselect();
    if (doc_.State() == Modified) SaveToSameFile(std::move(then));
    else SaveAs(std::move(then));
}

void TLead_Fm::SaveToSameFile(std::function<void()> then)
{
    const QString name = doc_.FileName();
    FileInformation info;
    const int type = FileInfo(name, info) ? SaveFormatOfCode(info.format) : -1;
    if (type < 0) {
        // A format this editor cannot write (or a file that went away): choose one.
        SaveAs(std::move(then));
        return;
    }
    if (doc_.ChangedOnDisk()) {
        ThePrompter().Fail(QStringLiteral("Error in saving file: ") + name + kCrLf + kCrLf +
                           QStringLiteral("The file has changed on disk since it was opened. "
                                          "Use Save As to keep both pictures."));
        return;
    }
    const SaveFormat &format = SaveFormats()[type];
    const int bits = format.bits.contains(info.bitsPerPixel) ? info.bitsPerPixel : format.preselected;
    SaveWith(name, format.code, bits, SameFileQualityFactor(name), [this, name, then](bool ok) {
        if (!ok) {
            ThePrompter().Fail(QStringLiteral("Error in saving file: ") + name + kCrLf + kCrLf +
                               QStringLiteral("This file may be a ReadOnly or a system file!"));
            return;
        }
        doc_.Saved(name);
        Refresh();
        if (then) then();
    });
}

void TLead_Fm::SaveAs(std::function<void()> then)
{
    doc_.Deselect();
    const QString current = doc_.FileName();
    const QFileInfo fi(current);
    const QString folder = fi.exists() ? fi.absolutePath() : QDir::homePath();
    const bool named = doc_.State() < NewImage && doc_.State() >= 0 && !current.isEmpty();
    SaveAsIn(folder, named ? fi.fileName() : QStringLiteral(".jpg"), [then](bool saved) {
        if (saved && then) then();
    });
}

void TLead_Fm::SaveAsIn(const QString &folder, const QString &name, std::function<void(bool saved)> done)
{
    doc_.Deselect();
    const QString current = doc_.FileName();
    TSaveDlg dialog(this);
    dialog.Start(folder, name);
    if (!RunDialog(dialog)) {
        if (done) done(false);
        return;
    }
    const QString chosen = dialog.ChosenPath();
    const QString refusal = IconRefusal(current, chosen);
    if (!refusal.isEmpty()) {
        QApplication::beep();
        ThePrompter().Fail(refusal);
        if (done) done(false);
        return;
    }
    SaveWith(chosen, dialog.FormatCode(), dialog.BitsPerPixel(), dialog.QualityFactor(), [this, chosen, done](bool ok) {
        if (!ok) {
            QApplication::beep();
            ThePrompter().Fail(QStringLiteral("Error in saving image.") + kCrLf + chosen);
        } else {
            doc_.Saved(chosen);
            Refresh();
        }
        if (done) done(ok);
    });
}

void TLead_Fm::SaveWith(const QString &path, int format, int bits, int quality, std::function<void(bool)> done)
{
    // Saving is not abandoned half-way: the file is replaced whole or not at all.
    RunLong([image = doc_.Main(), path, format, bits, quality](const std::atomic<bool> &) {
        Work w;
        CancelScope notAbandoned(nullptr);
        w.ok = SaveBitmap(image, path, format, bits, quality, &w.error);
        return w;
    }, [done](Work w) { done(w.ok); });
}

// ---- closing ----

void TLead_Fm::reject()
{
    if (Busy()) {
        Abandon();
        return;
    }
    BeginClose();
}

void TLead_Fm::closeEvent(QCloseEvent *e)
{
    if (closeApproved_) {
        e->accept();
        return;
    }
    e->ignore();
    if (Busy()) return;
    BeginClose();
}

void TLead_Fm::BeginClose()
{
    if (doc_.Floating()) {
        if (ThePrompter().Confirm(QStringLiteral("Do you want to paste the floating image onto the background image?")))
            PasteFloatingDown();
        else doc_.Deselect();
        Refresh();
    }
    AskToSave([this] {
        closeApproved_ = true;
        outlineTimer_->stop();
        WriteEditorParams(QDir(programFolder_).filePath(kEditorParamsFile), params_);
        done(QDialog::Rejected);
    });
}

void TLead_Fm::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Plus || e->key() == Qt::Key_Equal) {
        if (doc_.Loaded()) SetZoom(ZoomedIn(zoom_));
        return;
    }
    if (e->key() == Qt::Key_Minus) {
        if (doc_.Loaded()) SetZoom(ZoomedOut(zoom_));
        return;
    }
    QDialog::keyPressEvent(e);
}

void TLead_Fm::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::ActivationChange) {
        if (isActiveWindow() && doc_.Floating()) outlineTimer_->start();
        else outlineTimer_->stop();
    }
    QDialog::changeEvent(e);
}

} // namespace pagero::editor
