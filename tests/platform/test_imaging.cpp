// The imaging facade against ImageMagick's own reading of the same files.
#include "ImagingTestTools.h"
#include "core/FullDisk.h"
#include "platform/imaging/Decoders.h"
#include "platform/imaging/Imaging.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>
#include <thread>

using namespace pagero;
using namespace pagero::imaging;
using pagero::test::Compare;
using pagero::test::kConvert;
using pagero::test::kIdentify;
using pagero::test::MagickReading;
using pagero::test::RunTool;

namespace {

class ImagingTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = new QTemporaryDir;
        // A photo-like source: smooth fractal colour with edges.
        Make("source.png", {"-size", "160x120", "-seed", "4", "plasma:", "-blur", "0x1", "-fill", "none", "-stroke",
                            "black", "-draw", "rectangle 20,20 140,100", "-depth", "8", "PNG24:" + Path("source.png")});
    }
    static void TearDownTestSuite()
    {
        delete dir;
        dir = nullptr;
    }
    static QString Path(const QString &name) { return dir->filePath(name); }
    static void Make(const QString &name, const QStringList &args)
    {
        bool ok = false;
        RunTool(kConvert, args, &ok);
        ASSERT_TRUE(ok) << "convert failed for " << name.toStdString();
    }
    // Writes the source picture in another format with ImageMagick.
    static QString Convert(const QString &name, const QString &coder, const QStringList &options = {})
    {
        QStringList args{Path("source.png")};
        args << options << coder + ":" + Path(name);
        Make(name, args);
        return Path(name);
    }
    static QString WriteBytes(const QString &name, const QByteArray &bytes)
    {
        QFile f(Path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return Path(name);
    }
    static QByteArray ReadBytes(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static inline QTemporaryDir *dir = nullptr;
};

struct FormatCase {
    const char *file;
    const char *coder;
    QStringList writeOptions;
    double meanTolerance;
    int maxTolerance;
};

TEST_F(ImagingTest, EveryFormatDecodesLikeImageMagickReadsIt)
{
    const FormatCase cases[] = {
        {"a.bmp", "BMP3", {}, 0, 0},
        {"b.BMP", "BMP3", {"-colors", "64", "-type", "Palette"}, 0, 0},
        {"c.jpg", "JPEG", {"-quality", "90"}, 1.0, 24},
        {"d.JPG", "JPEG", {"-quality", "75", "-sampling-factor", "1x1"}, 1.0, 24},
        {"e.png", "PNG24", {}, 0, 0},
        {"f.gif", "GIF", {}, 0, 0},
        {"g.ico", "ICO", {"-resize", "64x48!"}, 0, 0},
        {"h.pcx", "PCX", {}, 0, 0},
        {"i.tif", "TIFF", {"-compress", "lzw"}, 0, 0},
        {"j.psd", "PSD", {}, 0, 0},
        {"k.pcd", "PCD", {}, 0.1, 1},   // YCC to RGB rounds a little differently
        {"l.tif", "TIFF", {"-colorspace", "CMYK"}, 0.6, 3},
        {"m.png", "PNG48", {"-depth", "16"}, 0.6, 1},
        // 5 and 6-bit channels: both readers widen to 8 bits, rounding a little differently.
        {"n.bmp", "BMP", {"-alpha", "off", "-define", "bmp:subtype=RGB565"}, 0.2, 1},
        {"o.bmp", "BMP", {"-alpha", "off", "-define", "bmp:subtype=RGB555"}, 0.2, 1},
        {"p.bmp", "BMP3", {"-flip", "-compress", "RLE", "-colors", "200", "-type", "Palette"}, 0, 0},
    };
    for (const FormatCase &c : cases) {
        SCOPED_TRACE(c.file);
        const QString path = Convert(c.file, c.coder, c.writeOptions);
        const LoadResult r = Load(path);
        ASSERT_TRUE(r.ok()) << r.error.toStdString();
        const QString source = QString::fromLatin1(c.file).endsWith(".pcd") ? path : path + "[0]";
        const QImage reference = MagickReading(source, QStringList{"-colorspace", "sRGB"});
        ASSERT_FALSE(reference.isNull());
        EXPECT_EQ(r.image.size(), reference.size());
        EXPECT_EQ(r.originalSize, reference.size());
        EXPECT_EQ(PictureSize(path), reference.size());
        const auto d = Compare(r.image, reference);
        EXPECT_LE(d.mean, c.meanTolerance + 0.01);
        EXPECT_LE(d.max, c.maxTolerance);
    }
}

TEST_F(ImagingTest, CmykJpegAndTransparentPngDecodeLikeImageMagick)
{
    const QString cmyk = Convert("cmyk.jpg", "JPEG", {"-colorspace", "CMYK", "-quality", "95"});
    LoadResult r = Load(cmyk);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    auto d = Compare(r.image, MagickReading(cmyk, {"-colorspace", "sRGB"}));
    EXPECT_LE(d.mean, 2.0);

    const QString alpha = Path("alpha.png");
    Make("alpha.png", {"-size", "40x30", "xc:none", "-fill", "#c23a8a", "-draw", "circle 20,15 20,3", "PNG32:" + alpha});
    r = Load(alpha);
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r.image.hasAlphaChannel());
    d = Compare(r.image, MagickReading(alpha, {"-background", "white", "-flatten"}));
    EXPECT_LE(d.mean, 0.5);
}

