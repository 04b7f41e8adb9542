#pragma once
// The album's open/switch/close sequencing and the recently-used folder list. The window supplies
// the steps that touch the book and the screen through AlbumHost; the order and the decisions live
// here so they can be tested without a window.
#include <QString>
#include <QStringList>
#include <functional>

namespace pagero {

class AlbumHost {
public:
    virtual ~AlbumHost() = default;
    enum class Choice { Picked, Cancelled, AlreadyShowing };
    // Shows the open-folder dialog preset with `preset`; on Picked, `folder` holds the choice.
    virtual Choice ChooseFolder(const QString &preset, QString &folder) = 0;
    virtual bool AskExitInsteadOfOpening() = 0;        // the "you must open a folder" question
    virtual void TellFolderMissing(const QString &folder) = 0;
    // A path named on the command line does not exist; the start goes on as without one.
    virtual void TellPathMissing(const QString &path) = 0;
    virtual void TellSameFolderAndMask() = 0;
    virtual void CloseWindow() = 0;
    // Opening: caption, bookmarks, selection cleared. BuildBook: page list and sections; `done`
    // gets whether the book was built, once, possibly after BuildBook has returned (thumbnails are
    // made in the background).
    virtual void AlbumOpening(const QString &folder) = 0;
    virtual void BuildBook(std::function<void(bool built)> done) = 0;
    // Opened: album name loaded, the closed book shown, the optional flip to the overview.
    virtual void AlbumOpened(const QString &folder) = 0;
    // Closing: the book flips shut towards `direction` and is cleared; the album's files are saved.
    virtual void AlbumClosing(int direction) = 0;
    virtual void AlbumClosed() = 0;
    virtual void MruChanged() = 0;
};

class AlbumSession {
public:
    // Told whether the album opened, when the opening has ended.
    using OpenDone = std::function<void(bool opened)>;

    explicit AlbumSession(AlbumHost &host) : host_(host) {}

    QString AlbumFolder;
    QString FilterMask;
    bool AlbumOpen = false;
    bool Opening = false;
    QStringList *MRUList = nullptr;   // the settings' list, most recent first
    // The file named on the command line ("Open With"), whose page the first album turns to; empty
    // when a folder or nothing was named. The window takes it once the album is open.
    QString StartFile;

    // The folder the first album comes from: one argument -> its folder part, two -> Samples,
    // otherwise the most recent folder (empty when there is none).
    static QString StartFolder(const QStringList &args, const QStringList &mru, const QString &samples);
    // The opening functions return false when the opening has failed already, true when the album
    // is open or its book is still being built; `done` tells the outcome in either case.
    // The whole first-album choice: command line, most recent folder, or the dialog until a folder
    // is picked. Fails when the window is to close or the open failed. A named path that does not
    // exist is told and the start goes on as with no argument.
    bool OpenFirstAlbum(const QStringList &args, bool autoReopen, const QString &samples,
                        const QString &defaultMask, OpenDone done = {});
    // Opens the first album from a folder already chosen: a folder that does not exist gives way to
    // `fallback` (the Samples album) when that exists, else it is told and the dialog asked; the
    // program's own folder never stands in for it. The mask becomes `defaultMask`.
    bool OpenStartFolder(const QString &folder, const QString &fallback, const QString &defaultMask,
                         OpenDone done = {});
    bool OpenAlbum(const QString &folder, OpenDone done = {});
    void SwitchAlbum(const QString &folder, const QString &dialogMask, OpenDone done = {});
    void CloseAlbum(int direction);

    void AddToMRU(const QString &folder);
    void RemoveFromMRU(const QString &folder);
    void RefreshMRU();                                // drops folders that no longer exist

private:
    AlbumHost &host_;
};

} // namespace pagero
