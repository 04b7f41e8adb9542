// Copy, move and tree deletion with real failures: a full file system, an unreadable source, names
// already taken, links pointing out of a tree.
#include "FileBytes.h"
#include "FullDisk.h"
#include "core/common/FileTransfer.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace pagero;
using pagero::test::FullDisk;
using pagero::test::ReadAll;
using pagero::test::WriteAll;

namespace {

QStringList EntriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

const QDateTime kOldDate(QDate(2004, 5, 6), QTime(7, 8, 10));

void MakeOld(const QString &path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(kOldDate, QFileDevice::FileModificationTime));
}

} // namespace

TEST(FileTransfer, CopyFollowsLinksAndKeepsBytesDateAndPermissions)
{
    QTemporaryDir dir;
    const QString source = dir.filePath("a.jpg"), link = dir.filePath("link.jpg"), target = dir.filePath("b.jpg");
    WriteAll(source, QByteArray(3 << 20, 'p') + "end");   // more than one buffer
    MakeOld(source);
    ASSERT_TRUE(QFile::setPermissions(source, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    ASSERT_TRUE(QFile::link(source, link));

    const TransferResult r = CopyFileTo(link, target);
    ASSERT_TRUE(r.Ok()) << r.text.toStdString();
    const QFileInfo copy(target);
    EXPECT_FALSE(copy.isSymLink());
    EXPECT_EQ(ReadAll(target), ReadAll(source));
    EXPECT_EQ(copy.lastModified(), kOldDate);
    EXPECT_EQ(copy.permissions() & 0x0fff, QFileInfo(source).permissions() & 0x0fff);
    EXPECT_EQ(EntriesOf(dir.path()), QStringList({"a.jpg", "b.jpg", "link.jpg"}));   // no temporary left
}

TEST(FileTransfer, ExistingTargetsFollowThePolicyAndRefusalsChangeNothing)
{
    QTemporaryDir dir;
    const QString source = dir.filePath("a.jpg"), target = dir.filePath("b.jpg");
    WriteAll(source, "new");
    WriteAll(target, "old");

    EXPECT_EQ(CopyFileTo(source, target, {ExistingTarget::Keep}).status, TransferStatus::TargetExists);
    EXPECT_EQ(MoveFileTo(source, target, {ExistingTarget::Keep}).status, TransferStatus::TargetExists);
    ASSERT_TRUE(QFile::setPermissions(target, QFile::ReadOwner));
    EXPECT_EQ(CopyFileTo(source, target).status, TransferStatus::TargetReadOnly);
    EXPECT_EQ(ReadAll(target), "old");
    EXPECT_TRUE(CopyFileTo(source, target, {ExistingTarget::Replace}).Ok());
    EXPECT_EQ(ReadAll(target), "new");

    QDir().mkdir(dir.filePath("folder.jpg"));
    EXPECT_EQ(CopyFileTo(source, dir.filePath("folder.jpg")).status, TransferStatus::TargetIsFolder);
    EXPECT_EQ(CopyFileTo(source, dir.filePath("./a.jpg")).status, TransferStatus::SameFile);
    EXPECT_EQ(MoveFileTo(source, dir.filePath("./a.jpg")).status, TransferStatus::SameFile);
    EXPECT_EQ(CopyFileTo(source, dir.filePath("none/a.jpg")).status, TransferStatus::TargetFolderMissing);
    EXPECT_EQ(CopyFileTo(dir.filePath("gone.jpg"), target).status, TransferStatus::SourceMissing);
    EXPECT_EQ(MoveFileTo(dir.filePath("folder.jpg"), target).status, TransferStatus::SourceNotAFile);
    ASSERT_EQ(mkfifo(QFile::encodeName(dir.filePath("pipe")).constData(), 0600), 0);
    EXPECT_EQ(CopyFileTo(dir.filePath("pipe"), dir.filePath("c.jpg")).status, TransferStatus::SourceNotAFile);
    EXPECT_EQ(ReadAll(source), "new");
    EXPECT_EQ(EntriesOf(dir.path()), QStringList({"a.jpg", "b.jpg", "folder.jpg", "pipe"}));
}

TEST(FileTransfer, AReadErrorLeavesNoTarget)
{
    // Reading this process's memory file at offset 0 fails with an I/O error.
    QTemporaryDir dir;
    const TransferResult r = CopyFileTo(QStringLiteral("/proc/self/mem"), dir.filePath("mem.jpg"));
    EXPECT_EQ(r.status, TransferStatus::ReadFailed);
    EXPECT_TRUE(r.text.contains("/proc/self/mem"));
    EXPECT_TRUE(EntriesOf(dir.path()).isEmpty());
}

TEST(FileTransfer, AFullDiskKeepsSourceAndOldTargetAndLeavesNoPartialFile)
{
    FullDisk disk;
    QTemporaryDir elsewhere;
    const QString source = elsewhere.filePath("big.jpg"), target = disk.Path() + "/big.jpg";
    const QByteArray bytes(100 * 1024, 'b');
    WriteAll(source, bytes);
    WriteAll(target, "old");
    disk.Fill();
    const QStringList before = EntriesOf(disk.Path());

    EXPECT_EQ(CopyFileTo(source, target).status, TransferStatus::DiskFull);
    if (disk.Real()) {   // across file systems a move copies; an injected fault only hits writes
        EXPECT_EQ(MoveFileTo(source, target).status, TransferStatus::DiskFull);
    }
    EXPECT_EQ(ReadAll(source), bytes);
    EXPECT_EQ(ReadAll(target), "old");
    EXPECT_EQ(EntriesOf(disk.Path()), before);
}

TEST(FileTransfer, MoveAcrossFileSystemsAndMovingALink)
{
    FullDisk other;   // not filled: just another file system where mounting is allowed
    QTemporaryDir dir;
    const QString source = dir.filePath("a.jpg"), target = other.Path() + "/a.jpg";
    WriteAll(source, "photo");
    MakeOld(source);
    ASSERT_TRUE(MoveFileTo(source, target).Ok());
    EXPECT_FALSE(QFileInfo::exists(source));
    EXPECT_EQ(ReadAll(target), "photo");
    EXPECT_EQ(QFileInfo(target).lastModified(), kOldDate);

    // A link moves as the file it names: the link goes, the file it points to stays.
    ASSERT_TRUE(QFile::link(target, dir.filePath("link.jpg")));
    ASSERT_TRUE(MoveFileTo(dir.filePath("link.jpg"), dir.filePath("moved.jpg")).Ok());
    EXPECT_FALSE(QFileInfo(dir.filePath("link.jpg")).isSymLink());
    EXPECT_FALSE(QFileInfo(dir.filePath("moved.jpg")).isSymLink());
    EXPECT_EQ(ReadAll(dir.filePath("moved.jpg")), "photo");
    EXPECT_EQ(ReadAll(target), "photo");
}

TEST(FileTransfer, DeleteTreeRemovesEverythingInsideButNothingOutside)
{
    QTemporaryDir dir, outside;
    const QString root = dir.filePath("album");
    QDir().mkpath(root + "/sub/deeper");
    WriteAll(root + "/.hidden", "h");
    WriteAll(root + "/sub/deeper/p.jpg", "p");
    WriteAll(outside.filePath("keep.jpg"), "keep");
    ASSERT_TRUE(QFile::link(outside.path(), root + "/sub/out"));
    ASSERT_TRUE(QFile::link(outside.filePath("keep.jpg"), root + "/keep.jpg"));
    ASSERT_TRUE(QFile::setPermissions(root + "/sub/deeper/p.jpg", QFile::ReadOwner));
    ASSERT_TRUE(QFile::setPermissions(root + "/sub", QFile::ReadOwner | QFile::ExeOwner));

    const TransferResult r = DeleteTree(root + "/");
    EXPECT_TRUE(r.Ok()) << r.text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(root));
    EXPECT_EQ(ReadAll(outside.filePath("keep.jpg")), "keep");
    EXPECT_TRUE(DeleteTree(root).Ok()) << "a missing tree is already deleted";
}

TEST(FileTransfer, DeleteTreeLeavesAFolderMountedInsideAlone)
{
    FullDisk privateMounts;   // its mount namespace keeps the bind mount below private to this test
    if (!privateMounts.Real()) GTEST_SKIP() << "no mount namespace here";
    QTemporaryDir dir, outside;   // one file system: only the mount itself tells them apart
    const QString root = dir.filePath("album"), mountPoint = root + "/mnt";
    QDir().mkpath(mountPoint);
    WriteAll(outside.filePath("keep.jpg"), "keep");
    ASSERT_EQ(mount(QFile::encodeName(outside.path()).constData(), QFile::encodeName(mountPoint).constData(),
                    nullptr, MS_BIND, nullptr), 0);
    EXPECT_EQ(DeleteTree(root).status, TransferStatus::DeleteFailed);
    EXPECT_EQ(ReadAll(outside.filePath("keep.jpg")), "keep");
    umount2(QFile::encodeName(mountPoint).constData(), MNT_DETACH);
}