TEST_F(ImagingTest, MetafileRendersThroughImageMagick)
{
    const QString wmf = Path("emblem.wmf");
    bool ok = false;
    RunTool("/usr/bin/python3", {PAGERO_SOURCE_DIR "/scripts/make_media_files.py", "wmf", wmf}, &ok);
    ASSERT_TRUE(ok);
    const LoadResult r = Load(wmf);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.image.size(), QSize(288, 216));
    EXPECT_LE(Compare(r.image, MagickReading(wmf)).mean, 0.5);
}

TEST_F(ImagingTest, IconGivesItsLargestPicture)
{
    const QString ico = Path("sizes.ico");
    Make("sizes.ico", {Path("source.png"), "(", "-clone", "0", "-resize", "16x16!", ")", "(", "-clone", "0", "-resize",
                       "48x48!", ")", "(", "-clone", "0", "-resize", "32x32!", ")", "-delete", "0", "ICO:" + ico});
    EXPECT_EQ(PictureSize(ico), QSize(48, 48));
    const LoadResult r = Load(ico);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.image.size(), QSize(48, 48));
    EXPECT_LE(Compare(r.image, MagickReading(ico + "[1]")).mean, 0.01);
}

TEST_F(ImagingTest, ContentDecidesOverTheExtension)
{
    // A PNG that calls itself JPEG, a JPEG that calls itself TIFF: both still load.
    QFile::copy(Convert("real.png", "PNG24"), Path("liar.jpg"));
    QFile::copy(Convert("real.jpg", "JPEG"), Path("liar.tif"));
    EXPECT_TRUE(Load(Path("liar.jpg")).ok());
    EXPECT_TRUE(Load(Path("liar.tif")).ok());
}

TEST_F(ImagingTest, JpegDecodesAtReducedScaleAndFits)
{
    const QString big = Path("big.jpg");
    Make("big.jpg", {"-size", "400x300", "-seed", "9", "plasma:", "-resize", "4000x3000!", "-quality", "85", big});
    EXPECT_EQ(PictureSize(big), QSize(4000, 3000));

    // The smallest DCT scale that still covers the target.
    EXPECT_EQ(detail::JpegScaleDenominator({4000, 3000}, {400, 300}), 8);
    EXPECT_EQ(detail::JpegScaleDenominator({4000, 3000}, {501, 300}), 4);
    EXPECT_EQ(detail::JpegScaleDenominator({4000, 3000}, {1920, 1080}), 2);
    EXPECT_EQ(detail::JpegScaleDenominator({4000, 3000}, {2001, 1000}), 1);
    EXPECT_EQ(detail::JpegScaleDenominator({4000, 3000}, QSize()), 1);

    LoadResult r = Load(big, {400, 300});
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.image.size(), QSize(400, 300));
    EXPECT_EQ(r.originalSize, QSize(4000, 3000));
    EXPECT_LE(Compare(r.image, MagickReading(big, {"-resize", "400x300!"})).mean, 3.0);

    EXPECT_EQ(Load(big, {72, 70}).image.size(), QSize(72, 54));
    EXPECT_EQ(Load(big, {1000, 1000}).image.size(), QSize(1000, 750));
    EXPECT_EQ(Load(big, {3, 70}).image.size(), QSize(3, 2));

    // Never enlarged.
    const QString small = Convert("small.jpg", "JPEG");
    EXPECT_EQ(Load(small, {1000, 1000}).image.size(), QSize(160, 120));
    // Other routes fit the same way.
    EXPECT_EQ(Load(Convert("fit.png", "PNG24"), {80, 80}).image.size(), QSize(80, 60));
    EXPECT_EQ(Load(Convert("fit.pcx", "PCX"), {80, 80}).image.size(), QSize(80, 60));
}

