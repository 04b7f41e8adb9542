#pragma once
// The folder and file commands of the main window: new folder, copy from, delete folder, and copy,
// move, rename and delete of the file on the left page, the right page or under the pointer. Each
// choice goes through the folder and file chooser; after a change the book is rebuilt and turns to
// the file concerned.
#include <QObject>
#include <QString>
#include <functional>

namespace pagero {

class BookContext;
class TOpenDlg;
struct MainMenus;

class FileCommands : public QObject {
public:
    // Called after a page file was renamed (newPath set) or deleted (newPath empty), so that the
    // album's bookmarks and comments follow it.
    using AnnotationHook = std::function<void(const QString &oldPath, const QString &newPath)>;

    // `popupFile` gives the file under the pop-up menu when it opened (empty: none).
    FileCommands(BookContext &book, const MainMenus &menus, TOpenDlg &dialog, std::function<QString()> popupFile,
                 AnnotationHook annotations, QObject *parent = nullptr);

    void NewFolder();
    void CopyFrom();
    void DeleteFolder();
    // The commands on one page file; a path that is not one of the album's pages does nothing.
    void CopyFile(const QString &path);
    void MoveFile(const QString &path);
    void RenameFile(const QString &path);
    void DeleteFile(const QString &path);

private:
    bool IsPageFile(const QString &path) const;
    // Rebuilds the book, then turns to the page of `path` (when it is a page of the album).
    void RebuildAndFlipTo(const QString &path);
    void RebuildAndReturnTo(int section, int position);

    BookContext &book_;
    const MainMenus &menus_;
    TOpenDlg &dialog_;
    std::function<QString()> popupFile_;
    AnnotationHook annotations_;
};

} // namespace pagero
