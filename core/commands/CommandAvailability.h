#pragma once
// Which commands of the menus, the page pop-up menu and the tool bar can run now, worked out in one
// place from a plain description of the book and the program (CommandState). The main window fills
// the description when a menu or the pop-up opens and after every command, and applies the flags
// to its actions; an action whose handler is not connected stays disabled whatever the flag says.
#include "core/book/PaintMode.h"

namespace pagero {

// The commands whose availability is decided here, named as the menus name their actions.
#define PAGERO_AVAILABLE_COMMANDS(X) \
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
    X(bySize1) X(byDate1) X(FilterPages1) X(btnExtraLarge1) X(btnLarger1) X(btnLargest1) \
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

#define PAGERO_AVAILABLE_BUTTONS(X) \
    X(NewImg) X(OpenImg) X(CopyFromImg) X(CopyToClipBdLImg) X(CopyToClipBdRImg) \
    X(PastFromClipBdImg) X(EditLImg) X(EditRImg) X(AnnotationLImg) X(AnnotationRImg) \
    X(AddBookmarkLImg) X(AddBookmarkRImg) X(RemoveBookmarkLImg) X(RemoveBookmarkRImg) X(FlipToOverviewImg) \
    X(BkMusicImg) X(AutoFlippingImg) X(SlideShowImg) X(BatchSelLImg) X(BatchSelRImg) \
    X(BatchDeselectLImg) X(BatchDeselectRImg) X(EMailImg)

// The menus whose own item is enabled or disabled here (top-level menus and submenus).
#define PAGERO_AVAILABLE_MENUS(X) \
    X(File1) X(Edit1) X(View1) X(FlipTo1) X(BookMark1) X(Tools1) X(Options1) \
    X(Annotate1) X(btnAdd1) X(btnRemove) X(FlipToBookmarkedPage) X(Bookmarks1) X(Rotate3)

// What a page shows, as far as commands care.
struct PageFacts {
    int mediaKind = 0;        // the file's media kind (1 .. 5); 0 when the page shows no file
    bool selected = false;    // the file is in the batch selection
    bool bookmarked = false;  // the page carries a bookmark
};

struct CommandState {
    PaintMode mode = PaintMode::Normal;
    bool albumOpen = false;
    bool batchRunning = false;      // a batch operation is under way
    bool printJobRunning = false;   // overview sheets are being printed: printing waits for their end
    // The open spread and where the sections begin (page numbers of the book).
    int leftPage = 0, rightPage = 1, lastPage = 0;
    int firstOverviewPage = 0, firstContentsPage = 0, firstFilePage = 0, firstIndexPage = 0, backCoverPage = 0;
    int fileCount = 0;              // files of the album
    PageFacts left, right;
    // The pop-up menu: the code and page under the pointer when it opened; `popup` describes the
    // file they designate (its page's bookmark is that of the file page the pop-up acts on).
    int popupTarget = 0, popupPage = 0;
    PageFacts popup;
    bool popupFileOnSpread = false; // that file shows on one of the open pages
    int selectionCount = 0;
    int bookmarkCount = 0;
    bool albumWritable = true;      // comments and the album name can be written in the folder
    bool mailSending = false;
    bool clipboardHasPicture = false;
    bool windowFrameShown = true;
    bool backgroundMusicOn = false;
};

struct CommandFlags {
#define PAGERO_FLAG(name) bool name = false;
    PAGERO_AVAILABLE_COMMANDS(PAGERO_FLAG)
    PAGERO_AVAILABLE_BUTTONS(PAGERO_FLAG)
    PAGERO_AVAILABLE_MENUS(PAGERO_FLAG)
#undef PAGERO_FLAG
    bool autoFlippingStops = false;   // the pop-up's auto-flipping item reads "&Stop Flipping"
    bool windowFrameChecked = false;       // View's "Window &Frame" check mark
    bool popupWindowFrameChecked = false;  // the pop-up's "Window &Frame" check mark
};

CommandFlags CommandAvailability(const CommandState &state);

// Pop-up captions of the auto-flipping item.
inline constexpr const char *kStartAutoFlippingCaption = "A&uto Flipping";
inline constexpr const char *kStopAutoFlippingCaption = "&Stop Flipping";

} // namespace pagero
