#include "app/OrvTurvane.h"
#include "app/AnnotationController.h"
#include "app/BatchCommands.h"
#include "app/ClipboardCommands.h"
#include "core/annotations/BookmarkEdits.h"
#include "app/MailCommands.h"
#include "app/MusicController.h"
#include "app/PlaceController.h"
#include "pages/OrvContents_Ut.h"
#include "pages/OrvPreviewPic.h"
#include "pages/OrvIndex_Ut.h"
#include "pages/OrvOverView_Ut.h"
#include "core/common/MyLib.h"
#include "core/common/ProductInfo.h"
#include "core/common/StoredColor.h"
#include "platform/Prompter.h"
#include "platform/system/ProgramFolder.h"
#include <utility>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QMenuBar>
#include <QToolBar>
#include <QWindowStateChangeEvent>

namespace pagero {

// ---------------------------------------------------------------- create

TTurvane_Fm::TTurvane_Fm(const QStringList &args, QWidget *parent)
    : QMainWindow(parent), args_(args)
{
    setObjectName("Turvane_Fm");
    view_ = new BookView(this);
    setCentralWidget(view_);
    menus_ = BuildMainMenus(this, view_);
    setMenuBar(menus_.bar);
    overview_ = new TOverView_Fm(this);
    contents_ = new TContents_Fm(this);
    index_ = new TIndex_Fm(this);
    contents_->hide();
    index_->hide();
    hitScene_ = HitScene{&geo_, &layout_, &flip_, overview_, contents_, index_, {}, {}};
    scene_ = BookScene{&geo_, &layout_, &flip_, &pages_, &selection_.paths, &settings_, {}, {}, {}, {},
                       overview_, contents_, index_, {}, {}};
    build_ = std::make_unique<BookBuild>(
        BookBuild::Parts{session_, pages_, layout_, flip_, selection_, painter_, geo_, settings_, *overview_, saves_,
                         OverviewDir},
        menus_, std::make_unique<WindowSectionBuilder>(*overview_, *contents_, *index_),
        [this] { return CurrentSortOrder(); });
    // Ending the program from the thumbnail progress window closes the main window.
    connect(overview_, &TOverView_Fm::ExitRequested, this, [this] { CloseWindow(); });
    controls_ = std::make_unique<WindowControllers>(
        Book(), menus_,
        WindowControllers::Parts{*this, session_, scene_, previewBack_, saves_, *overview_, &FolderChooser,
                                 [this] { return PopupFile(); },
                                 [this](const QString &folder) { SwitchAlbum(folder); },
                                 [this] { Layout(); }, [this] { RemoveHighlight(); }, [this] { ReopenAlbum(); },
                                 [this] { EmptyOverviewCache1Click(); }, [this] { CloseWindow(); },
                                 [this] {
                                     controls_->Folders().RememberFolder(session_.AlbumFolder);
                                     SetCaption();
                                 }});
    Animator().present = [this](const QImage &) { Present(Animator().ChangedRect()); };
    Animator().removeHighlight = [this] { RemoveHighlight(); };
    turner_.moved = [this] { RefreshToolBar(); };
    turner_.holdAfterLanding = [this] {
        if (closeAfterFlip_) CloseWindow();   // the closing flip has landed
        return closeAfterFlip_;
    };
    Timer2.setInterval(200);
    Timer2.setSingleShot(true);
    connect(&Timer2, &QTimer::timeout, this, &TTurvane_Fm::Timer2Timer);
    // The album is re-checked when the user comes back from another program, not after each of
    // the program's own dialogs: the application's state, not the window's activation.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive) FormActivate();
        else Deactivated = true;
    });
    resize(800, 600);
    FormCreate();
    ConnectCommands();
    features_ = std::make_unique<FeatureControllers>(
        Book(), menus_,
        FeatureControllers::Parts{scene_, hitScene_, overlay_, saves_, *overview_, *OpenDialog(), controls_->Viewing(),
                                  this, DataDir.isEmpty() ? ExeDir : DataDir, BookmarkDir, SysSoundDir,
                                  ScreenSaverMode, [this] { return PopupFile(); }});
    popup_.opened = [this](int target, int page, bool normal) { Annotations().PopupOpened(target, page, normal); };
    AutoFlip().started = [this] { RightClickPending = false; };
    screenSaverMaker_ = std::make_unique<ScreenSaverMaker>(Book(), menus_, QCoreApplication::applicationFilePath());
    controls_->ScreenSaver().startMusic = [this] { features_->Music().StartMusic(); };
    // Last, so that its rules run after the controllers' own menu handlers.
    availability_ = std::make_unique<CommandAvailabilityApplier>(Book(), menus_, AvailabilityFacts());
    RefreshToolBar();
}

