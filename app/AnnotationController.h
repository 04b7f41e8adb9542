#pragma once
// The album's bookmarks, page comments and album name in the book: loading them when an album
// opens, re-resolving the bookmarks after every build, the tabs on the frame and under the pointer,
// the Bookmarks menu, the tool-bar and pop-up commands, the comment editor and the album-name
// dialog, and saving everything (atomically, a failure told once) when the album closes or a
// comment or name is edited.
#include "app/FileAnnotations.h"
#include "core/annotations/AlbumFolderFiles.h"
#include "core/annotations/BookmarkRegister.h"
#include "core/annotations/BookMarkRec.h"
#include "core/annotations/FileNameIndex.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <vector>

namespace pagero {

class BookContext;
class PointerOverlay;
class SaveReporter;
class TEditAlbumName_Dlg;
struct BookScene;
struct HitScene;
struct MainMenus;
struct TabFrame;

class AnnotationController : public QObject, public FileAnnotations {
public:
    // `bookmarkDir` is the data folder's "Bookmark"; a screen-saver run reads but never writes. The
    // register is purged of albums that no longer exist.
    AnnotationController(BookContext &book, MainMenus &menus, BookScene &scene, PointerOverlay &overlay,
                         SaveReporter &saves, const QString &bookmarkDir, bool screenSaverMode,
                         QObject *parent = nullptr);
    ~AnnotationController() override;

    // Album lifecycle: before the book is built, after every build, when the album closes.
    void AlbumOpening(const QString &folder);
    void BookBuilt();
    void AlbumClosing();

    // The hit test's bookmark-tab hooks.
    void FillHitScene(HitScene &scene) const;
    // The pop-up menu opens over `hotCode` on `hotPage`: its bookmark and annotate items follow.
    void PopupOpened(int hotCode, int hotPage, bool enabled);

    // FileAnnotations
    void FileRenamed(const QString &oldPath, const QString &newPath) override;
    void FileDropped(const QString &path) override;

    // Commands (menus, tool bar, pop-up).
    void AddBookmarkToPage(int page);
    void RemoveBookmarkFromPage(int page);
    void ClearBookmarks();
    void EmptyBookmarksFolder();
    void EditComment(int page);
    void EditAlbumName();

    const BookmarkTable &Bookmarks() const { return table_; }
    const AlbumFolderFiles &Files() const { return files_; }
    AlbumFolderFiles &Files() { return files_; }
    const BookmarkRegister &Register() const { return register_; }
    // The frame as drawn now, and a tab's hint.
    TabFrame CurrentTabFrame() const;
    QString TabHint(int tab) const;
    // Pages listed by BK1 .. BK12 when the Bookmarks menu last opened.
    const std::vector<int> &MenuPages() const { return menuPages_; }

private:
    void ConnectCommands();
    void RefreshBookmarks();
    void SaveBookmarks();
    void SaveAlbumFiles();
    void ApplyAlbumName();
    void UpdateBookmarksMenu();
    void SetBookmarkType(bool withPageNo);
    bool CanMark(int page) const;
    bool HasBookmark(int page) const;
    int PopupFilePage() const;

    BookContext &book_;
    MainMenus &menus_;
    BookScene &scene_;
    SaveReporter &saves_;
    BookmarkRegister register_;
    const bool screenSaver_;
    QString folder_;
    BookmarkTable table_;
    FileNameIndex names_;        // the page list's names, made after every build
    QByteArray savedBookmarks_;  // what the album's bookmark file holds, as far as this run knows
    AlbumFolderFiles files_;
    std::vector<int> menuPages_;
    int popupCode_ = 0, popupPage_ = 0;
    TEditAlbumName_Dlg *nameDialog_ = nullptr;
};

} // namespace pagero
