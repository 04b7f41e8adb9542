#include "app/AlbumSession.h"
#include "core/book/MruList.h"
#include "core/common/FileNames.h"
#include <QDir>
#include <QFileInfo>
#include <memory>

namespace pagero {

namespace {
bool FolderExists(const QString &path) { return !path.isEmpty() && QFileInfo(path).isDir(); }
}

QString AlbumSession::StartFolder(const QStringList &args, const QStringList &mru, const QString &samples)
{
    if (args.size() == 1) {
        // A file path given on the command line opens its folder; a folder path opens itself.
        const QFileInfo info(args[0]);
        if (IsFolderPath(args[0])) return QDir::cleanPath(info.absoluteFilePath());
        return QDir::cleanPath(info.absolutePath());
    }
    if (args.size() == 2) return samples;
    return mru.isEmpty() ? QString() : mru.first();
}

bool AlbumSession::OpenFirstAlbum(const QStringList &argsIn, bool autoReopen, const QString &samples,
                                  const QString &defaultMask, OpenDone done)
{
    const auto fail = [&done] {
        if (done) done(false);
        return false;
    };
    QStringList args = argsIn;
    StartFile.clear();
    if (args.size() == 1) {
        // By the name's bytes: a file whose name is not UTF-8 exists though Qt cannot see it.
        if (!PathExists(args[0])) {
            host_.TellPathMissing(args[0]);
            args.clear();
        } else if (!IsFolderPath(args[0])) {
            StartFile = QFileInfo(args[0]).fileName();
        }
    }
    QString folder = samples;
    const QString start = StartFolder(args, MRUList ? *MRUList : QStringList(), samples);
    if (!start.isEmpty()) folder = start;
    if (args.size() != 1 && args.size() != 2 && !autoReopen) {
        for (;;) {
            QString picked;
            const auto choice = host_.ChooseFolder(folder, picked);
            if (choice == AlbumHost::Choice::AlreadyShowing) return fail();
            if (choice == AlbumHost::Choice::Picked) {
                folder = picked;
                break;
            }
            if (host_.AskExitInsteadOfOpening()) {
                host_.CloseWindow();
                return fail();
            }
        }
    }
    return OpenStartFolder(folder, samples, defaultMask, std::move(done));
}

bool AlbumSession::OpenStartFolder(const QString &folderIn, const QString &fallback,
                                   const QString &defaultMask, OpenDone done)
{
    const QString folder = FolderExists(folderIn) || !FolderExists(fallback) ? folderIn : fallback;
    AlbumFolder = folder;
    FilterMask = defaultMask;
    return OpenAlbum(folder, std::move(done));
}

bool AlbumSession::OpenAlbum(const QString &folderIn, OpenDone done)
{
    const auto fail = [&done] {
        if (done) done(false);
        return false;
    };
    QString folder = folderIn;
    AlbumOpen = false;
    while (!FolderExists(folder)) {
        host_.TellFolderMissing(folder);
        QString picked;
        const auto choice = host_.ChooseFolder(folder, picked);
        if (choice == AlbumHost::Choice::AlreadyShowing) return fail();
        if (choice == AlbumHost::Choice::Cancelled) {
            host_.CloseWindow();
            return fail();
        }
        folder = picked;
    }
    Opening = true;
    AlbumFolder = folder;
    host_.AlbumOpening(folder);
    // The build may end before BuildBook returns; `failed` tells the caller which way it went then.
    auto failed = std::make_shared<bool>(false);
    host_.BuildBook([this, folder, failed, done = std::move(done)](bool built) {
        if (!built) {   // the album stays closed; Opening stays set
            *failed = true;
            if (done) done(false);
            return;
        }
        RemoveFromMRU(folder);
        host_.AlbumOpened(folder);
        Opening = false;
        AlbumOpen = true;
        if (done) done(true);
    });
    return !*failed;
}

void AlbumSession::SwitchAlbum(const QString &folder, const QString &dialogMask, OpenDone done)
{
    if (AlbumOpen && folder != AlbumFolder) {
        CloseAlbum(2);
    } else if (folder == AlbumFolder && dialogMask == FilterMask) {
        host_.TellSameFolderAndMask();
        return;
    }
    AlbumFolder = folder;
    FilterMask = dialogMask;
    OpenAlbum(folder, std::move(done));
}

void AlbumSession::CloseAlbum(int direction)
{
    host_.AlbumClosing(direction);
    AddToMRU(AlbumFolder);
    AlbumOpen = false;
    host_.AlbumClosed();
}

void AlbumSession::AddToMRU(const QString &folder)
{
    if (!MRUList || folder.isEmpty()) return;
    pagero::AddToMRU(*MRUList, folder);
    RefreshMRU();
}

void AlbumSession::RemoveFromMRU(const QString &folder)
{
    if (!MRUList) return;
    pagero::RemoveFromMRU(*MRUList, folder);
    RefreshMRU();
}

void AlbumSession::RefreshMRU()
{
    if (MRUList) *MRUList = RefreshedMRU(*MRUList);
    host_.MruChanged();
}

} // namespace pagero
