#pragma once
// Helpers of the platform tests: run ImageMagick and compare decoded pixels with its own reading.
#include <QByteArray>
#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <cmath>
#include <cstdlib>

namespace pagero::test {

inline const QString kConvert = QStringLiteral("/usr/bin/convert");
inline const QString kIdentify = QStringLiteral("/usr/bin/identify");

// Runs a tool; returns its standard output, or an empty array (and `ok` false) on failure.
inline QByteArray RunTool(const QString &program, const QStringList &args, bool *ok = nullptr)
{
    QProcess p;
    p.start(program, args);
    const bool finished = p.waitForFinished(60000);
    const bool good = finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (ok) *ok = good;
    return good ? p.readAllStandardOutput() : QByteArray();
}

// ImageMagick's own reading of `source` (a file name, optionally with [n]) after `extra` options, as
// 8-bit RGB.
inline QImage MagickReading(const QString &source, const QStringList &extra = {})
{
    bool ok = false;
    QStringList args{source};
    args << extra << QStringLiteral("-depth") << QStringLiteral("8") << QStringLiteral("ppm:-");
    const QByteArray ppm = RunTool(kConvert, args, &ok);
    QImage out;
    if (!ok || !out.loadFromData(ppm, "PPM")) return {};
    return out.convertToFormat(QImage::Format_RGB32);
}

// The bits per pixel ImageMagick's BMP reader finds in the file header.
inline int BmpBitsPerPixel(const QString &path)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(kIdentify, {QStringLiteral("-debug"), QStringLiteral("coder"), QStringLiteral("-log"), QStringLiteral("%e"), path});
    p.waitForFinished(60000);
    const QString log = QString::fromLatin1(p.readAll());
    const qsizetype at = log.indexOf(QStringLiteral("Bits per pixel: "));
    return at < 0 ? -1 : log.mid(at + 16, 2).trimmed().toInt();
}

struct PixelDifference {
    double mean = 1e9;   // mean absolute difference per channel
    int max = 255;
};

// Compares two pictures of the same size; transparent pixels of `a` count as laid over white.
inline PixelDifference Compare(const QImage &a, const QImage &b)
{
    PixelDifference d;
    if (a.size() != b.size() || a.isNull()) return d;
    const QImage pa = a.convertToFormat(QImage::Format_ARGB32), pb = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    d.max = 0;
    for (int y = 0; y < pa.height(); ++y) {
        const QRgb *ra = reinterpret_cast<const QRgb *>(pa.constScanLine(y));
        const QRgb *rb = reinterpret_cast<const QRgb *>(pb.constScanLine(y));
        for (int x = 0; x < pa.width(); ++x) {
            const int alpha = qAlpha(ra[x]);
            const auto over = [alpha](int c) { return (c * alpha + 255 * (255 - alpha) + 127) / 255; };
            const int diffs[3] = {std::abs(over(qRed(ra[x])) - qRed(rb[x])), std::abs(over(qGreen(ra[x])) - qGreen(rb[x])),
                                  std::abs(over(qBlue(ra[x])) - qBlue(rb[x]))};
            for (int v : diffs) {
                sum += v;
                d.max = std::max(d.max, v);
            }
        }
    }
    d.mean = sum / (3.0 * pa.width() * pa.height());
    return d;
}

// A JPEG with an APP1 EXIF segment holding only the orientation tag, right after its start marker.
inline QByteArray WithOrientation(const QByteArray &jpeg, int orientation)
{
    QByteArray tiff("II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0", 18);
    tiff += char(orientation);
    tiff += QByteArray(7, '\0');   // rest of the value field and no next directory
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray segment("\xFF\xE1", 2);
    segment += char((payload.size() + 2) >> 8);
    segment += char((payload.size() + 2) & 0xFF);
    return jpeg.left(2) + segment + payload + jpeg.mid(2);
}

} // namespace pagero::test
