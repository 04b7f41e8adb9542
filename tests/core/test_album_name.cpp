// The files inside an album folder: the two-line album name, the write test and saving the name and
// the comments whole, never over what could not be read and never half-written.
#include "core/FileBytes.h"
#include "core/annotations/AlbumFolderFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace pagero;

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

using pagero::test::ReadAll;
using pagero::test::WriteAll;

} // namespace

TEST(AlbumName, ExactlyTwoLinesOrTheDefaults)
{
    QTemporaryDir tmp;
    const QString album = tmp.path() + "/Trip";
    QDir().mkpath(album);
    const QStringList defaults = {"Folder Name", "TRIP"};
    EXPECT_EQ(ReadAlbumName(album), defaults);
    WriteAll(album + "/~mqxNm.~pa", "Summer\r\nIN ROMA\r\n");
    EXPECT_EQ(ReadAlbumName(album), QStringList({"Summer", "IN ROMA"}));
    for (const QByteArray &bad : {QByteArray("one\r\n"), QByteArray("a\r\nb\r\nc\r\n"), QByteArray()}) {
        WriteAll(album + "/~mqxNm.~pa", bad);
        EXPECT_EQ(ReadAlbumName(album), defaults);
    }
    EXPECT_EQ(DefaultAlbumName("/photos/trip.1998/"), QStringList({"Folder Name", "TRIP.1998"}));

    EXPECT_TRUE(CanWriteFolder(album));
    EXPECT_FALSE(QFileInfo::exists(album + "/~mqxft.~t"));
    EXPECT_FALSE(CanWriteFolder(tmp.path() + "/missing"));
}

TEST(AlbumFolderFiles, SavesWhatChangedAndNothingInScreenSaverMode)
{
    QTemporaryDir tmp;
    const QString album = tmp.path() + "/Trip";
    QDir().mkpath(album);
    AlbumFolderFiles files;
    files.Load(album);
    EXPECT_TRUE(files.Writable);
    // Nothing to say beyond what missing files mean: nothing is created.
    ASSERT_TRUE(files.Save(album, false));
    EXPECT_TRUE(QDir(album).isEmpty(QDir::Files | QDir::Hidden));

    files.AlbumNameLines = {QString::fromUtf8("Für\nOma"), "2024"};
    PageComment c;
    c.lines = {"hi"};
    files.Comments.WriteComment(album + "/a.jpg", 100, 100, c);
    EXPECT_TRUE(files.Save(album, true));
    EXPECT_TRUE(QDir(album).isEmpty(QDir::Files | QDir::Hidden));
    ASSERT_TRUE(files.Save(album, false));
    EXPECT_EQ(ReadAll(album + "/~mqxNm.~pa"), QByteArray("F\xC3\xBCr Oma\r\n2024\r\n"));
    EXPECT_EQ(ReadAll(album + "/~mqxTxt.~pa"),
              "#~#a.jpg\r\n0\r\n0\r\n1\r\n0\r\n16777215\r\n[MS Sans Serif][1][0][-16][12][]\r\nhi\r\n");

    AlbumFolderFiles next;
    next.Load(album);
    EXPECT_EQ(next.AlbumNameLines, QStringList({QString::fromUtf8("Für Oma"), "2024"}));
    EXPECT_EQ(next.Comments.Lines(), files.Comments.Lines());
}

TEST(AlbumFolderFiles, FailuresLeaveThePreviousFilesWhole)
{
    QTemporaryDir tmp;
    const QString album = tmp.path() + "/Trip";
    QDir().mkpath(album);
    WriteAll(album + "/~mqxNm.~pa", "Old\r\nNAME\r\n");
    WriteAll(album + "/~mqxTxt.~pa", "#~#a.jpg\r\n0\r\n0\r\n1\r\n0\r\n0\r\n[x][1][0][-16][12][]\r\nold\r\n");
    AlbumFolderFiles files;
    files.Load(album);
    files.AlbumNameLines = {"New", "NAME"};
    PageComment c;
    c.lines = {QString(4000, QChar('x'))};
    files.Comments.WriteComment("a.jpg", 100, 100, c);

    // A comment file that could not be read is never written over.
    const QString other = tmp.path() + "/Other";
    QDir().mkpath(other + "/~mqxTxt.~pa");
    AlbumFolderFiles unreadable;
    unreadable.Load(other);
    EXPECT_FALSE(unreadable.CanAnnotate());
    EXPECT_TRUE(unreadable.Save(other, false));
    unreadable.Comments.WriteComment("a.jpg", 100, 100, c);
    EXPECT_FALSE(unreadable.Save(other, false));
    EXPECT_TRUE(QFileInfo(other + "/~mqxTxt.~pa").isDir());

    // A full disk: no write gets a byte through (a file-size limit of 0 refuses them as a full disk
    // would, also to root).
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit tight = old;
    tight.rlim_cur = 0;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    const bool saved = files.Save(album, false);
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadAll(album + "/~mqxNm.~pa"), "Old\r\nNAME\r\n");
    EXPECT_TRUE(ReadAll(album + "/~mqxTxt.~pa").endsWith("old\r\n"));
    EXPECT_EQ(QDir(album).entryList(QDir::Files | QDir::Hidden).size(), 2);   // no temporary file left
}