CommandAvailabilityApplier::Facts TTurvane_Fm::AvailabilityFacts()
{
    CommandAvailabilityApplier::Facts f;
    f.bookmarked = [this](int page) { return FindBookmarkOfPage(Annotations().Bookmarks(), page) >= 0; };
    f.bookmarkCount = [this] { return int(Annotations().Bookmarks().size()); };
    f.albumWritable = [this] { return Annotations().Files().CanAnnotate() && !ScreenSaverMode; };
    f.mailSending = [this] { return features_->Mail().Mail().Sending(); };
    f.batchRunning = [this] { return Batch().Busy(); };
    f.windowFrameShown = [this] { return !controls_->Frames().Frameless(); };
    f.popupTarget = [this] { return popup_.Target; };
    f.popupPage = [this] { return popup_.Page; };
    f.popupFile = [this] { return popup_.File; };
    f.printJobRunning = [this] { return Printing().JobRunning(); };
    f.clipboardHasPicture = [this] { return features_->Clipboard().ClipboardHasPicture(); };
    return f;
}

void TTurvane_Fm::FileLeftAlbum(const QString &path)
{
    Annotations().FileDropped(path);   // its bookmark and comment go with it
}

TTurvane_Fm::~TTurvane_Fm() = default;

void TTurvane_Fm::FormCreate()
{
    Deactivated = Minimised = OverviewWasVisible = ReadyToLayout = false;
    ExeDir = sys::ProgramFolder();
    if (QFileInfo(ExeDir).isDir()) QDir::setCurrent(ExeDir);
    ScreenSaverMode = ExeDir.compare(sys::SystemFolder(), Qt::CaseInsensitive) == 0;
    if (ScreenSaverMode) ExeDir = sys::RegistryRead("GEnv", "ExeDir", QString()).toString();
    if (ExeDir.isEmpty() || !QFileInfo(ExeDir).isDir()) {
        ExeDir.clear();   // an inert window that can only be closed
        setWindowTitle(kApplicationTitle);
        return;
    }
    // What the program writes (settings, caches, bookmarks, sounds chosen) lives in the data folder:
    // the program folder itself when it can be written, else a per-user copy of its layout.
    DataDir = ScreenSaverMode ? ExeDir : sys::DataFolder();
    OverviewDir = JoinPath(DataDir, "Overview");
    BookmarkDir = JoinPath(DataDir, "Bookmark");
    SysSoundDir = JoinPath(DataDir, "SysSound");
    session_.AlbumFolder = JoinPath(ExeDir, "Samples");
    session_.MRUList = &settings_.MRUList;
    // A screen-saver run holds the per-user lock from here to its end, so that any later start of the
    // program (main) and a second screen-saver window (first paint) see it and end at once.
    if (ScreenSaverMode) controls_->ScreenSaver().Lock();
    BaseCaption = ScreenSaverMode ? QString(kScreenSaverCaption) : QString(kApplicationTitle);
    setWindowTitle(BaseCaption);

    settings_ = Settings{};
    controls_->Backgrounds().LoadDefault();
    LoadSettings(DataDir, settings_);
    LoadSettings2(DataDir, settings_);
    controls_->Backgrounds().Load();
    PreviewWindow()->SetBackground(&settings_, &previewBack_, ExeDir);
    flip_.SetFlipSpeed(settings_.FlipSpeed);
    controls_->Sorting().ShowOrder(settings_.SortOrder);
    controls_->Options().ShowSettings();
    controls_->ThumbnailSizes().ShowSetting();
    session_.RefreshMRU();

    // The tool bar is always shown at start, whatever the settings file said.
    settings_.ToolBarVisible = true;
    menus_.toolBar->show();
    menus_.actions.ToolBar1->setChecked(true);

    scene_.exeDir = DataDir;
    mode_ = PaintMode::Normal;
    Timer2.stop();
    ReadyToLayout = true;
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
        controls_->ScreenSaver().Start(ExeDir);
        return;
    }
    sys::RegistryWrite("GEnv", "ExeDir", ExeDir);
    const QString samples = JoinPath(ExeDir, "Samples");
    session_.OpenFirstAlbum(args_, settings_.AutoReopen, samples, kDefaultFilterMask,
                            [this](bool opened) {
                                if (opened) controls_->Folders().RememberFolder(session_.AlbumFolder);
                            });
}

