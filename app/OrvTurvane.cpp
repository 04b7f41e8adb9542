#include "app/OrvTurvane.h"
#include "app/OrvFlippingTool.h"
#include "app/OrvSetFileTypeFilter.h"
#include "app/OrvSetFlipSpeed.h"
#include "commands/OrvOpenDlg.h"
#include "pages/OrvContents_Ut.h"
#include "pages/OrvFindDlg.h"
#include "pages/OrvImgInfoBox.h"
#include "pages/OrvPageNoDlg.h"
#include "pages/OrvPreviewPic.h"
#include "pages/OrvIndex_Ut.h"
#include "pages/OrvOverView_Ut.h"
#include "pages/OrvProgress.h"
#include "core/book/MruList.h"
#include "core/common/AtomicFile.h"
#include "core/common/MyLib.h"
#include "core/common/ProductInfo.h"
#include "platform/Prompter.h"
#include "platform/system/ProgramFolder.h"
#include <algorithm>
#include <utility>
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QToolBar>
#include <QWindowStateChangeEvent>

namespace pagero {

namespace {
constexpr uint32_t kGrey = 0x808080;
QColor ColorOf(uint32_t rgbRedLow)
{
    return QColor(rgbRedLow & 0xFF, (rgbRedLow >> 8) & 0xFF, (rgbRedLow >> 16) & 0xFF);
}
} // namespace

// ---------------------------------------------------------------- client area

BookView::BookView(TTurvane_Fm *owner) : QWidget(owner), owner_(owner)
{
    setObjectName("BookView");
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(BookGeometry::MinClientWidth, BookGeometry::MinClientHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BookView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QImage &frame = owner_->Painter().ViewImage1;
    if (frame.isNull()) p.fillRect(rect(), ColorOf(kGrey));
    else p.drawImage(0, 0, frame);
    owner_->PaintOverlays(p);
}

void BookView::resizeEvent(QResizeEvent *)
{
    owner_->Layout();
}

// ---------------------------------------------------------------- create

TTurvane_Fm::TTurvane_Fm(const QStringList &args, QWidget *parent)
    : QMainWindow(parent), args_(args)
{
    setObjectName("Turvane_Fm");
    view_ = new BookView(this);
    setCentralWidget(view_);
    menus_ = BuildMainMenus(this, view_);
    setMenuBar(menus_.bar);
    speedDlg_ = new TSetFlipSpeedForm(this);
    overview_ = new TOverView_Fm(this);
    contents_ = new TContents_Fm(this);
    index_ = new TIndex_Fm(this);
    contents_->hide();
    index_->hide();
    sections_ = std::make_unique<WindowSectionBuilder>(*overview_, *contents_, *index_);
    // Ending the program from the thumbnail progress window closes the main window.
    connect(overview_, &TOverView_Fm::ExitRequested, this, [this] { CloseWindow(); });
    openDlg_ = new TOpenDlg(this);
    animator_.present = [this](const QImage &) { Present(); };
    animator_.removeHighlight = [this] { RemoveHighlight(); };
    filterDlg_ = new TSetFileTypeFilter_Fm(this);
    flippingTool_ = new TFlippingToolForm(this);
    pageNoDlg_ = new TPageNoDlg(this);
    findDlg_ = new TFindDlg(this);
    infoBox_ = new TInfoBox(this);
    preview_ = new TPreviewPic_Fm(this);
    preview_->SetInfoBox(infoBox_);
    // The preview's file commands (edit, save as, copy, move, rename, delete, print) are not
    // offered by this window yet.
    for (QAction *later : {preview_->Edit1, preview_->SaveAs1, preview_->CopyTo1, preview_->MoveTo1,
                           preview_->Rename1, preview_->Delete1, preview_->Print1})
        later->setEnabled(false);
    speedDlg_->setSpeed = [this](int speed) { flip_.SetFlipSpeed(speed); };
    speedDlg_->flip = [this](int direction, int count) { Flip(direction, count); };
    flippingTool_->flipTo = [this](int page) { FlipTo(page); };
    flippingTool_->pageLabel = [this](int page) { return PageLabel(page); };
    Timer2.setInterval(200);
    Timer2.setSingleShot(true);
    connect(&Timer2, &QTimer::timeout, this, &TTurvane_Fm::Timer2Timer);
    connect(&Timer1, &QTimer::timeout, this, &TTurvane_Fm::Timer1Timer);
    // The album is re-checked when the user comes back from another program, not after each of
    // the program's own dialogs: the application's state, not the window's activation.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive) FormActivate();
        else Deactivated = true;
    });
    resize(800, 600);
    FormCreate();
    ConnectCommands();
}

