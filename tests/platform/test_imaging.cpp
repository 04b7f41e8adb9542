// The imaging facade against ImageMagick's own reading of the same files.
#include "ImagingTestTools.h"
#include "core/FullDisk.h"
#include "platform/imaging/Decoders.h"
#include "platform/imaging/Imaging.h"
#include "core/common/FileNames.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <tiffio.h>
#include <cstdio>
#include <unistd.h>
#include <thread>

using namespace pagero;
using namespace pagero::imaging;
using pagero::test::Compare;
using pagero::test::kConvert;
using pagero::test::kIdentify;
using pagero::test::MagickReading;
using pagero::test::RunTool;
using pagero::test::WithOrientation;

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
    // A TIFF under a camera RAW name.
    QFile::copy(Convert("real.tif", "TIFF"), Path("liar.nef"));
    EXPECT_TRUE(Load(Path("liar.nef")).ok());
    EXPECT_EQ(PictureSize(Path("liar.nef")), QSize(160, 120));
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
    const QString tif = Convert("fit.tif", "TIFF");   // box-averaged while decoding
    r = Load(tif, {80, 80});
    EXPECT_EQ(r.image.size(), QSize(80, 60));
    EXPECT_LE(Compare(r.image, MagickReading(tif, {"-resize", "80x60!"})).mean, 3.0);
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

// Peak resident memory of the process so far, in megabytes.
long PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

TEST_F(ImagingTest, SparseGigabyteFilesCostOnlyThePicture)
{
    const QByteArray jpeg = ReadBytes(Convert("sparse-source.jpg", "JPEG"));
    const qsizetype eoi = jpeg.lastIndexOf("\xFF\xD9");
    ASSERT_GT(eoi, 0);
    QByteArray bmp16 = ReadBytes(Convert("sparse-source.bmp", "BMP3", {"-alpha", "off", "-define", "bmp:subtype=RGB565"}));
    qToLittleEndian<qint32>(20000, bmp16.data() + 18);   // 20000 x 20000 declared, 800 MB of rows
    qToLittleEndian<qint32>(20000, bmp16.data() + 22);
    // Each file is extended to 1 GB by a hole, which reads as zeros.
    const auto sparse = [&](const char *name, const QByteArray &start) {
        const QString path = WriteBytes(name, start);
        QFile f(path);
        EXPECT_TRUE(f.resize(qint64(1) << 30));
        return path;
    };
    const QString signatureOnly = sparse("signature.jpg", QByteArray("\xFF\xD8\xFF\xE0", 4));
    const QString whole = sparse("whole-then-hole.jpg", jpeg);
    const QString endless = sparse("no-end.jpg", jpeg.left(eoi));
    const QString bmp = sparse("huge.bmp", bmp16);
    bool ok = false;
    RunTool("/usr/bin/cwebp", {"-quiet", Path("source.png"), "-o", Path("sparse-source.webp")}, &ok);
    ASSERT_TRUE(ok);
    const QString webp = WriteBytes("tail.webp", ReadBytes(Path("sparse-source.webp")));
    {
        QFile f(webp);
        ASSERT_TRUE(f.resize(qint64(200) << 20));   // under the read limit, past the picture's length
    }

    const long before = PeakMegabytes();
    EXPECT_FALSE(Load(signatureOnly, {300, 300}).ok());
    const LoadResult decoded = Load(whole, {300, 300});   // ends at its end-of-image marker
    ASSERT_TRUE(decoded.ok()) << decoded.error.toStdString();
    EXPECT_EQ(decoded.image.size(), QSize(160, 120));
    Load(endless, {300, 300});   // whatever it gives, it reads no more than the picture can need
    const LoadResult huge = Load(bmp, {300, 300});
    EXPECT_FALSE(huge.ok());
    EXPECT_FALSE(huge.error.isEmpty());
    EXPECT_EQ(PictureSize(whole), QSize(160, 120));
    EXPECT_TRUE(Load(webp, {300, 300}).ok());
    EXPECT_LT(PeakMegabytes() - before, 64);
}

