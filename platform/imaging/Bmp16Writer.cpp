// 16-bit Windows bitmaps (RGB565): BITMAPINFOHEADER with BI_BITFIELDS and the three colour masks,
// bottom-up rows padded to 4 bytes. This is the layout the thumbnail cache keeps on disk.
#include "platform/imaging/Imaging.h"

#include <QSaveFile>
#include <QtEndian>

namespace pagero::imaging {
namespace {

constexpr int kFileHeaderBytes = 14;
constexpr int kInfoHeaderBytes = 40;
constexpr int kMaskBytes = 12;
constexpr quint32 kBiBitfields = 3;
constexpr qint32 kPixelsPerMetre = 3780;   // 96 dpi

void Put16(QByteArray &b, int at, quint16 v) { qToLittleEndian(v, b.data() + at); }
void Put32(QByteArray &b, int at, quint32 v) { qToLittleEndian(v, b.data() + at); }

quint16 To565(QRgb p)
{
    return quint16(((qRed(p) >> 3) << 11) | ((qGreen(p) >> 2) << 5) | (qBlue(p) >> 3));
}

} // namespace

bool SaveBmp16(const QImage &image, const QString &path)
{
    if (image.isNull() || image.width() > 65535 || image.height() > 65535) return false;
    // Transparent parts are laid over white, as they show on a page.
    QImage rgb;
    if (!image.hasAlphaChannel()) {
        rgb = image.convertToFormat(QImage::Format_RGB32);
    } else {
        rgb = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QImage flat(rgb.size(), QImage::Format_RGB32);
        flat.fill(Qt::white);
        for (int y = 0; y < rgb.height(); ++y) {
            const QRgb *s = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
            QRgb *d = reinterpret_cast<QRgb *>(flat.scanLine(y));
            for (int x = 0; x < rgb.width(); ++x) {
                const int a = qAlpha(s[x]);
                d[x] = qRgb(qRed(s[x]) + 255 - a, qGreen(s[x]) + 255 - a, qBlue(s[x]) + 255 - a);
            }
        }
        rgb = flat;
    }
    const int w = rgb.width(), h = rgb.height();
    const int stride = (w * 2 + 3) / 4 * 4;
    const qint64 pixelBytes = qint64(stride) * h;
    const int offBits = kFileHeaderBytes + kInfoHeaderBytes + kMaskBytes;
    if (offBits + pixelBytes > 0x7fffffff) return false;

    QByteArray bytes(int(offBits + pixelBytes), '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    Put32(bytes, 2, quint32(bytes.size()));
    Put32(bytes, 10, quint32(offBits));
    Put32(bytes, 14, kInfoHeaderBytes);
    Put32(bytes, 18, quint32(w));
    Put32(bytes, 22, quint32(h));           // positive height: rows stored bottom-up
    Put16(bytes, 26, 1);                     // planes
    Put16(bytes, 28, 16);                    // bits per pixel
    Put32(bytes, 30, kBiBitfields);
    Put32(bytes, 34, quint32(pixelBytes));
    Put32(bytes, 38, quint32(kPixelsPerMetre));
    Put32(bytes, 42, quint32(kPixelsPerMetre));
    Put32(bytes, 54, 0xF800);                // red mask
    Put32(bytes, 58, 0x07E0);                // green mask
    Put32(bytes, 62, 0x001F);                // blue mask
    for (int y = 0; y < h; ++y) {
        const QRgb *s = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        char *row = bytes.data() + offBits + qint64(h - 1 - y) * stride;
        for (int x = 0; x < w; ++x) qToLittleEndian(To565(s[x]), row + 2 * x);
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace pagero::imaging
