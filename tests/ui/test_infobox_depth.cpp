// The information box reports the depth a file stores (not the one a decoder widens it to) and the
// size in memory at that depth; the files are written by ImageMagick at each depth.
#include "pages/OrvImgInfoBox.h"
#include "platform/ImagingTestTools.h"
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pagero;

TEST(InfoBoxDepth, EachStoredDepthAndItsSizeInMemory)
{
    QTemporaryDir dir;
    const QString source = dir.filePath("source.png");
    bool ok = false;
    test::RunTool(test::kConvert, {"-size", "30x20", "-seed", "3", "plasma:", "PNG24:" + source}, &ok);
    ASSERT_TRUE(ok);
    const struct {
        const char *name;
        QStringList options;   // then the output as "coder:path"
        const char *coder;
        int bits;
        qint64 rowBytes;       // rows padded to 4 bytes at that depth
    } cases[] = {
        {"two.bmp", {"-colors", "2", "-type", "palette"}, "BMP3", 1, 4},
        {"four.bmp", {"-colors", "16", "-type", "palette"}, "BMP3", 4, 16},
        {"eight.bmp", {"-colors", "200", "-type", "palette"}, "BMP3", 8, 32},
        {"sixteen.bmp", {"-alpha", "off", "-define", "bmp:subtype=RGB565"}, "BMP3", 16, 60},
        {"true.bmp", {"-type", "truecolor"}, "BMP3", 24, 92},
        {"two.gif", {"-colors", "2"}, "GIF", 1, 4},
        {"sixteen.gif", {"-colors", "16"}, "GIF", 4, 16},
        {"grey.png", {"-colorspace", "gray"}, "PNG8", 8, 32},
        {"grey.jpg", {"-colorspace", "gray"}, "JPEG", 8, 32},
        {"rgb.jpg", {}, "JPEG", 24, 92},
        {"rgba.tif", {"-alpha", "set"}, "TIFF", 32, 120},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(c.name);
        QStringList args{source};
        args << c.options << QString::fromLatin1(c.coder) + ":" + path;
        test::RunTool(test::kConvert, args, &ok);
        ASSERT_TRUE(ok);
        const PictureFileInfo info = ReadPictureFileInfo(path);
        ASSERT_EQ(info.status, PictureFileInfo::Status::Ok);
        EXPECT_EQ(info.bitsPerPixel, c.bits);
        EXPECT_EQ(info.sizeInMemory, c.rowBytes * 20);
    }
}

TEST(InfoBoxDepth, ShowsTheUprightSize)
{
    QTemporaryDir dir;
    const QString plain = dir.filePath("plain.jpg");
    bool ok = false;
    test::RunTool(test::kConvert, {"-size", "64x32", "xc:orange", plain}, &ok);
    ASSERT_TRUE(ok);
    QFile file(plain);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QFile turned(dir.filePath("turned.jpg"));
    ASSERT_TRUE(turned.open(QIODevice::WriteOnly));
    turned.write(test::WithOrientation(file.readAll(), 6));
    turned.close();
    const PictureFileInfo info = ReadPictureFileInfo(turned.fileName());
    EXPECT_EQ(QSize(info.width, info.height), QSize(32, 64));
}
