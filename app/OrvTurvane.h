#pragma once
// The main window: the book on its client area, the menus and tool bar, and the album lifecycle.
// It coordinates: the page list, layout, flip state, painter, album session and hit tester are
// their own classes, each feature's commands live in a controller that sees the window only as a
// BookContext, and this window routes Qt events to them.
#include "app/AlbumSession.h"
#include "app/BookView.h"
#include "app/BookBuild.h"
#include "app/BookContext.h"
#include "app/CommandAvailability.h"
#include "app/FeatureControllers.h"
#include "app/BookPainter.h"
#include "app/BookTurner.h"
#include "app/HitTester.h"
#include "app/MainMenus.h"
#include "app/PagePopupMenu.h"
#include "app/PaintMode.h"
#include "app/PrintCommands.h"   // tests print through Printing()
#include "app/PointerOverlay.h"
#include "app/SaveReporter.h"
#include "app/ScreenSaverMaker.h"
#include "app/BookSections.h"
#include "app/SelectionList.h"
#include "app/WindowControllers.h"
#include "core/book/BookGeometry.h"
#include "core/book/BookLayout.h"
#include "core/book/FlipState.h"
#include "core/book/PageList.h"
#include "core/book/Settings.h"
#include "platform/Prompter.h"
#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <memory>

namespace pagero {

class TOpenDlg;
class TSetFlipSpeedForm;
class TFlippingToolForm;
class TSetFileTypeFilter_Fm;
class TOverView_Fm;
class TContents_Fm;
class TIndex_Fm;
class TFindDlg;
class TPageNoDlg;
class TPreviewPic_Fm;
class TInfoBox;

class TTurvane_Fm : public QMainWindow, private AlbumHost, private BookContext {
    Q_OBJECT
public:
    // `args` are the command-line arguments without the program name.
    explicit TTurvane_Fm(const QStringList &args = {}, QWidget *parent = nullptr);
    ~TTurvane_Fm() override;

    // Book operations other windows call.
    // Turns to the spread of `page`; `landed` runs once the leaves are down (at once when nothing
    // turns). A flip runs on a timer; a request made meanwhile waits, with the speed set when it was
    // made, and follows in order.
    void FlipTo(int page, std::function<void()> landed = {}) override { turner_.FlipTo(page, std::move(landed)); }
    void Flip(int direction, int count) override { turner_.Flip(direction, count); }
    bool Flipping() const { return turner_.Running(); }
    // No flip runs and no work waits for one.
    bool Idle() const { return turner_.Idle(); }
    FlipAnimator &Animator() { return turner_.Animator(); }
    // Runs `work` now, or, while a flip runs or earlier work waits, after them in order. Input,
    // commands and redraws go through here, so none acts on a half-turned spread.
    void AfterFlip(std::function<void()> work) override { turner_.AfterFlip(std::move(work)); }
    void DrawBook() override;
    void ShowSpread(int page);
    // Builds the book anew (page list, thumbnails, sections, layout), keeping the open spread where
    // it can. Thumbnails are made in the background: `done` gets whether the book was built when the
    // build has ended, which may be before Rebuild returns. A request during a build runs after it.
    void Rebuild(std::function<void(bool built)> done = {}) override;
    QString PageLabel(int page) const override { return layout_.PageLabel(page); }
    void SetFlipSpeed(int speed) override { flip_.SetFlipSpeed(speed); }
    // Flips to the page of the album file `name` (exact name first, then ignoring case); false when
    // the album has no such file.
    bool FlipToFile(const QString &name) { return controls_->Navigation().FlipToFile(name); }
    // Shows the window maximised on its screen (see WindowFrameController).
    void ShowMaximisedOnScreen() { controls_->Frames().ShowMaximisedOnScreen(); }

    // Auto flipping (see AutoFlipController); a click or key stops it.
    void StartAutoFlipping();
    void StopAutoFlipping() { AutoFlip().Stop(); }
    void Timer1Timer() { AutoFlip().Tick(); }
    AutoFlipController &AutoFlip() { return controls_->AutoFlip(); }
    // The controllers of the window's own commands and the later feature controllers; tests reach
    // them here.
    WindowControllers &Controls() { return *controls_; }
    ScreenSaverMaker &Maker() { return *screenSaverMaker_; }
    FeatureControllers &Features() { return *features_; }
    MusicController &Music() { return features_->Music(); }
    MediaController &Media() { return features_->Media(); }
    EditorCommands &Editing() { return features_->Editing(); }
    PrintCommands &Printing() { return features_->Printing(); }
    BatchCommands &Batch() { return features_->Batch(); }
    // Bookmarks, page comments and the album name; the file commands tell it of renames and deletes.
    AnnotationController &Annotations() { return features_->Annotations(); }
    // Which commands are enabled (menus when they open, the pop-up, the tool bar).
    CommandAvailabilityApplier &Availability() { return *availability_; }

