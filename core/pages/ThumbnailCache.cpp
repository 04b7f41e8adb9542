#include "core/pages/ThumbnailCache.h"

#include "core/common/AtomicFile.h"
#include "core/common/FileNames.h"
#include "core/common/Log.h"
#include "core/common/MyLib.h"

#include <QDir>
#include <QFileInfo>

#include <charconv>

namespace pagero {

namespace {

// Index files larger than this, or with more lines, are treated as absent: hostile or broken files
// must not cost unbounded memory. The file index allows for a quarter of a million album files.
constexpr qint64 kMaxFolderIndexBytes = 4 * 1024 * 1024;
constexpr qint64 kMaxFolderIndexLines = 200000;
constexpr qint64 kMaxFileIndexBytes = 32 * 1024 * 1024;
constexpr qint64 kMaxFileIndexLines = 1000000;

bool Occupied(const QString &path)
{
    const QFileInfo fi(path);
    return fi.exists() || fi.isSymLink();
}

bool ReadIndex(const QString &path, qint64 maxBytes, qint64 maxLines, QStringList &lines, QByteArray *raw = nullptr)
{
    lines.clear();
    QByteArray bytes;
    if (!ReadFileLimited(path, bytes, maxBytes + 1)) return false;
    if (raw) *raw = bytes;
    if (bytes.size() > maxBytes) return false;
    if (bytes.count('\n') + bytes.count('\r') > 2 * maxLines) return false;
    lines = ThumbnailCache::SplitLines(bytes);
    if (lines.size() > maxLines) {
        lines.clear();
        return false;
    }
    return true;
}

bool IsReservedName(const QString &name)
{
    return name.compare(QLatin1String(kFileIndexName), Qt::CaseInsensitive) == 0
        || name.compare(QLatin1String(kFolderIndexName), Qt::CaseInsensitive) == 0
        || name.compare(QLatin1String(kFitRuleMarkerName), Qt::CaseInsensitive) == 0;
}

QString JoinName(const QString &folder, const QString &name)
{
    if (folder.endsWith(QLatin1Char('/'))) return folder + name;
    return folder + QLatin1Char('/') + name;
}

// The album's files are read through these accessors only.
const QString &FolderOf(const AlbumFiles &files) { return files.folder; }
const QString &NameOf(const AlbumFiles &files, int i) { return files.NameAt(i); }

// What the cache itself leaves in an album's subfolder that may go when no index line names it: its
// bitmaps and the temporary files of writes a crash interrupted.
bool IsCacheLeftover(const QString &name)
{
    if (name.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive)) return true;
    return name.endsWith(QLatin1String(".tmp"))
        && (name.contains(QLatin1String(".bmp."), Qt::CaseInsensitive) || name.startsWith(QLatin1String(kFileIndexName) + QLatin1Char('.')));
}

// Whether a line of the file index can name a file of the album folder at all.
bool IsPlainFileName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

bool MadeByCurrentFitRule(const QString &cacheRoot)
{
    QByteArray marker;
    return ReadFileLimited(JoinName(cacheRoot, QLatin1String(kFitRuleMarkerName)), marker, 64)
        && marker == kFitRuleMarkerContent;
}

// Whether an index line is exactly the decimal text of `value`, as the index stores ages and sizes
// (so "007" is not 7 and gets rewritten). Compared without making a string per entry.
bool IsDecimalOf(const QString &line, qint64 value)
{
    char digits[24];
    const std::to_chars_result r = std::to_chars(digits, digits + sizeof digits, value);
    return line == QLatin1String(digits, int(r.ptr - digits));
}

} // namespace

QByteArray ThumbnailCache::JoinLines(const QStringList &lines)
{
    QByteArray out;
    for (const QString &line : lines) {
        out += EncodeFileName(line);   // names as the file system gives them
        out += "\r\n";
    }
    return out;
}