TEST_F(ImagingTest, FitSizeKeepsProportionsAndNeverEnlarges)
{
    EXPECT_EQ(FitSize({10, 10}, {72, 70}), QSize(10, 10));
    EXPECT_EQ(FitSize({3000, 20}, {72, 70}), QSize(72, 1));
    EXPECT_EQ(FitSize({20, 3000}, {72, 70}), QSize(1, 70));
    EXPECT_EQ(FitSize({1600, 1200}, {72, 70}), QSize(72, 54));
    EXPECT_EQ(FitSize({1200, 1600}, {72, 70}), QSize(53, 70));
}

TEST_F(ImagingTest, DamagedFilesFailCleanlyAndQuickly)
{
    const QByteArray jpeg = ReadBytes(Convert("whole.jpg", "JPEG"));
    const QByteArray png = ReadBytes(Convert("whole.png", "PNG24"));
    const QByteArray pcx = ReadBytes(Convert("whole.pcx", "PCX"));
    const QByteArray tif = ReadBytes(Convert("whole.tif", "TIFF"));
    const QByteArray bmp = ReadBytes(Convert("whole.bmp", "BMP3"));

    QByteArray random(20000, '\0');
    QRandomGenerator gen(42);
    for (char &c : random) c = char(gen.bounded(256));

    // A JPEG whose frame header declares 60000 x 60000 pixels.
    QByteArray bomb = jpeg;
    const qsizetype sof = bomb.indexOf("\xFF\xC0");
    ASSERT_GT(sof, 0);
    qToBigEndian<quint16>(60000, bomb.data() + sof + 5);
    qToBigEndian<quint16>(60000, bomb.data() + sof + 7);
    // A BMP that declares 50000 x 50000.
    QByteArray bmpBomb = bmp;
    qToLittleEndian<qint32>(50000, bmpBomb.data() + 18);
    qToLittleEndian<qint32>(50000, bmpBomb.data() + 22);
    // A PCX that declares 65535 x 65535.
    QByteArray pcxBomb = pcx;
    qToLittleEndian<quint16>(0xFFFE, pcxBomb.data() + 8);
    qToLittleEndian<quint16>(0xFFFE, pcxBomb.data() + 10);

    const struct {
        const char *name;
        QByteArray bytes;
    } cases[] = {
        {"truncated.jpg", jpeg.left(jpeg.size() / 2)},
        {"header-only.jpg", jpeg.left(200)},
        {"truncated.png", png.left(png.size() / 2)},
        {"truncated.pcx", pcx.left(pcx.size() / 3)},
        {"truncated.tif", tif.left(tif.size() / 3)},
        {"truncated.bmp", bmp.left(bmp.size() / 2)},
        {"random.jpg", random},
        {"random.png", random},
        {"random.pcx", random},
        {"random.psd", random},
        {"random.avi", QByteArray("RIFF\x10\0\0\0AVI ", 12) + random},
        {"empty.jpg", QByteArray()},
        {"empty.pcx", QByteArray()},
        {"bomb.jpg", bomb},
        {"bomb.bmp", bmpBomb},
        {"bomb.pcx", pcxBomb},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = WriteBytes(c.name, c.bytes);
        QElapsedTimer clock;
        clock.start();
        const LoadResult r = Load(path, QSize(300, 300));
        EXPECT_FALSE(r.ok());
        EXPECT_FALSE(r.error.isEmpty());
        EXPECT_LT(clock.elapsed(), 10000);
    }
    EXPECT_FALSE(Load(Path("does-not-exist.jpg")).ok());
    EXPECT_FALSE(PictureSize(Path("random.jpg")).isValid());
    EXPECT_EQ(Load(Path("bomb.jpg")).originalSize, QSize(60000, 60000));
}

TEST_F(ImagingTest, VideoGivesItsFirstFrame)
{
    const QString avi = Path("clip.avi");
    bool ok = false;
    RunTool("ffmpeg", {"-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                       "color=c=0x3060c0:size=64x48:rate=10:duration=1", "-c:v", "mjpeg", "-q:v", "3", avi},
            &ok);
    ASSERT_TRUE(ok);
    const LoadResult r = Load(avi, QSize(32, 32));
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.originalSize, QSize(64, 48));
    EXPECT_EQ(r.image.size(), QSize(32, 24));
    const QRgb centre = r.image.pixel(16, 12);
    EXPECT_NEAR(qRed(centre), 0x30, 12);
    EXPECT_NEAR(qGreen(centre), 0x60, 12);
    EXPECT_NEAR(qBlue(centre), 0xc0, 12);
    EXPECT_EQ(PictureSize(avi), QSize(64, 48));
}