TTurvane_Fm::~TTurvane_Fm() = default;

void TTurvane_Fm::FormCreate()
{
    Deactivated = Minimised = OverviewWasVisible = ReadyToLayout = building_ = false;
    ExeDir = sys::ProgramFolder();
    if (QFileInfo(ExeDir).isDir()) QDir::setCurrent(ExeDir);
    ScreenSaverMode = ExeDir.compare(sys::SystemFolder(), Qt::CaseInsensitive) == 0;
    if (ScreenSaverMode) ExeDir = sys::RegistryRead("GEnv", "ExeDir", QString()).toString();
    if (ExeDir.isEmpty() || !QFileInfo(ExeDir).isDir()) {
        ExeDir.clear();   // an inert window that can only be closed
        setWindowTitle(kApplicationTitle);
        return;
    }
    OverviewDir = JoinPath(ExeDir, "Overview");
    BookmarkDir = JoinPath(ExeDir, "Bookmark");
    SysSoundDir = JoinPath(ExeDir, "SysSound");
    session_.AlbumFolder = JoinPath(ExeDir, "Samples");
    session_.MRUList = &settings_.MRUList;
    // A screen-saver run holds the per-user lock from here to its end, so that any later start of the
    // program (main) and a second screen-saver window (first paint) see it and end at once.
    if (ScreenSaverMode) screenSaverLock_ = sys::AcquireScreenSaverLock();
    BaseCaption = ScreenSaverMode ? QString(kScreenSaverCaption) : QString(kApplicationTitle);
    setWindowTitle(BaseCaption);

    settings_ = Settings{};
    const QImage defaultBack(QDir(ExeDir).filePath(kDefaultBackBitmap));
    if (!defaultBack.isNull()) {
        settings_.ScreenBackKind = 2;
        scene_.screenBackBitmap = defaultBack;
    } else {
        settings_.ScreenBackKind = 1;
        settings_.ScreenBackColor = kGrey;
    }
    LoadSettings(ExeDir, settings_);
    LoadSettings2(ExeDir, settings_);
    LoadBackgroundPictures();
    preview_->SetBackground(&settings_, &previewBack_, ExeDir);
    flip_.SetFlipSpeed(settings_.FlipSpeed);
    ApplySortOrderToMenu(settings_.SortOrder);
    menus_.Act("AutoFlipToOverview")->setChecked(settings_.AutoFlipToOverview);
    menus_.Act("JCAutoShow")->setChecked(settings_.JCAutoShow);
    menus_.Act("FlippingSound1")->setChecked(settings_.FlippingSound);
    menus_.Act("AutoReopen")->setChecked(settings_.AutoReopen);
    menus_.Act("WithPageNo1")->setChecked(settings_.WithPageNo);
    menus_.Act("Fancy1")->setChecked(!settings_.WithPageNo);
    menus_.Act("BackgroundMusic1")->setChecked(settings_.BackgroundMusic);
    menus_.Act("btnLargest1")->setChecked(settings_.ThumbW == 72);
    menus_.Act("btnMiddle1")->setChecked(settings_.ThumbW == 56);
    menus_.Act("btnSmallest1")->setChecked(settings_.ThumbW == 38);
    session_.RefreshMRU();

    // The tool bar is always shown at start, whatever the settings file said.
    settings_.ToolBarVisible = true;
    menus_.toolBar->show();
    menus_.Act("ToolBar1")->setChecked(true);

    scene_.geo = &geo_;
    scene_.layout = &layout_;
    scene_.flip = &flip_;
    scene_.pages = &pages_;
    scene_.selection = &selection_.paths;
    scene_.settings = &settings_;
    scene_.exeDir = ExeDir;
    scene_.overview = overview_;
    scene_.contents = contents_;
    scene_.index = index_;
    PaintMode = 1;
    Timer2.stop();
    ReadyToLayout = true;
}

