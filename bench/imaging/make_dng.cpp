// Writes a camera-like DNG from a picture: the first directory holds the camera's preview as one
// complete baseline JPEG (what the camera shows and what preview extractors copy out), a
// sub-directory holds the sensor data as uncompressed 16-bit RGGB mosaic at the picture's size.
// With a preview width of 0 the file has no preview: the sensor data sits in the first directory,
// so a reader has to develop it.
// Usage: make_dng SOURCE.png OUT.dng PREVIEW_WIDTH
#include <QBuffer>
#include <QFile>
#include <QCoreApplication>
#include <QImage>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <tiffio.h>
#include <vector>

namespace {

void SetCameraTags(TIFF *tif)
{
    const uint8_t version[4] = {1, 4, 0, 0};
    TIFFSetField(tif, TIFFTAG_MAKE, "Pagero");
    TIFFSetField(tif, TIFFTAG_MODEL, "Bench Camera");
    TIFFSetField(tif, TIFFTAG_DNGVERSION, version);
    TIFFSetField(tif, TIFFTAG_UNIQUECAMERAMODEL, "Pagero Bench Camera");
    // The sensor sees linear sRGB under daylight: XYZ (D65) to linear sRGB, neutral white balance.
    const float xyzToSensor[9] = {3.2406f, -1.5372f, -0.4986f, -0.9689f, 1.8758f, 0.0415f, 0.0557f, -0.2040f, 1.0570f};
    TIFFSetField(tif, TIFFTAG_COLORMATRIX1, 9, xyzToSensor);
    const float neutral[3] = {1, 1, 1};
    TIFFSetField(tif, TIFFTAG_ASSHOTNEUTRAL, 3, neutral);
    TIFFSetField(tif, TIFFTAG_CALIBRATIONILLUMINANT1, 21);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
}

// The picture's pixels through an RGGB filter as a sensor counts light: linear, 16 bits.
bool WriteSensor(TIFF *tif, const QImage &picture)
{
    uint16_t linear[256];
    for (int v = 0; v < 256; ++v) {
        const double c = v / 255.0;
        linear[v] = uint16_t(std::lround(65535 * (c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4))));
    }
    TIFFSetField(tif, TIFFTAG_SUBFILETYPE, 0);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, picture.width());
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, picture.height());
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 16);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_CFA);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 64);
    const uint16_t dims[2] = {2, 2};
    const uint8_t pattern[4] = {0, 1, 1, 2};
    TIFFSetField(tif, TIFFTAG_CFAREPEATPATTERNDIM, dims);
    TIFFSetField(tif, TIFFTAG_CFAPATTERN, 4, pattern);
    std::vector<uint16_t> row(size_t(picture.width()));
    for (int y = 0; y < picture.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            const int channel = (y & 1) + (x & 1);   // 0 red, 1 green, 2 blue
            const QRgb p = line[x];
            row[x] = linear[channel == 0 ? qRed(p) : channel == 1 ? qGreen(p) : qBlue(p)];
        }
        if (TIFFWriteScanline(tif, row.data(), uint32_t(y), 0) < 0) return false;
    }
    return TIFFWriteDirectory(tif) != 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);   // the JPEG writer is a plugin
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s SOURCE.png OUT.dng PREVIEW_WIDTH\n", argv[0]);
        return 2;
    }
    const QImage picture = QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_RGB32);
    const int previewWidth = std::atoi(argv[3]);
    if (picture.isNull() || previewWidth < 0) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const QByteArray out = QFile::encodeName(QString::fromLocal8Bit(argv[2]));
    TIFF *tif = TIFFOpen(out.constData(), "w");
    if (!tif) return 1;
    SetCameraTags(tif);
    bool ok = true;
    if (previewWidth > 0) {
        const QImage small = picture.scaledToWidth(previewWidth, Qt::SmoothTransformation);
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        ok = small.save(&buffer, "JPEG", 90);
        // The whole JPEG stream is the directory's single strip, as cameras store their previews.
        TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_REDUCEDIMAGE);
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, small.width());
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, small.height());
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_YCBCR);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_JPEG);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, small.height());
        toff_t subOffset = 0;
        TIFFSetField(tif, TIFFTAG_SUBIFD, 1, &subOffset);
        ok = ok && TIFFWriteRawStrip(tif, 0, jpeg.data(), jpeg.size()) == jpeg.size() &&
             TIFFWriteDirectory(tif) != 0;
    }
    ok = ok && WriteSensor(tif, picture);
    TIFFClose(tif);
    if (!ok) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
