// The thumbnail cache on disk: the byte layout of both index files, the naming rules, purge and
// update by age and size, and index lines that are broken or try to lead outside the cache.
#include "core/common/MyLib.h"
#include "core/pages/ThumbnailCache.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using pagero::AlbumFiles;
using pagero::ThumbnailCache;

namespace {

QByteArray ReadAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class CacheTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        root = tmp.path() + "/Overview";
        cache.SetCacheRoot(root);
        WriteAll(root + "/" + pagero::kFitRuleMarkerName, pagero::kFitRuleMarkerContent);
    }

    QString MakeAlbum(const QString &relative, const QStringList &names)
    {
        const QString folder = tmp.path() + "/" + relative;
        QDir().mkpath(folder);
        for (const QString &n : names) WriteAll(folder + "/" + n, n.toUtf8());
        return folder;
    }

    AlbumFiles Files(const QString &folder, const QStringList &names)
    {
        AlbumFiles f;
        f.folder = folder;
        f.names = names;
        for (const QString &n : names) {
            f.ages << QString::number(pagero::FileAge(folder + "/" + n));
            f.sizes << QString::number(QFileInfo(folder + "/" + n).size());
        }
        return f;
    }

    bool Open(const AlbumFiles &files) { return cache.OpenFolderCache(files.folder) && cache.SyncFileCache(files); }

    // Stands in for the generator: every entry's bitmap is written, then the build is committed.
    void MakeBitmaps(const AlbumFiles &files)
    {
        for (int i = 0; i < files.Count(); ++i) {
            WriteAll(cache.ThumbnailPath(i), "BM");
            cache.ThumbnailWritten(cache.ThumbnailPath(i));
        }
        ASSERT_TRUE(cache.CommitThumbnails());
    }

    QTemporaryDir tmp;
    QString root;
    ThumbnailCache cache;
};

} // namespace

TEST_F(CacheTest, IndexFilesHaveTheirExactByteLayout)
{
    const QStringList names = {"beach.jpg", "a.b.c.jpg", "song.wav"};
    const QString folder = MakeAlbum("x/Photos", names);
    const AlbumFiles files = Files(folder, names);
    ASSERT_TRUE(Open(files));
    MakeBitmaps(files);

    EXPECT_EQ(ReadAll(root + "/~ovFolders.~ov"), (folder + "\r\novPhotos\r\n").toUtf8());
    EXPECT_EQ(cache.AlbumCacheDir(), root + "/ovPhotos");
    QByteArray expected;
    const QStringList thumbs = {"beach-jpg.bmp", "a-b-c-jpg.bmp", "song-wav.bmp"};
    for (int i = 0; i < names.size(); ++i)
        expected += (names[i] + "\r\n" + files.ages[i] + "\r\n" + files.sizes[i] + "\r\n" + thumbs[i] + "\r\n").toUtf8();
    EXPECT_EQ(ReadAll(root + "/ovPhotos/~ovFiles.~ov"), expected);
    EXPECT_EQ(cache.ThumbnailPath(1), root + "/ovPhotos/a-b-c-jpg.bmp");
    EXPECT_EQ(cache.ThumbnailPath(3), QString());

    // Opening again finds the album and changes neither file.
    ThumbnailCache again;
    again.SetCacheRoot(root);
    ASSERT_TRUE(again.OpenFolderCache(folder));
    ASSERT_TRUE(again.SyncFileCache(files));
    EXPECT_EQ(again.AlbumCacheDir(), root + "/ovPhotos");
    EXPECT_EQ(ReadAll(root + "/~ovFolders.~ov"), (folder + "\r\novPhotos\r\n").toUtf8());
    EXPECT_EQ(ReadAll(root + "/ovPhotos/~ovFiles.~ov"), expected);
}