void TTurvane_Fm::LoadBackgroundPictures()
{
    if (settings_.ScreenBackKind == 2) {
        const QString saved = QDir(ExeDir).filePath(kScreenBackBitmap);
        if (QFileInfo::exists(saved)) scene_.screenBackBitmap = QImage(saved);
        if (scene_.screenBackBitmap.isNull()) settings_.ScreenBackKind = 1;
    }
    if (settings_.PreviewBackKind == 2) {
        previewBack_ = QImage(QDir(ExeDir).filePath(kPreviewBackBitmap));
        if (previewBack_.isNull()) settings_.PreviewBackKind = 1;
    }
    if (settings_.CoverKind == 2) {
        scene_.coverBitmap = QImage(QDir(ExeDir).filePath(kCoverBackBitmap));
        if (scene_.coverBitmap.isNull()) settings_.CoverKind = 0;
    }
}

// ---------------------------------------------------------------- first paint and albums

void TTurvane_Fm::showEvent(QShowEvent *e)
{
    QMainWindow::showEvent(e);
    if (!firstPaintDone_) {
        firstPaintDone_ = true;
        // The album is chosen once the window is on screen, outside any paint handler, since it may
        // show dialogs.
        QTimer::singleShot(0, this, &TTurvane_Fm::FormPaintFirst);
    }
}

void TTurvane_Fm::FormPaintFirst()
{
    if (ExeDir.isEmpty() || session_.AlbumOpen || session_.Opening || Building() || terminating_) return;
    if (geo_.PageW <= 0) Layout();
    if (ScreenSaverMode) {
        StartScreenSaverRun();
        return;
    }
    sys::RegistryWrite("GEnv", "ExeDir", ExeDir);
    const QString samples = JoinPath(ExeDir, "Samples");
    session_.OpenFirstAlbum(args_, settings_.AutoReopen, samples, QDir::currentPath(), kDefaultFilterMask,
                            [this](bool opened) {
                                if (opened) openDlg_->SetFolder(session_.AlbumFolder);
                            });
}

void TTurvane_Fm::StartScreenSaverRun()
{
    // "ScvIns" marks a run in progress, but a mark that is missing (no run yet) or left true by a run
    // that crashed would keep the screen saver from ever running again. The lock is held only by a
    // live run, so it alone decides; the mark is still kept up to date for other readers.
    if (!screenSaverLock_ || !screenSaverLock_->held()) {
        CloseWindow();
        return;
    }
    QString folder = sys::RegistryRead("ScnSVr", "DataDIR", QString()).toString();
    if (folder.isEmpty()) folder = JoinPath(ExeDir, "Samples");
    sys::RegistryWrite("ScnSVr", "ScvIns", true);
    session_.OpenStartFolder(folder, QDir::currentPath(), kDefaultFilterMask, [this](bool opened) {
        if (opened) BeginScreenSaverShow();
    });
}

void TTurvane_Fm::BeginScreenSaverShow()
{
    openDlg_->SetFolder(session_.AlbumFolder);
    SetCaption();
    settings_.FlippingSound = sys::RegistryRead("ScnSVr", "FlipSnd", settings_.FlippingSound).toBool();
    settings_.BackgroundMusic = sys::RegistryRead("ScnSVr", "BgkMusic", settings_.BackgroundMusic).toBool();
    menus_.Act("FlippingSound1")->setChecked(settings_.FlippingSound);
    menus_.Act("BackgroundMusic1")->setChecked(settings_.BackgroundMusic);
    StartAutoFlipTimer(1500, 1, settings_.AutoFlipEndAction);
    PaintMode = 7;
    MoveCount = 0;
    view_->setCursor(Qt::BlankCursor);
    setCursor(Qt::BlankCursor);
}

