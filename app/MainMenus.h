#pragma once
// The main window's menu bar, page pop-up menu and tool bar. Every command exists with its caption
// and component name (the action's objectName); commands start disabled and the controllers enable
// the ones they handle when they connect them.
//
// Commands are reached through typed members named after their component names, so a misspelt
// command does not compile. The lists below are the one place that names them; building the menus
// checks at start, in every build type, that each listed name was built and nothing else was.
#include <QList>

class QAction;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

namespace pagero {

// The menu-bar and pop-up commands, then the tool-bar buttons (the recent-folder items and the
// bookmark targets are numbered lists of their own).
#define PAGERO_MENU_ACTIONS(X) \
    X(NewFolder1) X(Open2) X(DeleteFolder1) X(Import1) X(CopyLeftPageFileAs1) \
    X(CopyRightPageFileAs1) X(MoveLeftpagefileas1) X(MoveRightpagefileas1) X(RenameLeftPageImageFile1) X(RenameRightPageImageFile1) \
    X(DeleteLeftPageFile1) X(DeleteRightPageFile1) X(SaveLeftPageImageFileAs1) X(SaveRightPageImageFileAs1) X(Select1) \
    X(Acquire1) X(TWainSaveAs) X(LeftPageFile1) X(RightPageFile1) X(OverviewPages1) \
    X(Exit2) X(LeftPageImage4) X(RightPageImage4) X(Paste1) X(LeftPageImage3) \
    X(RightPageImage3) X(LeftPageImage901) X(LeftPageImage902) X(RightPageImage901) X(RightPageImage902) \
    X(LeftPageImage5) X(RightPageImage5) X(LeftPageImage6) X(RightPageImage6) X(LeftPageImageComment1) \
    X(RightPageImageComment1) X(AlbumName1) X(All3) X(All2) X(LeftPageFile3) \
    X(RightPageFile3) X(LeftPageFile2) X(RightPageFile2) X(Rotate2) X(SizeChange2) \
    X(CopyTo1) X(MoveTo1) X(Delete1) X(EMailSend1) X(LeftImage1) \
    X(RightImage1) X(LeftImage2) X(RightImage2) X(byName1) X(byType1) \
    X(bySize1) X(byDate1) X(byDefault1) X(FilterPages1) X(btnLargest1) X(btnLarger1) X(btnExtraLarge1) \
    X(btnMiddle1) X(btnSmallest1) X(EmptyOverviewCache1) X(ToolBar1) X(WindowFrame2) \
    X(Overview1) X(Contents1) X(FirstPage1) X(Index1) X(PageNo1) \
    X(FileName1) X(btnAddLeftPage) X(btnAddRightPage) X(btnRmvLeftPage) X(btnRmvRightPage) \
    X(Clearallbookmark1) X(WithPageNo1) X(Fancy1) X(EmptyBookmarksFolder1) X(AutoFLipping1) \
    X(SliderShow1) X(EMail1) X(MaketoScreenSaver1) X(SetFlipSpeedWn) X(FlippingControl2) \
    X(FlippingSound1) X(BackgroundMusic1) X(SetBackgroundMusic1) X(SetAutoFlipping1) X(SetSlider1) \
    X(Default1) X(Color1) X(btnBitmap1) X(Default2) X(Color2) \
    X(btnBitmap2) X(SetEMailOptions1) X(JCAutoShow) X(AutoReopen) X(AutoFlipToOverview) \
    X(Context1) X(Credits1) X(About1) X(btnView1) X(btnInfo1) \
    X(PopupBookmarkAdd1) X(PopupBookmarkRemove1) X(CopytoClipboard1) X(mnuEdit2) X(btnAnnotate1) \
    X(LeftRotate901) X(RightRotate901) X(AnyAngle1) X(btnSizeChange1) X(btnBatchSelect1) \
    X(btnBatchUnselect1) X(Saveas1) X(btnCopyto1) X(btnMoveto1) X(btnRename1) \
    X(btnDelete1) X(btnPrint1) X(AutoFlipping2) X(WindowFrame1)

#define PAGERO_TOOLBAR_ACTIONS(X) \
    X(NewImg) X(OpenImg) X(CopyFromImg) X(CopyToClipBdLImg) X(CopyToClipBdRImg) \
    X(PastFromClipBdImg) X(EditLImg) X(EditRImg) X(AnnotationLImg) X(AnnotationRImg) \
    X(AddBookmarkLImg) X(AddBookmarkRImg) X(RemoveBookmarkLImg) X(RemoveBookmarkRImg) X(FlipToOverviewImg) \
    X(BkMusicImg) X(AutoFlippingImg) X(SlideShowImg) X(BatchSelLImg) X(BatchSelRImg) \
    X(BatchDeselectLImg) X(BatchDeselectRImg) X(EMailImg)

// The menus and submenus; each one's menuAction() carries the same objectName.
#define PAGERO_MENUS(X) \
    X(File1) X(CopyPageFileTo1) X(MovePageFileTo1) X(RenamePageFile1) X(DeletePageFile1) \
    X(Saveas2) X(GetImage1) X(Print1) X(Edit1) X(CopyToClipboard2) \
    X(Image3) X(Rotate1) X(SizeChange1) X(Annotate1) X(Batch1) \
    X(View1) X(PreviewPlay1) X(Information1) X(SortPages1) X(ThumbnailSize1) \
    X(FlipTo1) X(BookMark1) X(btnAdd1) X(btnRemove) X(FlipToBookmarkedPage) \
    X(SelectBookmarkType1) X(Tools1) X(Options1) X(SetBookBackground1) X(SetCoverPattern1) \
    X(Help1) X(Bookmarks1) X(Rotate3)

struct MainActions {
#define PAGERO_DECLARE(name) QAction *name = nullptr;
    PAGERO_MENU_ACTIONS(PAGERO_DECLARE)
    PAGERO_TOOLBAR_ACTIONS(PAGERO_DECLARE)
#undef PAGERO_DECLARE
};

struct MainMenuSet {
#define PAGERO_DECLARE(name) QMenu *name = nullptr;
    PAGERO_MENUS(PAGERO_DECLARE)
#undef PAGERO_DECLARE
};

struct MainMenus {
    QMenuBar *bar = nullptr;
    QMenu *popup = nullptr;         // PopupMenu1
    QToolBar *toolBar = nullptr;    // SpeedPanel
    MainActions actions;
    MainMenuSet menus;
    QList<QAction *> mru;           // MRU1 .. MRU12
    QList<QAction *> bookmarks;     // BK1 .. BK12
    QAction *mruSeparator = nullptr;
};

// Builds everything; the menu bar and pop-up are owned by `owner`, the tool bar by `toolBarParent`.
MainMenus BuildMainMenus(QWidget *owner, QWidget *toolBarParent);

} // namespace pagero
