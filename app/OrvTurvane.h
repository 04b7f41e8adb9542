#pragma once
// The main window: the book on its client area, the menus and tool bar, and the album lifecycle.
// It coordinates: the page list, layout, flip state, painter, album session and hit tester are
// their own classes; this window wires them to Qt events and commands.
#include "app/AlbumSession.h"
#include "app/BookPainter.h"
#include "app/FlipAnimator.h"
#include "app/HitTester.h"
#include "app/MainMenus.h"
#include "app/BookSections.h"
#include "app/SelectionList.h"
#include "core/book/BookGeometry.h"
#include "core/book/BookLayout.h"
#include "core/book/FlipState.h"
#include "core/book/PageList.h"
#include "core/book/Settings.h"
#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <memory>

namespace pagero::sys { class ScreenSaverLock; }

namespace pagero {

class TOpenDlg;
class TTurvane_Fm;
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

// The client area: shows the frame ViewImage1 and the pointer overlays (highlight, jump cursor);
// its mouse events go to the main window.
class BookView : public QWidget {
    Q_OBJECT
public:
    explicit BookView(TTurvane_Fm *owner);
protected:
    void paintEvent(QPaintEvent *) override;
    void resizeEvent(QResizeEvent *) override;
    void mouseMoveEvent(QMouseEvent *) override;
    void mousePressEvent(QMouseEvent *) override;
    void contextMenuEvent(QContextMenuEvent *) override;
private:
    TTurvane_Fm *owner_;
};

class TTurvane_Fm : public QMainWindow, private AlbumHost {
    Q_OBJECT
public:
    // `args` are the command-line arguments without the program name.
    explicit TTurvane_Fm(const QStringList &args = {}, QWidget *parent = nullptr);
    ~TTurvane_Fm() override;

    // Book operations other windows call.
    void FlipTo(int page);
    void Flip(int direction, int count);
    void DrawBook();
    void ShowSpread(int page);
    // Builds the book anew (page list, thumbnails, sections, layout), keeping the open spread where
    // it can. Thumbnails are made in the background: `done` gets whether the book was built when the
    // build has ended, which may be before Rebuild returns. A request during a build runs after it.
    void Rebuild(std::function<void(bool built)> done = {});
    QString PageLabel(int page) const { return layout_.PageLabel(page); }
    void SetFlipSpeed(int speed) { flip_.SetFlipSpeed(speed); }
    // Flips to the page of the album file `name` (exact name first, then ignoring case); false when
    // the album has no such file.
    bool FlipToFile(const QString &name);
    // Shows the window maximised on its screen. The geometry is set to the screen's available area
    // first, so that the window fills it even where nothing manages windows (a bare X server).
    void ShowMaximisedOnScreen();

    // Auto flipping: the tick timer turns one spread per tick in the auto-flip direction (0 by the
    // pointer's side of the spine at each tick, 1 forward, 2 backward) and acts at the book's end
    // by the end action (0 stop, 1 repeat, 2 reverse). Start takes the three values from the
    // settings; while it runs PaintMode is 3 and a click or key stops it.
    void StartAutoFlipping();
    void StopAutoFlipping();
    void Timer1Timer();
    // Interval limits of the tick timer: a settings file may hold any number.
    static constexpr int MinAutoFlipIntervalMs = 10, MaxAutoFlipIntervalMs = 60000;
    QTimer Timer1;
    int AutoFlipDirection = 1;
    int AutoFlipEndAction = 2;

    bool OpenAlbum(const QString &folder, AlbumSession::OpenDone done = {})
    {
        return session_.OpenAlbum(folder, std::move(done));
    }
    void SwitchAlbum(const QString &folder);
    void CloseAlbum(int direction) { session_.CloseAlbum(direction); }

    // State, read by other windows and by tests.
    QString ExeDir, OverviewDir, BookmarkDir, SysSoundDir, BaseCaption;
    bool ScreenSaverMode = false, ReadyToLayout = false;
    // True while the book is being built: book input is ignored, and album and rebuild requests
    // wait for the build's end.
    bool Building() const { return building_; }
    bool Deactivated = false, Minimised = false, OverviewWasVisible = false;
    int PaintMode = 1;
    int LastMouseX = 0, LastMouseY = 0;
    HotState Hot;
    int HighlightCode = -1, HighlightKind = 0;
    QRect HighlightRect;
    bool JumpCursorShown = false;
    int JumpCursorPage = 0;
    QRect JumpCursorRect;
    int SelectAnchor = -1;
    bool RightClickPending = false;
    int MoveCount = 0;
    // The page pop-up menu's target: the hot code and page under the pointer when it opened, and
    // the full path of the file they designate (empty: none).
    int PopupTarget = 0, PopupPage = 0;
    QString PopupFile;

    AlbumSession &Session() { return session_; }
    const AlbumSession &Session() const { return session_; }
    Settings &Options() { return settings_; }
    const BookLayout &Layout_() const { return layout_; }
    const FlipState &Flip_() const { return flip_; }
    const BookGeometry &Geometry() const { return geo_; }
    const PageList &Pages() const { return pages_; }
    SelectionList &Selection() { return selection_; }
    BookPainter &Painter() { return painter_; }
    BookView *View() const { return view_; }
    const MainMenus &Menus() const { return menus_; }
    TOpenDlg *OpenDialog() const { return openDlg_; }
    TSetFlipSpeedForm *FlipSpeedDialog() const { return speedDlg_; }
    TFlippingToolForm *FlippingTool() const { return flippingTool_; }
    TSetFileTypeFilter_Fm *FileTypeFilterDialog() const { return filterDlg_; }
    TOverView_Fm *OverviewWindow() const { return overview_; }
    TContents_Fm *ContentsWindow() const { return contents_; }
    TIndex_Fm *IndexWindow() const { return index_; }
    TPageNoDlg *PageNoDialog() const { return pageNoDlg_; }
    TFindDlg *FindDialog() const { return findDlg_; }
    TPreviewPic_Fm *PreviewWindow() const { return preview_; }
    TInfoBox *InfoBoxWindow() const { return infoBox_; }
    const QImage &PreviewBackBitmap() const { return previewBack_; }
    HitScene MakeHitScene() const;