AlbumHost::Choice TTurvane_Fm::ChooseFolder(const QString &preset, QString &folder)
{
    if (FolderChooser) {
        const bool picked = FolderChooser(preset, folder);
        return picked ? Choice::Picked : Choice::Cancelled;
    }
    if (openDlg_->isVisible()) return Choice::AlreadyShowing;
    if (terminating_) return Choice::Cancelled;
    openDlg_->CurrentFolder = session_.AlbumOpen ? session_.AlbumFolder : QString();
    openDlg_->SetFolder(preset);
    if (!openDlg_->ExecuteMode(TOpenDlg::OpenFolder, true)) return Choice::Cancelled;
    folder = openDlg_->ChosenFolder();
    return Choice::Picked;
}

bool TTurvane_Fm::AskExitInsteadOfOpening()
{
    if (terminating_) return true;
    return ThePrompter().Confirm("In order not to exit the program, \n\ryou must open a folder now."
                                 "\n\r\n\rDo you really want to exit the program?");
}

void TTurvane_Fm::TellFolderMissing(const QString &folder)
{
    ThePrompter().Inform(folder + "\r\n" + "does not exist, please open another folder.");
}

void TTurvane_Fm::TellSameFolderAndMask()
{
    ThePrompter().Inform("You have selected the current folder and the same filter mask.");
}

