#pragma once
// The thumbnail cache on disk. The cache root holds "~ovFolders.~ov" (pairs of lines: album folder,
// name of its cache subfolder); each subfolder holds "~ovFiles.~ov" (quadruples of lines: file name,
// file age, file size, name of the cached bitmap) and the 16-bit bitmaps themselves. Lines end with
// CR LF. Both index files are rewritten whole and atomically.
//
// Names read from the index files are reduced to their last path component; names that still could
// not be a file of the cache folder ("", ".", "..", the index files) are ignored or replaced, so no
// line ever leads outside the cache.
#include "core/common/AtomicFile.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

namespace pagero {

inline const char *const kFolderIndexName = "~ovFolders.~ov";
inline const char *const kFileIndexName = "~ovFiles.~ov";
// Marks a cache root whose bitmaps were made by the current fitting rule (proportions kept). A root
// without it, or with other content, holds bitmaps of the old rule (large pictures squeezed into the
// whole box): it is emptied once and made again.
inline const char *const kFitRuleMarkerName = "~ovVersion.~ov";
inline constexpr char kFitRuleMarkerContent[] = "2\r\n";

// The album's files as the page list holds them: names (without folder), ages and sizes as decimal
// text, in page order.
struct AlbumFiles {
    QString folder;
    QStringList names;
    QStringList ages;
    QStringList sizes;
    int Count() const { return int(names.size()); }
};

class ThumbnailCache {
public:
    void SetCacheRoot(const QString &root) { cacheRoot_ = root; }
    QString CacheRoot() const { return cacheRoot_; }
    QString AlbumCacheDir() const { return albumCacheDir_; }
    const QStringList &FolderList() const { return folderList_; }
    const QStringList &FileCacheList() const { return fileCacheList_; }

    // Finds or creates the album's cache subfolder (and the cache root and its folder index when
    // missing). False when a folder or the index cannot be created: the album must not open.
    bool OpenFolderCache(const QString &albumFolder);
    // Reads the album's file index, drops the entries of files that are gone (with their bitmaps),
    // removes bitmaps of the subfolder that no entry names, invalidates the bitmaps of files whose
    // age or size changed and adds entries for new files. Call after OpenFolderCache.
    //
    // The index on disk names only bitmaps that are complete on disk: entries whose bitmap is still
    // to be made are left out of it until CommitThumbnails. After a crash the bitmaps they name may
    // be missing or truncated; they are then named by no line, removed at the next opening and made
    // again. False when the index cannot be written.
    bool SyncFileCache(const AlbumFiles &files);
    // A bitmap was written (without a sync) at `thumbPath`, the path ThumbnailPath gave.
    void ThumbnailWritten(const QString &thumbPath);
    // Once per build: one sync of the cache's file system, then the index with the new bitmaps'
    // entries, written durably. Does nothing when no bitmap was written; false on a failure (the
    // entries then stay out of the index, and their bitmaps are made again next time).
    bool CommitThumbnails();

    // Full path of the cached bitmap of album entry i, "" when it has no cache entry.
    QString ThumbnailPath(int i) const;
    // Deletes the cached bitmap of the album file at `fullPath` (the cache lines stay, so the next
    // build makes it again). True when a bitmap was deleted.
    bool DropThumbnail(const QString &fullPath);
    // Deletes the whole cache root with everything in it.
    bool EmptyCache();
    // Forgets the album (after the cache root was emptied).
    void Reset();

    // Naming rules.
    static QString SubfolderNameFor(const QString &albumFolder);   // "ov" + last component
    static QString ThumbnailNameFor(const QString &fileName);      // "a.b.jpg" -> "a-b-jpg.bmp"
    // The text after the last "/", "\" or ":"; "" when that is no usable name of a folder entry.
    static QString SafeComponent(const QString &line);

    // The index files' byte layout: CR LF after every line. Parsing accepts CR LF, LF or CR.
    static QByteArray JoinLines(const QStringList &lines);
    static QStringList SplitLines(const QByteArray &bytes);

private:
    int findEntry(const QString &name) const;   // line of the entry's name, -1 when none
    void rebuildEntryIndex();
    void addEntryToIndex(int line);
    void normaliseFileCacheList();   // whole quadruples, bitmap names of their own inside the folder
    QString freeThumbnailName(const QString &fileName);
    void removeUnnamedBitmaps();
    bool writeFileIndex();

    QString cacheRoot_;
    QString albumCacheDir_;
    QStringList folderList_;
    QStringList fileCacheList_;
    AlbumFiles album_;

    // Lookups into fileCacheList_: exact name -> first entry line; upper-cased name -> entry lines in
    // order; names of the album's files (an entry named exactly like one of them is that file's).
    QHash<QString, int> exactEntry_;
    QHash<QString, QList<int>> foldedEntry_;
    QSet<QString> albumNames_;
    QSet<QString> usedThumbnailNames_;   // upper-cased
    // Names in the album's cache folder, read once per SyncFileCache and kept up to date since.
    QSet<QString> onDisk_;
    // Next "_n" to try per upper-cased bitmap stem, so a group of equal names is numbered in one pass.
    QHash<QString, qint64> nextSuffix_;
    QByteArray indexOnDisk_;   // the bytes of "~ovFiles.~ov" as last read or written
    bool uncommitted_ = false; // bitmaps written since the index was
};

} // namespace pagero
