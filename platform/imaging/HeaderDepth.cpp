// The depth a picture file stores its pixels at, read from its header: what the information box
// reports, rather than the depth a decoder widens the pixels to.
#include "platform/imaging/Decoders.h"
#include "platform/imaging/Imaging.h"

#include <QFile>
#include <QtEndian>
#include <tiffio.h>

namespace pagero::imaging {
namespace {

int BmpBits(const QByteArray &h)
{
    if (h.size() < 30) return 0;
    const quint32 infoSize = qFromLittleEndian<quint32>(h.constData() + 14);
    return infoSize == 12 ? qFromLittleEndian<quint16>(h.constData() + 24)
                          : qFromLittleEndian<quint16>(h.constData() + 28);
}

int PngBits(const QByteArray &h)
{
    if (h.size() < 26 || h.mid(12, 4) != "IHDR") return 0;
    const int depth = uchar(h[24]);
    switch (uchar(h[25])) {
    case 0: return depth;       // grey
    case 2: return depth * 3;   // RGB
    case 3: return depth;       // palette
    case 4: return depth * 2;   // grey and alpha
    case 6: return depth * 4;   // RGBA
    default: return 0;
    }
}

// The colour table's depth: the global one, else that of the first picture.
int GifBits(const QByteArray &h)
{
    if (h.size() < 13) return 0;
    const uchar screen = uchar(h[10]);
    if (screen & 0x80) return (screen & 7) + 1;
    qsizetype at = 13;
    while (at < h.size()) {
        const uchar block = uchar(h[at]);
        if (block == 0x2C) {
            if (at + 10 > h.size()) return 0;
            const uchar local = uchar(h[at + 9]);
            return (local & 0x80) ? (local & 7) + 1 : 8;
        }
        if (block != 0x21 || at + 2 >= h.size()) return 0;
        at += 2;   // extension introducer and label, then sub-blocks up to a zero length
        while (at < h.size() && uchar(h[at]) != 0) at += 1 + uchar(h[at]);
        ++at;
    }
    return 0;
}

int PcxBits(const QByteArray &h)
{
    if (h.size() < 66 || uchar(h[0]) != 0x0A) return 0;
    return uchar(h[3]) * std::max(1, int(uchar(h[65])));
}

void SilentTiff(const char *, const char *, va_list) {}

int TiffBits(const QString &path)
{
    TIFFSetErrorHandler(SilentTiff);
    TIFFSetWarningHandler(SilentTiff);
    TIFF *tif = TIFFOpen(QFile::encodeName(path).constData(), "rm");
    if (!tif) return 0;
    uint16_t bits = 0, samples = 1;
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFClose(tif);
    return int(bits) * int(samples);
}

} // namespace

int FileBitsPerPixel(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return 0;
    const QByteArray h = f.read(64 * 1024);
    if (h.startsWith("BM")) return BmpBits(h);
    if (h.startsWith("\x89PNG\r\n\x1A\n")) return PngBits(h);
    if (h.startsWith("GIF87a") || h.startsWith("GIF89a")) return GifBits(h);
    if (h.startsWith(QByteArrayView("II*\0", 4)) || h.startsWith(QByteArrayView("MM\0*", 4))) return TiffBits(path);
    if (h.startsWith("\xFF\xD8")) return detail::ScanJpegHeader(path).frameBits();
    if (path.endsWith(QLatin1String(".pcx"), Qt::CaseInsensitive)) return PcxBits(h);
    return 0;
}

} // namespace pagero::imaging