AlbumHost::Choice TTurvane_Fm::ChooseFolder(const QString &preset, QString &folder)
{
    return controls_->Folders().ChooseFolder(preset, folder, terminating_);
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

void TTurvane_Fm::AlbumOpening(const QString &folder)
{
    Animator().Finish();   // a closing flip of the previous album lands before this one is built
    SetCaption();
    overview_->ShowThumbWindow = true;   // opening an album shows the thumbnails being made
    selection_.Clear();
    SelectAnchor = -1;
    Annotations().AlbumOpening(folder);
}

void TTurvane_Fm::AlbumOpened(const QString &folder)
{
    // A reopening keeps the reader's place; a new opening turns from the closed book to the file
    // named at start, the overview or the album's remembered place.
    if (const std::optional<BookPlace> keep = std::exchange(Places().reopenAt, std::nullopt)) {
        ShowSpread(Places().PageOf(*keep));
    } else {
        ShowSpread(0);
        const int page = ScreenSaverMode ? 0 : Places().OpeningPage(folder, std::exchange(session_.StartFile, {}));
        if (page > 0) {
            const int speed = flip_.FlipSpeed;
            flip_.SetFlipSpeed(25);
            FlipTo(page);
            flip_.SetFlipSpeed(speed);
        }
    }
    menus_.actions.TWainSaveAs->setEnabled(false);
    AutoFlip().Timer1.stop();
    mode_ = PaintMode::Normal;
    RefreshToolBar();
}

void TTurvane_Fm::AlbumClosing(int direction)
{
    Annotations().AlbumClosing();
    if (!ScreenSaverMode) Places().RememberAlbum(session_.AlbumFolder);
    const int speed = flip_.FlipSpeed;
    flip_.SetFlipSpeed(24);
    FlipTo(direction == 2 ? flip_.LastPageNo + 1 : 0, [this] {
        if (!painter_.ViewImage1.isNull()) painter_.ViewImage1.fill(ColorFromStored(kNoBookGrey));
        Present();
        RemoveHighlight();
    });
    flip_.SetFlipSpeed(speed);
}

void TTurvane_Fm::SwitchAlbum(const QString &folder)
{
    if (Building()) {
        build_->AfterBuild([this, folder] { SwitchAlbum(folder); });
        return;
    }
    session_.SwitchAlbum(folder, controls_->Folders().DialogMask(), [this, folder](bool opened) {
        if (opened) controls_->Folders().RememberFolder(folder);
    });
}

void TTurvane_Fm::MruChanged()
{
    controls_->Folders().ShowRecentFolders(settings_.MRUList);
}

// ---------------------------------------------------------------- book build

void TTurvane_Fm::BuildBook(std::function<void(bool built)> done)
{
    if (geo_.PageW <= 0) geo_ = BookGeometry::For(view_->size(), ToolBarHeight());
    build_->Build([this, done = std::move(done)](bool built) {
        if (built && features_) Annotations().BookBuilt();
        RefreshToolBar();   // the build rested the bar; its buttons follow the new book
        if (done) done(built);
    });
}

void TTurvane_Fm::Rebuild(std::function<void(bool built)> done)
{
    if (!ReadyToLayout) {
        if (done) done(false);
        return;
    }
    if (Building()) {
        build_->AfterBuild([this, done] { Rebuild(done); });
        return;
    }
    // The book shows the same file or entry afterwards: the section page counts change with the
    // page size, the thumbnail size, the order and the filter, so the page number would not.
    std::optional<BookPlace> place;
    if (session_.AlbumOpen) place = Places().Current();
    BuildBook([this, done, place](bool built) {
        if (built && place) {
            flip_.LeftPageNo = Places().PageOf(*place) / 2 * 2;
            flip_.RightPageNo = flip_.LeftPageNo + 1;
        }
        if (done) done(built);
    });
}

void TTurvane_Fm::EmptyOverviewCache1Click()
{
    if (Building()) return;
    // The book rests while the cache goes (its overview pages draw from it) and is opened anew after.
    build_->SetBusy(true);
    const bool emptying = overview_->EmptyOverviewCache([this] {
        build_->SetBusy(false);
        ReopenAlbum();
    });
    if (!emptying) build_->SetBusy(false);
}

// ---------------------------------------------------------------- layout and painting

int TTurvane_Fm::ToolBarHeight() const
{
    return settings_.ToolBarVisible ? menus_.toolBar->sizeHint().height() : 0;
}

void TTurvane_Fm::Layout()
{
    if (MustWaitForFlip()) {
        AfterFlip([this] { Layout(); });
        return;
    }
    if (ExeDir.isEmpty() || !ReadyToLayout || isMinimized()) return;
    const QSize client = view_->size();
    if (client.width() < BookGeometry::MinClientWidth || client.height() < BookGeometry::MinClientHeight) {
        view_->resize(client.expandedTo(QSize(BookGeometry::MinClientWidth, BookGeometry::MinClientHeight)));
        return;
    }
    menus_.toolBar->setGeometry(0, 0, client.width(), menus_.toolBar->sizeHint().height());
    geo_ = BookGeometry::For(client, ToolBarHeight());
    painter_.Resize(geo_, view_->devicePixelRatioF());
    flip_.SetPageW(geo_.PageW);
    if (session_.AlbumOpen) {
        if (flip_.LastPageNo <= flip_.LeftPageNo && !Building()) FlipTo(flip_.LastPageNo - 1);
        Timer2.start();
    } else if (!painter_.ViewImage1.isNull()) {
        painter_.ViewImage1.fill(ColorFromStored(kNoBookGrey));
    }
}

void TTurvane_Fm::Timer2Timer()
{
    Timer2.stop();
    AfterFlip([this] { Rebuild([this](bool) { DrawBook(); }); });
}

void TTurvane_Fm::DrawBook()
{
    if (MustWaitForFlip()) {
        AfterFlip([this] { DrawBook(); });
        return;
    }
    // During a build the layout does not yet match the page list: the book is drawn at its end.
    if (!ReadyToLayout || painter_.ViewImage1.isNull() || Building()) return;
    if (session_.AlbumOpen || session_.Opening) {
        painter_.InvalidatePageCache();
        painter_.RenderSpread(scene_, painter_.ViewImage1);
    } else {
        painter_.ViewImage1.fill(ColorFromStored(kNoBookGrey));
    }
    // The frame is shown anew, so the highlight and the jump-cursor box are forgotten before it is
    // presented: the overlays must not be drawn over the new layout.
    overlay_.Forget();
    Present();
}

void TTurvane_Fm::ShowSpread(int page)
{
    if (MustWaitForFlip()) {
        AfterFlip([this, page] { ShowSpread(page); });
        return;
    }
    flip_.LeftPageNo = (page / 2) * 2;
    flip_.RightPageNo = flip_.LeftPageNo + 1;
    DrawBook();
}

void TTurvane_Fm::Present(const QRect &changed)
{
    if (!view_->isVisible()) return;
    // A flip frame sends the screen only what its leaves changed (at 4K half the frame or less).
    const qreal ratio = Painter().ViewImage1.devicePixelRatio();
    if (changed.isValid())
        view_->repaint(QRectF(changed.x() / ratio, changed.y() / ratio, changed.width() / ratio, changed.height() / ratio)
                           .toAlignedRect());
    else
        view_->repaint();
    // The tool bar lies over the top of the client area with its own background: a leaf that rises
    // above the pages passes behind it, not over its buttons.
    if (menus_.toolBar->isVisible()) menus_.toolBar->repaint();
}

// ---------------------------------------------------------------- auto flipping

void TTurvane_Fm::StartAutoFlipping()
{
    // The pop-up that started it must not swallow the stopping click.
    if (AutoFlip().Start()) RightClickPending = false;
}

// ---------------------------------------------------------------- activation and closing

void TTurvane_Fm::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::WindowStateChange) {
        const auto *change = static_cast<QWindowStateChangeEvent *>(e);
        if (isMinimized()) AppMinimize();
        else if (change->oldState() & Qt::WindowMinimized) AppRestore();
        if ((change->oldState() & Qt::WindowMaximized) && !isMaximized()) controls_->Frames().Unmaximised();
    }
    QMainWindow::changeEvent(e);
}