    bool OpenAlbum(const QString &folder, AlbumSession::OpenDone done = {})
    {
        return session_.OpenAlbum(folder, std::move(done));
    }
    void SwitchAlbum(const QString &folder);
    void CloseAlbum(int direction) { session_.CloseAlbum(direction); }

    // State, read by other windows and by tests.
    QString ExeDir, OverviewDir, BookmarkDir, SysSoundDir, BaseCaption;
    QString DataDir;   // where the program's own files are written (ExeDir when it is writable)
    bool ScreenSaverMode = false, ReadyToLayout = false;
    // True while the book is being built: book input is ignored, and album and rebuild requests
    // wait for the build's end.
    bool Building() const override { return build_->Building(); }
    bool Deactivated = false, Minimised = false, OverviewWasVisible = false;
    int LastMouseX = 0, LastMouseY = 0;
    HotState Hot;
    int SelectAnchor = -1;
    bool RightClickPending = false;
    // The file under the page pop-up menu when it last opened (empty: none).
    const QString &PopupFile() const { return popup_.File; }

    PaintMode Mode() const override { return mode_; }
    AlbumSession &Session() { return session_; }
    const AlbumSession &Session() const { return session_; }
    Settings &Options() override { return settings_; }
    const BookLayout &Layout_() const { return layout_; }
    const FlipState &Flip_() const { return flip_; }
    const BookGeometry &Geometry() const override { return geo_; }
    const PageList &Pages() const override { return pages_; }
    SelectionList &Selection() override { return selection_; }
    BookPainter &Painter() { return painter_; }
    BookView *View() const { return view_; }
    const MainMenus &Menus() const { return menus_; }
    TOpenDlg *OpenDialog() const { return controls_->Folders().OpenDialog(); }
    TSetFlipSpeedForm *FlipSpeedDialog() const { return controls_->Navigation().SpeedDialog(); }
    TFlippingToolForm *FlippingTool() const { return controls_->Navigation().FlippingTool(); }
    TSetFileTypeFilter_Fm *FileTypeFilterDialog() const { return controls_->Folders().FilterDialog(); }
    TOverView_Fm *OverviewWindow() const { return overview_; }
    TContents_Fm *ContentsWindow() const { return contents_; }
    TIndex_Fm *IndexWindow() const { return index_; }
    TPageNoDlg *PageNoDialog() const { return controls_->Navigation().PageNoDialog(); }
    TFindDlg *FindDialog() const { return controls_->Navigation().FindDialog(); }
    TPreviewPic_Fm *PreviewWindow() const { return controls_->Viewing().Preview(); }
    TInfoBox *InfoBoxWindow() const { return controls_->Viewing().InfoBox(); }
    const QImage &PreviewBackBitmap() const { return previewBack_; }
    HitScene MakeHitScene() const { return hitScene_; }

    // Replaces the section build step (tests).
    void SetSectionBuilder(std::unique_ptr<SectionBuilder> builder) { build_->SetSectionBuilder(std::move(builder)); }
    // Time between two flip frames (16 ms; tests set 0).
    int FrameIntervalMs = 16;
    bool AlbumOpen() const override { return session_.AlbumOpen; }

