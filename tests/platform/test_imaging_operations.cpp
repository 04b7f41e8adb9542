// The editor's pixel operations against ImageMagick's command line doing the same on the same
// small photo, and saving in the nine formats read back by identify.
#include "ImagingTestTools.h"
#include "core/common/AtomicFile.h"
#include "platform/imaging/Operations.h"

#include <QFile>
#include <algorithm>
#include <vector>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace pagero;
using namespace pagero::imaging;
using pagero::test::Compare;
using pagero::test::MagickReading;

namespace {

class Operations : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        source = dir.filePath("rose.png");
        bool ok = false;
        // ImageMagick's built-in 70x46 photograph, enlarged a little so that 5x5 filters have room.
        test::RunTool(test::kConvert, {"rose:", "-resize", "140x92!", "PNG24:" + source}, &ok);
        ASSERT_TRUE(ok);
        picture = QImage(source).convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(picture.isNull());
    }
    QTemporaryDir dir;
    QString source;
    QImage picture;
};

struct Case {
    const char *name;
    std::function<bool(QImage &)> op;
    QStringList convertArgs;
    double meanTolerance;
};

TEST_F(Operations, MatchImageMagickCommandLine)
{
    const QColor yellow(255, 255, 0);
    const Case cases[] = {
        // ImageMagick rounds its 16-bit result once more: up to one level apart.
        {"intensity", [](QImage &i) { return ChangeIntensity(i, 300); }, {"-brightness-contrast", "30x0"}, 1.0},
        {"contrast", [](QImage &i) { return ChangeContrast(i, -400); }, {"-brightness-contrast", "0x-40"}, 0.6},
        {"saturation", [](QImage &i) { return ChangeSaturation(i, 500); }, {"-modulate", "100,150,100"}, 0.6},
        {"hue", [](QImage &i) { return ChangeHue(i, 90); }, {"-modulate", "100,100,150"}, 0.6},
        {"gamma", [](QImage &i) { return GammaCorrect(i, 220); }, {"-gamma", "2.2"}, 0.6},
        {"solarize", [](QImage &i) { return Solarize(i, 128); }, {"-solarize", "50.2%"}, 0.6},
        {"negative", [](QImage &i) { return Invert(i); }, {"-negate"}, 0.01},
        {"grey scale", [](QImage &i) { return GrayScale(i); }, {"-colorspace", "Gray"}, 0.6},
        {"halftone", [](QImage &i) { return HalfTone(i, 1); }, {"-colorspace", "Gray", "-ordered-dither", "h6x6a"}, 0.6},
        {"equalize", [](QImage &i) { return HistoEqualize(i); }, {"-equalize"}, 0.6},
        {"stretch", [](QImage &i) { return StretchIntensity(i); }, {"-auto-level"}, 0.6},
        {"average", [](QImage &i) { return AverageFilter(i, 5); }, {"-statistic", "Mean", "5x5"}, 0.6},
        {"median", [](QImage &i) { return MedianFilter(i, 5); }, {"-statistic", "Median", "5x5"}, 0.6},
        {"sharpen", [](QImage &i) { return Sharpen(i, 500); }, {"-unsharp", "0x1+1+0"}, 0.6},
        {"blur", [](QImage &i) { return Sharpen(i, -500); }, {"-blur", "0x2"}, 0.6},
        {"posterize", [](QImage &i) { return Posterize(i, 4); }, {"-posterize", "4"}, 0.6},
        {"mosaic", [](QImage &i) { return Mosaic(i, 4); }, {"-scale", "35x23!", "-sample", "140x92!"}, 0.6},
        {"sobel vertical", [](QImage &i) { return SpatialFilter(i, 23); }, {"-morphology", "Convolve", "Sobel:90"}, 0.6},
        {"emboss north", [](QImage &i) { return SpatialFilter(i, 0); },
         {"-define", "convolve:bias=50%", "-morphology", "Convolve", "3x3: 0,1,0,0,0,0,0,-1,0"}, 1.2},
        {"line segment", [](QImage &i) { return SpatialFilter(i, 29); },
         {"-morphology", "Convolve", "3x3: -1,-1,-1,2,2,2,-1,-1,-1"}, 0.6},
        {"colour resolution", [](QImage &i) { return ColorRes(i, 4, ColorResFlag::PaletteOptimized); },
         {"+dither", "-colors", "16"}, 1.5},
        {"flip", [](QImage &i) { return FlipVertical(i); }, {"-flip"}, 0.01},
        {"reverse", [](QImage &i) { return FlipHorizontal(i); }, {"-flop"}, 0.01},
        {"rotate", [yellow](QImage &i) { return RotateFine(i, 3000, 1, yellow); },
         {"-background", "#ffff00", "-rotate", "30"}, 0.6},
        {"shear", [yellow](QImage &i) { return Shear(i, -2000, false, yellow); },
         {"-background", "#ffff00", "-shear", "0x-20"}, 0.6},
        {"size", [](QImage &i) { return SizeBitmap(i, 61, 200, 0); }, {"-sample", "61x200!"}, 0.01},
        {"resample", [](QImage &i) { return ResampleBitmap(i, 61, 200); }, {"-resize", "61x200!"}, 0.6},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QImage mine = picture;
        ASSERT_TRUE(c.op(mine));
        const QImage theirs = MagickReading(source, c.convertArgs);
        ASSERT_EQ(mine.size(), theirs.size());
        const auto d = Compare(mine, theirs);
        EXPECT_LE(d.mean, c.meanTolerance) << "largest difference " << d.max;
    }
}

