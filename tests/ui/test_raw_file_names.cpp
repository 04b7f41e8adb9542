// A file whose name is not UTF-8 is a page like any other: its thumbnail is made from the file and
// the cache index names it by its bytes.
#include "main_window_fixture.h"
#include "core/common/FileNames.h"
#include "core/pages/ThumbnailCache.h"
#include "pages/OrvImgInfoBox.h"
#include <QDirIterator>
#include <cstdio>
#include <unistd.h>

using namespace pagero;
using namespace pagero::test;

TEST_F(MainWindowTest, AFileNamedInBytesThatAreNotUtf8GetsItsThumbnailAndItsPage)
{
    const QString raw = root.filePath("raw");
    ASSERT_TRUE(QDir().mkpath(raw));
    MakePicture(raw + "/plain.png", 60, 40, Qt::blue);
    const QByteArray name("bad\xff\xfe.png");
    const QByteArray path = QFile::encodeName(raw) + "/" + name;
    ASSERT_EQ(::rename(QFile::encodeName(raw + "/plain.png").constData(), path.constData()), 0);

    TTurvane_Fm &w = Start({raw});
    ASSERT_TRUE(WaitOpen());
    ASSERT_EQ(w.Pages().Count(), 1);
    EXPECT_EQ(EncodeFileName(w.Pages().NameOf(0)), name);

    // The album's cache subfolder: its index names the file by its bytes, and its bitmap is the
    // picture (blue), not the grey "Data Error!" sign.
    QDirIterator it(exeDir + "/Overview", {kFileIndexName}, QDir::Files, QDirIterator::Subdirectories);
    ASSERT_TRUE(it.hasNext());
    const QString index = it.next();
    QFile f(index);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith(name + "\r\n"));
    const QImage thumb(QFileInfo(index).path() + "/" + ThumbnailCache::ThumbnailNameFor(w.Pages().NameOf(0)));
    ASSERT_FALSE(thumb.isNull());
    const QColor middle = thumb.pixelColor(thumb.width() / 2, thumb.height() / 2);   // 16-bit: 248
    EXPECT_TRUE(middle.blue() > 240 && middle.red() == 0 && middle.green() == 0) << middle.name().toStdString();
    // The file information reads it too.
    const PictureFileInfo info = ReadPictureFileInfo(w.Pages().PagePath(0));
    EXPECT_EQ(QSize(info.width, info.height), QSize(60, 40));
    EXPECT_GT(info.sizeOnDisk, 0);
    ::unlink(path.constData());   // Qt's own removal cannot see it
}
