#include "core/annotations/AlbumFolderFiles.h"

#include "core/annotations/TextLines.h"
#include "core/common/AtomicFile.h"
#include "core/common/MyLib.h"

#include <QFile>
#include <QFileInfo>

namespace pagero {

namespace {

constexpr qint64 kMaxNameBytes = 64 * 1024;

QString LastComponent(QString folder)
{
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/'))) folder.chop(1);
    return folder.mid(folder.lastIndexOf(QLatin1Char('/')) + 1);
}

// Writes `bytes` unless the file already holds exactly them, or is missing and `sameAsAbsent` says
// its absence means the same thing.
bool WriteIfChanged(const QString &path, const QByteArray &bytes, bool sameAsAbsent)
{
    // A folder that has gone holds nothing, which is fine when nothing is to be kept.
    if (path.isEmpty()) return sameAsAbsent;
    const QFileInfo fi(path);
    if (!fi.exists() && sameAsAbsent) return true;
    QByteArray onDisk;
    if (fi.isFile() && fi.size() == bytes.size() && ReadFileLimited(path, onDisk, bytes.size() + 1)
        && onDisk == bytes)
        return true;
    return WriteFileAtomically(path, bytes);
}

// A line of the name file cannot hold a line break: it would turn two lines into three.
QString OneLine(QString line)
{
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return line;
}

} // namespace

QStringList DefaultAlbumName(const QString &albumFolder)
{
    return {QStringLiteral("Folder Name"), LastComponent(albumFolder).toUpper()};
}

QStringList ReadAlbumName(const QString &albumFolder)
{
    QByteArray bytes;
    const QString path = JoinPath(albumFolder, QLatin1String(kAlbumNameFileName));
    if (ReadFileLimited(path, bytes, kMaxNameBytes + 1) && bytes.size() <= kMaxNameBytes) {
        const QStringList lines = SplitTextLines(bytes);
        if (lines.size() == 2) return lines;
    }
    return DefaultAlbumName(albumFolder);
}

bool CanWriteFolder(const QString &albumFolder)
{
    const QString path = JoinPath(albumFolder, QLatin1String(kWriteTestFileName));
    if (path.isEmpty()) return false;
    QFile probe(path);
    if (!probe.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    probe.close();
    probe.remove();
    return true;
}

void AlbumFolderFiles::Load(const QString &albumFolder, bool screenSaverMode)
{
    AlbumNameLines = ReadAlbumName(albumFolder);
    const QString commentPath = JoinPath(albumFolder, QLatin1String(kCommentFileName));
    CommentsUnreadable = Comments.LoadFile(commentPath) == CommentStore::LoadResult::Unreadable;
    Writable = !screenSaverMode && CanWriteFolder(albumFolder);
}

bool AlbumFolderFiles::Save(const QString &albumFolder, bool screenSaverMode, QString *failedPath) const
{
    if (screenSaverMode) return true;
    const auto failed = [failedPath](const QString &path) {
        if (failedPath && failedPath->isEmpty()) *failedPath = path;
        return false;
    };
    QStringList name = AlbumNameLines;
    if (name.size() != 2) name = DefaultAlbumName(albumFolder);
    for (QString &line : name) line = OneLine(line);
    const QString namePath = JoinPath(albumFolder, QLatin1String(kAlbumNameFileName));
    bool ok = WriteIfChanged(namePath, JoinTextLines(name), name == DefaultAlbumName(albumFolder))
        || failed(namePath);
    const QString commentPath = JoinPath(albumFolder, QLatin1String(kCommentFileName));
    if (CommentsUnreadable) {
        // Comments made since cannot be kept without losing the file's own: that is a failure.
        if (!Comments.Lines().isEmpty()) ok = failed(commentPath);
    } else if (!WriteIfChanged(commentPath, Comments.Bytes(), Comments.Lines().isEmpty())) {
        ok = failed(commentPath);
    }
    return ok;
}

} // namespace pagero