QStringList ThumbnailCache::SplitLines(const QByteArray &bytes)
{
    // As a string list loads a text file: CR LF, LF or CR end a line; a last line without an end
    // counts, a final line end does not start another line.
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes.at(i);
        if (c != '\r' && c != '\n') continue;
        lines.append(DecodeFileName(QByteArray(bytes.constData() + start, i - start)));
        if (c == '\r' && i + 1 < n && bytes.at(i + 1) == '\n') ++i;
        start = i + 1;
    }
    if (start < n) lines.append(DecodeFileName(QByteArray(bytes.constData() + start, n - start)));
    return lines;
}

QString ThumbnailCache::SafeComponent(const QString &line)
{
    const qsizetype cut = std::max({line.lastIndexOf(QLatin1Char('/')), line.lastIndexOf(QLatin1Char('\\')),
                                    line.lastIndexOf(QLatin1Char(':'))});
    const QString name = line.mid(cut + 1);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") || name.contains(QChar(0)))
        return QString();
    return name;
}

QString ThumbnailCache::SubfolderNameFor(const QString &albumFolder)
{
    QString folder = albumFolder;
    while (folder.size() > 1 && (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\'))))
        folder.chop(1);
    const qsizetype cut = std::max({folder.lastIndexOf(QLatin1Char('/')), folder.lastIndexOf(QLatin1Char('\\')),
                                    folder.lastIndexOf(QLatin1Char(':'))});
    return QStringLiteral("ov") + WithoutRawBytes(folder.mid(cut + 1));   // a plain name of its own
}

QString ThumbnailCache::ThumbnailNameFor(const QString &fileName)
{
    QString name = fileName;
    name.replace(QLatin1Char('.'), QLatin1Char('-'));
    // The bitmap's own name is plain text: bytes of the file name that are not UTF-8 become "_".
    name = WithoutRawBytes(name);
    return name + QStringLiteral(".bmp");
}

// ---------------------------------------------------------------------------------------------
// Folder index

bool ThumbnailCache::OpenFolderCache(const QString &albumFolder)
{
    albumCacheDir_.clear();
    // The cache root is the program's own folder for thumbnails; never work on "" or "/".
    if (cacheRoot_.isEmpty() || QFileInfo(cacheRoot_).canonicalFilePath() == QLatin1String("/")) return false;

    if (!QFileInfo(cacheRoot_).isDir()) QDir().mkpath(cacheRoot_);
    const QString candidate = JoinName(cacheRoot_, SubfolderNameFor(albumFolder));
    const QString indexPath = JoinName(cacheRoot_, QLatin1String(kFolderIndexName));

    QString subfolder;
    const bool indexRead = QFileInfo(indexPath).isFile() && MadeByCurrentFitRule(cacheRoot_)
        && ReadIndex(indexPath, kMaxFolderIndexBytes, kMaxFolderIndexLines, folderList_);
    if (indexRead) {
        // The first pair naming this album exactly wins. A pair that differs only in letter case
        // counts too, unless its folder exists as a folder of its own (a different album here).
        int caseMatch = -1;
        for (int k = 0; k + 1 < folderList_.size(); k += 2) {
            const QString name = SafeComponent(folderList_.at(k + 1));
            if (name.isEmpty() || IsReservedName(name)) continue;
            if (folderList_.at(k) == albumFolder) {
                subfolder = JoinName(cacheRoot_, name);
                break;
            }
            if (caseMatch < 0 && folderList_.at(k).toUpper() == albumFolder.toUpper()
                && !QFileInfo(folderList_.at(k)).isDir())
                caseMatch = k;
        }
        if (subfolder.isEmpty() && caseMatch >= 0)
            subfolder = JoinName(cacheRoot_, SafeComponent(folderList_.at(caseMatch + 1)));
    } else {
        if (QFileInfo(cacheRoot_).isDir()) DeleteFolderTree(cacheRoot_);
        CreateFolder(cacheRoot_);
        if (!QFileInfo(cacheRoot_).isDir()) return false;
        if (!WriteFileAtomically(indexPath, QByteArray())) return false;
        if (!WriteFileAtomically(JoinName(cacheRoot_, QLatin1String(kFitRuleMarkerName)), kFitRuleMarkerContent))
            return false;
        folderList_.clear();
    }

    if (subfolder.isEmpty()) {
        // A dangling last line would shift every later pair by one.
        if (folderList_.size() % 2 != 0) folderList_.removeLast();
        QSet<QString> taken;
        for (int k = 1; k < folderList_.size(); k += 2) taken.insert(SafeComponent(folderList_.at(k)).toUpper());
        // Free as a folder on disk and not promised to another album whose folder is gone.
        subfolder = candidate;
        for (qint64 n = 1; Occupied(subfolder) || taken.contains(QFileInfo(subfolder).fileName().toUpper()); ++n)
            subfolder = candidate + QLatin1Char('_') + QString::number(n);
        folderList_.append(albumFolder);
        folderList_.append(QFileInfo(subfolder).fileName());
        if (!WriteFileAtomically(indexPath, JoinLines(folderList_))) return false;
    }

    albumCacheDir_ = subfolder;
    if (!QFileInfo(subfolder).isDir()) {
        CreateFolder(subfolder);
        return QFileInfo(subfolder).isDir();
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// File index

void ThumbnailCache::Reset()
{
    albumCacheDir_.clear();
    folderList_.clear();
    fileCacheList_.clear();
    album_ = AlbumFiles();
    exactEntry_.clear();
    foldedEntry_.clear();
    albumNames_.clear();
    usedThumbnailNames_.clear();
    onDisk_.clear();
    nextSuffix_.clear();
    indexOnDisk_.clear();
    uncommitted_ = false;
}

void ThumbnailCache::addEntryToIndex(int line)
{
    const QString &name = fileCacheList_.at(line);
    if (!exactEntry_.contains(name)) exactEntry_.insert(name, line);
    foldedEntry_[name.toUpper()].append(line);
}

void ThumbnailCache::rebuildEntryIndex()
{
    exactEntry_.clear();
    foldedEntry_.clear();
    for (int k = 0; k + 3 < fileCacheList_.size(); k += 4) addEntryToIndex(k);
}

int ThumbnailCache::findEntry(const QString &name) const
{
    const int exact = exactEntry_.value(name, -1);
    if (exact >= 0) return exact;
    // Letter case is ignored, but an entry named exactly like another file of the album belongs
    // to that file (two names that differ only in case are two files here).
    const auto it = foldedEntry_.constFind(name.toUpper());
    if (it == foldedEntry_.constEnd()) return -1;
    for (int line : *it)
        if (!albumNames_.contains(fileCacheList_.at(line))) return line;
    return -1;
}

QString ThumbnailCache::freeThumbnailName(const QString &fileName)
{
    // The bitmap name of the naming rule, or its first "_1", "_2", ... form that is neither on disk
    // nor promised to another entry whose bitmap is still to be made. The numbering of a stem goes
    // on where it stopped, so many equal names cost one pass, not one per name.
    const auto taken = [this](const QString &name) {
        return usedThumbnailNames_.contains(name.toUpper()) || onDisk_.contains(name);
    };
    const QString base = ThumbnailNameFor(fileName);
    if (!taken(base)) return base;
    const QString stem = base.left(base.size() - 4);
    qint64 &next = nextSuffix_[stem.toUpper()];
    QString name;
    do {
        name = stem + QLatin1Char('_') + QString::number(std::max<qint64>(1, next)) + QStringLiteral(".bmp");
        next = std::max<qint64>(1, next) + 1;
    } while (taken(name));
    return name;
}

void ThumbnailCache::removeUnnamedBitmaps()
{
    QSet<QString> named;
    named.reserve(fileCacheList_.size() / 4);
    for (int k = 3; k < fileCacheList_.size(); k += 4) named.insert(fileCacheList_.at(k));
    const QStringList present(onDisk_.cbegin(), onDisk_.cend());
    for (const QString &name : present) {
        if (named.contains(name) || IsReservedName(name) || !IsCacheLeftover(name)) continue;
        const QString path = JoinName(albumCacheDir_, name);
        const QFileInfo fi(path);
        if ((fi.isFile() || fi.isSymLink()) && QFile::remove(path)) onDisk_.remove(name);
    }
}

void ThumbnailCache::normaliseFileCacheList()
{
    // Only whole quadruples count.
    fileCacheList_.resize(fileCacheList_.size() - fileCacheList_.size() % 4);
    usedThumbnailNames_.clear();
    QList<int> toRename;
    for (int k = 0; k < fileCacheList_.size(); k += 4) {
        const QString thumb = SafeComponent(fileCacheList_.at(k + 3));
        if (thumb.isEmpty() || IsReservedName(thumb) || usedThumbnailNames_.contains(thumb.toUpper())) {
            toRename.append(k);
            continue;
        }
        fileCacheList_[k + 3] = thumb;
        usedThumbnailNames_.insert(thumb.toUpper());
    }
    // Entries whose bitmap name led elsewhere, or was another entry's, get a fresh name of their own.
    for (int k : toRename) {
        const QString thumb = freeThumbnailName(SafeComponent(fileCacheList_.at(k)));
        fileCacheList_[k + 3] = thumb;
        usedThumbnailNames_.insert(thumb.toUpper());
    }
}

bool ThumbnailCache::writeFileIndex()
{
    // Only entries whose bitmap is on disk; the others join once their bitmap is made and synced.
    QStringList complete;
    complete.reserve(fileCacheList_.size());
    for (int k = 0; k + 3 < fileCacheList_.size(); k += 4)
        if (onDisk_.contains(fileCacheList_.at(k + 3)))
            for (int l = 0; l < 4; ++l) complete.append(fileCacheList_.at(k + l));
    const QByteArray bytes = JoinLines(complete);
    if (bytes == indexOnDisk_) return true;
    if (!WriteFileAtomically(JoinName(albumCacheDir_, QLatin1String(kFileIndexName)), bytes)) return false;
    indexOnDisk_ = bytes;
    return true;
}

void ThumbnailCache::ThumbnailWritten(const QString &thumbPath)
{
    onDisk_.insert(QFileInfo(thumbPath).fileName());
    uncommitted_ = true;
}

bool ThumbnailCache::CommitThumbnails()
{
    if (!uncommitted_ || albumCacheDir_.isEmpty()) return true;
    uncommitted_ = false;
    // The bitmaps reach the disk before any index line names them.
    return SyncFileSystemOf(albumCacheDir_) && writeFileIndex();
}

bool ThumbnailCache::SyncFileCache(const AlbumFiles &files)
{
    album_ = files;
    albumNames_.clear();
    for (int i = 0; i < files.Count(); ++i) albumNames_.insert(NameOf(files, i));
    exactEntry_.clear();
    foldedEntry_.clear();
    nextSuffix_.clear();
    uncommitted_ = false;
    if (albumCacheDir_.isEmpty()) return false;

    const QString indexPath = JoinName(albumCacheDir_, QLatin1String(kFileIndexName));
    const bool indexRead = QFileInfo(indexPath).isFile()
        && ReadIndex(indexPath, kMaxFileIndexBytes, kMaxFileIndexLines, fileCacheList_, &indexOnDisk_);
    if (!indexRead) {
        if (QFileInfo(albumCacheDir_).isDir()) DeleteFolderTree(albumCacheDir_);
        CreateFolder(albumCacheDir_);
        if (!QFileInfo(albumCacheDir_).isDir()) return false;
        if (!WriteFileAtomically(indexPath, QByteArray())) return false;
        fileCacheList_.clear();
        indexOnDisk_.clear();
    }
    // One listing of the subfolder serves every name probe below.
    const QStringList entries = QDir(albumCacheDir_).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                                               | QDir::NoDotAndDotDot);
    onDisk_ = QSet<QString>(entries.cbegin(), entries.cend());
    normaliseFileCacheList();

    // Purge the entries of files that are gone, with their bitmaps.
    QStringList kept;
    kept.reserve(fileCacheList_.size());
    for (int k = 0; k + 3 < fileCacheList_.size(); k += 4) {
        const QString &name = fileCacheList_.at(k);
        if (IsPlainFileName(name) && QFileInfo(JoinName(FolderOf(files), name)).isFile()) {
            for (int l = 0; l < 4; ++l) kept.append(fileCacheList_.at(k + l));
            continue;
        }
        DeleteFileSafe(JoinName(albumCacheDir_, fileCacheList_.at(k + 3)));
        onDisk_.remove(fileCacheList_.at(k + 3));
        usedThumbnailNames_.remove(fileCacheList_.at(k + 3).toUpper());
    }
    fileCacheList_ = kept;
    rebuildEntryIndex();
    // Bitmaps no entry names (left by a damaged or edited index, or a crash) would stay for good and
    // push new bitmaps to "_1" names.
    removeUnnamedBitmaps();
    nextSuffix_.clear();

    // Update: a changed age or size makes the bitmap stale (it is made again under the same name);
    // a new file gets an entry.
    for (int i = 0; i < files.Count(); ++i) {
        const PageEntry &entry = files.At(i);
        const QString &name = entry.name;
        const int j = findEntry(name);
        if (j >= 0) {
            if (!IsDecimalOf(fileCacheList_.at(j + 1), entry.date) || !IsDecimalOf(fileCacheList_.at(j + 2), entry.size)) {
                const QString stale = JoinName(albumCacheDir_, fileCacheList_.at(j + 3));
                if (!DeleteFileSafe(stale)) qCWarning(lcCore) << "cannot delete stale thumbnail" << stale;
                onDisk_.remove(fileCacheList_.at(j + 3));
                fileCacheList_[j + 1] = QString::number(entry.date);
                fileCacheList_[j + 2] = QString::number(entry.size);
            }
            continue;
        }
        // A name with a line break cannot be kept in a file of lines: it would shift every later
        // entry. Such a file gets no cache entry (and so no thumbnail).
        if (name.contains(QLatin1Char('\n')) || name.contains(QLatin1Char('\r'))) continue;
        const QString thumb = freeThumbnailName(name);
        const int line = int(fileCacheList_.size());
        fileCacheList_ << name << QString::number(entry.date) << QString::number(entry.size) << thumb;
        usedThumbnailNames_.insert(thumb.toUpper());
        addEntryToIndex(line);
    }
    return writeFileIndex();
}

QString ThumbnailCache::ThumbnailPath(int i) const
{
    if (i < 0 || i >= album_.Count() || albumCacheDir_.isEmpty()) return QString();
    const int j = findEntry(NameOf(album_, i));
    if (j < 0) return QString();
    return JoinName(albumCacheDir_, fileCacheList_.at(j + 3));
}

bool ThumbnailCache::DropThumbnail(const QString &fullPath)
{
    int found = -1;
    for (int i = 0; i < album_.Count() && found < 0; ++i)
        if (JoinName(FolderOf(album_), NameOf(album_, i)) == fullPath) found = i;
    const QString upper = fullPath.toUpper();
    for (int i = 0; i < album_.Count() && found < 0; ++i)
        if (JoinName(FolderOf(album_), NameOf(album_, i)).toUpper() == upper) found = i;
    if (found < 0) return false;
    const QString thumb = ThumbnailPath(found);
    if (thumb.isEmpty() || !QFileInfo(thumb).isFile()) return false;
    if (!DeleteFileSafe(thumb)) return false;
    onDisk_.remove(QFileInfo(thumb).fileName());
    return true;
}

bool ThumbnailCache::EmptyCache()
{
    const bool ok = cacheRoot_.isEmpty() || QFileInfo(cacheRoot_).canonicalFilePath() == QLatin1String("/")
        ? false
        : DeleteFolderTree(cacheRoot_);
    const QString root = cacheRoot_;
    Reset();
    cacheRoot_ = root;
    return ok;
}

} // namespace pagero
