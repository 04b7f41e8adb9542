// The dispatcher of the imaging facade: picks the decoder by the file's first bytes, then by its
// extension, and shares the fitting arithmetic.
#include "platform/imaging/Decoders.h"
#include "platform/imaging/Imaging.h"
#include "core/common/FileNames.h"

#include <QFile>
#include <QFileInfo>
#include <cmath>

namespace pagero::imaging {
namespace detail {

LoadResult Failure(const QString &error, QSize originalSize)
{
    LoadResult r;
    r.error = error;
    r.originalSize = originalSize;
    return r;
}

bool TooLarge(QSize size)
{
    return size.isValid() && qint64(size.width()) * size.height() > kMaxPixels;
}

QImage FitImage(const QImage &image, QSize fitInto)
{
    if (image.isNull() || !fitInto.isValid() || fitInto.isEmpty()) return image;
    return ScaleTo(image, FitSize(image.size(), fitInto));
}

QImage ScaleTo(const QImage &image, QSize target)
{
    if (image.isNull() || !target.isValid() || target == image.size()) return image;
    return image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace detail

using namespace detail;

QSize FitSize(QSize original, QSize box)
{
    if (original.isEmpty() || box.isEmpty()) return original;
    const double scale = std::min({1.0, double(box.width()) / original.width(),
                                   double(box.height()) / original.height()});
    const int w = std::clamp(int(std::lround(original.width() * scale)), 1, std::max(1, box.width()));
    const int h = std::clamp(int(std::lround(original.height() * scale)), 1, std::max(1, box.height()));
    return {std::min(w, original.width()), std::min(h, original.height())};
}

namespace {

enum class Route { Jpeg, Qt, Magick, Video, Heif, Webp, Raw, Unknown };

struct Choice {
    Route route = Route::Unknown;
    QByteArray qtFormat;   // for Route::Qt
    QString coder;         // for Route::Magick (empty: let Magick guess)
    QString expected;      // the format the extension promised, for the error text
};

QByteArray ReadHead(const QString &path, qint64 bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.read(bytes);
}

bool StartsWith(const QByteArray &head, const char *sig, int len, int at = 0)
{
    return head.size() >= at + len && memcmp(head.constData() + at, sig, len) == 0;
}

bool IsHeifBrand(const QByteArray &brand)
{
    static const QList<QByteArray> brands{"heic", "heix", "hevc", "hevx", "heim", "heis",
                                          "mif1", "msf1", "mif2", "avif", "avis"};
    return brands.contains(brand);
}

// Which decoder the content asks for; Unknown when the first bytes say nothing.
Choice BySignature(const QByteArray &h)
{
    Choice c;
    if (StartsWith(h, "\xFF\xD8\xFF", 3)) c.route = Route::Jpeg;
    else if (StartsWith(h, "\x89PNG\r\n\x1A\n", 8)) { c.route = Route::Qt; c.qtFormat = "png"; }
    else if (StartsWith(h, "GIF87a", 6) || StartsWith(h, "GIF89a", 6)) { c.route = Route::Qt; c.qtFormat = "gif"; }
    else if (StartsWith(h, "BM", 2) && h.size() >= 26) { c.route = Route::Qt; c.qtFormat = "bmp"; }
    else if (StartsWith(h, "\0\0\1\0", 4) && h.size() >= 6 && (uchar(h[4]) | uchar(h[5])) != 0) { c.route = Route::Qt; c.qtFormat = "ico"; }
    else if (StartsWith(h, "RIFF", 4) && StartsWith(h, "AVI ", 4, 8)) c.route = Route::Video;
    else if (StartsWith(h, "RIFF", 4) && StartsWith(h, "WEBP", 4, 8)) c.route = Route::Webp;
    else if (StartsWith(h, "ftyp", 4, 4) && IsHeifBrand(h.mid(8, 4))) c.route = Route::Heif;
    else if (StartsWith(h, "II*\0", 4) || StartsWith(h, "MM\0*", 4)) { c.route = Route::Magick; c.coder = "TIFF"; }
    else if (StartsWith(h, "8BPS", 4)) { c.route = Route::Magick; c.coder = "PSD"; }
    else if (StartsWith(h, "\xD7\xCD\xC6\x9A", 4)) { c.route = Route::Magick; c.coder = "WMF"; }
    else if (StartsWith(h, "PCD_IPI", 7, 2048)) { c.route = Route::Magick; c.coder = "PCD"; }
    return c;
}

bool IsCameraRaw(const QString &ext)
{
    static const QStringList raw{"cr2", "cr3", "crw", "nef", "nrw", "arw", "srf", "sr2", "dng", "orf",
                                 "rw2", "raf", "pef", "srw", "rwl", "3fr", "iiq", "x3f", "erf", "kdc", "mrw"};
    return raw.contains(ext);
}

// What the extension promises.
Choice ByExtension(const QString &path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    Choice c;
    c.expected = ext.toUpper();
    static const QStringList jpeg{"jpg", "jpeg", "jpe", "jfif"};
    static const QStringList qt{"png", "gif", "bmp", "ico", "dib"};
    static const QStringList video{"avi", "mpg", "mpeg", "mp4", "mov", "wmv", "mkv", "webm"};
    static const QStringList heif{"heic", "heif", "hif", "avif"};
    if (jpeg.contains(ext)) c.route = Route::Jpeg;
    else if (heif.contains(ext)) c.route = Route::Heif;
    else if (ext == QLatin1String("webp")) c.route = Route::Webp;
    else if (IsCameraRaw(ext)) c.route = Route::Raw;
    else if (qt.contains(ext)) { c.route = Route::Qt; c.qtFormat = ext == "dib" ? "bmp" : ext.toLatin1(); }
    else if (video.contains(ext)) c.route = Route::Video;
    else {
        // Magick's coder for the usual extensions; others are left to Magick's own detection.
        static const QHash<QString, QString> coders{
            {"pcx", "PCX"}, {"pcd", "PCD"}, {"psd", "PSD"}, {"tif", "TIFF"}, {"tiff", "TIFF"},
            {"wmf", "WMF"}, {"tga", "TGA"}, {"ppm", "PNM"}, {"pgm", "PNM"}, {"pbm", "PNM"},
            {"pnm", "PNM"}, {"xpm", "XPM"}, {"dcx", "DCX"}, {"ras", "SUN"}};
        c.route = Route::Magick;
        c.coder = coders.value(ext);
    }
    return c;
}

Choice Choose(const QString &path, const QByteArray &head)
{
    Choice bySig = BySignature(head);
    Choice byExt = ByExtension(path);
    // Most camera RAW files are TIFF inside (or carry a signature of their own): the name decides.
    if (byExt.route == Route::Raw && (bySig.route == Route::Unknown || bySig.coder == QLatin1String("TIFF")))
        return byExt;
    if (bySig.route != Route::Unknown) return bySig;
    // The extension names a format with a well-known signature, but the bytes do not carry it:
    // the file is damaged or not what it claims to be.
    if (byExt.route == Route::Jpeg || byExt.route == Route::Qt) {
        Choice bad;
        bad.expected = byExt.expected;
        return bad;
    }
    return byExt;
}

constexpr qint64 kHeadBytes = 4096;

} // namespace

namespace {

// Reads the file at `path`; `named` is the file's own name, whose extension chooses the decoder.
LoadResult LoadReadable(const QString &path, const QString &named, QSize fitInto)
{
    QFileInfo info(path);
    if (!info.exists() || !info.isFile()) return Failure(QStringLiteral("File not found"));
    if (info.size() == 0) return Failure(QStringLiteral("Empty file"));
    const QByteArray head = ReadHead(path, kHeadBytes);
    if (head.isEmpty()) return Failure(QStringLiteral("Cannot read the file"));

    const Choice c = Choose(named, head);
    switch (c.route) {
    case Route::Jpeg: {
        QString error;
        const QByteArray bytes = ReadJpegFile(path, error);
        if (bytes.isEmpty()) return Failure(error.isEmpty() ? QStringLiteral("Cannot read the file") : error);
        return DecodeJpeg(bytes, fitInto);
    }
    case Route::Qt:
        if (c.qtFormat == "bmp") {
            // The header's size is checked before anything else is read.
            const QString incomplete = CheckBmpComplete(head, info.size());
            if (!incomplete.isEmpty()) return Failure(incomplete);
            if (IsBmp16(head)) {
                // Only the rows the header declares are read: a long or sparse tail never loads.
                const qint64 need = Bmp16FileBytes(head);
                if (need <= 0) return Failure(QStringLiteral("Damaged BMP header"));
                if (need > kMaxReadBytes) return Failure(QStringLiteral("File too large"));
                QFile f(path);
                if (!f.open(QIODevice::ReadOnly)) return Failure(QStringLiteral("Cannot read the file"));
                return DecodeBmp16(f.read(need), fitInto);
            }
        }
        return DecodeWithQt(path, c.qtFormat, fitInto);
    case Route::Magick:
        if (c.coder == QLatin1String("TIFF")) {
            bool unsupported = false;
            LoadResult r = DecodeTiff(path, fitInto, unsupported);
            if (!unsupported) return r;
        }
        return DecodeWithMagick(path, c.coder, fitInto);
    case Route::Video: return DecodeVideoFrame(path, fitInto);
    case Route::Heif: return DecodeHeif(path, fitInto);
    case Route::Webp: return DecodeWebp(path, fitInto);
    case Route::Raw: {
        LoadResult r = DecodeRaw(path, fitInto);
        // A plain TIFF under a RAW name still loads as what it is.
        if (r.ok() || BySignature(head).coder != QLatin1String("TIFF")) return r;
        bool unsupported = false;
        r = DecodeTiff(path, fitInto, unsupported);
        return unsupported ? DecodeWithMagick(path, QStringLiteral("TIFF"), fitInto) : r;
    }
    case Route::Unknown: break;
    }
    return Failure(QStringLiteral("Not a valid %1 file").arg(c.expected));
}

} // namespace

LoadResult Load(const QString &path, QSize fitInto)
{
    // A name whose bytes are not UTF-8 is read through its descriptor (Qt cannot name the file).
    const ReadablePath readable(path);
    return LoadReadable(readable.Path(), path, fitInto);
}

QSize PictureSize(const QString &named)
{
    const ReadablePath readable(named);
    const QString &path = readable.Path();
    const QByteArray head = ReadHead(path, kHeadBytes);
    if (head.isEmpty()) return {};
    const Choice c = Choose(named, head);
    switch (c.route) {
    case Route::Jpeg: {
        int orientation = 1;
        const QSize s = ScanJpegHeader(path, &orientation).frame();
        return s.isEmpty() ? QSize() : UprightSize(s, orientation);
    }
    case Route::Qt: return QtPictureSize(path, c.qtFormat);
    case Route::Magick:
        if (c.coder == QLatin1String("TIFF")) {
            const QSize s = TiffPictureSize(path);
            if (s.isValid()) return s;
        }
        return MagickPictureSize(path, c.coder);
    case Route::Video: {
        LoadResult r = DecodeVideoFrame(path, QSize());
        return r.ok() ? r.image.size() : QSize();
    }
    case Route::Heif: return HeifPictureSize(path);
    case Route::Webp: return WebpPictureSize(head);
    case Route::Raw: {
        const QSize s = RawPictureSize(path);
        return s.isValid() || BySignature(head).coder != QLatin1String("TIFF") ? s : TiffPictureSize(path);
    }
    case Route::Unknown: break;
    }
    return {};
}

} // namespace pagero::imaging