    // Replaces the section build step (tests).
    void SetSectionBuilder(std::unique_ptr<SectionBuilder> builder) { sections_ = std::move(builder); }
    // Time between two flip frames (16 ms; tests set 0).
    int FrameIntervalMs = 16;
    bool AlbumOpen() const { return session_.AlbumOpen; }

    // Event handlers (Qt routes the events here).
    void FormPaintFirst();
    void Layout();
    void FormMouseMove(int x, int y);
    void FormMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void PaintOverlays(class QPainter &p);
    void FormActivate();
    void FormKeyDown(int key);
    // The pop-up menu opens at a client point: its target and file commands follow what lies there.
    void PopupMenuAt(QPoint clientPos, QPoint globalPos);
    // Preview (pictures) or play (sound, MIDI, video) one page file; the information of one file.
    void PreviewOrPlay(const QString &path);
    void ShowInformation(const QString &path);
    // The application was minimised or restored.
    void AppMinimize();
    void AppRestore();
    // SIGTERM and SIGINT: end modal windows, then close as the user would.
    void RequestTermination();
    // Tests replace the open-folder dialog: return true with `folder` set, or false for Cancel.
    std::function<bool(const QString &preset, QString &folder)> FolderChooser;

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void hideEvent(QHideEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    // AlbumHost
    Choice ChooseFolder(const QString &preset, QString &folder) override;
    bool AskExitInsteadOfOpening() override;
    void TellFolderMissing(const QString &folder) override;
    void TellSameFolderAndMask() override;
    void CloseWindow() override;
    void AlbumOpening(const QString &folder) override;
    void BuildBook(std::function<void(bool built)> done) override;
    void AlbumOpened(const QString &folder) override;
    void AlbumClosing(int direction) override;
    void AlbumClosed() override;
    void MruChanged() override;

    void FormCreate();
    void StartScreenSaverRun();
    void BeginScreenSaverShow();   // the screen-saver run's album is open
    void StartAutoFlipTimer(int intervalMs, int direction, int endAction);
    void EnableCommandsWhileAutoFlipping(bool on);
    bool FormCloseQuery();
    void FormClose();
    void Timer2Timer();
    void Present();
    void RemoveHighlight();
    void UpdateHighlight();
    void UpdateJumpCursor(int x, int y);
    void SetPointerShape();
    void UpdateHint();
    void SetCaption();
    void LoadBackgroundPictures();
    void SaveBackgroundPictures();
    void SaveAllSettings();
    void ToggleWindowFrame();
    int CurrentSortOrder() const;
    void ApplySortOrderToMenu(int order);
    void SortCommand(const QString &itemName, int order);
    void BackgroundCommand(int which, int kind);
    void FilterPages1Click();
    void SetFlipSpeedWnClick();
    void ThumbnailSizeClick(int item);
    void ReopenAlbum();
    void EmptyOverviewCache1Click();
    void FlippingControl2Click();
    void ToolBar1Click();
    void FlipTo1Click();
    void View1Click();
    void PageNo1Click();
    void FileName1Click();
    QString FileOfPage(int page) const;   // full path of a file page's file, empty for other pages
    void RUClick(QAction *item);
    void Open2Click();
    void ConnectCommands();
    void RefreshToolBar();
    int ToolBarHeight() const;

    QStringList args_;
    Settings settings_;
    PageList pages_;
    BookLayout layout_;
    BookGeometry geo_;
    FlipState flip_;
    BookPainter painter_;
    FlipAnimator animator_{painter_};
    BookScene scene_;
    SelectionList selection_;
    AlbumSession session_{*this};
    std::unique_ptr<SectionBuilder> sections_;
    MainMenus menus_;
    BookView *view_ = nullptr;
    TOpenDlg *openDlg_ = nullptr;
    TSetFlipSpeedForm *speedDlg_ = nullptr;
    TFlippingToolForm *flippingTool_ = nullptr;
    TSetFileTypeFilter_Fm *filterDlg_ = nullptr;
    TOverView_Fm *overview_ = nullptr;
    TContents_Fm *contents_ = nullptr;
    TIndex_Fm *index_ = nullptr;
    TPageNoDlg *pageNoDlg_ = nullptr;
    TFindDlg *findDlg_ = nullptr;
    TPreviewPic_Fm *preview_ = nullptr;
    TInfoBox *infoBox_ = nullptr;
    QImage previewBack_;   // the preview background picture (kind 2), saved with the settings
    QTimer Timer2;
    bool firstPaintDone_ = false;
    bool closingAccepted_ = false;
    bool closeQueryRunning_ = false;
    bool terminating_ = false;
    bool building_ = false;
    std::function<void()> afterBuild_;   // the latest album or rebuild request made during a build
    void AfterBuild(std::function<void()> request);
    void RunAfterBuild();
    QRect frameBeforeToggle_;
    // Held for the whole screen-saver run: a second start sees it and ends at once.
    std::unique_ptr<sys::ScreenSaverLock> screenSaverLock_;
};

} // namespace pagero
