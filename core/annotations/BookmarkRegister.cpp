#include "core/annotations/BookmarkRegister.h"

#include "core/annotations/TextLines.h"
#include "core/common/AtomicFile.h"
#include "core/common/MyLib.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace pagero {

namespace {

constexpr qint64 kMaxRegisterBytes = 64 * 1024 * 1024;

// The last component of a folder path, ignoring trailing separators.
QString LastComponent(QString folder)
{
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/'))) folder.chop(1);
    return folder.mid(folder.lastIndexOf(QLatin1Char('/')) + 1);
}

// Only a plain name inside the bookmark folder may be deleted on the register's word; the register
// itself is never one of the album files.
bool IsDeletableName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'))
        && name.compare(QLatin1String(kBookmarkRegisterName), Qt::CaseInsensitive) != 0;
}

} // namespace

QString BookmarkRegister::RegisterPath() const
{
    return JoinPath(dir_, QLatin1String(kBookmarkRegisterName));
}

QString BookmarkRegister::CandidateName(const QString &albumFolder, int n)
{
    QString base = LastComponent(albumFolder);
    const qsizetype dot = base.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0) base.truncate(dot);
    return QStringLiteral("~bm") + base + (n > 0 ? QString::number(n) : QString()) + QStringLiteral(".~bm");
}

QStringList BookmarkRegister::ReadLines(bool *usable) const
{
    if (usable) *usable = true;
    QByteArray bytes;
    if (!ReadFileLimited(RegisterPath(), bytes, kMaxRegisterBytes + 1)) return {};
    if (bytes.size() > kMaxRegisterBytes) {
        // Not a register this program wrote; rewriting a cut copy of it would lose the rest.
        if (usable) *usable = false;
        return {};
    }
    QStringList lines = SplitTextLines(bytes);
    if (lines.size() % 2) lines.removeLast();
    return lines;
}

QString BookmarkRegister::BookmarkFileFor(const QString &albumFolder) const
{
    if (albumFolder.isEmpty() || albumFolder.contains(QLatin1Char('\r')) || albumFolder.contains(QLatin1Char('\n')))
        return QString();
    if (CreateFolder(dir_, 1, 0) == CreateFolderResult::Failed) return QString();
    bool usable = true;
    QStringList lines = ReadLines(&usable);
    if (!usable) return QString();
    for (qsizetype i = 0; i + 1 < lines.size(); i += 2) {
        if (lines[i].compare(albumFolder, Qt::CaseInsensitive) == 0) {
            // A damaged name line must not lead outside the folder; JoinPath keeps the name part.
            const QString name = lines[i + 1];
            return IsDeletableName(name) ? JoinPath(dir_, name) : QString();
        }
    }
    // A set of the names in use keeps the numbering linear however many albums share a base name.
    QSet<QString> used;
    for (qsizetype i = 1; i < lines.size(); i += 2) used.insert(lines[i].toCaseFolded());
    QString candidate = CandidateName(albumFolder);
    for (int n = 1; used.contains(candidate.toCaseFolded()); ++n) candidate = CandidateName(albumFolder, n);
    lines << albumFolder << candidate;
    if (!WriteFileAtomically(RegisterPath(), JoinTextLines(lines))) return QString();
    return JoinPath(dir_, candidate);
}

bool BookmarkRegister::Purge() const
{
    bool usable = true;
    const QStringList lines = ReadLines(&usable);
    if (!usable) return false;
    QStringList kept;
    kept.reserve(lines.size());
    for (qsizetype i = 0; i + 1 < lines.size(); i += 2) {
        if (!lines[i].isEmpty() && QFileInfo(lines[i]).isDir()) {
            kept << lines[i] << lines[i + 1];
            continue;
        }
        if (IsDeletableName(lines[i + 1])) DeleteFileSafe(JoinPath(dir_, lines[i + 1]));
    }
    if (kept.size() == lines.size()) return true;
    const QString path = RegisterPath();
    return WriteFileAtomically(path, JoinTextLines(kept));
}

bool BookmarkRegister::EmptyFolder() const
{
    if (dir_.isEmpty() || !QFileInfo(dir_).isDir()) return true;
    bool all = true;
    const QFileInfoList files =
        QDir(dir_).entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &fi : files) all = DeleteFileSafe(fi.filePath()) && all;
    return all;
}

} // namespace pagero
