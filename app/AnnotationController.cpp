#include "app/AnnotationController.h"

#include "app/BookContext.h"
#include "app/BookPainter.h"
#include "app/BookmarkTabPainter.h"
#include "app/HitTester.h"
#include "app/MainMenus.h"
#include "app/PageRenderer.h"
#include "app/PointerOverlay.h"
#include "app/SaveReporter.h"
#include "app/WindowLog.h"
#include "common/Fonts.h"
#include "core/annotations/BookmarkEdits.h"
#include "core/annotations/BookmarkFile.h"
#include "core/annotations/BookmarkMapping.h"
#include "core/annotations/BookmarkTabs.h"
#include "core/book/BookGeometry.h"
#include "core/book/BookLayout.h"
#include "core/book/FlipState.h"
#include "core/book/HotCodes.h"
#include "core/book/PageList.h"
#include "core/book/Settings.h"
#include "core/common/MyLib.h"
#include "pages/CommentPainter.h"
#include "pages/OrvEditAlbumName_Dlg.h"
#include "pages/OrvEditComment_Ut.h"
#include "platform/Prompter.h"

#include <QAction>
#include <QFontMetrics>
#include <QMenu>
#include <QPainter>
#include <QWidget>

namespace pagero {

AnnotationController::AnnotationController(BookContext &book, MainMenus &menus, BookScene &scene,
                                           PointerOverlay &overlay, SaveReporter &saves,
                                           const QString &bookmarkDir, bool screenSaverMode, QObject *parent)
    : QObject(parent), book_(book), menus_(menus), scene_(scene), saves_(saves), register_(bookmarkDir),
      screenSaver_(screenSaverMode)
{
    // Albums whose folders have gone take their bookmark files with them.
    if (!screenSaver_ && !bookmarkDir.isEmpty()) saves_.Check(register_.Purge(), register_.RegisterPath());
    savedBookmarks_ = EncodeBookmarkFile({});

    scene_.drawBookmarkTabs = [this](QPainter &frame, int pass) {
        DrawBookmarkTabs(frame, pass == 1 ? TabPass::Stacks : TabPass::OpenPages, table_, CurrentTabFrame(),
                         !book_.Options().WithPageNo);
    };
    scene_.drawComment = [this](QPainter &page, const QRect &, int entry) {
        const BookGeometry &g = book_.Geometry();
        PageComment c;
        if (files_.Comments.ReadComment(book_.Pages().NameOf(entry), g.PageW, g.PageH, c)) DrawComment(page, c);
    };
    overlay.BookmarkHint = [this](int tab) { return TabHint(tab); };
    nameDialog_ = new TEditAlbumName_Dlg(book_.ParentWidget());
    ConnectCommands();
}

AnnotationController::~AnnotationController()
{
    scene_.drawBookmarkTabs = nullptr;
    scene_.drawComment = nullptr;
}

void AnnotationController::ConnectCommands()
{
    const MainActions &a = menus_.actions;
    const auto left = [this] { return book_.Spread().LeftPageNo; };
    const auto right = [this] { return book_.Spread().RightPageNo; };
    // Enabled by the spread: when their menu opens, and on the tool bar after every flip.
    for (QAction *add : {a.btnAddLeftPage, a.AddBookmarkLImg})
        ConnectCommand(book_, add, this, [=, this] { AddBookmarkToPage(left()); }, false);
    for (QAction *add : {a.btnAddRightPage, a.AddBookmarkRImg})
        ConnectCommand(book_, add, this, [=, this] { AddBookmarkToPage(right()); }, false);
    for (QAction *remove : {a.btnRmvLeftPage, a.RemoveBookmarkLImg})
        ConnectCommand(book_, remove, this, [=, this] { RemoveBookmarkFromPage(left()); }, false);
    for (QAction *remove : {a.btnRmvRightPage, a.RemoveBookmarkRImg})
        ConnectCommand(book_, remove, this, [=, this] { RemoveBookmarkFromPage(right()); }, false);
    ConnectCommand(book_, a.PopupBookmarkAdd1, this, [this] { AddBookmarkToPage(PopupFilePage()); }, false);
    ConnectCommand(book_, a.PopupBookmarkRemove1, this, [this] { RemoveBookmarkFromPage(PopupFilePage()); }, false);
    ConnectCommand(book_, a.Clearallbookmark1, this, [this] { ClearBookmarks(); }, false);
    ConnectCommand(book_, a.EmptyBookmarksFolder1, this, [this] { EmptyBookmarksFolder(); });
    ConnectCommand(book_, a.WithPageNo1, this, [this] { SetBookmarkType(true); });
    ConnectCommand(book_, a.Fancy1, this, [this] { SetBookmarkType(false); });
    for (int k = 0; k < menus_.bookmarks.size(); ++k)
        ConnectCommand(book_, menus_.bookmarks[k], this, [this, k] {
            if (k < int(menuPages_.size())) book_.FlipTo(menuPages_[k]);
        }, false);
    connect(menus_.menus.BookMark1, &QMenu::aboutToShow, this, &AnnotationController::UpdateBookmarksMenu);

    ConnectCommand(book_, a.LeftPageImageComment1, this, [=, this] { EditComment(left()); }, false);
    ConnectCommand(book_, a.RightPageImageComment1, this, [=, this] { EditComment(right()); }, false);
    ConnectCommand(book_, a.AnnotationLImg, this, [=, this] { EditComment(left()); }, false);
    ConnectCommand(book_, a.AnnotationRImg, this, [=, this] { EditComment(right()); }, false);
    ConnectCommand(book_, a.btnAnnotate1, this, [this] {
        const int page = PopupFilePage();
        if (page == book_.Spread().LeftPageNo || page == book_.Spread().RightPageNo) EditComment(page);
    }, false);
    ConnectCommand(book_, a.AlbumName1, this, [this] { EditAlbumName(); });
}

// ---------------------------------------------------------------- album lifecycle

void AnnotationController::AlbumOpening(const QString &folder)
{
    if (folder_ == folder) {
        // The open album is opened again (a new thumbnail size, an emptied cache): what is held is
        // newer than what may be on disk, so it is kept and saved instead of read back.
        AlbumClosing();
        folder_ = folder;
        files_.Writable = !screenSaver_ && CanWriteFolder(folder);
        return;
    }
    AlbumClosing();
    folder_ = folder;
    table_.clear();
    names_ = FileNameIndex();
    if (LoadAlbumBookmarks(register_, folder, table_, screenSaver_)) savedBookmarks_ = EncodeBookmarkFile(table_);
    else savedBookmarks_ = EncodeBookmarkFile({});
    files_.Load(folder, screenSaver_);
    scene_.albumNameLines = files_.AlbumNameLines;
}

void AnnotationController::BookBuilt()
{
    names_ = FileNameIndex::Of(book_.Pages());
    RefreshBookmarks();
    book_.RefreshToolBar();
}

void AnnotationController::AlbumClosing()
{
    if (folder_.isEmpty()) return;
    SaveBookmarks();
    SaveAlbumFiles();
    // The tables stay for the closing flip's frames; nothing is saved for this album any more.
    folder_.clear();
}

// ---------------------------------------------------------------- bookmarks

void AnnotationController::RefreshBookmarks()
{
    if (folder_.isEmpty()) return;
    if (!table_.empty()) {
        const BookGeometry &g = book_.Geometry();
        MapBookmarksToPages(table_, book_.Sections(), names_, FileExistsIn(folder_));
        const QFontMetrics tabFont(BookFont(8));
        LayOutBookmarkTabs(table_, book_.Sections(), g.PageW, g.PageH,
                           [&tabFont](const QString &text) { return tabFont.horizontalAdvance(text); });
    }
    SaveBookmarks();
}

void AnnotationController::SaveBookmarks()
{
    if (folder_.isEmpty() || screenSaver_) return;
    // A rebuild that changed nothing leaves the file alone: resizing the window must not rewrite it.
    const QByteArray bytes = EncodeBookmarkFile(table_);
    if (bytes == savedBookmarks_) return;
    if (SaveAlbumBookmarks(register_, folder_, table_, false)) {
        savedBookmarks_ = bytes;
        return;
    }
    const QString file = register_.FindBookmarkFile(folder_);
    saves_.Check(false, file.isEmpty() ? register_.RegisterPath() : file);
}

bool AnnotationController::CanMark(int page) const
{
    return book_.AlbumOpen() && book_.Pages().Count() > 0 && page > 1 && page < book_.Spread().LastPageNo;
}

bool AnnotationController::HasBookmark(int page) const
{
    return FindBookmarkOfPage(table_, page) >= 0;
}

void AnnotationController::AddBookmarkToPage(int page)
{
    if (!CanMark(page) || HasBookmark(page)) return;
    if (!AddBookmark(table_, page, book_.Sections(), names_)) {
        book_.Prompt().Inform("Error in adding bookmark.");
        return;
    }
    RefreshBookmarks();
    book_.DrawBook();
    book_.RefreshToolBar();
}

void AnnotationController::RemoveBookmarkFromPage(int page)
{
    if (!RemoveBookmark(table_, page)) return;
    RefreshBookmarks();
    book_.DrawBook();
    book_.RefreshToolBar();
}

void AnnotationController::ClearBookmarks()
{
    if (table_.empty()) return;
    if (!book_.Prompt().Confirm("Do you really want to clear all the bookmarks?")) return;
    table_.clear();
    for (QAction *item : menus_.bookmarks) item->setVisible(false);
    menuPages_.clear();
    SaveBookmarks();
    book_.DrawBook();
    book_.RefreshToolBar();
}

void AnnotationController::EmptyBookmarksFolder()
{
    if (!book_.Prompt().Confirm("This will delete the bookmark files of all opened books!")) return;
    if (!register_.EmptyFolder()) qCWarning(lcPagero) << "some files stayed in" << register_.Dir();
    table_.clear();
    savedBookmarks_ = EncodeBookmarkFile({});
    book_.DrawBook();
    book_.RefreshToolBar();
}

void AnnotationController::SetBookmarkType(bool withPageNo)
{
    book_.Options().WithPageNo = withPageNo;
    menus_.actions.WithPageNo1->setChecked(withPageNo);
    menus_.actions.Fancy1->setChecked(!withPageNo);
    book_.DrawBook();
}

void AnnotationController::UpdateBookmarksMenu()
{
    // The targets BK1 .. BK12; the menu's other items follow the command availability.
    const FlipState &f = book_.Spread();
    menuPages_.clear();
    const std::vector<BookmarkMenuItem> items = BookmarkMenuItems(table_, f.LastPageNo);
    for (int k = 0; k < menus_.bookmarks.size(); ++k) {
        QAction *item = menus_.bookmarks[k];
        const bool used = k < int(items.size());
        item->setVisible(used);
        item->setEnabled(used);
        if (!used) continue;
        item->setText(table_[items[k].slot].Caption);
        menuPages_.push_back(items[k].page);
    }
}

TabFrame AnnotationController::CurrentTabFrame() const
{
    return TabFrameOf(book_.Geometry(), book_.Spread());
}

QString AnnotationController::TabHint(int tab) const
{
    if (tab < 0 || tab >= int(table_.size())) return QString();
    const BookMarkRec &b = table_[tab];
    const bool filePage = book_.Sections().SectionOf(b.Page) == Context;
    return BookmarkHint(b, !book_.Options().WithPageNo, filePage, b.FileName);
}

void AnnotationController::FillHitScene(HitScene &s) const
{
    s.bookmarkTabAt = [this](QPoint pt, QRect *rect) { return BookmarkTabAt(table_, CurrentTabFrame(), pt, rect); };
    s.bookmarkPage = [this](int tab) { return tab >= 0 && tab < int(table_.size()) ? std::max(0, table_[tab].Page) : 0; };
}

// ---------------------------------------------------------------- pop-up menu

void AnnotationController::PopupOpened(int hotCode, int hotPage, bool enabled)
{
    popupCode_ = enabled ? hotCode : 0;
    popupPage_ = enabled ? hotPage : 0;
}

int AnnotationController::PopupFilePage() const
{
    // An entry of an overview, contents or index page stands for its file's page.
    if (IsEntryCode(popupCode_)) return book_.Sections().FirstFilePage + EntryOfCode(popupCode_);
    return popupPage_;
}

// ---------------------------------------------------------------- comments and album name

void AnnotationController::EditComment(int page)
{
    const QString path = book_.FileOfPage(page);
    if (path.isEmpty() || !files_.CanAnnotate() || screenSaver_) return;
    const BookGeometry &g = book_.Geometry();
    // The editor's preview shows the page's picture without the comment.
    QImage picture(g.pageImageSize().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    picture.fill(Qt::white);
    const int entry = page - book_.Sections().FirstFilePage;
    const int kind = book_.Pages().KindOf(entry);
    if (kind == KindPicture || kind == KindImaging || kind == KindVideo) {
        const QRect content = g.contentLocal(page);
        const QImage fitted = LoadFittedPicture(path, kind, content);
        if (!fitted.isNull()) {
            QPainter p(&picture);
            p.drawImage(CentredIn(content, fitted.size()), fitted);
        }
    }
    TEditCommentDlg_Fm editor(book_.ParentWidget());
    editor.Setup(files_.Comments, path, g.PageW, g.PageH, picture);
    const bool leftPage = page % 2 == 0;
    editor.PlaceBesideSpine(book_.BookArea()->mapToGlobal(QPoint(g.SpineX, 0)).x(), leftPage);
    editor.Repaint = [this] { book_.DrawBook(); };
    editor.Execute();
    // A comment reaches the disk when it is made, not only when the album closes.
    SaveAlbumFiles();
    book_.DrawBook();
}

void AnnotationController::EditAlbumName()
{
    if (!book_.AlbumOpen()) return;
    AlbumName1Click(*nameDialog_, files_.AlbumNameLines, folder_, [this] { book_.FlipTo(0); },
                    [this] { ApplyAlbumName(); });
    SaveAlbumFiles();
}

void AnnotationController::ApplyAlbumName()
{
    scene_.albumNameLines = files_.AlbumNameLines;
    book_.DrawBook();
}

void AnnotationController::SaveAlbumFiles()
{
    if (folder_.isEmpty() || screenSaver_) return;
    QString failed;
    if (!files_.Save(folder_, false, &failed))
        saves_.Check(false, failed.isEmpty() ? folder_ + QLatin1Char('/') + QLatin1String(kCommentFileName) : failed);
}

// ---------------------------------------------------------------- file commands

void AnnotationController::FileRenamed(const QString &oldPath, const QString &newPath)
{
    const bool bookmark = RenameBookmarkFile(table_, oldPath, newPath);
    const bool comment = files_.Comments.RenameComment(oldPath, newPath);
    if (bookmark) SaveBookmarks();
    if (comment) SaveAlbumFiles();
}

void AnnotationController::FileDropped(const QString &path)
{
    const bool bookmark = DropBookmarkOfFile(table_, path);
    const bool comment = files_.Comments.DropComment(path);
    if (bookmark) SaveBookmarks();
    if (comment) SaveAlbumFiles();
}

} // namespace pagero