TEST_F(ImagingTest, SaveBmp16WritesRgb565ThatOtherReadersAgreeOn)
{
    QImage image(37, 21, QImage::Format_RGB32);   // odd width: rows need padding
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, qRgb(x * 7, y * 12, (x * y) % 256));
    const QString path = Path("thumb-jpg.bmp");
    ASSERT_TRUE(SaveBmp16(image, path));
    EXPECT_EQ(RunTool(kIdentify, {"-format", "%w %h", path}).trimmed(), QByteArray("37 21"));
    EXPECT_EQ(pagero::test::BmpBitsPerPixel(path), 16);
    const QByteArray bytes = ReadBytes(path);
    ASSERT_EQ(bytes.size(), 14 + 40 + 12 + 21 * 76);
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 30), 3u);   // BI_BITFIELDS

    // Read back by this facade and by ImageMagick: the 565 truncation of the original.
    const LoadResult back = Load(path);
    ASSERT_TRUE(back.ok());
    const QImage magick = MagickReading(path);
    for (const QImage &read : {back.image, magick}) {
        ASSERT_EQ(read.size(), image.size());
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb o = image.pixel(x, y), r = read.pixel(x, y);
                ASSERT_EQ(qRed(r) >> 3, qRed(o) >> 3) << x << "," << y;
                ASSERT_EQ(qGreen(r) >> 2, qGreen(o) >> 2) << x << "," << y;
                ASSERT_EQ(qBlue(r) >> 3, qBlue(o) >> 3) << x << "," << y;
            }
    }

    // Transparent parts are laid over white; saving replaces the old file without leftovers.
    QImage clear(4, 4, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    ASSERT_TRUE(SaveBmp16(clear, path));
    EXPECT_EQ(Load(path).image.pixel(1, 1), qRgb(255, 255, 255));
    EXPECT_EQ(QDir(dir->path()).entryList({"thumb-jpg*"}, QDir::Files | QDir::Hidden).size(), 1);
    EXPECT_FALSE(SaveBmp16(image, Path("no-such-folder/x.bmp")));
    EXPECT_FALSE(SaveBmp16(QImage(), Path("null.bmp")));
}

TEST_F(ImagingTest, SaveBmp16OnAFullDiskKeepsTheOldBitmap)
{
    pagero::test::FullDisk disk;
    const QString path = disk.Path() + "/thumb-jpg.bmp";
    QImage small(8, 8, QImage::Format_RGB32);
    small.fill(Qt::red);
    ASSERT_TRUE(SaveBmp16(small, path));
    const QImage before = Load(path).image;
    disk.Fill();
    QImage large(72, 48, QImage::Format_RGB32);
    large.fill(Qt::blue);
    for (FileSync sync : {FileSync::Durable, FileSync::NoSync}) {
        EXPECT_FALSE(SaveBmp16(large, path, sync));
        EXPECT_EQ(Load(path).image, before);
    }
}

TEST_F(ImagingTest, ConcurrentLoadsGiveTheSameResults)
{
    const QString avi = Path("t7.avi");
    bool made = false;
    RunTool("ffmpeg", {"-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=96x64:rate=5:duration=1",
                       "-c:v", "mjpeg", avi},
            &made);
    ASSERT_TRUE(made);
    const QStringList files{Convert("t1.jpg", "JPEG"), Convert("t2.png", "PNG24"), Convert("t3.pcx", "PCX"),
                            Convert("t4.tif", "TIFF"), Convert("t5.psd", "PSD"), Convert("t6.gif", "GIF"), avi};
    QList<QImage> expected;
    for (const QString &f : files) expected << Load(f, {72, 70}).image;
    std::atomic<int> mismatches{0};
    auto worker = [&](int offset) {
        for (int round = 0; round < 4; ++round)
            for (int i = 0; i < files.size(); ++i) {
                const int k = (i + offset) % files.size();
                if (Load(files[k], {72, 70}).image != expected[k]) {
                    ++mismatches;
                    ADD_FAILURE() << "differs: " << files[k].toStdString();
                }
            }
    };
    std::thread a(worker, 0), b(worker, 3), c(worker, 1);
    a.join();
    b.join();
    c.join();
    EXPECT_EQ(mismatches.load(), 0);
}

} // namespace
