// The program folder the build lays out: data folders, default pictures, sounds, the Samples album,
// and the design pictures and pointers compiled into the program.
#include "platform/Assets.h"
#include "platform/imaging/Imaging.h"
#include "platform/media/MediaLength.h"
#include "platform/system/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pagero;

namespace {

const QStringList kDefaultMask{"bmp", "jpg", "pcx", "wmf", "ico", "pcd", "gif", "tif", "png", "psd", "wav", "mid", "avi"};

QString Folder() { return QStringLiteral(PAGERO_TEST_PROGRAM_DIR); }

TEST(ProgramFolderLayoutTest, HoldsTheDataFoldersPicturesAndSounds)
{
    for (const char *sub : {"Overview", "Bookmark", "SysSound", "Samples", "BitPattern", "Help"})
        EXPECT_TRUE(QFileInfo(Folder() + "/" + sub).isDir()) << sub;
    EXPECT_TRUE(QFileInfo(Folder() + "/SysSound/flipSnd.wav").size() > 1000);
    EXPECT_TRUE(QFileInfo(Folder() + "/SysSound/sent email.wav").size() > 1000);
    EXPECT_TRUE(QFileInfo(Folder() + "/Help/index.html").size() > 500);
    // The three background-music tunes.
    for (const char *tune : {"bksnd1.mid", "bksnd2.mid", "bksnd3.mid"})
        EXPECT_GT(media::MediaLengthMs(Folder() + "/SysSound/" + tune), 10000) << tune;

    // The background tiles; the default cover is a JPEG under its own odd name.
    EXPECT_TRUE(imaging::Load(Folder() + "/~bkgnd.bmp").ok());
    const QString cover = Folder() + "/%Res1.%j";
    ASSERT_TRUE(QFileInfo(cover).isFile());
    const imaging::LoadResult coverPicture = imaging::Load(cover);
    EXPECT_TRUE(coverPicture.ok()) << coverPicture.error.toStdString();
    const QStringList patterns = QDir(Folder() + "/BitPattern").entryList({"*.bmp"}, QDir::Files);
    EXPECT_GE(patterns.size(), 3);
    for (const QString &p : patterns) EXPECT_TRUE(imaging::Load(Folder() + "/BitPattern/" + p).ok()) << p.toStdString();
}

TEST(ProgramFolderLayoutTest, SamplesAlbumCoversTheDefaultMask)
{
    const QDir samples(Folder() + "/Samples");
    const QFileInfoList files = samples.entryInfoList(QDir::Files | QDir::NoDotAndDotDot);
    QSet<QString> extensions;
    bool upperCase = false, lowerCase = false, bigPicture = false;
    qint64 total = 0;
    int corrupt = 0;
    for (const QFileInfo &f : files) {
        const QString ext = f.suffix();
        if (!kDefaultMask.contains(ext.toLower())) continue;
        extensions.insert(ext.toLower());
        total += f.size();
        (ext == ext.toUpper() ? upperCase : lowerCase) = true;
        if (ext.toLower() == "wav" || ext.toLower() == "mid") continue;
        const QSize size = imaging::PictureSize(f.filePath());
        if (size.width() >= 4000 && size.height() >= 3000) bigPicture = true;
        // Every picture and the video load, except the one damaged JPEG.
        const imaging::LoadResult r = imaging::Load(f.filePath(), QSize(300, 400));
        if (!r.ok()) {
            ++corrupt;
            EXPECT_EQ(ext.toLower(), "jpg") << f.fileName().toStdString() << ": " << r.error.toStdString();
        }
    }
    EXPECT_GE(files.size(), 20);
    for (const QString &ext : kDefaultMask) EXPECT_TRUE(extensions.contains(ext)) << ext.toStdString();
    EXPECT_TRUE(upperCase);
    EXPECT_TRUE(lowerCase);
    EXPECT_TRUE(bigPicture);
    EXPECT_EQ(corrupt, 1);
    EXPECT_LT(total, 15 * 1024 * 1024);
}

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray ReadFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(DataFolderTest, ReadOnlyProgramFolderMovesWritingToASeededUserFolder)
{
    QTemporaryDir root;
    const QString program = root.filePath("opt pagero"), user = root.filePath("home/.local/share/pagero");
    QDir().mkpath(program + "/SysSound");
    WriteFile(program + "/~bkgnd.bmp", "default background");
    WriteFile(program + "/SysSound/flipSnd.wav", "flip");
    WriteFile(program + "/libpostrel.so.1", "library");
    WriteFile(program + "/x.sound", "data");
    WriteFile(program + "/pagero", "program");
    QFile::setPermissions(program + "/pagero", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // A writable program folder stays where it is and no user folder appears.
    EXPECT_EQ(sys::ChooseDataFolder(program, true, user), program);
    EXPECT_FALSE(QFileInfo::exists(user));

    ASSERT_EQ(sys::ChooseDataFolder(program, false, user), user);
    for (const char *sub : {"Overview", "Bookmark", "SysSound"}) EXPECT_TRUE(QFileInfo(user + "/" + sub).isDir()) << sub;
    EXPECT_EQ(ReadFile(user + "/~bkgnd.bmp"), "default background");
    EXPECT_EQ(ReadFile(user + "/SysSound/flipSnd.wav"), "flip");
    EXPECT_FALSE(QFileInfo::exists(user + "/pagero"));
    EXPECT_FALSE(QFileInfo::exists(user + "/libpostrel.so.1"));
    EXPECT_TRUE(QFileInfo::exists(user + "/x.sound"));

    // What the user has changed survives later starts; a default removed by hand comes back.
    WriteFile(user + "/~bkgnd.bmp", "chosen background");
    QFile::remove(user + "/SysSound/flipSnd.wav");
    EXPECT_EQ(sys::ChooseDataFolder(program, false, user), user);
    EXPECT_EQ(ReadFile(user + "/~bkgnd.bmp"), "chosen background");
    EXPECT_EQ(ReadFile(user + "/SysSound/flipSnd.wav"), "flip");

    // A user folder that cannot be made leaves the program folder in use.
    WriteFile(root.filePath("blocked"), "a file, not a folder");
    EXPECT_EQ(sys::ChooseDataFolder(program, false, root.filePath("blocked/pagero")), program);

    // $PAGERO_EXEDIR (set for every test) always names the folder to write to.
    EXPECT_EQ(sys::DataFolder(), sys::ProgramFolder());
}

TEST(DesignAssetsTest, EveryPictureAndPointerIsThere)
{
    for (const QString &name : DesignImageNames()) EXPECT_FALSE(DesignImage(name).isNull()) << name.toStdString();
    EXPECT_EQ(DesignImage("wavIcon").size(), QSize(49, 49));
    EXPECT_EQ(DesignImage("midIcon").size(), QSize(71, 71));
    EXPECT_TRUE(DesignImage("NoSuchPicture").isNull());
    // The sound icons are drawn opaque.
    const QImage wav = DesignImage("wavIcon");
    for (int y = 0; y < wav.height(); ++y)
        for (int x = 0; x < wav.width(); ++x) ASSERT_EQ(qAlpha(wav.pixel(x, y)), 255);
    // The page-jump box holds its label field and section icon.
    const QImage box = DesignImage("ThumbCursorImg");
    EXPECT_GE(box.width(), kJumpIconLeft + DesignImage("CoverImg").width());
    EXPECT_GE(box.width(), kJumpLabelLeft + kJumpLabelWidth);
    EXPECT_GE(box.height(), kJumpIconTop + DesignImage("CoverImg").height());

    const QStringList cursorNames{"HAND", "HANDMOVE", "HANDPNT", "HANDPNTMOVE", "HANDPNTGOTO", "HANDPNTVIEW",
                                  "HANDPNTGOTO2", "ZOOMIN", "HANDPNTRIGHT1"};
    for (int id = 1; id <= 9; ++id) {
        EXPECT_EQ(DesignCursorName(id), cursorNames[id - 1]);
        const QCursor cursor = DesignCursor(id);
        EXPECT_EQ(cursor.shape(), Qt::BitmapCursor) << id;
        EXPECT_EQ(cursor.pixmap().size(), QSize(32, 32)) << id;
        // The hot spot sits on a drawn pixel or right beside one.
        const QImage shape = cursor.pixmap().toImage();
        const QPoint hot = cursor.hotSpot();
        int drawn = 0;
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) {
                const QPoint p = hot + QPoint(dx, dy);
                if (shape.rect().contains(p) && qAlpha(shape.pixel(p)) > 0) ++drawn;
            }
        EXPECT_GT(drawn, 0) << id;
    }
    EXPECT_EQ(DesignCursor(0).shape(), Qt::ArrowCursor);
    EXPECT_EQ(DesignCursor(10).shape(), Qt::ArrowCursor);
}

} // namespace
