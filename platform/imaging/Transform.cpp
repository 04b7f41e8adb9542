// Turning and resizing picture files in place: TurboJPEG for JPEG (lossless where it can be),
// Qt and ImageMagick for the pixel work and the other formats, the atomic writer for the result.
#include "platform/imaging/Transform.h"

#include "core/common/AtomicFile.h"
#include "core/common/MyLib.h"
#include "platform/imaging/Decoders.h"
#include "platform/imaging/Imaging.h"

#include <Magick++.h>
#include <QDateTime>
#include <QFileInfo>
#include <QPainter>
#include <QTransform>
#include <turbojpeg.h>
#include <cmath>
#include <cstring>

namespace pagero::imaging {
namespace {

TransformResult Fail(TransformStatus status, const QString &error)
{
    TransformResult r;
    r.status = status;
    r.error = error;
    return r;
}

bool IsJpeg(const QByteArray &bytes)
{
    return bytes.size() > 3 && uchar(bytes[0]) == 0xFF && uchar(bytes[1]) == 0xD8 && uchar(bytes[2]) == 0xFF;
}

// ---------------------------------------------------------------- orientation arithmetic

// A turn or mirror of the picture as a 2 x 2 matrix on (x, y), y pointing down:
// (x, y) -> (a x + b y, c x + d y).
struct Turn {
    int a, b, c, d;
    Turn operator*(const Turn &o) const   // this after o
    {
        return {a * o.a + b * o.c, a * o.b + b * o.d, c * o.a + d * o.c, c * o.b + d * o.d};
    }
    bool operator==(const Turn &) const = default;
};

// The eight TurboJPEG operations, and the EXIF orientation that asks for the same one (index + 1).
struct TurnOp { Turn turn; int op; };
constexpr TurnOp kTurns[8] = {
    {{1, 0, 0, 1}, TJXOP_NONE},         {{-1, 0, 0, 1}, TJXOP_HFLIP},
    {{-1, 0, 0, -1}, TJXOP_ROT180},     {{1, 0, 0, -1}, TJXOP_VFLIP},
    {{0, 1, 1, 0}, TJXOP_TRANSPOSE},    {{0, -1, 1, 0}, TJXOP_ROT90},
    {{0, -1, -1, 0}, TJXOP_TRANSVERSE}, {{0, 1, -1, 0}, TJXOP_ROT270},
};

int QuarterTurns(int angle)
{
    return ((angle / 90) % 4 + 4) % 4;   // clockwise
}

// The one operation that first stands the stored picture upright and then turns it by `angle`.
int LosslessOp(int angle, int orientation)
{
    Turn t = kTurns[orientation - 1].turn;
    for (int i = 0; i < QuarterTurns(angle); ++i) t = kTurns[5].turn * t;
    for (const TurnOp &k : kTurns)
        if (k.turn == t) return k.op;
    return TJXOP_NONE;
}

// ---------------------------------------------------------------- EXIF

quint16 Get16(const uchar *p, bool little) { return little ? quint16(p[0] | p[1] << 8) : quint16(p[0] << 8 | p[1]); }
quint32 Get32(const uchar *p, bool little)
{
    return little ? quint32(p[0] | p[1] << 8 | p[2] << 16 | quint32(p[3]) << 24)
                  : quint32(quint32(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]);
}

// Sets the orientation tag of an APP1 "Exif\0\0" payload to 1 in place, when it has one.
void ResetOrientation(uchar *exif, qsizetype length)
{
    if (length < 6 + 8) return;
    uchar *tiff = exif + 6;
    const qsizetype size = length - 6;
    const bool little = tiff[0] == 'I' && tiff[1] == 'I';
    if (!little && !(tiff[0] == 'M' && tiff[1] == 'M')) return;
    const quint32 ifd = Get32(tiff + 4, little);
    if (ifd + 2 > quint64(size)) return;
    const int count = Get16(tiff + ifd, little);
    for (int i = 0; i < count; ++i) {
        const quint64 entry = ifd + 2 + quint64(i) * 12;
        if (entry + 12 > quint64(size)) return;
        uchar *e = tiff + entry;
        if (Get16(e, little) == 0x0112 && Get16(e + 2, little) == 3) {   // orientation, SHORT
            e[8] = little ? 1 : 0;
            e[9] = little ? 0 : 1;
            return;
        }
    }
}

struct JpegFacts {
    int orientation = 1;
    int subsamp = TJSAMP_444;
    QByteArray exif;   // the APP1 payload, orientation set to 1; empty when none
};

JpegFacts ReadJpegFacts(const QByteArray &bytes)
{
    JpegFacts f;
    detail::JpegScanner scan(true);
    scan.Feed(bytes);
    if (scan.exifOffset() >= 0) {
        f.orientation = detail::ExifOrientation(bytes.constData() + scan.exifOffset(), scan.exifLength());
        f.exif = bytes.mid(scan.exifOffset(), scan.exifLength());
        ResetOrientation(reinterpret_cast<uchar *>(f.exif.data()), f.exif.size());
    }
    if (tjhandle tj = tjInitDecompress()) {
        int w = 0, h = 0, subsamp = 0, colorspace = 0;
        if (tjDecompressHeader3(tj, reinterpret_cast<const uchar *>(bytes.constData()), ulong(bytes.size()), &w, &h,
                                &subsamp, &colorspace) == 0 &&
            (colorspace == TJCS_YCbCr || colorspace == TJCS_GRAY) && subsamp >= 0 && subsamp < TJ_NUMSAMP)
            f.subsamp = subsamp;
        tjDestroy(tj);
    }
    return f;
}

// Puts an APP1 EXIF payload behind the SOI marker and the JFIF segment of a freshly encoded JPEG.
QByteArray WithExif(const QByteArray &jpeg, const QByteArray &exif)
{
    if (exif.isEmpty() || exif.size() + 2 > 0xFFFF || jpeg.size() < 4) return jpeg;
    qsizetype at = 2;
    if (uchar(jpeg[2]) == 0xFF && uchar(jpeg[3]) == 0xE0 && jpeg.size() >= 6)
        at = 4 + ((uchar(jpeg[4]) << 8) | uchar(jpeg[5]));
    if (at > jpeg.size()) return jpeg;
    QByteArray segment;
    segment.reserve(exif.size() + 4);
    const int length = int(exif.size()) + 2;
    segment.append(char(0xFF)).append(char(0xE1)).append(char(length >> 8)).append(char(length & 0xFF)).append(exif);
    QByteArray out = jpeg;
    out.insert(at, segment);
    return out;
}

// ---------------------------------------------------------------- encoding

bool EncodeJpeg(const QImage &image, const JpegFacts &facts, QByteArray &out)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    tjhandle tj = tjInitCompress();
    if (!tj) return false;
    uchar *buffer = nullptr;
    ulong size = 0;
    const bool ok = tjCompress2(tj, rgb.constBits(), rgb.width(), int(rgb.bytesPerLine()), rgb.height(), TJPF_BGRX,
                                &buffer, &size, facts.subsamp, kJpegQuality, TJFLAG_ACCURATEDCT) == 0;
    if (ok) out = WithExif(QByteArray(reinterpret_cast<const char *>(buffer), qsizetype(size)), facts.exif);
    tjFree(buffer);
    tjDestroy(tj);
    return ok;
}

Magick::Image ToMagick(const QImage &image)
{
    if (image.hasAlphaChannel()) {
        const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
        return Magick::Image(size_t(argb.width()), size_t(argb.height()), "BGRA", Magick::CharPixel, argb.constBits());
    }
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    Magick::Image m;
    // Rows of a QImage are padded to four bytes: hand them over row by row.
    QByteArray packed;
    packed.reserve(qsizetype(rgb.width()) * 3 * rgb.height());
    for (int y = 0; y < rgb.height(); ++y) packed.append(reinterpret_cast<const char *>(rgb.constScanLine(y)), rgb.width() * 3);
    m.read(size_t(rgb.width()), size_t(rgb.height()), "RGB", Magick::CharPixel, packed.constData());
    return m;
}

QImage FromMagick(Magick::Image &m, bool alpha)
{
    QImage out(int(m.columns()), int(m.rows()), alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y)
        m.write(0, y, m.columns(), 1, "BGRA", Magick::CharPixel, out.scanLine(y));
    return out;
}

// The ImageMagick format of the file and how many pictures it holds; empty when it cannot tell.
QString MagickFormatOf(const QByteArray &bytes, int &frames)
{
    frames = 0;
    MagickCore::ImageInfo *info = MagickCore::AcquireImageInfo();
    MagickCore::ExceptionInfo *exception = MagickCore::AcquireExceptionInfo();
    MagickCore::Image *list = MagickCore::PingBlob(info, bytes.constData(), size_t(bytes.size()), exception);
    QString format;
    if (list) {
        frames = int(MagickCore::GetImageListLength(list));
        format = QString::fromLatin1(list->magick);
        MagickCore::DestroyImageList(list);
    }
    MagickCore::DestroyExceptionInfo(exception);
    MagickCore::DestroyImageInfo(info);
    return format;
}

bool EncodeWithMagick(const QImage &image, const QString &format, int bitsPerPixel, QByteArray &out, QString &error)
{
    EnsureMagick();
    try {
        Magick::Image m = ToMagick(image);
        m.quiet(true);
        m.magick(format.toStdString());
        if (bitsPerPixel >= 1 && bitsPerPixel <= 8) {
            m.quantizeColors(size_t(1) << bitsPerPixel);
            m.quantize();
            m.type(Magick::PaletteType);
        }
        Magick::Blob blob;
        m.write(&blob);
        if (blob.length() == 0) {
            error = QStringLiteral("Nothing was encoded");
            return false;
        }
        out = QByteArray(static_cast<const char *>(blob.data()), qsizetype(blob.length()));
        return true;
    } catch (const Magick::Exception &e) {
        error = QString::fromLocal8Bit(e.what());
        return false;
    }
}

// ---------------------------------------------------------------- the file steps

struct Source {
    QString path;
    QByteArray bytes;
    bool jpeg = false;
    JpegFacts facts;
    QDateTime modified;
};

TransformResult Open(const QString &path, Source &s)
{
    const QFileInfo info(path);
    if (!info.isFile()) return Fail(TransformStatus::Missing, QStringLiteral("The file does not exist"));
    if (IsReadOnly(path)) return Fail(TransformStatus::ReadOnly, QStringLiteral("The file is read-only"));
    s.path = path;
    s.modified = info.lastModified();
    if (!ReadFileLimited(path, s.bytes, detail::kMaxReadBytes) || s.bytes.isEmpty())
        return Fail(TransformStatus::DecodeFailed, QStringLiteral("The file cannot be read"));
    if (s.bytes.size() >= detail::kMaxReadBytes)
        return Fail(TransformStatus::DecodeFailed, QStringLiteral("The file is too large"));
    s.jpeg = IsJpeg(s.bytes);
    if (s.jpeg) s.facts = ReadJpegFacts(s.bytes);
    return {};
}

// A JPEG may be decoded at a reduced DCT scale that covers `cover`; other formats decode whole, so
// the picture is resampled only once.
LoadResult Decode(const Source &s, QSize cover = QSize())
{
    return s.jpeg ? detail::DecodeJpeg(s.bytes, cover) : Load(s.path);
}

// Encodes the changed picture in the source's own format.
TransformResult Encode(const Source &s, const QImage &image, QByteArray &out)
{
    if (s.jpeg) {
        if (!EncodeJpeg(image, s.facts, out)) return Fail(TransformStatus::EncodeFailed, QStringLiteral("JPEG encoding failed"));
        return {};
    }
    EnsureMagick();
    int frames = 0;
    const QString format = MagickFormatOf(s.bytes, frames);
    if (format.isEmpty()) return Fail(TransformStatus::EncodeFailed, QStringLiteral("Unknown picture format"));
    // Writing back the first picture alone would lose the others (an animation, further pages).
    if (frames > 1) return Fail(TransformStatus::EncodeFailed, QStringLiteral("The file holds several pictures"));
    QString error;
    if (!EncodeWithMagick(image, format, FileBitsPerPixel(s.path), out, error))
        return Fail(TransformStatus::EncodeFailed, error);
    return {};
}

TransformResult Store(const Source &s, const QByteArray &bytes, bool keepDate, bool lossless)
{
    if (!WriteFileAtomically(s.path, bytes))
        return Fail(TransformStatus::WriteFailed, QStringLiteral("The file could not be written"));
    if (keepDate && s.modified.isValid()) SetFileTime(s.path, s.modified);
    TransformResult r;
    r.lossless = lossless;
    return r;
}

// The lossless turn of a JPEG; empty when the picture's size does not allow a perfect one.
QByteArray LosslessTurn(const Source &s, int angle)
{
    tjhandle tj = tjInitTransform();
    if (!tj) return {};
    tjtransform t{};
    t.op = LosslessOp(angle, s.facts.orientation);
    t.options = TJXOPT_PERFECT;
    uchar *buffer = nullptr;
    ulong size = 0;
    QByteArray out;
    if (tjTransform(tj, reinterpret_cast<const uchar *>(s.bytes.constData()), ulong(s.bytes.size()), 1, &buffer, &size,
                    &t, 0) == 0) {
        out = QByteArray(reinterpret_cast<const char *>(buffer), qsizetype(size));
        detail::JpegScanner scan(true);
        scan.Feed(out);
        if (scan.exifOffset() >= 0) ResetOrientation(reinterpret_cast<uchar *>(out.data()) + scan.exifOffset(), scan.exifLength());
    }
    tjFree(buffer);
    tjDestroy(tj);
    return out;
}

} // namespace