void TTurvane_Fm::CloseWindow()
{
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void TTurvane_Fm::SetCaption()
{
    setWindowTitle(ScreenSaverMode ? QString(kScreenSaverCaption)
                                   : BaseCaption + "    Folder: " + session_.AlbumFolder);
}

void TTurvane_Fm::AlbumOpening(const QString &)
{
    SetCaption();
    overview_->ShowThumbWindow = true;   // opening an album shows the thumbnails being made
    selection_.Clear();
    SelectAnchor = -1;
}

void TTurvane_Fm::AlbumOpened(const QString &folder)
{
    scene_.albumNameLines = QStringList{"Folder Name", QFileInfo(folder).fileName().toUpper()};
    ShowSpread(0);
    if (settings_.AutoFlipToOverview) {
        const int speed = flip_.FlipSpeed;
        flip_.SetFlipSpeed(25);
        FlipTo(layout_.FirstOverviewPage);
        flip_.SetFlipSpeed(speed);
    }
    menus_.Act("TWainSaveAs")->setEnabled(false);
    Timer1.stop();
    PaintMode = 1;
    RefreshToolBar();
}

void TTurvane_Fm::AlbumClosing(int direction)
{
    const int speed = flip_.FlipSpeed;
    flip_.SetFlipSpeed(24);
    FlipTo(direction == 2 ? flip_.LastPageNo + 1 : 0);
    flip_.SetFlipSpeed(speed);
    if (!painter_.ViewImage1.isNull()) painter_.ViewImage1.fill(ColorOf(kGrey));
    Present();
    RemoveHighlight();
}

void TTurvane_Fm::AlbumClosed() {}

void TTurvane_Fm::SwitchAlbum(const QString &folder)
{
    if (Building()) {
        AfterBuild([this, folder] { SwitchAlbum(folder); });
        return;
    }
    session_.SwitchAlbum(folder, openDlg_->Mask(), [this, folder](bool opened) {
        if (opened) openDlg_->SetFolder(folder);
    });
}

void TTurvane_Fm::MruChanged()
{
    const QStringList captions = MenuCaptions(settings_.MRUList);
    for (int i = 0; i < menus_.mru.size(); ++i) {
        QAction *item = menus_.mru[i];
        if (i < captions.size()) {
            item->setText(captions[i]);
            item->setVisible(true);
            item->setEnabled(true);
        } else {
            item->setVisible(false);
        }
    }
    menus_.mruSeparator->setVisible(!captions.isEmpty());
}

void TTurvane_Fm::RUClick(QAction *item)
{
    const QString folder = FolderFromCaption(item->text());
    openDlg_->SetMask(kDefaultFilterMask);
    SwitchAlbum(folder);
}

// ---------------------------------------------------------------- book build

void TTurvane_Fm::BuildBook(std::function<void(bool built)> done)
{
    building_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The tool bar, the pop-up's auto-flipping item and the Help menu rest during a build; each
    // gets back the state it had.
    QAction *autoFlipping = menus_.Act("AutoFlipping2");
    const bool autoFlippingWas = autoFlipping->isEnabled();
    const auto enableCommands = [this, autoFlipping, autoFlippingWas](bool on) {
        menus_.toolBar->setEnabled(on);
        autoFlipping->setEnabled(on && autoFlippingWas);
        menus_.Menu("Help1")->menuAction()->setEnabled(on);
    };
    enableCommands(false);
    if (geo_.PageW <= 0) geo_ = BookGeometry::For(view_->size(), ToolBarHeight());
    // The album-opening percentages go to the progress window, which keeps them without showing.
    TProgress_Fm *progress = overview_->Progress();
    const auto albumProgress = [progress](int percent) { progress->SetAlbumProgress(percent); };
    pages_.Build(session_.AlbumFolder, session_.FilterMask, CurrentSortOrder(), albumProgress);
    SectionBuildInput in;
    in.pages = &pages_;
    in.selection = &selection_.paths;
    in.leftContentLocal = geo_.leftContentLocal();
    in.thumbW = settings_.ThumbW;
    in.thumbH = settings_.ThumbH;
    in.overviewDir = OverviewDir;
    in.progress = albumProgress;
    sections_->Build(in, [this, enableCommands, done = std::move(done)](bool built, const SectionSizes &sizes) {
        if (built) {
            layout_.Compute(sizes);
            flip_.LastPageNo = layout_.LastPageNo;
            selection_.DropMissing();
            painter_.InvalidatePageCache();
        }
        QApplication::restoreOverrideCursor();
        if (built && (flip_.LastPageNo < flip_.LeftPageNo || flip_.LastPageNo < flip_.RightPageNo)) {
            flip_.LeftPageNo = flip_.LastPageNo - 2;
            flip_.RightPageNo = flip_.LastPageNo - 1;
        }
        enableCommands(true);
        building_ = false;
        if (done) done(built);
        RunAfterBuild();
    });
}

void TTurvane_Fm::Rebuild(std::function<void(bool built)> done)
{
    if (!ReadyToLayout) {
        if (done) done(false);
        return;
    }
    if (Building()) {
        AfterBuild([this, done] { Rebuild(done); });
        return;
    }
    BuildBook([this, done](bool built) {
        if (built && (flip_.LastPageNo < flip_.LeftPageNo || flip_.LastPageNo < flip_.RightPageNo)) {
            flip_.LeftPageNo = flip_.LastPageNo - 2;
            flip_.RightPageNo = flip_.LastPageNo - 1;
        }
        if (done) done(built);
    });
}

void TTurvane_Fm::EmptyOverviewCache1Click()
{
    if (Building()) return;
    // The book rests while the cache goes (its overview pages draw from it) and is opened anew after.
    building_ = true;
    const bool emptying = overview_->EmptyOverviewCache([this] {
        building_ = false;
        ReopenAlbum();
    });
    if (!emptying) building_ = false;
}

void TTurvane_Fm::AfterBuild(std::function<void()> request)
{
    afterBuild_ = std::move(request);
}

void TTurvane_Fm::RunAfterBuild()
{
    // From the event loop, once the finished build's own follow-up has run.
    if (afterBuild_) QTimer::singleShot(0, this, [this] {
        if (Building() || !afterBuild_) return;
        std::exchange(afterBuild_, nullptr)();
    });
}

// ---------------------------------------------------------------- layout and painting

int TTurvane_Fm::ToolBarHeight() const
{
    return settings_.ToolBarVisible ? menus_.toolBar->sizeHint().height() : 0;
}

void TTurvane_Fm::Layout()
{
    if (ExeDir.isEmpty() || !ReadyToLayout || isMinimized()) return;
    const QSize client = view_->size();
    if (client.width() < BookGeometry::MinClientWidth || client.height() < BookGeometry::MinClientHeight) {
        view_->resize(client.expandedTo(QSize(BookGeometry::MinClientWidth, BookGeometry::MinClientHeight)));
        return;
    }
    menus_.toolBar->setGeometry(0, 0, client.width(), menus_.toolBar->sizeHint().height());
    geo_ = BookGeometry::For(client, ToolBarHeight());
    painter_.Resize(geo_);
    flip_.SetPageW(geo_.PageW);
    if (session_.AlbumOpen) {
        if (flip_.LastPageNo <= flip_.LeftPageNo && !Building()) FlipTo(flip_.LastPageNo - 1);
        Timer2.start();
    } else if (!painter_.ViewImage1.isNull()) {
        painter_.ViewImage1.fill(ColorOf(kGrey));
    }
}

void TTurvane_Fm::Timer2Timer()
{
    Timer2.stop();
    Rebuild([this](bool) { DrawBook(); });
}

void TTurvane_Fm::DrawBook()
{
    // During a build the layout does not yet match the page list: the book is drawn at its end.
    if (!ReadyToLayout || painter_.ViewImage1.isNull() || Building()) return;
    if (session_.AlbumOpen || session_.Opening) {
        painter_.InvalidatePageCache();
        painter_.RenderSpread(scene_, painter_.ViewImage1);
    } else {
        painter_.ViewImage1.fill(ColorOf(kGrey));
    }
    // The frame is shown anew, so the highlight and the jump-cursor box are forgotten before it is
    // presented: the overlays must not be drawn over the new layout.
    HighlightCode = -1;
    JumpCursorShown = false;
    Present();
}

void TTurvane_Fm::ShowSpread(int page)
{
    flip_.LeftPageNo = (page / 2) * 2;
    flip_.RightPageNo = flip_.LeftPageNo + 1;
    DrawBook();
}

void TTurvane_Fm::Present()
{
    if (!view_->isVisible()) return;
    view_->repaint();
    // The tool bar lies over the top of the client area, as its panel did: a leaf that rises above
    // the pages passes behind it, not over its buttons.
    if (menus_.toolBar->isVisible()) menus_.toolBar->repaint();
}

// ---------------------------------------------------------------- flipping

void TTurvane_Fm::FlipTo(int page)
{
    if (Building()) return;   // the book is not laid out until the build ends
    animator_.frameIntervalMs = FrameIntervalMs;
    animator_.FlipTo(scene_, flip_, page);
    RefreshToolBar();
}

void TTurvane_Fm::Flip(int direction, int count)
{
    if (Building()) return;
    animator_.frameIntervalMs = FrameIntervalMs;
    animator_.Flip(scene_, flip_, direction, count);
    RefreshToolBar();
}

// ---------------------------------------------------------------- auto flipping

void TTurvane_Fm::StartAutoFlipTimer(int intervalMs, int direction, int endAction)
{
    // Values come from the settings file unchecked: an interval out of range neither spins the
    // processor nor stalls, and unknown codes take their defaults.
    Timer1.setInterval(std::clamp(intervalMs, MinAutoFlipIntervalMs, MaxAutoFlipIntervalMs));
    AutoFlipDirection = direction >= 0 && direction <= 2 ? direction : 1;
    AutoFlipEndAction = endAction >= 0 && endAction <= 2 ? endAction : 2;
    Timer1.start();
}

void TTurvane_Fm::EnableCommandsWhileAutoFlipping(bool on)
{
    for (const char *name : {"File1", "Edit1", "View1", "FlipTo1", "BookMark1", "Tools1", "Options1"})
        menus_.Menu(name)->menuAction()->setEnabled(on);
    menus_.toolBar->setEnabled(on);
}

void TTurvane_Fm::StartAutoFlipping()
{
    if (!session_.AlbumOpen || PaintMode != 1 || Building()) return;
    StartAutoFlipTimer(settings_.AutoFlipInterval, settings_.AutoFlipDirection, settings_.AutoFlipEndAction);
    // Only a pointer that steers the direction stays visible.
    if (AutoFlipDirection != 0) view_->setCursor(Qt::BlankCursor);
    RightClickPending = false;   // the pop-up that started it must not swallow the stopping click
    PaintMode = 3;
    EnableCommandsWhileAutoFlipping(false);
    Timer1Timer();   // the first flip starts at once
}

void TTurvane_Fm::StopAutoFlipping()
{
    Timer1.stop();
    PaintMode = 1;
    EnableCommandsWhileAutoFlipping(true);
    menus_.Act("AutoFlipping2")->setEnabled(true);
    view_->unsetCursor();
    RefreshToolBar();
}

void TTurvane_Fm::Timer1Timer()
{
    if (flip_.LeafCount() > 0) return;   // a leaf is still in flight: the next tick tries again
    Timer1.stop();
    if (!session_.AlbumOpen) return;
    int direction = AutoFlipDirection;
    if (direction == 0) direction = LastMouseX > geo_.SpineX ? 1 : 2;
    if (direction == 1) {
        if (flip_.LastPageNo > flip_.LeftPageNo) {
            FlipTo(flip_.LeftPageNo + 2);
        } else if (AutoFlipEndAction == 0) {
            return;
        } else if (AutoFlipEndAction == 1) {
            FlipTo(0);
        } else {
            FlipTo(flip_.LastPageNo - 2);
            AutoFlipDirection = 2;
        }
    } else {
        if (flip_.RightPageNo > 1) {
            FlipTo(flip_.RightPageNo - 2);
        } else if (AutoFlipEndAction == 0) {
            return;
        } else if (AutoFlipEndAction == 1) {
            FlipTo(flip_.LastPageNo);
        } else {
            FlipTo(2);
            AutoFlipDirection = 1;
        }
    }
    // Restart only while auto flipping still runs (the window may have left it meanwhile).
    if (PaintMode == 3 || PaintMode == 7) Timer1.start();
}

// ---------------------------------------------------------------- activation and closing

void TTurvane_Fm::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::WindowStateChange) {
        const auto *change = static_cast<QWindowStateChangeEvent *>(e);
        if (isMinimized()) AppMinimize();
        else if (change->oldState() & Qt::WindowMinimized) AppRestore();
    }
    QMainWindow::changeEvent(e);
}