TEST_F(Operations, NoiseTouchesOnlyItsChannelAndGrowsWithTheAmount)
{
    QImage red = picture;
    ASSERT_TRUE(AddNoise(red, 500, NoiseChannel::Red));
    double redChange = 0, otherChange = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb a = picture.pixel(x, y), b = red.pixel(x, y);
            redChange += std::abs(qRed(a) - qRed(b));
            otherChange += std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
        }
    EXPECT_GT(redChange, 0);
    EXPECT_EQ(otherChange, 0);
}

TEST(MedianFilter, EveryWindowSizeGivesTheMiddleValueOfItsWindow)
{
    // Small windows run through a comparator network, larger ones through sliding histograms: both
    // must give each channel's value of rank n/2 in its window, the edges repeating border pixels.
    QImage noise(37, 23, QImage::Format_RGB32);
    quint32 seed = 12345;
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            noise.setPixel(x, y, 0xFF000000u | (seed >> 8));
        }
    for (int size : {2, 3, 5, 7, 8}) {
        QImage filtered = noise;
        ASSERT_TRUE(MedianFilter(filtered, size));
        const int before = size / 2;
        int wrong = 0;
        for (int y = 0; y < noise.height(); ++y)
            for (int x = 0; x < noise.width(); ++x)
                for (int shift : {16, 8, 0}) {
                    std::vector<int> window;
                    for (int dy = -before; dy < size - before; ++dy)
                        for (int dx = -before; dx < size - before; ++dx) {
                            const QRgb p = noise.pixel(std::clamp(x + dx, 0, noise.width() - 1),
                                                       std::clamp(y + dy, 0, noise.height() - 1));
                            window.push_back(int((p >> shift) & 0xFF));
                        }
                    std::nth_element(window.begin(), window.begin() + long(window.size() / 2), window.end());
                    wrong += int((filtered.pixel(x, y) >> shift) & 0xFF) != window[window.size() / 2];
                }
        EXPECT_EQ(wrong, 0) << "window " << size;
    }
}

TEST_F(Operations, AbandonedOrImpossibleOperationsLeaveThePictureAlone)
{
    std::atomic<bool> abandon{true};
    QImage p = picture;
    {
        CancelScope scope(&abandon);
        EXPECT_FALSE(MedianFilter(p, 9));
    }
    EXPECT_EQ(p, picture);
    EXPECT_FALSE(ResampleBitmap(p, 100000, 100000));   // far beyond the pixel limit
    EXPECT_FALSE(SpatialFilter(p, kSpatialFilterCount));
    EXPECT_FALSE(Posterize(p, 1));
    EXPECT_EQ(p, picture);
}

TEST_F(Operations, SavesTheNineFormatsWithTheBitsAsked)
{
    struct Saved { int format; int bits; const char *ext; const char *magick; };
    const Saved formats[] = {{6, 24, "bmp", "BMP"}, {10, 24, "jpg", "JPEG"}, {1, 8, "pcx", "PCX"},
                             {15, 24, "wmf", "WMF"}, {91, 4, "ico", "ICO"}, {2, 8, "gif", "GIF"},
                             {3, 24, "tif", "TIFF"}, {75, 4, "png", "PNG"}, {76, 24, "psd", "PSD"}};
    const QImage small = picture.copy(0, 0, 64, 48);
    for (const Saved &s : formats) {
        SCOPED_TRACE(s.magick);
        const QString path = dir.filePath(QStringLiteral("out.") + s.ext);
        QString error;
        ASSERT_TRUE(SaveBitmap(small, path, s.format, s.bits, 2, &error)) << error.toStdString();
        bool ok = false;
        const QString id = QString::fromLatin1(test::RunTool(test::kIdentify, {"-format", "%m %wx%h\n", path}, &ok));
        ASSERT_TRUE(ok);
        EXPECT_EQ(id.section('\n', 0, 0), QStringLiteral("%1 64x48").arg(s.magick));
        FileInformation info;
        ASSERT_TRUE(FileInfo(path, info));
        EXPECT_EQ(info.format, s.format);
    }
    // The bits per pixel of a bitmap are the ones asked for.
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        const QString path = dir.filePath(QStringLiteral("b%1.bmp").arg(bits));
        ASSERT_TRUE(SaveBitmap(picture, path, 6, bits, 2));
        EXPECT_EQ(test::BmpBitsPerPixel(path), bits);
    }
    // An 8-bit JPEG is grey; the quality factor 2 is the best quality.
    const QString grey = dir.filePath("grey.jpg");
    ASSERT_TRUE(SaveBitmap(picture, grey, 10, 8, 2));
    EXPECT_EQ(QString::fromLatin1(test::RunTool(test::kIdentify, {"-format", "%[colorspace] %Q", grey})),
              QStringLiteral("Gray 100"));
    EXPECT_EQ(JpegQualityOf(22), 93);
    EXPECT_EQ(JpegQualityOf(229), 11);
}

TEST_F(Operations, FailedSaveKeepsTheOldFile)
{
    const QString path = dir.filePath("keep.png");
    ASSERT_TRUE(SaveBitmap(picture, path, 75, 24, 2));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();
    InjectWriteFault(InjectedWriteFault::Sync);
    QString error;
    EXPECT_FALSE(SaveBitmap(picture.mirrored(), path, 75, 24, 2, &error));
    InjectWriteFault(InjectedWriteFault::None);
    EXPECT_FALSE(error.isEmpty());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    EXPECT_FALSE(SaveBitmap(picture, path, 2, 24, 2));   // GIF has no 24 bits
}

} // namespace
