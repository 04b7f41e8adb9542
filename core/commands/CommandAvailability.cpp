#include "core/commands/CommandAvailability.h"
#include "core/book/HotCodes.h"

namespace pagero {

namespace {

bool IsPicture(int kind) { return kind == 1 || kind == 2; }

} // namespace

CommandFlags CommandAvailability(const CommandState &s)
{
    CommandFlags f;
    const bool normal = s.mode == PaintMode::Normal;
    const bool book = normal && s.albumOpen;   // the book is open and takes commands
    const bool leftFile = book && s.left.mediaKind > 0;
    const bool rightFile = book && s.right.mediaKind > 0;
    const bool leftPicture = leftFile && IsPicture(s.left.mediaKind);
    const bool rightPicture = rightFile && IsPicture(s.right.mediaKind);
    // A page can be bookmarked when the album has files and it lies between the covers.
    const auto markable = [&](int page) { return book && s.fileCount > 0 && page > 1 && page < s.backCoverPage; };

    // The seven book menus rest while auto flipping, while an acquired picture waits to be saved
    // and during a screen-saver run; so does the pop-up menu.
    f.File1 = f.Edit1 = f.View1 = f.FlipTo1 = f.BookMark1 = f.Tools1 = f.Options1 = normal;

    // File: folder commands need no album; page-file commands need a file page on their side,
    // "Save As" and printing a picture there.
    f.NewFolder1 = f.Open2 = f.DeleteFolder1 = f.Exit2 = true;
    f.Import1 = book;
    f.CopyLeftPageFileAs1 = f.MoveLeftpagefileas1 = f.RenameLeftPageImageFile1 = f.DeleteLeftPageFile1 = leftFile;
    f.CopyRightPageFileAs1 = f.MoveRightpagefileas1 = f.RenameRightPageImageFile1 = f.DeleteRightPageFile1 = rightFile;
    f.SaveLeftPageImageFileAs1 = leftPicture;
    f.SaveRightPageImageFileAs1 = rightPicture;
    f.LeftPageFile1 = leftPicture && !s.printJobRunning;
    f.RightPageFile1 = rightPicture && !s.printJobRunning;
    f.OverviewPages1 = book && s.firstContentsPage > s.firstOverviewPage && !s.printJobRunning;
    f.Select1 = normal;
    f.Acquire1 = book;
    f.TWainSaveAs = false;   // a held picture is saved through the paste and acquire flows

    // Edit: picture commands per side; comments need a writable album folder.
    f.LeftPageImage4 = f.LeftPageImage3 = f.LeftPageImage901 = f.LeftPageImage902 = f.LeftPageImage5
        = f.LeftPageImage6 = leftPicture;
    f.RightPageImage4 = f.RightPageImage3 = f.RightPageImage901 = f.RightPageImage902 = f.RightPageImage5
        = f.RightPageImage6 = rightPicture;
    f.Paste1 = book && s.clipboardHasPicture;
    f.Annotate1 = book && s.albumWritable;
    f.LeftPageImageComment1 = f.Annotate1 && leftFile;
    f.RightPageImageComment1 = f.Annotate1 && rightFile;
    f.AlbumName1 = book;

    // Batch: n selected of f file pages; nothing starts while a batch runs.
    const bool batch = book && !s.batchRunning;
    const int n = s.selectionCount;
    const int files = s.firstIndexPage - s.firstFilePage;
    f.All3 = batch && n < files;
    f.All2 = batch && n > 0;
    f.LeftPageFile3 = batch && leftFile && !s.left.selected;
    f.LeftPageFile2 = batch && leftFile && s.left.selected;
    f.RightPageFile3 = batch && rightFile && !s.right.selected;
    f.RightPageFile2 = batch && rightFile && s.right.selected;
    f.Rotate2 = f.SizeChange2 = f.CopyTo1 = f.MoveTo1 = f.Delete1 = batch && n > 0;
    f.EMailSend1 = batch && n > 0 && !s.mailSending;

    // View: preview and information of a file page; the rest is always offered.
    f.LeftImage1 = f.LeftImage2 = leftFile;
    f.RightImage1 = f.RightImage2 = rightFile;
    f.byName1 = f.byType1 = f.bySize1 = f.byDate1 = f.FilterPages1 = true;
    f.btnExtraLarge1 = f.btnLarger1 = f.btnLargest1 = f.btnMiddle1 = f.btnSmallest1 = f.EmptyOverviewCache1 = true;
    f.ToolBar1 = f.WindowFrame2 = true;
    f.windowFrameChecked = s.windowFrameShown;

    // FlipTo: a section's first page when the spread does not show it; page numbers and names
    // need files to choose from.
    const auto away = [&](int page) { return book && page != s.leftPage && page != s.rightPage; };
    f.Overview1 = away(s.firstOverviewPage);
    f.Contents1 = away(s.firstContentsPage);
    f.FirstPage1 = away(s.firstFilePage);
    f.Index1 = away(s.firstIndexPage);
    f.PageNo1 = f.FileName1 = book && s.fileCount > 0;

    // Bookmarks: the Add and Remove submenus for a spread between the covers of an album with
    // files; each side's item as its tool-bar button.
    f.btnAdd1 = f.btnRemove = book && s.fileCount > 0 && s.leftPage > 1 && s.leftPage < s.backCoverPage;
    f.btnRmvLeftPage = book && s.left.bookmarked;
    f.btnRmvRightPage = book && s.right.bookmarked;
    f.btnAddLeftPage = markable(s.leftPage) && !s.left.bookmarked;
    f.btnAddRightPage = markable(s.rightPage) && !s.right.bookmarked;
    f.FlipToBookmarkedPage = f.Clearallbookmark1 = book && s.bookmarkCount > 0;
    f.WithPageNo1 = f.Fancy1 = f.EmptyBookmarksFolder1 = true;

    // Tools.
    f.AutoFLipping1 = f.SliderShow1 = book;
    f.EMail1 = normal && !s.mailSending;
    f.MaketoScreenSaver1 = book;

    // Options: the flipping sound rests while background music plays.
    f.SetFlipSpeedWn = f.FlippingControl2 = f.BackgroundMusic1 = f.SetBackgroundMusic1 = true;
    f.SetAutoFlipping1 = f.SetSlider1 = true;
    f.Default1 = f.Color1 = f.btnBitmap1 = f.Default2 = f.Color2 = f.btnBitmap2 = true;
    f.SetEMailOptions1 = f.JCAutoShow = f.AutoReopen = f.AutoFlipToOverview = true;
    f.FlippingSound1 = !s.backgroundMusicOn;

    // Help.
    f.Context1 = f.Credits1 = f.About1 = true;

    // The pop-up menu acts on the file under the pointer when it opened.
    f.autoFlippingStops = s.mode == PaintMode::AutoFlipping;
    if (book) {
        const bool withFile = s.popup.mediaKind > 0;
        const bool picture = withFile && IsPicture(s.popup.mediaKind);
        f.AutoFlipping2 = true;
        f.btnBatchSelect1 = withFile && !s.popup.selected && !s.batchRunning;
        f.btnBatchUnselect1 = withFile && s.popup.selected && !s.batchRunning;
        f.btnView1 = f.btnInfo1 = f.btnCopyto1 = f.btnMoveto1 = f.btnDelete1 = f.btnRename1 = withFile;
        // The comment editor places a comment on an open page's picture, in a writable folder.
        f.btnAnnotate1 = withFile && s.popupFileOnSpread && s.albumWritable;
        f.Saveas1 = f.btnSizeChange1 = f.mnuEdit2 = f.CopytoClipboard1 = picture;
        f.btnPrint1 = picture && !s.printJobRunning;
        f.Rotate3 = f.LeftRotate901 = f.RightRotate901 = f.AnyAngle1 = picture;
        // Bookmarks: an entry of an overview, contents or index page stands for its file's page.
        const int markPage = IsEntryCode(s.popupTarget) ? s.firstFilePage + EntryOfCode(s.popupTarget) : s.popupPage;
        f.Bookmarks1 = s.fileCount > 0 && s.popupPage >= 2 && s.popupPage < s.backCoverPage && markable(markPage);
        f.PopupBookmarkAdd1 = f.Bookmarks1 && !s.popup.bookmarked;
        f.PopupBookmarkRemove1 = f.Bookmarks1 && s.popup.bookmarked;
    }
    f.WindowFrame1 = normal;
    f.popupWindowFrameChecked = s.windowFrameShown && s.mode != PaintMode::AutoFlipping;

    // Tool bar.
    f.NewImg = f.OpenImg = normal;
    f.CopyFromImg = book;
    f.CopyToClipBdLImg = f.EditLImg = leftPicture;
    f.CopyToClipBdRImg = f.EditRImg = rightPicture;
    f.PastFromClipBdImg = f.Paste1;
    f.AnnotationLImg = f.LeftPageImageComment1;
    f.AnnotationRImg = f.RightPageImageComment1;
    f.AddBookmarkLImg = f.btnAddLeftPage;
    f.AddBookmarkRImg = f.btnAddRightPage;
    f.RemoveBookmarkLImg = f.btnRmvLeftPage;
    f.RemoveBookmarkRImg = f.btnRmvRightPage;
    f.BatchSelLImg = f.LeftPageFile3;
    f.BatchSelRImg = f.RightPageFile3;
    f.BatchDeselectLImg = f.LeftPageFile2;
    f.BatchDeselectRImg = f.RightPageFile2;
    f.FlipToOverviewImg = book;
    f.BkMusicImg = true;
    f.AutoFlippingImg = s.albumOpen && (normal || s.mode == PaintMode::AutoFlipping);
    f.SlideShowImg = book;
    f.EMailImg = !s.mailSending;
    return f;
}

} // namespace pagero