// The album is re-checked when the window comes back. The thumbnail progress window is a window of
// its own: a desktop may take it down with the program, so it is brought back at restore.
void TTurvane_Fm::AppMinimize()
{
    Minimised = true;
    TProgress_Fm *progress = overview_->Progress();
    OverviewWasVisible = progress->isVisible() && !progress->isMinimized();
    overview_->OverviewWasVisible = OverviewWasVisible;   // the build then leaves it showing
}

void TTurvane_Fm::AppRestore()
{
    TProgress_Fm *progress = overview_->Progress();
    const int gauge = progress->Gauge();
    if (OverviewWasVisible && (gauge == 100 || overview_->Generating())
        && (progress->isHidden() || progress->isMinimized())) {
        progress->showNormal();
        progress->SetGauge(gauge);   // showing the window starts its gauge again
    }
    OverviewWasVisible = false;
    overview_->OverviewWasVisible = false;
    Minimised = false;
}

void TTurvane_Fm::ShowMaximisedOnScreen()
{
    const QScreen *target = screen() ? screen() : QGuiApplication::primaryScreen();
    if (target) setGeometry(target->availableGeometry());
    showMaximized();
}

void TTurvane_Fm::FormActivate()
{
    if (ExeDir.isEmpty()) return;
    if (Building()) {
        Deactivated = Minimised = false;
        return;
    }
    if (!Deactivated && !Minimised) return;
    Deactivated = Minimised = false;
    if (!ReadyToLayout || PaintMode != 1 || !isVisible() || !session_.AlbumOpen) return;
    if (QFileInfo(session_.AlbumFolder).isDir() && pages_.HasFolderChanged()) {
        Rebuild([this](bool) { DrawBook(); });
    }
}