TEST_F(CacheTest, AlbumsWithTheSameLastComponentGetNumberedSubfolders)
{
    const QString a = MakeAlbum("c/a/Photos", {"1.jpg"});
    const QString b = MakeAlbum("d/b/Photos", {"1.jpg"});
    const QString c = MakeAlbum("e/Photos/", {"1.jpg"});
    ASSERT_TRUE(cache.OpenFolderCache(a));
    EXPECT_EQ(cache.AlbumCacheDir(), root + "/ovPhotos");
    ASSERT_TRUE(cache.OpenFolderCache(b));
    EXPECT_EQ(cache.AlbumCacheDir(), root + "/ovPhotos_1");
    ASSERT_TRUE(cache.OpenFolderCache(c));
    EXPECT_EQ(cache.AlbumCacheDir(), root + "/ovPhotos_2");
    ASSERT_TRUE(cache.OpenFolderCache(a));
    EXPECT_EQ(cache.AlbumCacheDir(), root + "/ovPhotos");
    EXPECT_EQ(ReadAll(root + "/~ovFolders.~ov"),
              (a + "\r\novPhotos\r\n" + b + "\r\novPhotos_1\r\n" + c + "\r\novPhotos_2\r\n").toUtf8());

    // A subfolder promised to an album whose cache folder was removed by hand is not handed out
    // again to another album.
    QDir(root + "/ovPhotos_1").removeRecursively();
    const QString d = MakeAlbum("f/Photos", {"1.jpg"});
    ASSERT_TRUE(cache.OpenFolderCache(d));
    EXPECT_EQ(cache.AlbumCacheDir(), root + "/ovPhotos_3");
}

TEST_F(CacheTest, AlbumPathsCompareIgnoringCaseUnlessBothFoldersExist)
{
    const QString lower = MakeAlbum("m/photos", {"1.jpg"});
    const QString upper = MakeAlbum("m/PHOTOS", {"1.jpg"});
    // A pair written for a folder that is gone now matches in any letter case.
    WriteAll(root + "/~ovFolders.~ov", (tmp.path() + "/M/Gone\r\novGone\r\n").toUtf8());
    ASSERT_TRUE(cache.OpenFolderCache(tmp.path() + "/m/gone"));
    EXPECT_EQ(cache.AlbumCacheDir(), root + "/ovGone");
    // Two existing folders that differ only in case are two albums (and their subfolder names
    // differ in more than case, so a cache on a case-blind disk keeps them apart too).
    ASSERT_TRUE(cache.OpenFolderCache(lower));
    EXPECT_EQ(cache.AlbumCacheDir(), root + "/ovphotos");
    ASSERT_TRUE(cache.OpenFolderCache(upper));
    EXPECT_EQ(cache.AlbumCacheDir(), root + "/ovPHOTOS_1");
    ASSERT_TRUE(cache.OpenFolderCache(lower));
    EXPECT_EQ(cache.AlbumCacheDir(), root + "/ovphotos");
}

TEST_F(CacheTest, ThumbnailNamesAvoidFilesOnDiskAndEachOther)
{
    EXPECT_EQ(ThumbnailCache::ThumbnailNameFor("beach.jpg"), "beach-jpg.bmp");
    EXPECT_EQ(ThumbnailCache::ThumbnailNameFor("a.b.c.jpg"), "a-b-c-jpg.bmp");
    EXPECT_EQ(ThumbnailCache::SubfolderNameFor("/home/u/Photos"), "ovPhotos");
    EXPECT_EQ(ThumbnailCache::SubfolderNameFor("C:\\pics\\Trip"), "ovTrip");

    const QStringList names = {"beach.jpg", "a.b.jpg", "a-b.jpg", "A.JPG", "a.jpg"};
    const QString folder = MakeAlbum("n/Names", names);
    // Something the cache does not remove lies in the subfolder under that name.
    QDir().mkpath(root + "/ovNames/beach-jpg.bmp");
    WriteAll(root + "/ovNames/~ovFiles.~ov", "");
    WriteAll(root + "/~ovFolders.~ov", (folder + "\r\novNames\r\n").toUtf8());
    ASSERT_TRUE(Open(Files(folder, names)));
    EXPECT_EQ(cache.ThumbnailPath(0), root + "/ovNames/beach-jpg_1.bmp");
    EXPECT_EQ(cache.ThumbnailPath(1), root + "/ovNames/a-b-jpg.bmp");
    EXPECT_EQ(cache.ThumbnailPath(2), root + "/ovNames/a-b-jpg_1.bmp");
    // Names that differ only in case are two files with two entries and two bitmaps.
    EXPECT_EQ(cache.ThumbnailPath(3), root + "/ovNames/A-JPG.bmp");
    EXPECT_EQ(cache.ThumbnailPath(4), root + "/ovNames/a-jpg_1.bmp");
    EXPECT_EQ(cache.FileCacheList().size(), 20);

    // A name with a line break would shift every later line of the index: it gets no entry.
    const QStringList broken = {"line\nbreak.jpg", "z.jpg"};
    const QString other = MakeAlbum("n2/Broken", broken);
    ASSERT_TRUE(Open(Files(other, broken)));
    EXPECT_EQ(cache.ThumbnailPath(0), QString());
    EXPECT_EQ(cache.ThumbnailPath(1), root + "/ovBroken/z-jpg.bmp");
    EXPECT_EQ(cache.FileCacheList().size(), 4);
}

