// The stored files' writers on a file system with no room left: the write fails, says so, leaves no
// temporary file and keeps the old bytes.
#include "FullDisk.h"
#include "core/book/Settings.h"
#include "core/common/AtomicFile.h"
#include "core/pages/ThumbnailCache.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pagero;
using pagero::test::FullDisk;

namespace {

QByteArray Read(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QStringList FilesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

TEST(FullDisk, AtomicWritesKeepTheOldBytes)
{
    FullDisk disk;
    const QString f = disk.Path() + "/data.bin";
    const QByteArray old(3000, 'o');
    ASSERT_TRUE(WriteFileAtomically(f, old));
    disk.Fill();
    for (FileSync sync : {FileSync::Durable, FileSync::NoSync}) {
        EXPECT_FALSE(WriteFileAtomically(f, QByteArray(5000, 'n'), sync));
        EXPECT_FALSE(WriteFileAtomically(f, "tiny", sync)) << "even one byte has no room";
        EXPECT_EQ(Read(f), old);
    }
    EXPECT_FALSE(WriteFileAtomically(disk.Path() + "/new.bin", "x"));
    EXPECT_FALSE(QFile::exists(disk.Path() + "/new.bin"));
    QStringList left = FilesIn(disk.Path());
    left.removeAll("~filler");
    EXPECT_EQ(left, QStringList{"data.bin"}) << "temporary files are removed";
}

// A bitmap no index names yet is written in place: a failed write must not leave a partial file
// behind to be named later, and a link planted at its path must not carry the bytes elsewhere.
TEST(FullDisk, UnnamedWritesLeaveNoPartialFileAndFollowNoLink)
{
    FullDisk disk;
    const QString f = disk.Path() + "/thumb.bmp";
    ASSERT_TRUE(WriteFileAtomically(f, QByteArray(3000, 'o'), FileSync::Unnamed));
    EXPECT_EQ(Read(f), QByteArray(3000, 'o'));
    disk.Fill();
    EXPECT_FALSE(WriteFileAtomically(f, QByteArray(200000, 'n'), FileSync::Unnamed));
    EXPECT_FALSE(QFile::exists(f)) << "the partial bitmap is removed";

    QTemporaryDir dir;
    const QString outside = dir.path() + "/outside.txt", link = dir.path() + "/link.bmp";
    ASSERT_TRUE(WriteFileAtomically(outside, "keep"));
    ASSERT_TRUE(QFile::link(outside, link));
    ASSERT_TRUE(WriteFileAtomically(link, "bitmap", FileSync::Unnamed));
    EXPECT_EQ(Read(outside), "keep");
    EXPECT_FALSE(QFileInfo(link).isSymLink());
    EXPECT_EQ(Read(link), "bitmap");
}

TEST(FullDisk, AFailedFlushToDiskIsAFailure)
{
    QTemporaryDir dir;
    const QString f = dir.path() + "/data.bin";
    ASSERT_TRUE(WriteFileAtomically(f, "old"));
    InjectWriteFault(InjectedWriteFault::Sync);
    EXPECT_FALSE(WriteFileAtomically(f, "new"));
    EXPECT_FALSE(SyncFileSystemOf(dir.path()));
    InjectWriteFault(InjectedWriteFault::None);
    EXPECT_EQ(Read(f), "old");
    EXPECT_EQ(FilesIn(dir.path()), QStringList{"data.bin"});
    EXPECT_TRUE(SyncFileSystemOf(dir.path()));
}

TEST(FullDisk, SettingsAndCacheIndexesAreKept)
{
    FullDisk disk;
    const QString exeDir = disk.Path();
    Settings s;
    s.MRUList = QStringList{"/photos/a", "/photos/b"};
    ASSERT_TRUE(SaveSettings(exeDir, s));
    ASSERT_TRUE(SaveSettings2(exeDir, s));
    const QByteArray settings = Read(exeDir + "/" + kSettingsFile);
    const QByteArray settings2 = Read(exeDir + "/" + kSettingsFile2);

    QDir().mkpath(exeDir + "/album");
    QFile(exeDir + "/album/a.jpg").open(QIODevice::WriteOnly);
    ThumbnailCache cache;
    cache.SetCacheRoot(exeDir + "/Overview");
    ASSERT_TRUE(cache.OpenFolderCache(exeDir + "/album"));
    const QByteArray folders = Read(exeDir + "/Overview/" + kFolderIndexName);

    disk.Fill();
    s.MRUList.append("/photos/c");
    s.FlipSpeed = 40;
    EXPECT_FALSE(SaveSettings(exeDir, s));
    EXPECT_FALSE(SaveSettings2(exeDir, s));
    EXPECT_EQ(Read(exeDir + "/" + kSettingsFile), settings);
    EXPECT_EQ(Read(exeDir + "/" + kSettingsFile2), settings2);

    ThumbnailCache other;
    other.SetCacheRoot(exeDir + "/Overview");
    EXPECT_FALSE(other.OpenFolderCache(exeDir + "/second-album"));
    EXPECT_EQ(Read(exeDir + "/Overview/" + kFolderIndexName), folders);
}
