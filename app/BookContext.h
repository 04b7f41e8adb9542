#pragma once
// What a feature controller may see and do of the main window's book: the open spread, the file of
// a page, turning and redrawing, the selection, the settings, the prompter and the parent widget.
// The main window implements it; controllers hold nothing else of the window.
#include "app/PaintMode.h"
#include <QString>
#include <functional>

class QAction;
class QObject;
class QWidget;

namespace pagero {

struct BookGeometry;
class BookLayout;
class FlipState;
class PageList;
class Prompter;
class SelectionList;
struct Settings;

class BookContext {
public:
    virtual ~BookContext() = default;

    virtual bool AlbumOpen() const = 0;
    // A book build runs: nothing turns or is drawn meanwhile.
    virtual bool Building() const = 0;
    virtual const FlipState &Spread() const = 0;       // the open spread, the page count, the speed
    virtual const BookLayout &Sections() const = 0;    // where overview, contents, files and index begin
    virtual const BookGeometry &Geometry() const = 0;
    virtual const PageList &Pages() const = 0;
    // Full path of a file page's file; empty for every other page.
    virtual QString FileOfPage(int page) const = 0;
    virtual QString PageLabel(int page) const = 0;

    // Turns to the spread of `page`; `landed` runs once the leaves are down.
    virtual void FlipTo(int page, std::function<void()> landed = {}) = 0;
    virtual void Flip(int direction, int count) = 0;
    virtual void SetFlipSpeed(int speed) = 0;
    // Builds the book anew; `done` gets whether it was built once the build has ended (thumbnails
    // are made in the background, so that may be after Rebuild returns).
    virtual void Rebuild(std::function<void(bool built)> done = {}) = 0;
    virtual void DrawBook() = 0;
    // Runs `work` now, or after a running flip and the work waiting for it.
    virtual void AfterFlip(std::function<void()> work) = 0;
    virtual void RefreshToolBar() = 0;

    virtual PaintMode Mode() const = 0;
    virtual void SetMode(PaintMode mode) = 0;
    // The pointer's last position over the book (client x).
    virtual int PointerX() const = 0;

    virtual SelectionList &Selection() = 0;
    virtual Settings &Options() = 0;
    virtual Prompter &Prompt() = 0;
    virtual QWidget *ParentWidget() = 0;   // owner of the controllers' dialogs
    virtual QWidget *BookArea() = 0;       // the client area the book is drawn on
    virtual QString ProgramFolder() const = 0;
    // Where the program's own files are written: the program folder when it can be written, else a
    // per-user folder of the same layout.
    virtual QString DataFolder() const = 0;

    // The album folder and the commands that change its files.
    virtual QString AlbumFolder() const = 0;                      // "" when no album is open
    virtual void OpenFolderAsAlbum(const QString &folder) = 0;    // closes the album, opens `folder`
    virtual void DropThumbnail(const QString &path) = 0;          // the file changed or went
    virtual void RefreshRecentFolders() = 0;                      // drops folders that are gone
    // An album file was moved away or deleted: its bookmark and comment go.
    virtual void FileLeftAlbum(const QString &path) = 0;
};

// Connects a command: enabled from now on, and its handler waits for a running flip; the tool bar
// is brought up to date after it. The action is marked as built.
void ConnectCommand(BookContext &book, QAction *action, QObject *receiver, std::function<void()> handler,
                    bool enable = true);
// A command that has a handler (connected through ConnectCommand); others stay disabled.
bool CommandBuilt(const QAction *action);

} // namespace pagero
