// 16-bit Windows bitmaps (RGB565): BITMAPINFOHEADER with BI_BITFIELDS and the three colour masks,
// bottom-up rows padded to 4 bytes. This is the layout the thumbnail cache keeps on disk. The reader
// here takes every 16-bit bitmap (masks, or 5-5-5 without them) and widens the channels exactly
// (31 -> 255), so a thumbnail reads back as it was written; it also spots truncated bitmaps of any
// depth before Qt fills their missing rows with black.
#include "platform/imaging/Decoders.h"
#include "platform/imaging/Imaging.h"

#include <limits>
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

// The facts of a BITMAPINFOHEADER (or larger) file that matter here.
struct BmpHeader {
    qint64 offBits = 0;
    qint32 width = 0, height = 0;
    int bitCount = 0;
    quint32 compression = 0;
    quint32 masks[3] = {0, 0, 0};
    bool valid = false;
};

BmpHeader ParseHeader(const QByteArray &b)
{
    BmpHeader h;
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return h;
    const quint32 infoSize = qFromLittleEndian<quint32>(b.constData() + 14);
    if (infoSize < 40) return h;   // the old 12-byte core header: left to Qt
    h.offBits = qFromLittleEndian<quint32>(b.constData() + 10);
    h.width = qFromLittleEndian<qint32>(b.constData() + 18);
    h.height = qFromLittleEndian<qint32>(b.constData() + 22);
    h.bitCount = qFromLittleEndian<quint16>(b.constData() + 28);
    h.compression = qFromLittleEndian<quint32>(b.constData() + 30);
    if (h.compression == kBiBitfields) {
        const qint64 at = 14 + 40;   // right after the 40-byte header, or its own fields in a V4/V5 header
        if (at + 12 > b.size()) return h;
        for (int i = 0; i < 3; ++i) h.masks[i] = qFromLittleEndian<quint32>(b.constData() + at + 4 * i);
    }
    h.valid = h.width > 0 && h.height != 0 && h.height != std::numeric_limits<qint32>::min();
    return h;
}

int Shift(quint32 mask)
{
    int s = 0;
    while (mask && !(mask & 1)) { mask >>= 1; ++s; }
    return s;
}

// Widens a channel of `bits` bits to 8 bits, rounding (31 -> 255, 15 -> 123).
inline int Widen(quint32 v, quint32 max) { return max ? int((v * 255 + max / 2) / max) : 0; }

} // namespace

namespace detail {

QString CheckBmpComplete(const QByteArray &head, qint64 fileSize)
{
    const BmpHeader h = ParseHeader(head);
    if (!h.valid || (h.compression != 0 && h.compression != kBiBitfields)) return {};
    if (TooLarge(QSize(h.width, std::abs(h.height)))) return QStringLiteral("Picture too large");
    const qint64 stride = (qint64(h.width) * h.bitCount + 31) / 32 * 4;
    if (h.offBits + stride * std::abs(qint64(h.height)) > fileSize) return QStringLiteral("Truncated BMP data");
    return {};
}

bool IsBmp16(const QByteArray &head)
{
    const BmpHeader h = ParseHeader(head);
    return h.valid && h.bitCount == 16 && (h.compression == 0 || h.compression == kBiBitfields);
}

qint64 Bmp16FileBytes(const QByteArray &head)
{
    const BmpHeader h = ParseHeader(head);
    if (!h.valid || h.bitCount != 16 || h.offBits < 54) return 0;
    const qint64 stride = (qint64(h.width) * 2 + 3) / 4 * 4;
    return h.offBits + stride * std::abs(qint64(h.height));
}

LoadResult DecodeBmp16(const QByteArray &b, QSize fitInto)
{
    const BmpHeader h = ParseHeader(b);
    if (!h.valid || h.bitCount != 16) return Failure(QStringLiteral("Damaged BMP header"));
    const int w = h.width, rows = std::abs(h.height);
    const QSize original(w, rows);
    if (TooLarge(original)) return Failure(QStringLiteral("Picture too large"), original);
    quint32 masks[3] = {0x7C00, 0x03E0, 0x001F};   // BI_RGB at 16 bits means 5-5-5
    if (h.compression == kBiBitfields) std::copy(std::begin(h.masks), std::end(h.masks), masks);
    const qint64 stride = (qint64(w) * 2 + 3) / 4 * 4;
    if (h.offBits < 54 || h.offBits + stride * rows > b.size()) return Failure(QStringLiteral("Truncated BMP data"), original);

    QImage image(w, rows, QImage::Format_RGB32);
    if (image.isNull()) return Failure(QStringLiteral("Out of memory"), original);
    int shift[3];
    quint32 max[3];
    for (int i = 0; i < 3; ++i) {
        shift[i] = Shift(masks[i]);
        max[i] = masks[i] >> shift[i];
    }
    for (int y = 0; y < rows; ++y) {
        const int fileRow = h.height > 0 ? rows - 1 - y : y;   // positive height: stored bottom-up
        const char *src = b.constData() + h.offBits + fileRow * stride;
        QRgb *dst = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const quint32 v = qFromLittleEndian<quint16>(src + 2 * x);
            dst[x] = qRgb(Widen((v & masks[0]) >> shift[0], max[0]), Widen((v & masks[1]) >> shift[1], max[1]),
                          Widen((v & masks[2]) >> shift[2], max[2]));
        }
    }
    LoadResult r;
    r.originalSize = original;
    r.image = FitImage(image, fitInto);
    return r;
}

} // namespace detail

bool SaveBmp16(const QImage &image, const QString &path, FileSync sync)
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

    return WriteFileAtomically(path, bytes, sync);
}

} // namespace pagero::imaging