// The album is re-checked when the window comes back (FormActivate); the build keeps its progress
// window across the minimised time.
void TTurvane_Fm::AppMinimize()
{
    Minimised = true;
    OverviewWasVisible = build_->ProgramMinimised();
}

void TTurvane_Fm::AppRestore()
{
    build_->ProgramRestored(OverviewWasVisible);
    OverviewWasVisible = Minimised = false;
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
    if (!ReadyToLayout || mode_ != PaintMode::Normal || !isVisible() || !session_.AlbumOpen) return;
    if (QFileInfo(session_.AlbumFolder).isDir() && pages_.HasFolderChanged()) {
        AfterFlip([this] { Rebuild([this](bool) { DrawBook(); }); });
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
    if (closeAfterFlip_) {
        // The album was closed and the settings saved; the book closes on screen, then the window.
        if (Flipping()) {
            e->ignore();
            return;
        }
        FormClose();
        e->accept();
        return;
    }
    if (closeQueryRunning_ || !FormCloseQuery()) {
        e->ignore();
        // A termination request waits for a running build and then closes.
        if (terminating_) QTimer::singleShot(50, this, &QWidget::close);
        return;
    }
    if (Flipping()) {
        closeAfterFlip_ = true;
        e->ignore();
        return;
    }
    FormClose();
    e->accept();
}

bool TTurvane_Fm::FormCloseQuery()
{
    if (ExeDir.isEmpty()) return true;
    if (ScreenSaverMode) {
        controls_->ScreenSaver().Closing();
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
    bool allow = terminating_ || !features_ || features_->Mail().MayClose();
    if (allow && mode_ == PaintMode::AcquiredPicture && !terminating_)
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
    AutoFlip().Timer1.stop();
    controls_->ScreenSaver().Release();
}

void TTurvane_Fm::hideEvent(QHideEvent *e)
{
    if (mode_ == PaintMode::ScreenSaver) {   // the screen-saver run hid the pointer
        view_->unsetCursor();
        unsetCursor();
    }
    QMainWindow::hideEvent(e);
}

void TTurvane_Fm::SaveAllSettings()
{
    settings_.FlipSpeed = flip_.FlipSpeed;
    settings_.SortOrder = CurrentSortOrder();
    saves_.Check(SaveSettings(DataDir, settings_), JoinPath(DataDir, kSettingsFile));
    saves_.Check(SaveSettings2(DataDir, settings_), JoinPath(DataDir, kSettingsFile2));
    controls_->Backgrounds().Save();
}

void TTurvane_Fm::DropThumbnail(const QString &path)
{
    overview_->DropThumbnail(path);
}

} // namespace pagero