void TTurvane_Fm::RequestTermination()
{
    terminating_ = true;
    // Modal windows end first so that the close below is not nested inside their loops.
    while (QWidget *modal = QApplication::activeModalWidget()) {
        if (auto *dialog = qobject_cast<QDialog *>(modal)) dialog->reject();
        else modal->close();
        if (QApplication::activeModalWidget() == modal) break;
    }
    CloseWindow();
}

void TTurvane_Fm::closeEvent(QCloseEvent *e)
{
    if (closeQueryRunning_ || !FormCloseQuery()) {
        e->ignore();
        // A termination request waits for a running build and then closes.
        if (terminating_) QTimer::singleShot(50, this, &QWidget::close);
        return;
    }
    FormClose();
    e->accept();
}

bool TTurvane_Fm::FormCloseQuery()
{
    if (ExeDir.isEmpty()) return true;
    if (ScreenSaverMode) {
        // Closing without saving settings. Only the run itself clears its mark: a refused second
        // start must not clear the mark of the run that is showing.
        Timer1.stop();
        if (screenSaverLock_ && screenSaverLock_->held()) sys::RegistryWrite("ScnSVr", "ScvIns", false);
        return true;
    }
    if (Building()) {
        // Closing while thumbnails are made cancels the building instead and keeps the program
        // running: the thumbnails made so far stay and the book shows. A termination request then
        // closes once the build has ended.
        overview_->CancelThumbnails();
        return false;
    }
    closeQueryRunning_ = true;
    bool allow = true;
    if (PaintMode == 2 && !terminating_)
        allow = ThePrompter().Confirm("Pagero has an acquired picture in memory.\n\rExiting Pagero now "
                                      "will lose the picture data! \n\rDo you really want to exit?");
    if (allow && ReadyToLayout) {
        if (session_.AlbumOpen) session_.CloseAlbum(1);
        SaveAllSettings();
    }
    closeQueryRunning_ = false;
    return allow;
}