TEST_F(CacheTest, TouchingOrDeletingAFileAffectsOnlyItsEntry)
{
    QStringList names = {"1.jpg", "2.jpg", "3.jpg"};
    const QString folder = MakeAlbum("p/Album", names);
    AlbumFiles files = Files(folder, names);
    ASSERT_TRUE(Open(files));
    MakeBitmaps(files);
    const QString dir = cache.AlbumCacheDir();

    // A new age (touched) and a new size: those bitmaps go, the names stay, the lines follow.
    files.ages[1] = QString::number(files.ages[1].toLongLong() + 2);
    files.sizes[2] = "999";
    ASSERT_TRUE(Open(files));
    EXPECT_TRUE(QFileInfo::exists(dir + "/1-jpg.bmp"));
    EXPECT_FALSE(QFileInfo::exists(dir + "/2-jpg.bmp"));
    EXPECT_FALSE(QFileInfo::exists(dir + "/3-jpg.bmp"));
    EXPECT_EQ(cache.ThumbnailPath(1), dir + "/2-jpg.bmp");
    const QStringList lines = cache.FileCacheList();
    EXPECT_EQ(lines.mid(4, 4), QStringList({"2.jpg", files.ages[1], files.sizes[1], "2-jpg.bmp"}));
    EXPECT_EQ(lines.mid(8, 4), QStringList({"3.jpg", files.ages[2], "999", "3-jpg.bmp"}));
    MakeBitmaps(files);

    // Deleting a file removes its four lines and its bitmap.
    QFile::remove(folder + "/2.jpg");
    names.removeAt(1);
    files = Files(folder, names);
    files.sizes[1] = "999";
    ASSERT_TRUE(Open(files));
    EXPECT_FALSE(QFileInfo::exists(dir + "/2-jpg.bmp"));
    EXPECT_TRUE(QFileInfo::exists(dir + "/1-jpg.bmp"));
    EXPECT_TRUE(QFileInfo::exists(dir + "/3-jpg.bmp"));
    EXPECT_EQ(cache.FileCacheList().size(), 8);
    EXPECT_FALSE(ReadAll(dir + "/~ovFiles.~ov").contains("2.jpg"));
}

TEST_F(CacheTest, LookupsMatchNamesOnlyAndTheFirstEntryWins)
{
    const QStringList names = {"12345", "Beach.JPG"};
    const QString folder = MakeAlbum("q/Look", names);
    const AlbumFiles files = Files(folder, names);
    // An age line that reads like an album file's name, and a duplicated entry.
    WriteAll(root + "/~ovFolders.~ov", (folder + "\r\novLook\r\n").toUtf8());
    WriteAll(root + "/ovLook/~ovFiles.~ov",
             ("x.jpg\r\n12345\r\n1\r\nx-jpg.bmp\r\n"
              "Beach.JPG\r\n" + files.ages[1] + "\r\n" + files.sizes[1] + "\r\nfirst.bmp\r\n"
              "Beach.JPG\r\n1\r\n1\r\nsecond.bmp\r\n").toUtf8());
    WriteAll(root + "/ovLook/first.bmp", "BM");
    WriteAll(root + "/ovLook/x-jpg.bmp", "BM");
    ASSERT_TRUE(Open(files));
    EXPECT_EQ(cache.ThumbnailPath(0), root + "/ovLook/12345.bmp");
    EXPECT_EQ(cache.ThumbnailPath(1), root + "/ovLook/first.bmp");
    EXPECT_TRUE(QFileInfo::exists(root + "/ovLook/first.bmp"));
    EXPECT_FALSE(QFileInfo::exists(root + "/ovLook/x-jpg.bmp"));
}

