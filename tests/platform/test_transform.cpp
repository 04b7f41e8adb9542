// Turning and resizing picture files in place: lossless JPEG turns, the fallback, orientation, other
// formats, and files left untouched on every failure.
#include "ImagingTestTools.h"
#include "core/common/AtomicFile.h"
#include "core/common/MyLib.h"
#include "platform/imaging/Decoders.h"
#include "platform/imaging/Imaging.h"
#include "platform/imaging/Transform.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pagero;
using namespace pagero::imaging;
using pagero::test::Compare;
using pagero::test::kConvert;
using pagero::test::RunTool;

namespace {

class TransformTest : public ::testing::Test {
protected:
    QString Make(const QString &name, const QString &size, const QStringList &options = {})
    {
        bool ok = false;
        QStringList args{"-size", size, "-seed", "7", "plasma:", "-blur", "0x1"};
        args << options << dir.filePath(name);
        RunTool(kConvert, args, &ok);
        EXPECT_TRUE(ok);
        return dir.filePath(name);
    }
    static QByteArray Bytes(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void Write(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    static int OrientationOf(const QString &path)
    {
        int orientation = 0;
        detail::ScanJpegHeader(path, &orientation);
        return orientation;
    }
    QTemporaryDir dir;
};

TEST_F(TransformTest, QuarterTurnsOfAJpegAreLosslessAndFourGiveThePixelsBack)
{
    const QString path = Make("a.jpg", "64x48", {"-sampling-factor", "2x2", "-quality", "90"});
    const QImage before = Load(path).image;
    for (int i = 0; i < 4; ++i) {
        const TransformResult r = RotateFile(path, i % 2 ? -270 : 90);
        ASSERT_EQ(r.status, TransformStatus::Done) << r.error.toStdString();
        EXPECT_TRUE(r.lossless);
        if (i == 0) {
            const QImage once = Load(path).image;
            ASSERT_EQ(once.size(), QSize(48, 64));
            EXPECT_LT(Compare(once, before.transformed(QTransform().rotate(90))).mean, 2.0);
        }
    }
    EXPECT_EQ(Load(path).image, before);
}

TEST_F(TransformTest, JpegOfAnOddSizeIsEncodedAgainWholeAndUntrimmed)
{
    const QString path = Make("odd.jpg", "67x45", {"-sampling-factor", "2x2", "-quality", "95"});
    const QImage before = Load(path).image;
    const TransformResult r = RotateFile(path, 90);
    ASSERT_EQ(r.status, TransformStatus::Done);
    EXPECT_FALSE(r.lossless);
    const QImage after = Load(path).image;
    ASSERT_EQ(after.size(), QSize(45, 67));
    const QImage expected = before.transformed(QTransform().rotate(90));
    EXPECT_LT(Compare(after, expected).mean, 3.0);
    // The partial blocks at the edges hold the picture, not garbage.
    EXPECT_LT(Compare(after.copy(0, 60, 45, 7), expected.copy(0, 60, 45, 7)).mean, 4.0);
}

TEST_F(TransformTest, OrientationIsFoldedIntoThePixelsAndResetWithTheDateKept)
{
    const QString path = Make("o.jpg", "64x32", {"-quality", "90"});
    Write(path, pagero::test::WithOrientation(Bytes(path), 6));
    const QDateTime stamp = QDateTime::currentDateTime().addDays(-3);
    ASSERT_TRUE(SetFileTime(path, stamp));
    const QImage upright = Load(path).image;   // 32 x 64 as shown
    const TransformResult r = RotateFile(path, 0);
    ASSERT_EQ(r.status, TransformStatus::Done);
    EXPECT_TRUE(r.lossless);
    EXPECT_EQ(OrientationOf(path), 1);
    // The same coefficients, turned: only the decoder's rounding may differ.
    EXPECT_LT(Compare(Load(path).image, upright).max, 3);
    EXPECT_EQ(FileDateTimeOf(path).toSecsSinceEpoch(), stamp.toSecsSinceEpoch());

    ASSERT_EQ(RotateFile(path, -90).status, TransformStatus::Done);
    EXPECT_EQ(OrientationOf(path), 1);
    EXPECT_LT(Compare(Load(path).image, upright.transformed(QTransform().rotate(-90))).max, 3);
}

TEST_F(TransformTest, OtherAnglesAndFormatsGrowTheCanvasWithTheFillColour)
{
    bool ok = false;
    RunTool(kConvert, {"-size", "40x20", "xc:rgb(10,200,30)", "PNG24:" + dir.filePath("p.png")}, &ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(RotateFile(dir.filePath("p.png"), 45, qRgb(255, 0, 0)).status, TransformStatus::Done);
    EXPECT_TRUE(Bytes(dir.filePath("p.png")).startsWith("\x89PNG"));
    const QImage out = Load(dir.filePath("p.png")).image;
    EXPECT_NEAR(out.width(), 43, 1);
    EXPECT_NEAR(out.height(), 43, 1);
    EXPECT_EQ(out.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(out.pixel(out.width() / 2, out.height() / 2), qRgb(10, 200, 30));
}

TEST_F(TransformTest, FailuresLeaveTheFileUntouched)
{
    const QString good = Make("g.jpg", "64x48");
    const QByteArray goodBytes = Bytes(good);

    InjectWriteFault(InjectedWriteFault::Write);
    EXPECT_EQ(RotateFile(good, 90).status, TransformStatus::WriteFailed);
    EXPECT_EQ(ResizeFile(good, [](QSize s) { return s / 2; }).status, TransformStatus::WriteFailed);
    InjectWriteFault(InjectedWriteFault::None);
    EXPECT_EQ(Bytes(good), goodBytes);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1) << "no temporary file stays";

    ASSERT_TRUE(SetReadOnly(good, true));
    EXPECT_EQ(RotateFile(good, 90).status, TransformStatus::ReadOnly);
    ASSERT_TRUE(SetReadOnly(good, false));
    EXPECT_EQ(Bytes(good), goodBytes);

    const QString broken = dir.filePath("broken.jpg");
    Write(broken, goodBytes.left(40));
    EXPECT_EQ(RotateFile(broken, 30).status, TransformStatus::DecodeFailed);
    EXPECT_EQ(Bytes(broken), goodBytes.left(40));

    // Writing back the first frame alone would lose the rest of an animation.
    bool ok = false;
    RunTool(kConvert, {"-size", "8x8", "xc:red", "xc:blue", dir.filePath("anim.gif")}, &ok);
    ASSERT_TRUE(ok);
    const QByteArray anim = Bytes(dir.filePath("anim.gif"));
    EXPECT_EQ(RotateFile(dir.filePath("anim.gif"), 90).status, TransformStatus::EncodeFailed);
    EXPECT_EQ(Bytes(dir.filePath("anim.gif")), anim);

    EXPECT_EQ(RotateFile(dir.filePath("gone.jpg"), 90).status, TransformStatus::Missing);
}

TEST_F(TransformTest, ResizeGivesTheWantedSizeKeepsExifAndPalette)
{
    const QString path = Make("r.jpg", "300x200");
    Write(path, pagero::test::WithOrientation(Bytes(path), 1));
    for (SizeMode mode : {SizeMode::Resize, SizeMode::Resample}) {
        const TransformResult r = ResizeFile(path, [](QSize s) { return QSize(s.width() / 3, s.height() / 2); }, mode);
        ASSERT_EQ(r.status, TransformStatus::Done) << r.error.toStdString();
    }
    EXPECT_EQ(PictureSize(path), QSize(33, 50));
    EXPECT_GE(detail::ScanJpegHeader(path).exifOffset(), 0);
    EXPECT_EQ(ResizeFile(path, [](QSize s) { return s; }).status, TransformStatus::Unchanged);

    const QString gif = Make("g.gif", "40x40", {"-colors", "16"});
    ASSERT_EQ(ResizeFile(gif, [](QSize) { return QSize(80, 20); }).status, TransformStatus::Done);
    EXPECT_EQ(PictureSize(gif), QSize(80, 20));
    EXPECT_TRUE(Bytes(gif).startsWith("GIF8"));
}

} // namespace
