#pragma once
// The thumbnail cache on disk. The cache root holds "~ovFolders.~ov" (pairs of lines: album folder,
// name of its cache subfolder); each subfolder holds "~ovFiles.~ov" (quadruples of lines: file name,
// file age, file size, name of the cached bitmap) and the 16-bit bitmaps themselves. Lines end with
// CR LF. Both index files are rewritten whole and atomically.
//
// Names read from the index files are reduced to their last path component; names that still could
// not be a file of the cache folder ("", ".", "..", the index files) are ignored or replaced, so no
// line ever leads outside the cache.
#include "core/book/PageEntry.h"
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

namespace pagero {

inline const char *const kFolderIndexName = "~ovFolders.~ov";
inline const char *const kFileIndexName = "~ovFiles.~ov";

// The album's files: its folder and the page list's entries (shared, not copied), in page order.
struct AlbumFiles {
    QString folder;
    SharedPageEntries entries;
    int Count() const { return entries ? int(entries->size()) : 0; }
    const PageEntry &At(int i) const { return (*entries)[size_t(i)]; }
    const QString &NameAt(int i) const { return At(i).name; }
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
    // invalidates the bitmaps of files whose age or size changed, adds entries for new files and
    // writes the index back when anything changed. Call after OpenFolderCache.
    bool SyncFileCache(const AlbumFiles &files);

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
    bool normaliseFileCacheList();   // true when a line had to be repaired
    QString freeThumbnailName(const QString &fileName) const;
    bool writeFileIndex() const;

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
};

} // namespace pagero