TEST_F(CacheTest, IndexLinesNeverLeadOutsideTheCache)
{
    const QString folder = MakeAlbum("r/Safe", {"pic.jpg"});
    WriteAll(tmp.path() + "/victim.bmp", "keep me");
    WriteAll(tmp.path() + "/r/victim2.bmp", "keep me too");
    WriteAll(tmp.path() + "/escape/~ovFiles.~ov", "");
    // Folder pairs whose subfolder line is a path: only the last component counts; "..", "" are ignored.
    WriteAll(root + "/~ovFolders.~ov",
             (folder + "\r\n..\r\n" + folder + "\r\n\r\n" + folder + "\r\n../../escape\r\n").toUtf8());
    ASSERT_TRUE(cache.OpenFolderCache(folder));
    EXPECT_EQ(cache.AlbumCacheDir(), root + "/escape");
    ASSERT_TRUE(QDir(root).exists("escape"));

    // File entries whose bitmap lines are paths are reduced to the last component or renamed.
    const AlbumFiles files = Files(folder, {"pic.jpg"});
    WriteAll(cache.AlbumCacheDir() + "/~ovFiles.~ov",
             QByteArray("../x.jpg\r\n1\r\n1\r\n../../victim.bmp\r\n"
                        "/etc\r\n1\r\n1\r\nC:\\r\\victim2.bmp\r\n"
                        "gone.jpg\r\n1\r\n1\r\n..\r\n"
                        "pic.jpg\r\n1\r\n1\r\n~ovFiles.~ov\r\n"));
    ASSERT_TRUE(cache.SyncFileCache(files));
    EXPECT_EQ(ReadAll(tmp.path() + "/victim.bmp"), "keep me");
    EXPECT_EQ(ReadAll(tmp.path() + "/r/victim2.bmp"), "keep me too");
    EXPECT_EQ(cache.FileCacheList(), QStringList({"pic.jpg", files.ages[0], files.sizes[0], "pic-jpg.bmp"}));
    EXPECT_TRUE(QFileInfo::exists(cache.AlbumCacheDir() + "/~ovFiles.~ov"));
    for (const QString &line : cache.FileCacheList()) EXPECT_FALSE(line.contains('/'));

    EXPECT_EQ(ThumbnailCache::SafeComponent("/etc"), "etc");
    EXPECT_EQ(ThumbnailCache::SafeComponent("C:\\x"), "x");
    EXPECT_EQ(ThumbnailCache::SafeComponent("a/"), "");
}

TEST_F(CacheTest, MalformedIndexFilesAreRepairedOrTreatedAsAbsent)
{
    const QStringList names = {"1.jpg", "2.jpg"};
    const QString folder = MakeAlbum("s/Bad", names);
    const AlbumFiles files = Files(folder, names);

    // A dangling last line of the folder index is dropped before a new pair is added.
    WriteAll(root + "/~ovFolders.~ov", "/nowhere\r\novNowhere\r\n/dangling");
    ASSERT_TRUE(cache.OpenFolderCache(folder));
    EXPECT_EQ(ReadAll(root + "/~ovFolders.~ov"), ("/nowhere\r\novNowhere\r\n" + folder + "\r\novBad\r\n").toUtf8());

    // An incomplete last quadruple, LF-only and CR-only line ends.
    WriteAll(root + "/ovBad/~ovFiles.~ov",
             ("1.jpg\n" + files.ages[0] + "\r" + files.sizes[0] + "\r\n1-jpg.bmp\r\n2.jpg\r\n5").toUtf8());
    WriteAll(root + "/ovBad/1-jpg.bmp", "BM");
    ASSERT_TRUE(cache.SyncFileCache(files));
    EXPECT_EQ(cache.FileCacheList().size(), 8);
    EXPECT_TRUE(QFileInfo::exists(root + "/ovBad/1-jpg.bmp"));
    EXPECT_EQ(ReadAll(root + "/ovBad/~ovFiles.~ov"),
              ("1.jpg\r\n" + files.ages[0] + "\r\n" + files.sizes[0] + "\r\n1-jpg.bmp\r\n").toUtf8())
        << "2.jpg joins once its bitmap is made";

    // Binary garbage and empty lines: no crash, the album's entries come out whole.
    QByteArray junk(3000, '\0');
    for (int i = 0; i < junk.size(); ++i) junk[i] = char((i * 37) % 256);
    WriteAll(root + "/ovBad/~ovFiles.~ov", junk + "\r\n\r\n\r\n");
    ASSERT_TRUE(cache.SyncFileCache(files));
    EXPECT_FALSE(cache.ThumbnailPath(0).isEmpty());
    EXPECT_FALSE(cache.ThumbnailPath(1).isEmpty());
    EXPECT_EQ(cache.FileCacheList().size() % 4, 0);

    // Far too many lines: the file counts as absent and the subfolder starts afresh.
    WriteAll(root + "/ovBad/stale.bmp", "BM");
    WriteAll(root + "/ovBad/~ovFiles.~ov", QByteArray(2500000, '\n'));
    ASSERT_TRUE(cache.SyncFileCache(files));
    EXPECT_FALSE(QFileInfo::exists(root + "/ovBad/stale.bmp"));
    EXPECT_EQ(cache.FileCacheList().size(), 8);
}

