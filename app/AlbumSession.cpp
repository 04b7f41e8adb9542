#include "app/AlbumSession.h"
#include "core/book/MruList.h"
#include <QDir>
#include <QFileInfo>

namespace pagero {

namespace {
bool FolderExists(const QString &path) { return !path.isEmpty() && QFileInfo(path).isDir(); }
}

QString AlbumSession::StartFolder(const QStringList &args, const QStringList &mru, const QString &samples)
{
    if (args.size() == 1) {
        // A file path given on the command line opens its folder; a folder path opens itself.
        const QFileInfo info(args[0]);
        if (info.isDir()) return QDir::cleanPath(info.absoluteFilePath());
        return QDir::cleanPath(info.absolutePath());
    }
    if (args.size() == 2) return samples;
    return mru.isEmpty() ? QString() : mru.first();
}

bool AlbumSession::OpenFirstAlbum(const QStringList &args, bool autoReopen, const QString &samples,
                                  const QString &currentDir, const QString &defaultMask)
{
    QString folder = samples;
    const QString start = StartFolder(args, MRUList ? *MRUList : QStringList(), samples);
    if (!start.isEmpty()) folder = start;
    if (args.size() != 1 && args.size() != 2 && !autoReopen) {
        for (;;) {
            QString picked;
            const auto choice = host_.ChooseFolder(folder, picked);
            if (choice == AlbumHost::Choice::AlreadyShowing) return false;
            if (choice == AlbumHost::Choice::Picked) {
                folder = picked;
                break;
            }
            if (host_.AskExitInsteadOfOpening()) {
                host_.CloseWindow();
                return false;
            }
        }
    }
    return OpenStartFolder(folder, currentDir, defaultMask);
}

bool AlbumSession::OpenStartFolder(const QString &folderIn, const QString &currentDir,
                                   const QString &defaultMask)
{
    const QString folder = FolderExists(folderIn) ? folderIn : currentDir;
    AlbumFolder = folder;
    FilterMask = defaultMask;
    return OpenAlbum(folder);
}

bool AlbumSession::OpenAlbum(const QString &folderIn)
{
    QString folder = folderIn;
    AlbumOpen = false;
    while (!FolderExists(folder)) {
        host_.TellFolderMissing(folder);
        QString picked;
        const auto choice = host_.ChooseFolder(folder, picked);
        if (choice == AlbumHost::Choice::AlreadyShowing) return false;
        if (choice == AlbumHost::Choice::Cancelled) {
            host_.CloseWindow();
            return false;
        }
        folder = picked;
    }
    Opening = true;
    AlbumFolder = folder;
    host_.AlbumOpening(folder);
    if (!host_.BuildBook()) return false;   // the album stays closed; Opening stays set
    RemoveFromMRU(folder);
    host_.AlbumOpened(folder);
    Opening = false;
    AlbumOpen = true;
    return true;
}

void AlbumSession::SwitchAlbum(const QString &folder, const QString &dialogMask)
{
    if (AlbumOpen && folder != AlbumFolder) {
        CloseAlbum(2);
    } else if (folder == AlbumFolder && dialogMask == FilterMask) {
        host_.TellSameFolderAndMask();
        return;
    }
    AlbumFolder = folder;
    FilterMask = dialogMask;
    OpenAlbum(folder);
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