TEST_F(ImagingTest, OrientationTagsTurnPicturesUpright)
{
    // A 64 x 32 picture whose corners differ, so every flip and turn shows.
    const QString source = Path("corners.png");
    Make("corners.png", {"-size", "64x32", "xc:white", "-fill", "red", "-draw", "rectangle 0,0 31,15", "-fill",
                         "blue", "-draw", "rectangle 32,16 63,31", "-fill", "lime", "-draw", "rectangle 0,16 15,31",
                         "PNG24:" + source});
    Make("corners.jpg", {source, "-quality", "95", "-sampling-factor", "1x1", Path("corners.jpg")});
    const QByteArray jpeg = ReadBytes(Path("corners.jpg"));
    const char *tiffOrients[] = {"", "TopLeft", "TopRight", "BottomRight", "BottomLeft",
                                 "LeftTop", "RightTop", "RightBottom", "LeftBottom"};
    for (int o = 1; o <= 8; ++o) {
        SCOPED_TRACE(o);
        const QString jpg = WriteBytes(QString("orient%1.jpg").arg(o), WithOrientation(jpeg, o));
        const QString tif = Path(QString("orient%1.tif").arg(o));
        Make(tif, {source, "-orient", tiffOrients[o], "TIFF:" + tif});
        const QSize upright = o >= 5 ? QSize(32, 64) : QSize(64, 32);
        for (const QString &path : {jpg, tif}) {
            const QImage reference = MagickReading(path, {"-auto-orient"});
            const LoadResult r = Load(path);
            ASSERT_TRUE(r.ok()) << r.error.toStdString();
            EXPECT_EQ(r.originalSize, upright);
            EXPECT_EQ(PictureSize(path), upright);
            EXPECT_LE(Compare(r.image, reference).mean, 1.0) << path.toStdString();
            // Fitted in the upright shape: a 30 x 30 box gives 15 x 30 for a standing picture.
            EXPECT_EQ(Load(path, {30, 30}).image.size(), o >= 5 ? QSize(15, 30) : QSize(30, 15));
        }
    }
}

TEST_F(ImagingTest, TiffThumbnailsReadTheReducedResolutionPicture)
{
    // A red 400 x 300 picture with a blue 100 x 75 reduced-resolution copy, as pyramids store them.
    const QString path = Path("pyramid.tif");
    TIFF *tif = TIFFOpen(QFile::encodeName(path).constData(), "w");
    ASSERT_TRUE(tif);
    const auto page = [tif](int w, int h, uint8_t r, uint8_t b, bool reduced) {
        TIFFSetField(tif, TIFFTAG_SUBFILETYPE, reduced ? FILETYPE_REDUCEDIMAGE : 0);
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, w);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, h);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 16);
        std::vector<uint8_t> row(size_t(w) * 3);
        for (int x = 0; x < w; ++x) { row[x * 3] = r; row[x * 3 + 1] = 0; row[x * 3 + 2] = b; }
        for (int y = 0; y < h; ++y) TIFFWriteScanline(tif, row.data(), uint32_t(y), 0);
        TIFFWriteDirectory(tif);
    };
    page(400, 300, 255, 0, false);
    page(100, 75, 0, 255, true);
    TIFFClose(tif);

    const LoadResult thumb = Load(path, {72, 70});
    ASSERT_TRUE(thumb.ok()) << thumb.error.toStdString();
    EXPECT_EQ(thumb.image.size(), QSize(72, 54));
    EXPECT_EQ(thumb.originalSize, QSize(400, 300));
    EXPECT_EQ(thumb.image.pixel(36, 27), qRgb(0, 0, 255));
    // The reduced copy does not cover a larger target: the full picture is read.
    EXPECT_EQ(Load(path, {200, 200}).image.pixel(50, 50), qRgb(255, 0, 0));
    EXPECT_EQ(Load(path).image.size(), QSize(400, 300));

    // A pyramid of plain pages, each half the one before, as ImageMagick writes it.
    const QString ptif = Path("pages.tif");
    Make("pages.tif", {Path("source.png"), "-resize", "640x480!", "PTIF:" + ptif});
    const LoadResult level = Load(ptif, {72, 70});
    ASSERT_TRUE(level.ok()) << level.error.toStdString();
    EXPECT_EQ(level.originalSize, QSize(640, 480));
    EXPECT_LE(Compare(level.image, MagickReading(Path("source.png"), {"-resize", "72x54!"})).mean, 4.0);
}

