#pragma once
// Choosing the album: File > Open and the tool bar's open button, the recent-folder items, and
// View > Filter Pages (which file types the book shows). Every folder choice goes through one
// chooser: a scripted one when a test installed it, else the open-folder dialog.
#include "app/AlbumSession.h"
#include <QObject>
#include <QString>
#include <functional>

class QAction;
class QWidget;

namespace pagero {

class BookContext;
class TOpenDlg;
class TSetFileTypeFilter_Fm;
struct MainMenus;

// Answers the open-folder dialog in place of the user: true with `folder` set, false for Cancel.
using FolderChooserFn = std::function<bool(const QString &preset, QString &folder)>;

class FolderController : public QObject {
public:
    // `switchAlbum` opens another folder (waiting for a running build); `windowChooser` is the
    // window's own scripted chooser, consulted first when set.
    FolderController(BookContext &book, const MainMenus &menus, AlbumSession &session, QWidget *dialogParent,
                     std::function<void(const QString &)> switchAlbum, const FolderChooserFn *windowChooser);

    // The open-folder dialog preset with `preset`, for the opening steps of the album session.
    AlbumHost::Choice ChooseFolder(const QString &preset, QString &folder, bool terminating);
    // The album session's questions and messages about the folder to open.
    static bool AskExitInsteadOfOpening();
    static void TellFolderMissing(const QString &folder);
    static void TellPathMissing(const QString &path);
    static void TellSameFolderAndMask();
    // The recent-folder items show the settings' list.
    void ShowRecentFolders(const QStringList &mru);
    // The dialog starts at `folder` next time.
    void RememberFolder(const QString &folder);
    QString DialogMask() const;

    TOpenDlg *OpenDialog() const { return openDlg_; }
    TSetFileTypeFilter_Fm *FilterDialog() const { return filterDlg_; }

private:
    bool Pick(const QString &current, const QString &preset, QString &folder);
    void Open();
    void OpenRecent(QAction *item);
    void FilterPages();

    BookContext &book_;
    const MainMenus &menus_;
    AlbumSession &session_;
    std::function<void(const QString &)> switchAlbum_;
    const FolderChooserFn *windowChooser_;
    TOpenDlg *openDlg_;
    TSetFileTypeFilter_Fm *filterDlg_;
};

} // namespace pagero
