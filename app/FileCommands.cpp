#include "app/FileCommands.h"

#include "app/BookContext.h"
#include "app/MainMenus.h"
#include "commands/OrvOpenDlg.h"
#include "common/OrvMyLib.h"
#include "core/book/BookLayout.h"
#include "core/book/FlipState.h"
#include "core/book/PageList.h"
#include "core/book/Settings.h"
#include "core/common/MyLib.h"
#include "platform/Prompter.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <algorithm>

namespace pagero {

namespace {

bool SameFolder(const QString &a, const QString &b)
{
    return !a.isEmpty() && !b.isEmpty() && QDir::cleanPath(a) == QDir::cleanPath(b);
}

} // namespace

FileCommands::FileCommands(BookContext &book, const MainMenus &menus, TOpenDlg &dialog,
                           std::function<QString()> popupFile, AnnotationHook annotations, QObject *parent)
    : QObject(parent), book_(book), menus_(menus), dialog_(dialog), popupFile_(std::move(popupFile)),
      annotations_(std::move(annotations))
{
    const MainActions &a = menus.actions;
    ConnectCommand(book_, a.NewFolder1, this, [this] { NewFolder(); });
    ConnectCommand(book_, a.NewImg, this, [this] { NewFolder(); });
    ConnectCommand(book_, a.Import1, this, [this] { CopyFrom(); });
    ConnectCommand(book_, a.CopyFromImg, this, [this] { CopyFrom(); });
    ConnectCommand(book_, a.DeleteFolder1, this, [this] { DeleteFolder(); });

    const auto left = [this] { return book_.FileOfPage(book_.Spread().LeftPageNo); };
    const auto right = [this] { return book_.FileOfPage(book_.Spread().RightPageNo); };
    const auto popup = [this] { return popupFile_ ? popupFile_() : QString(); };
    using Command = void (FileCommands::*)(const QString &);
    const struct { QAction *leftItem, *rightItem, *popupItem; Command command; } pageCommands[] = {
        {a.CopyLeftPageFileAs1, a.CopyRightPageFileAs1, a.btnCopyto1, &FileCommands::CopyFile},
        {a.MoveLeftpagefileas1, a.MoveRightpagefileas1, a.btnMoveto1, &FileCommands::MoveFile},
        {a.RenameLeftPageImageFile1, a.RenameRightPageImageFile1, a.btnRename1, &FileCommands::RenameFile},
        {a.DeleteLeftPageFile1, a.DeleteRightPageFile1, a.btnDelete1, &FileCommands::DeleteFile},
    };
    // Enabled by the command availability when their menu opens, for the pages then showing files.
    for (const auto &c : pageCommands) {
        const Command command = c.command;
        ConnectCommand(book_, c.leftItem, this, [=, this] { (this->*command)(left()); }, false);
        ConnectCommand(book_, c.rightItem, this, [=, this] { (this->*command)(right()); }, false);
        ConnectCommand(book_, c.popupItem, this, [=, this] { (this->*command)(popup()); }, false);
    }
}

bool FileCommands::IsPageFile(const QString &path) const
{
    return !path.isEmpty() && book_.AlbumOpen() && book_.Pages().IndexOfPath(path) >= 0;
}

void FileCommands::RebuildAndFlipTo(const QString &path)
{
    book_.Rebuild([this, path](bool built) {
        if (!built) return;
        book_.DrawBook();
        const int entry = book_.Pages().IndexOfPath(path);
        if (entry >= 0) book_.FlipTo(book_.Sections().FirstFilePage + entry);
    });
}

void FileCommands::RebuildAndReturnTo(int section, int position)
{
    book_.Rebuild([this, section, position](bool built) {
        if (!built) return;
        book_.DrawBook();
        const int page = book_.Sections().SectionToPage(section, position);
        if (page >= 0) book_.FlipTo(std::min(page, book_.Spread().LastPageNo));
    });
}

void FileCommands::NewFolder()
{
    dialog_.CurrentFolder = book_.AlbumFolder();
    if (dialog_.ExecuteMode(TOpenDlg::NewFolder, true)) book_.OpenFolderAsAlbum(dialog_.NewFolderPath);
}

void FileCommands::CopyFrom()
{
    if (!book_.AlbumOpen()) return;
    dialog_.CurrentFolder = book_.AlbumFolder();
    if (!dialog_.ExecuteMode(TOpenDlg::CopyFrom, true)) return;
    book_.DropThumbnail(dialog_.SelectedPath);   // a file it replaced may have had one
    RebuildAndFlipTo(dialog_.SelectedPath);
}

void FileCommands::CopyFile(const QString &path)
{
    if (!IsPageFile(path)) return;
    const QString album = book_.AlbumFolder();
    dialog_.SetFolder(album);
    dialog_.CurrentFolder = album;
    dialog_.SourceFile = path;
    if (!dialog_.ExecuteMode(TOpenDlg::CopyTo, true)) return;
    if (!SameFolder(dialog_.ChosenFolder(), album)) return;
    book_.DropThumbnail(dialog_.SelectedPath);
    RebuildAndFlipTo(dialog_.SelectedPath);
}

void FileCommands::MoveFile(const QString &path)
{
    if (!IsPageFile(path)) return;
    const QString album = book_.AlbumFolder();
    const BookLayout::Position shown = book_.Sections().PageToSection(book_.Spread().LeftPageNo);
    dialog_.SetFolder(album);
    dialog_.CurrentFolder = album;
    dialog_.SourceFile = path;
    if (!dialog_.ExecuteMode(TOpenDlg::MoveTo, true)) return;
    const QString moved = dialog_.SelectedPath;
    if (SameFolder(dialog_.ChosenFolder(), album)) {
        if (annotations_) annotations_(path, moved);   // renamed within the album
        book_.DropThumbnail(moved);
        RebuildAndFlipTo(moved);
    } else {
        book_.DropThumbnail(path);
        RebuildAndReturnTo(shown.kind, shown.position);
    }
}

void FileCommands::RenameFile(const QString &path)
{
    if (!IsPageFile(path)) return;
    dialog_.SetFolder(book_.AlbumFolder());
    dialog_.CurrentFolder = book_.AlbumFolder();
    dialog_.SourceFile = path;
    if (!dialog_.ExecuteMode(TOpenDlg::RenameFile, true)) return;
    if (annotations_) annotations_(path, dialog_.SelectedPath);
    book_.DropThumbnail(path);
    book_.Rebuild([this](bool built) {
        if (built) book_.DrawBook();
    });
}

void FileCommands::DeleteFile(const QString &path)
{
    if (!IsPageFile(path)) return;
    if (!DeleteImageFileShown(path)) return;
    book_.DropThumbnail(path);
    if (annotations_) annotations_(path, QString());
    // The page goes at once rather than showing a missing file until the next refresh.
    book_.Rebuild([this](bool built) {
        if (built) book_.DrawBook();
    });
}

void FileCommands::DeleteFolder()
{
    const QString album = book_.AlbumFolder();
    if (!album.isEmpty()) dialog_.SetFolder(album);
    dialog_.CurrentFolder = album;
    const bool deleted = dialog_.ExecuteMode(TOpenDlg::DeleteFolder, true);
    book_.RefreshRecentFolders();
    if (!deleted || album.isEmpty() || QFileInfo(album).isDir()) {
        book_.DrawBook();
        return;
    }
    book_.Prompt().Inform(album + "\r\nwas deleted successfully.\r\n\r\n"
                                  "Pagero will now open the most recently opened folder...");
    // The most recent folder that still exists, else the Samples album of the program folder.
    QString next = JoinPath(book_.ProgramFolder(), QStringLiteral("Samples"));
    for (const QString &folder : book_.Options().MRUList) {
        if (!SameFolder(folder, album) && QFileInfo(folder).isDir()) {
            next = folder;
            break;
        }
    }
    if (!next.isEmpty()) book_.OpenFolderAsAlbum(next);
}

} // namespace pagero