TEST_F(ImagingTest, HeifAvifAndWebpDecodeAndFit)
{
    const QImage source = MagickReading(Path("source.png"));
    bool ok = false;
    const QString heic = Path("photo.heic"), avif = Path("photo.avif"), webp = Path("photo.webp");
    RunTool("/usr/bin/heif-enc", {"-q", "90", "-t", "96", "-o", heic, Path("source.png")}, &ok);
    ASSERT_TRUE(ok);
    RunTool("/usr/bin/heif-enc", {"-A", "-q", "90", "-o", avif, Path("source.png")}, &ok);
    ASSERT_TRUE(ok);
    RunTool("/usr/bin/cwebp", {"-quiet", "-lossless", Path("source.png"), "-o", webp}, &ok);
    ASSERT_TRUE(ok);
    for (const QString &path : {heic, avif, webp}) {
        SCOPED_TRACE(path.toStdString());
        const LoadResult r = Load(path);
        ASSERT_TRUE(r.ok()) << r.error.toStdString();
        EXPECT_EQ(PictureSize(path), QSize(160, 120));
        EXPECT_LE(Compare(r.image, source).mean, path == webp ? 0.0 : 4.0);
        // Fitted (from HEIC's embedded thumbnail, or scaled by the WebP decoder).
        const LoadResult fitted = Load(path, {80, 80});
        EXPECT_EQ(fitted.originalSize, QSize(160, 120));
        EXPECT_LE(Compare(fitted.image, MagickReading(Path("source.png"), {"-resize", "80x60!"})).mean, 6.0);
    }
    // A truncated HEIC fails cleanly.
    EXPECT_FALSE(Load(WriteBytes("cut.heic", ReadBytes(heic).left(400))).ok());
}

// A DNG as cameras write it: a small RGB preview in the first directory, the sensor's linear RGB
// data (16 bits) in a sub-directory.
void WriteDng(const QString &path, QSize sensor, QRgb sensorColour, QSize preview, QRgb previewColour,
              int orientation = 1)
{
    TIFF *tif = TIFFOpen(QFile::encodeName(path).constData(), "w");
    ASSERT_TRUE(tif);
    const uint8_t version[4] = {1, 4, 0, 0};
    TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_REDUCEDIMAGE);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, preview.width());
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, preview.height());
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, orientation);
    TIFFSetField(tif, TIFFTAG_MAKE, "Pagero");
    TIFFSetField(tif, TIFFTAG_MODEL, "Test Camera");
    TIFFSetField(tif, TIFFTAG_DNGVERSION, version);
    TIFFSetField(tif, TIFFTAG_UNIQUECAMERAMODEL, "Pagero Test Camera");
    const float identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    TIFFSetField(tif, TIFFTAG_COLORMATRIX1, 9, identity);
    TIFFSetField(tif, TIFFTAG_CALIBRATIONILLUMINANT1, 21);
    toff_t subOffset = 0;
    TIFFSetField(tif, TIFFTAG_SUBIFD, 1, &subOffset);
    std::vector<uint8_t> row(size_t(preview.width()) * 3);
    for (int x = 0; x < preview.width(); ++x) {
        row[x * 3] = uint8_t(qRed(previewColour)); row[x * 3 + 1] = uint8_t(qGreen(previewColour));
        row[x * 3 + 2] = uint8_t(qBlue(previewColour));
    }
    for (int y = 0; y < preview.height(); ++y) TIFFWriteScanline(tif, row.data(), uint32_t(y), 0);
    TIFFWriteDirectory(tif);

    TIFFSetField(tif, TIFFTAG_SUBFILETYPE, 0);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, sensor.width());
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, sensor.height());
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 16);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, 34892);   // linear raw
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    std::vector<uint16_t> raw(size_t(sensor.width()) * 3);
    for (int x = 0; x < sensor.width(); ++x) {
        raw[x * 3] = uint16_t(qRed(sensorColour) * 257); raw[x * 3 + 1] = uint16_t(qGreen(sensorColour) * 257);
        raw[x * 3 + 2] = uint16_t(qBlue(sensorColour) * 257);
    }
    for (int y = 0; y < sensor.height(); ++y) TIFFWriteScanline(tif, raw.data(), uint32_t(y), 0);
    TIFFWriteDirectory(tif);
    TIFFClose(tif);
}

