// File names that are not UTF-8 keep their bytes through decoding, the folder listing, the
// thumbnail cache's text files and the file transfers.
#include "core/common/FileNames.h"
#include "core/common/FileTransfer.h"
#include "core/common/FolderListing.h"
#include "core/pages/ThumbnailCache.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace pagero;

TEST(FileNames, BytesRoundTripAndUtf8DecodesAsQtDoes)
{
    for (const QByteArray &utf8 : {QByteArray("plain.jpg"), QByteArray("\xc3\x89t\xc3\xa9 \xf0\x9f\x93\xb7.jpg"),
                                   QByteArray("\xef\xbf\xbd.png")}) {
        EXPECT_EQ(DecodeFileName(utf8), QFile::decodeName(utf8));
        EXPECT_EQ(EncodeFileName(DecodeFileName(utf8)), utf8);
        EXPECT_FALSE(HasRawBytes(DecodeFileName(utf8)));
    }
    // Stray bytes, a cut sequence, an overlong form and an encoded surrogate all keep their bytes.
    for (const QByteArray &raw : {QByteArray("bad\xff\xfe.jpg"), QByteArray("cut\xc3"), QByteArray("\xc0\xaf"),
                                  QByteArray("\xed\xa0\x80x"), QByteArray("\xf0\x9f\x93\xb7\x80")}) {
        const QString name = DecodeFileName(raw);
        EXPECT_TRUE(HasRawBytes(name)) << raw.toHex().constData();
        EXPECT_EQ(EncodeFileName(name), raw) << raw.toHex().constData();
        EXPECT_FALSE(HasRawBytes(WithoutRawBytes(name)));
    }
}

TEST(FileNames, TheListingAndTheCacheTextKeepTheBytes)
{
    QTemporaryDir dir;
    const QByteArray raw("bad\xff\xfe.jpg");
    const int fd = ::open((QFile::encodeName(dir.path()) + "/" + raw).constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "abc", 3), 3);
    ::close(fd);

    std::vector<ListedFile> files;
    ASSERT_TRUE(ListFolder(dir.path(), "*.jpg", true, files));
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(EncodeFileName(files[0].name), raw);
    EXPECT_EQ(files[0].size, 3);
    EXPECT_TRUE(PathExists(dir.path() + "/" + files[0].name));
    {
        const ReadablePath readable(dir.path() + "/" + files[0].name);
        QFile f(readable.Path());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), "abc");
    }

    // The index text holds the name's bytes; the bitmap gets a plain name of its own.
    const QByteArray text = ThumbnailCache::JoinLines({files[0].name, "3"});
    EXPECT_EQ(text, raw + "\r\n3\r\n");
    EXPECT_EQ(ThumbnailCache::SplitLines(text).at(0), files[0].name);
    EXPECT_EQ(ThumbnailCache::ThumbnailNameFor(files[0].name), "bad__-jpg.bmp");
    EXPECT_EQ(ThumbnailCache::SubfolderNameFor(DecodeFileName("/x/al\xff" "bum")), "oval_bum");
    ::unlink((QFile::encodeName(dir.path()) + "/" + raw).constData());   // Qt's own removal cannot see it
}

TEST(FileNames, CopyMoveAndDeleteKeepTheBytes)
{
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    ASSERT_EQ(::mkdir((folder + "/sub\xe9").constData(), 0755), 0);
    const int fd = ::open((folder + "/a\xff.jpg").constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "abc", 3), 3);
    ::close(fd);
    const QString source = DecodeFileName(folder + "/a\xff.jpg");
    const QString copy = DecodeFileName(folder + "/sub\xe9/b\xfe.jpg");
    ASSERT_TRUE(CopyFileTo(source, copy)) << CopyFileTo(source, copy).text.toStdString();
    ASSERT_TRUE(MoveFileTo(source, DecodeFileName(folder + "/c\xfd.jpg")));
    struct stat st {};
    EXPECT_EQ(::stat((folder + "/sub\xe9/b\xfe.jpg").constData(), &st), 0);
    EXPECT_EQ(st.st_size, 3);
    EXPECT_EQ(::stat((folder + "/c\xfd.jpg").constData(), &st), 0);
    EXPECT_NE(::stat((folder + "/a\xff.jpg").constData(), &st), 0);
    ASSERT_TRUE(DeleteTree(DecodeFileName(folder + "/sub\xe9")));
    EXPECT_NE(::stat((folder + "/sub\xe9").constData(), &st), 0);
    ::unlink((folder + "/c\xfd.jpg").constData());   // Qt's own removal cannot see it
}
