// The common library's window-free routines against their contracts.
#include "core/common/AtomicFile.h"
#include "core/common/MyLib.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pagero;

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

void Touch(const QString &path, const QByteArray &content = "x")
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

} // namespace

TEST(MyLibPaths, JoinPathUsesTheNamePartAndNeverDoublesTheSeparator)
{
    QTemporaryDir dir;
    const QString d = dir.path();
    EXPECT_EQ(JoinPath(d, "x.jpg"), d + "/x.jpg");
    EXPECT_EQ(JoinPath(d + "/", "x.jpg"), d + "/x.jpg");
    EXPECT_EQ(JoinPath(d, "/other/place/x.jpg"), d + "/x.jpg");
    EXPECT_EQ(JoinPath(d + "/missing", "x.jpg"), "");
    Touch(d + "/plain");
    EXPECT_EQ(JoinPath(d + "/plain", "x.jpg"), "") << "a file is not a folder";
}

TEST(MyLibPaths, CreateFolderMakesParentsAndReportsAnExistingFolder)
{
    QTemporaryDir dir;
    const QString deep = dir.path() + "/a/b/c";
    EXPECT_EQ(CreateFolder(deep), CreateFolderResult::Created);
    EXPECT_TRUE(QFileInfo(deep).isDir());
    EXPECT_EQ(CreateFolder(deep), CreateFolderResult::AlreadyExists);
    EXPECT_EQ(FolderExistsMessage("/x/y"), "/x/y already exists.\r\nPlease select a new folder name");
    Touch(dir.path() + "/file");
    EXPECT_EQ(CreateFolder(dir.path() + "/file", 6, 1000), CreateFolderResult::Failed);
}

TEST(MyLibPaths, DeleteFolderTreeRemovesHiddenAndReadOnlyContentButNotLinkTargets)
{
    QTemporaryDir dir, outside;
    const QString root = dir.path() + "/album";
    QDir().mkpath(root + "/sub/.hidden");
    Touch(root + "/a.jpg");
    Touch(root + "/.secret");
    Touch(root + "/sub/.hidden/b.jpg");
    SetReadOnly(root + "/a.jpg", true);
    Touch(outside.path() + "/keep.jpg");
    QFile::link(outside.path(), root + "/sub/link");
    SetReadOnly(root + "/sub", true);
    EXPECT_TRUE(DeleteFolderTree(root));
    EXPECT_FALSE(QFileInfo::exists(root));
    EXPECT_TRUE(QFileInfo::exists(outside.path() + "/keep.jpg"));
}

TEST(MyLibPaths, DeleteFileSafeClearsReadOnly)
{
    QTemporaryDir dir;
    const QString f = dir.path() + "/ro.jpg";
    Touch(f);
    ASSERT_TRUE(SetReadOnly(f, true));
    EXPECT_TRUE(IsReadOnly(f));
    EXPECT_TRUE(DeleteFileSafe(f));
    EXPECT_FALSE(QFileInfo::exists(f));
    QDir().mkdir(dir.path() + "/folder");
    EXPECT_FALSE(DeleteFileSafe(dir.path() + "/folder"));
}

TEST(MyLibPaths, UniqueNamesTakeTheFirstFreeSuffix)
{
    QTemporaryDir dir;
    const QString d = dir.path();
    EXPECT_EQ(UniqueFolderName(d + "/new"), d + "/new");
    QDir().mkdir(d + "/new");
    QDir().mkdir(d + "/new_1");
    EXPECT_EQ(UniqueFolderName(d + "/new"), d + "/new_2");

    EXPECT_EQ(UniqueFileName(d + "/pic.jpg"), d + "/pic_1.jpg");
    Touch(d + "/pic_1.jpg");
    Touch(d + "/pic_2.jpg");
    EXPECT_EQ(UniqueFileName(d + "/pic.jpg"), d + "/pic_3.jpg");
    EXPECT_EQ(UniqueFileName(d + "/noext"), d + "/noext_1");
    EXPECT_EQ(UniqueFileName(d + "/new.d/file"), d + "/new.d/file_1") << "a dot in the folder is no extension";
}

TEST(MyLibPaths, RenameFileSafeReportsOnlyARealRename)
{
    QTemporaryDir dir;
    const QString a = dir.path() + "/a.jpg", b = dir.path() + "/b.jpg", c = dir.path() + "/c.jpg";
    Touch(a, "A");
    EXPECT_TRUE(RenameFileSafe(a, b));
    EXPECT_FALSE(QFileInfo::exists(a));
    Touch(c, "C");
    EXPECT_FALSE(RenameFileSafe(b, c)) << "an existing target is not overwritten and not success";
    QFile f(c);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "C");
    EXPECT_TRUE(RenameFileSafe(a, b)) << "already renamed: the new name exists";
}