TEST_F(ImagingTest, CameraRawUsesItsPreviewWhenLargeEnough)
{
    const QString dng = Path("camera.dng");
    WriteDng(dng, {640, 480}, qRgb(200, 40, 40), {320, 240}, qRgb(40, 40, 200));
    EXPECT_EQ(PictureSize(dng), QSize(640, 480));
    const LoadResult thumb = Load(dng, {72, 70});
    ASSERT_TRUE(thumb.ok()) << thumb.error.toStdString();
    EXPECT_EQ(thumb.image.size(), QSize(72, 54));
    EXPECT_EQ(thumb.originalSize, QSize(640, 480));
    EXPECT_GT(qBlue(thumb.image.pixel(36, 27)), 150);   // the preview's colour
    // The preview does not cover the full size: the sensor data is developed.
    const LoadResult full = Load(dng);
    ASSERT_TRUE(full.ok()) << full.error.toStdString();
    EXPECT_EQ(full.image.size(), QSize(640, 480));
    const QRgb centre = full.image.pixel(320, 240);
    EXPECT_GT(qRed(centre), qBlue(centre) + 50);
    EXPECT_FALSE(Load(WriteBytes("cut.dng", ReadBytes(dng).left(300))).ok());

    // A camera held upright: preview and developed picture both stand.
    const QString turned = Path("turned.dng");
    WriteDng(turned, {640, 480}, qRgb(200, 40, 40), {320, 240}, qRgb(40, 40, 200), 6);
    EXPECT_EQ(PictureSize(turned), QSize(480, 640));
    EXPECT_EQ(Load(turned, {72, 70}).image.size(), QSize(53, 70));
    EXPECT_EQ(Load(turned).image.size(), QSize(480, 640));
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

TEST_F(ImagingTest, NamesThatAreNotUtf8LoadThroughTheirBytes)
{
    // Qt cannot name these files; the loader reads them by their bytes, each format by its extension.
    for (const char *coder : {"JPEG", "PNG", "TIFF"}) {
        const QString plain = Convert(QString("plain.%1").arg(QString(coder).toLower()), coder);
        const QByteArray bytes = QFile::encodeName(dir->path()) + "/bad\xff\xfe." + QByteArray(coder).toLower();
        ASSERT_EQ(::rename(QFile::encodeName(plain).constData(), bytes.constData()), 0);
        const LoadResult r = Load(pagero::DecodeFileName(bytes));
        EXPECT_TRUE(r.ok()) << coder << ": " << r.error.toStdString();
        EXPECT_EQ(r.image.size(), QSize(160, 120)) << coder;
        ::unlink(bytes.constData());   // Qt's own removal cannot see it
    }
}