    // Event handlers (Qt routes the events here).
    void FormPaintFirst();
    void Layout();
    void FormMouseMove(int x, int y);
    void FormMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    PointerOverlay &Overlay() { return overlay_; }
    void FormActivate();
    void FormKeyDown(int key);
    // The mouse wheel turns one leaf per notch: down forward, up backward.
    void FormWheel(int delta);
    // The pop-up menu opens at a client point: its target and file commands follow what lies there.
    void PopupMenuAt(QPoint clientPos, QPoint globalPos);
    // Preview (pictures) or play (sound, MIDI, video) one page file; the information of one file.
    void PreviewOrPlay(const QString &path) { controls_->Viewing().PreviewOrPlay(path); }
    void ShowInformation(const QString &path) { controls_->Viewing().ShowInformation(path); }
    // The application was minimised or restored.
    void AppMinimize();
    void AppRestore();
    // SIGTERM and SIGINT: end modal windows, then close as the user would.
    void RequestTermination();
    // Tests replace this window's open-folder dialog (as ChooserHooks::FolderDialogHook does for
    // every window): return true with `folder` set, or false for Cancel.
    FolderChooserFn FolderChooser;

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void hideEvent(QHideEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    // AlbumHost
    Choice ChooseFolder(const QString &preset, QString &folder) override;
    bool AskExitInsteadOfOpening() override { return terminating_ || FolderController::AskExitInsteadOfOpening(); }
    void TellFolderMissing(const QString &folder) override { FolderController::TellFolderMissing(folder); }
    void TellSameFolderAndMask() override { FolderController::TellSameFolderAndMask(); }
    void TellPathMissing(const QString &path) override { FolderController::TellPathMissing(path); }
    void CloseWindow() override;
    void AlbumOpening(const QString &folder) override;
    void BuildBook(std::function<void(bool built)> done) override;
    void AlbumOpened(const QString &folder) override;
    void AlbumClosing(int direction) override;
    void AlbumClosed() override {}
    void MruChanged() override;

    // BookContext (the rest is public above); the controllers see the window only through it.
    BookContext &Book() { return *this; }
    PlaceController &Places() { return features_->Places(); }
    const FlipState &Spread() const override { return flip_; }
    const BookLayout &Sections() const override { return layout_; }
    void SetMode(PaintMode mode) override { mode_ = mode; }
    int PointerX() const override { return LastMouseX; }
    Prompter &Prompt() override { return ThePrompter(); }
    QWidget *ParentWidget() override { return this; }
    QWidget *BookArea() override { return view_; }
    QString ProgramFolder() const override { return ExeDir; }
    QString DataFolder() const override { return DataDir.isEmpty() ? ExeDir : DataDir; }
    QString AlbumFolder() const override { return session_.AlbumOpen ? session_.AlbumFolder : QString(); }
    void OpenFolderAsAlbum(const QString &folder) override { SwitchAlbum(folder); }
    void DropThumbnail(const QString &path) override;
    void RefreshRecentFolders() override { session_.RefreshMRU(); }

    void FormCreate();
    bool MustWaitForFlip() const { return turner_.MustWait(); }
    bool FormCloseQuery();
    void FormClose();
    void Timer2Timer();
    // Shows the frame now: all of it, or only `changed` (device pixels of the frame).
    void Present(const QRect &changed = QRect());
    void RemoveHighlight() { overlay_.Remove(); }
    void SetCaption();
    void SaveAllSettings();
    int CurrentSortOrder() const { return controls_->Sorting().CurrentOrder(); }
    void ReopenAlbum();
    void EmptyOverviewCache1Click();
    QString FileOfPage(int page) const override;   // full path of a file page's file, empty for other pages
    void ConnectCommands();
    void RefreshToolBar() override;
    CommandAvailabilityApplier::Facts AvailabilityFacts();
    void FileLeftAlbum(const QString &path) override;
    int ToolBarHeight() const;

    QStringList args_;
    PaintMode mode_ = PaintMode::Normal;
    Settings settings_;
    PageList pages_;
    BookLayout layout_;
    BookGeometry geo_;
    FlipState flip_;
    BookPainter painter_;
    BookScene scene_;
    BookTurner turner_{painter_, scene_, flip_, FrameIntervalMs, [this] { return Building(); }};
    bool closeAfterFlip_ = false; // the window closes once the book has closed on screen
    HitScene hitScene_;
    SelectionList selection_;
    AlbumSession session_{*this};
    MainMenus menus_;
    BookView *view_ = nullptr;
    TOverView_Fm *overview_ = nullptr;
    TContents_Fm *contents_ = nullptr;
    TIndex_Fm *index_ = nullptr;
    QImage previewBack_;   // the preview background picture (kind 2), saved with the settings
    SaveReporter saves_;
    std::unique_ptr<BookBuild> build_;
    PointerOverlay overlay_{Book()};
    PagePopupMenu popup_{Book(), menus_, hitScene_};
    // One controller per feature: each owns its commands' connections and enabling.
    std::unique_ptr<WindowControllers> controls_;   // built before the window's start-up
    std::unique_ptr<ScreenSaverMaker> screenSaverMaker_;
    std::unique_ptr<FeatureControllers> features_;   // built after the window's own start-up
    std::unique_ptr<CommandAvailabilityApplier> availability_;   // enables the commands
    QTimer Timer2;
    bool firstPaintDone_ = false;
    bool closingAccepted_ = false;
    bool closeQueryRunning_ = false;
    bool terminating_ = false;
    int wheelRest_ = 0;   // wheel units not yet turned into a leaf
};

} // namespace pagero