TEST(MyLibPaths, FileSizeOfAndAge)
{
    QTemporaryDir dir;
    const QString f = dir.path() + "/s.bin";
    Touch(f, QByteArray(1536, 'z'));
    EXPECT_EQ(FileSizeOf(f), 1536);
    EXPECT_EQ(FileSizeOf(dir.path() + "/none"), 0);
    EXPECT_EQ(FileSizeOf(dir.path()), 0);
    EXPECT_EQ(FileAge(dir.path() + "/none"), -1);

    const QDateTime when(QDate(2024, 7, 15), QTime(13, 45, 31));
    ASSERT_TRUE(SetFileTime(f, when));
    EXPECT_EQ(FileDateTimeOf(f), when);
    EXPECT_EQ(FileAge(f), PackDosDateTime(when));
    EXPECT_EQ(FileSizeOf(f), 1536) << "setting the time leaves the content";
}

TEST(MyLibNumbers, PackDosDateTimeLayout)
{
    // 2024-07-15 13:45:31: date (44 << 9 | 7 << 5 | 15), time (13 << 11 | 45 << 5 | 15).
    const QDateTime when(QDate(2024, 7, 15), QTime(13, 45, 31));
    const uint32_t expected = ((44u << 9 | 7u << 5 | 15u) << 16) | (13u << 11 | 45u << 5 | 15u);
    EXPECT_EQ(uint32_t(PackDosDateTime(when)), expected);
    EXPECT_EQ(PackDosDateTime(QDateTime(QDate(1980, 1, 1), QTime(0, 0, 0))), (1 << 5 | 1) << 16);
    EXPECT_EQ(PackDosDateTime(QDateTime(QDate(1979, 12, 31), QTime(23, 59, 59))), -1);
    EXPECT_LT(PackDosDateTime(QDateTime(QDate(2050, 1, 1), QTime(0, 0, 0))), 0) << "the top bit is the year";
    EXPECT_EQ(PackDosDateTime(QDateTime()), -1);
}

TEST(MyLibNumbers, RoundHalfEvenAndFitInBox)
{
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(-3.5), -4);
    EXPECT_EQ(RoundHalfEven(2.5000001), 3);
    EXPECT_EQ(RoundHalfEven(1e300), INT_MAX);

    int bw = 72, bh = 70;
    FitInBox(10, 10, bw, bh);
    EXPECT_EQ(bw, 10); EXPECT_EQ(bh, 10);          // never enlarged
    bw = 72; bh = 70;
    FitInBox(4000, 3000, bw, bh);                  // proportions kept, by the smaller ratio
    EXPECT_EQ(bw, 72); EXPECT_EQ(bh, 54);
    bw = 72; bh = 70;
    FitInBox(3000, 2000, bw, bh);
    EXPECT_EQ(bw, 72); EXPECT_EQ(bh, 48);
    bw = 72; bh = 70;
    FitInBox(2000, 3000, bw, bh);
    EXPECT_EQ(bw, 47); EXPECT_EQ(bh, 70);
    bw = 72; bh = 70;
    FitInBox(3000, 20, bw, bh);
    EXPECT_EQ(bw, 72); EXPECT_EQ(bh, 1);
    bw = 72; bh = 70;
    FitInBox(1000, 5, bw, bh);                     // 72 x 0.36 -> at least 1
    EXPECT_EQ(bw, 72); EXPECT_EQ(bh, 1);
    bw = 72; bh = 70;
    FitInBox(0, 0, bw, bh);                        // no division by zero
    EXPECT_EQ(bw, 1); EXPECT_EQ(bh, 1);
    bw = 5; bh = 70;
    FitInBox(25, 2, bw, bh);                       // scale 0.2: 5 x 0.4 -> 5 x 1
    EXPECT_EQ(bw, 5); EXPECT_EQ(bh, 1);
    bw = 9; bh = 70;
    FitInBox(36, 10, bw, bh);                      // scale 0.25: 9 x 2.5 -> ties to even: 2
    EXPECT_EQ(bw, 9); EXPECT_EQ(bh, 2);
}

TEST(MyLibNumbers, RomanNumerals)
{
    const std::pair<int, const char *> cases[] = {
        {1, "i"}, {4, "iv"}, {9, "ix"}, {14, "xiv"}, {40, "xl"}, {49, "xlix"}, {77, "lxxvii"},
        {78, "lxxviii"}, {79, "lxxix"}, {90, "xc"}, {99, "xcix"}, {149, "cxlix"}, {249, "ccxlix"},
        {250, "ccl"}, {300, "ccl"}, {0, " "}, {-5, " "}};
    for (const auto &[n, text] : cases) EXPECT_EQ(RomanOf(n), QString(text)) << n;
}