TEST_F(CacheTest, MissingFolderIndexStartsTheWholeCacheAfresh)
{
    const QString folder = MakeAlbum("t/Fresh", {"1.jpg"});
    WriteAll(root + "/ovOld/old.bmp", "BM");
    ASSERT_TRUE(cache.OpenFolderCache(folder));
    EXPECT_FALSE(QFileInfo::exists(root + "/ovOld"));
    EXPECT_TRUE(QFileInfo(root + "/ovFresh").isDir());

    // A missing file index empties the album's subfolder.
    WriteAll(root + "/ovFresh/leftover.bmp", "BM");
    ASSERT_TRUE(cache.SyncFileCache(Files(folder, {"1.jpg"})));
    EXPECT_FALSE(QFileInfo::exists(root + "/ovFresh/leftover.bmp"));
    EXPECT_TRUE(QFileInfo::exists(root + "/ovFresh/~ovFiles.~ov"));

    // A cache root that cannot be made (a file in the way) fails the opening.
    ThumbnailCache blocked;
    WriteAll(tmp.path() + "/blocked", "file");
    blocked.SetCacheRoot(tmp.path() + "/blocked/Overview");
    EXPECT_FALSE(blocked.OpenFolderCache(folder));
    ThumbnailCache unset;
    EXPECT_FALSE(unset.OpenFolderCache(folder));
}

TEST_F(CacheTest, BitmapsOfTheOldFitRuleAreMadeAgainOnce)
{
    const QString folder = MakeAlbum("v/Fit", {"1.jpg"});
    const AlbumFiles files = Files(folder, {"1.jpg"});
    ASSERT_TRUE(Open(files));
    MakeBitmaps(files);
    const QString bitmap = cache.ThumbnailPath(0);
    const QString marker = root + "/" + pagero::kFitRuleMarkerName;
    for (const QByteArray &old : {QByteArray("<none>"), QByteArray("1\r\n")}) {
        if (old == "<none>") QFile::remove(marker);
        else WriteAll(marker, old);
        ThumbnailCache reopened;
        reopened.SetCacheRoot(root);
        ASSERT_TRUE(reopened.OpenFolderCache(folder) && reopened.SyncFileCache(files));
        EXPECT_FALSE(QFileInfo::exists(bitmap)) << old.constData();
        EXPECT_EQ(ReadAll(marker), pagero::kFitRuleMarkerContent);
        EXPECT_EQ(reopened.ThumbnailPath(0), bitmap);
        WriteAll(bitmap, "BM");
        reopened.ThumbnailWritten(bitmap);
        ASSERT_TRUE(reopened.CommitThumbnails());
    }
    ThumbnailCache current;
    current.SetCacheRoot(root);
    ASSERT_TRUE(current.OpenFolderCache(folder) && current.SyncFileCache(files));
    EXPECT_TRUE(QFileInfo::exists(bitmap)) << "made once";
}

TEST_F(CacheTest, BitmapsNoLineNamesAreRemovedAndTheirNamesReused)
{
    const QStringList names = {"1.jpg", "2.jpg", "page.bmp"};
    const QString folder = MakeAlbum("w/Damaged", names);
    const AlbumFiles files = Files(folder, names);
    ASSERT_TRUE(Open(files));
    MakeBitmaps(files);
    const QString dir = cache.AlbumCacheDir();
    // The index loses its last two entries; strays of every kind lie beside the bitmaps.
    WriteAll(dir + "/~ovFiles.~ov", ReadAll(dir + "/~ovFiles.~ov").split('\n').mid(0, 4).join('\n') + "\n");
    WriteAll(dir + "/old-jpg.BMP", "BM");
    WriteAll(dir + "/1-jpg.bmp.x7q.tmp", "BM");
    WriteAll(dir + "/notes.txt", "mine");
    QDir().mkpath(dir + "/kept.bmp");
    ASSERT_TRUE(Open(files));
    EXPECT_EQ(QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
              QStringList({"1-jpg.bmp", "kept.bmp", "notes.txt", "~ovFiles.~ov"}));
    EXPECT_EQ(cache.ThumbnailPath(1), dir + "/2-jpg.bmp") << "no _1 name";
    EXPECT_EQ(ReadAll(folder + "/page.bmp"), "page.bmp") << "the album itself is never touched";
}

