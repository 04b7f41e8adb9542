// JPEG through TurboJPEG: the header gives the size, the DCT scaling (1/8, 1/4, 1/2) does most of
// the shrinking at almost no cost, a smooth resample does the rest.
#include "platform/imaging/Decoders.h"

#include <turbojpeg.h>
#include <cstring>

namespace pagero::imaging::detail {
namespace {

// One decompressor per thread: TurboJPEG handles are not shared between threads.
class ThreadDecompressor {
public:
    ThreadDecompressor() : handle_(tjInitDecompress()) {}
    ~ThreadDecompressor() { if (handle_) tjDestroy(handle_); }
    ThreadDecompressor(const ThreadDecompressor &) = delete;
    ThreadDecompressor &operator=(const ThreadDecompressor &) = delete;
    tjhandle get() const { return handle_; }
private:
    tjhandle handle_;
};

tjhandle Decompressor()
{
    thread_local ThreadDecompressor d;
    return d.get();
}

struct Header {
    int width = 0, height = 0, subsamp = 0, colorspace = 0;
};

bool ReadHeader(tjhandle tj, const QByteArray &bytes, Header &h)
{
    return tjDecompressHeader3(tj, reinterpret_cast<const unsigned char *>(bytes.constData()),
                               static_cast<unsigned long>(bytes.size()), &h.width, &h.height,
                               &h.subsamp, &h.colorspace) == 0 &&
           h.width > 0 && h.height > 0;
}

// Adobe-style CMYK (stored inverted, as nearly every CMYK JPEG is) to RGB.
QImage CmykToRgb(const std::vector<unsigned char> &cmyk, int w, int h)
{
    QImage out(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        const unsigned char *s = cmyk.data() + size_t(y) * w * 4;
        QRgb *d = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < w; ++x, s += 4) {
            const int k = s[3];
            d[x] = qRgb(s[0] * k / 255, s[1] * k / 255, s[2] * k / 255);
        }
    }
    return out;
}

// A warning is fine (many cameras write a few stray bytes), except a file that ends early.
bool AcceptableWarning(tjhandle tj)
{
    if (tjGetErrorCode(tj) != TJERR_WARNING) return false;
    const char *text = tjGetErrorStr2(tj);
    return !(text && std::strstr(text, "Premature end"));
}

} // namespace

int JpegScaleDenominator(QSize original, QSize target)
{
    if (target.isValid() && !target.isEmpty() && !original.isEmpty()) {
        for (int denominator : {8, 4, 2}) {
            const tjscalingfactor f{1, denominator};
            if (TJSCALED(original.width(), f) >= target.width() && TJSCALED(original.height(), f) >= target.height())
                return denominator;
        }
    }
    return 1;
}

LoadResult DecodeJpeg(const QByteArray &bytes, QSize fitInto)
{
    tjhandle tj = Decompressor();
    if (!tj) return Failure(QStringLiteral("JPEG decoder unavailable"));
    Header h;
    if (!ReadHeader(tj, bytes, h)) return Failure(QStringLiteral("Damaged JPEG header"));
    // Decoded in the stored pixel order, turned upright at the end (on the smaller picture).
    JpegScanner markers(true);
    markers.Feed(bytes);
    const int orientation = markers.exifOffset() >= 0
                                ? ExifOrientation(bytes.constData() + markers.exifOffset(), markers.exifLength())
                                : 1;
    const QSize stored(h.width, h.height);
    const QSize original = UprightSize(stored, orientation);
    if (TooLarge(original)) return Failure(QStringLiteral("Picture too large"), original);

    const QSize target = (fitInto.isValid() && !fitInto.isEmpty())
                             ? StoredSize(FitSize(original, fitInto), orientation) : QSize();
    const tjscalingfactor f{1, JpegScaleDenominator(stored, target)};
    const int sw = TJSCALED(h.width, f), sh = TJSCALED(h.height, f);
    const auto *src = reinterpret_cast<const unsigned char *>(bytes.constData());
    const auto srcLen = static_cast<unsigned long>(bytes.size());
    const int flags = TJFLAG_LIMITSCANS;

    QImage image;
    int rc;
    if (h.colorspace == TJCS_CMYK || h.colorspace == TJCS_YCCK) {
        std::vector<unsigned char> cmyk(size_t(sw) * sh * 4);
        rc = tjDecompress2(tj, src, srcLen, cmyk.data(), sw, sw * 4, sh, TJPF_CMYK, flags);
        if (rc == 0 || AcceptableWarning(tj)) image = CmykToRgb(cmyk, sw, sh);
    } else {
        image = QImage(sw, sh, QImage::Format_RGB32);
        if (image.isNull()) return Failure(QStringLiteral("Out of memory"), original);
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
        const int pixelFormat = TJPF_BGRA;
#else
        const int pixelFormat = TJPF_ARGB;
#endif
        rc = tjDecompress2(tj, src, srcLen, image.bits(), sw, int(image.bytesPerLine()), sh, pixelFormat, flags);
        if (rc != 0 && !AcceptableWarning(tj)) image = QImage();
    }
    if (image.isNull()) {
        const char *text = tjGetErrorStr2(tj);
        const bool truncated = text && std::strstr(text, "Premature end");
        return Failure(truncated ? QStringLiteral("Truncated JPEG data")
                                 : QStringLiteral("Damaged JPEG data: %1").arg(QString::fromLatin1(text ? text : "")),
                       original);
    }
    LoadResult r;
    r.originalSize = original;
    r.image = Oriented(target.isValid() ? ScaleTo(image, target) : image, orientation);
    return r;
}

} // namespace pagero::imaging::detail