TEST(MyLibNumbers, FileSizeText)
{
    EXPECT_EQ(FileSizeText(1023, true), "1023Bytes");
    EXPECT_EQ(FileSizeText(1024, true), "1.0KB");
    EXPECT_EQ(FileSizeText(1536, false), "1.5KB");
    EXPECT_EQ(FileSizeText(2047, true), "1.9KB") << "the tenth never reaches 10";
    EXPECT_EQ(FileSizeText(5 * 1048576, true), "5,120KB");
    EXPECT_EQ(FileSizeText(5 * 1048576, false), "5.0MB");
    EXPECT_EQ(FileSizeText(qint64(1) << 30, true), "1,048,576KB");
    EXPECT_EQ(FileSizeText(qint64(1) << 30, false), "1024.0MB");
}

TEST(MyLibTables, MediaKindsAndExtensions)
{
    EXPECT_EQ(MediaKind("/a/b.JPG"), KindPicture);
    EXPECT_EQ(MediaKind("x.Emf"), KindPicture);
    EXPECT_EQ(MediaKind("x.png"), KindImaging);
    EXPECT_EQ(MediaKind("x.jpeg"), KindImaging);
    EXPECT_EQ(MediaKind("s.WAV"), KindWave);
    EXPECT_EQ(MediaKind("m.mid"), KindMidi);
    EXPECT_EQ(MediaKind("v.avi"), KindVideo);
    EXPECT_EQ(MediaKind("/dir.wav/file"), KindImaging);
    EXPECT_EQ(FileExtension("/a.b/c.tar.GZ"), ".GZ");
    EXPECT_EQ(FileExtension("/a/.profile"), "");
}

TEST(MyLibTables, FormatTablesFallBackForUnknownValues)
{
    EXPECT_EQ(SaveFormatExtension(8), ".psd");
    EXPECT_EQ(SaveFormatNumber(8), 76);
    EXPECT_EQ(SaveFormatExtension(9), ".bmp");
    EXPECT_EQ(SaveFormatNumber(-1), 6);
    EXPECT_EQ(FormatName(72, "?"), "IBM IOCA (Wrapped)");
    EXPECT_EQ(FormatName(7, "unchanged"), "unchanged");
}

TEST(MyLibQuestions, ConfirmOverwriteAsksTwiceForReadOnlyTargets)
{
    QTemporaryDir dir;
    const QString t = dir.path() + "/t.jpg";
    QStringList asked;
    QList<bool> answers;
    auto confirm = [&](const QString &q) { asked << q; return answers.isEmpty() ? true : answers.takeFirst(); };

    EXPECT_TRUE(ConfirmOverwrite(t, confirm));
    EXPECT_TRUE(asked.isEmpty());

    Touch(t);
    SetReadOnly(t, true);
    answers = {true, false};
    EXPECT_FALSE(ConfirmOverwrite(t, confirm));
    ASSERT_EQ(asked.size(), 2);
    EXPECT_EQ(asked[0], "A file with the same name already exists. Overwrite it?\n\r" + t);
    EXPECT_EQ(asked[1], "This is a ReadOnly File. Replace it anyway?\n\r" + t);
    EXPECT_TRUE(QFileInfo::exists(t));

    asked.clear();
    EXPECT_TRUE(ConfirmOverwrite(t, confirm));
    EXPECT_FALSE(QFileInfo::exists(t));
}

TEST(MyLibQuestions, DeleteImageFileDeletesOnlyAfterYes)
{
    QTemporaryDir dir;
    const QString f = dir.path() + "/p.jpg";
    Touch(f);
    QStringList asked;
    EXPECT_FALSE(DeleteImageFile(f, [&](const QString &q) { asked << q; return false; }));
    EXPECT_TRUE(QFileInfo::exists(f));
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0], f + "\n\r\n\rWARNING!\n\r\n\rDo you really want to delete this Image File\n\r"
                            "PERMANENTLY from the DISK?");
    EXPECT_TRUE(DeleteImageFile(f, [](const QString &) { return true; }));
    EXPECT_FALSE(QFileInfo::exists(f));
}

TEST(AtomicFile, WritesWholeFilesAndReadsWithACap)
{
    QTemporaryDir dir;
    const QString f = dir.path() + "/data.bin";
    ASSERT_TRUE(WriteFileAtomically(f, "first"));
    ASSERT_TRUE(WriteFileAtomically(f, "second"));
    QByteArray in;
    ASSERT_TRUE(ReadFileLimited(f, in));
    EXPECT_EQ(in, "second");
    ASSERT_TRUE(ReadFileLimited(f, in, 3));
    EXPECT_EQ(in, "sec");
    EXPECT_FALSE(ReadFileLimited(dir.path() + "/none", in));
    EXPECT_TRUE(in.isEmpty());
    EXPECT_FALSE(ReadFileLimited(dir.path(), in)) << "a folder is not a file";
    EXPECT_FALSE(WriteFileAtomically(dir.path() + "/no/such/folder/x", "x"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1) << "no temporary left behind";
}