void TTurvane_Fm::FormClose()
{
    ReadyToLayout = false;
    Timer2.stop();
    Timer1.stop();
    screenSaverLock_.reset();
}

void TTurvane_Fm::hideEvent(QHideEvent *e)
{
    if (PaintMode == 7) {   // the screen-saver run hid the pointer
        view_->unsetCursor();
        unsetCursor();
    }
    QMainWindow::hideEvent(e);
}

void TTurvane_Fm::SaveAllSettings()
{
    settings_.FlipSpeed = flip_.FlipSpeed;
    settings_.SortOrder = CurrentSortOrder();
    SaveSettings(ExeDir, settings_);
    SaveSettings2(ExeDir, settings_);
    SaveBackgroundPictures();
}

void TTurvane_Fm::SaveBackgroundPictures()
{
    const auto save = [this](const QImage &image, const char *name) {
        if (image.isNull()) return;
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (image.save(&buffer, "BMP")) WriteFileAtomically(QDir(ExeDir).filePath(name), bytes);
    };
    if (settings_.ScreenBackKind == 2) save(scene_.screenBackBitmap, kScreenBackBitmap);
    if (settings_.PreviewBackKind == 2) save(previewBack_, kPreviewBackBitmap);
    if (settings_.CoverKind == 2) save(scene_.coverBitmap, kCoverBackBitmap);
}

} // namespace pagero