QImage RotateImage(const QImage &image, int angle, QRgb fill)
{
    if (image.isNull()) return image;
    angle %= 360;
    if (angle % 90 == 0) return angle == 0 ? image : image.transformed(QTransform().rotate(angle));
    QTransform turn;
    turn.rotate(angle);
    const QRectF bounds = turn.mapRect(QRectF(image.rect()));
    const int w = std::max(1, int(std::ceil(bounds.width() - 1e-6))), h = std::max(1, int(std::ceil(bounds.height() - 1e-6)));
    QImage out(w, h, image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    out.fill(QColor::fromRgb(qRed(fill), qGreen(fill), qBlue(fill)));
    QPainter p(&out);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(w / 2.0, h / 2.0);
    p.rotate(angle);
    p.drawImage(QPointF(-image.width() / 2.0, -image.height() / 2.0), image);
    p.end();
    return out;
}

QImage ResizeImage(const QImage &image, QSize size, SizeMode mode)
{
    if (image.isNull() || size.isEmpty() || image.size() == size) return image;
    if (mode == SizeMode::Resize) return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EnsureMagick();
    try {
        Magick::Image m = ToMagick(image);
        m.quiet(true);
        m.filterType(Magick::LanczosFilter);
        Magick::Geometry g(size_t(size.width()), size_t(size.height()));
        g.aspect(true);
        m.resize(g);
        return FromMagick(m, image.hasAlphaChannel());
    } catch (const Magick::Exception &) {
        return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
}

TransformResult RotateFile(const QString &path, int angle, QRgb fill, bool keepDate)
{
    Source s;
    if (TransformResult r = Open(path, s); !r.ok()) return r;
    if (s.jpeg && angle % 90 == 0) {
        const QByteArray turned = LosslessTurn(s, angle);
        if (!turned.isEmpty()) return Store(s, turned, keepDate, true);
    }
    const LoadResult loaded = Decode(s);
    if (!loaded.ok()) return Fail(TransformStatus::DecodeFailed, loaded.error);
    QByteArray bytes;
    if (TransformResult r = Encode(s, RotateImage(loaded.image, angle, fill), bytes); !r.ok()) return r;
    return Store(s, bytes, keepDate, false);
}

TransformResult ResizeFile(const QString &path, const std::function<QSize(QSize)> &sizeFor, SizeMode mode)
{
    Source s;
    if (TransformResult r = Open(path, s); !r.ok()) return r;
    const QSize original = PictureSize(path);
    if (!original.isValid() || original.isEmpty()) return Fail(TransformStatus::DecodeFailed, QStringLiteral("The picture cannot be read"));
    const QSize wanted = sizeFor(original).expandedTo(QSize(1, 1));
    if (wanted == original) return Fail(TransformStatus::Unchanged, {});
    if (qint64(wanted.width()) * wanted.height() > kMaxPixels)
        return Fail(TransformStatus::EncodeFailed, QStringLiteral("The wanted size is too large"));
    // Decode at the smallest size that still covers the wanted one on both sides (proportions kept).
    const double cover = std::max(double(wanted.width()) / original.width(), double(wanted.height()) / original.height());
    QSize box = original;
    if (cover < 1)
        box = QSize(std::min(original.width(), int(std::ceil(original.width() * cover))),
                    std::min(original.height(), int(std::ceil(original.height() * cover))));
    const LoadResult loaded = Decode(s, box);
    if (!loaded.ok()) return Fail(TransformStatus::DecodeFailed, loaded.error);
    QByteArray bytes;
    if (TransformResult r = Encode(s, ResizeImage(loaded.image, wanted, mode), bytes); !r.ok()) return r;
    return Store(s, bytes, false, false);
}

} // namespace pagero::imaging