TEST_F(CacheTest, TheIndexNamesOnlyBitmapsThatReachedTheDisk)
{
    const QStringList names = {"1.jpg", "2.jpg"};
    const QString folder = MakeAlbum("y/Crash", names);
    const AlbumFiles files = Files(folder, names);
    ASSERT_TRUE(Open(files));
    const QString index = cache.AlbumCacheDir() + "/~ovFiles.~ov";
    EXPECT_EQ(ReadAll(index), "");
    WriteAll(cache.ThumbnailPath(0), "BM");
    cache.ThumbnailWritten(cache.ThumbnailPath(0));
    EXPECT_EQ(ReadAll(index), "") << "nothing named before the sync";
    ASSERT_TRUE(cache.CommitThumbnails());
    const QByteArray first = ("1.jpg\r\n" + files.ages[0] + "\r\n" + files.sizes[0] + "\r\n1-jpg.bmp\r\n").toUtf8();
    EXPECT_EQ(ReadAll(index), first);

    // A crash after the second bitmap was renamed into place but before the commit: it may be
    // truncated, so it is made again under its own name.
    WriteAll(cache.ThumbnailPath(1), "B");
    cache.ThumbnailWritten(cache.ThumbnailPath(1));
    ThumbnailCache after;
    after.SetCacheRoot(root);
    ASSERT_TRUE(after.OpenFolderCache(folder) && after.SyncFileCache(files));
    EXPECT_EQ(after.ThumbnailPath(1), after.AlbumCacheDir() + "/2-jpg.bmp");
    EXPECT_FALSE(QFileInfo::exists(after.ThumbnailPath(1)));
    EXPECT_TRUE(QFileInfo::exists(after.ThumbnailPath(0)));

    // A failed sync leaves the entry out.
    WriteAll(after.ThumbnailPath(1), "BM");
    after.ThumbnailWritten(after.ThumbnailPath(1));
    pagero::InjectWriteFault(pagero::InjectedWriteFault::Sync);
    EXPECT_FALSE(after.CommitThumbnails());
    pagero::InjectWriteFault(pagero::InjectedWriteFault::None);
    EXPECT_EQ(ReadAll(index), first);
}

TEST_F(CacheTest, ManyEqualNamesAreNumberedInOnePass)
{
    // 8,000 entries whose bitmap lines all say the same (an edited or damaged index): naming them
    // must not probe "_1", "_2", ... afresh for each one.
    const QString folder = MakeAlbum("z/Same", {"a.jpg"});
    const AlbumFiles files = Files(folder, {"a.jpg"});
    QByteArray lines;
    for (int i = 0; i < 8000; ++i) lines += "a.jpg\r\n" + files.ages[0].toUtf8() + "\r\n1\r\na-jpg.bmp\r\n";
    WriteAll(root + "/ovSame/~ovFiles.~ov", lines);
    WriteAll(root + "/~ovFolders.~ov", (folder + "\r\novSame\r\n").toUtf8());
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(Open(files));
    EXPECT_LT(timer.elapsed(), 3000);
    const QStringList list = cache.FileCacheList();
    QSet<QString> bitmaps;
    for (int k = 3; k < list.size(); k += 4) bitmaps.insert(list[k].toUpper());
    EXPECT_EQ(bitmaps.size(), 8000);
    EXPECT_TRUE(bitmaps.contains("A-JPG_7999.BMP"));
}

TEST_F(CacheTest, DropThumbnailAndEmptyCache)
{
    const QStringList names = {"1.jpg", "2.jpg"};
    const QString folder = MakeAlbum("u/Drop", names);
    const AlbumFiles files = Files(folder, names);
    ASSERT_TRUE(Open(files));
    MakeBitmaps(files);
    const QStringList before = cache.FileCacheList();

    EXPECT_TRUE(cache.DropThumbnail(folder.toUpper() + "/2.JPG"));
    EXPECT_FALSE(QFileInfo::exists(cache.ThumbnailPath(1)));
    EXPECT_TRUE(QFileInfo::exists(cache.ThumbnailPath(0)));
    EXPECT_EQ(cache.FileCacheList(), before);
    EXPECT_FALSE(cache.DropThumbnail(folder + "/none.jpg"));

    EXPECT_TRUE(cache.EmptyCache());
    EXPECT_FALSE(QFileInfo::exists(root));
    EXPECT_EQ(cache.CacheRoot(), root);
    ASSERT_TRUE(Open(files));
    EXPECT_EQ(cache.AlbumCacheDir(), root + "/ovDrop");
}
