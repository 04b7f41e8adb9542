#pragma once
// The decoders behind the imaging facade, one per library. Each returns the picture already
// fitted into `fitInto` when that is valid, and never throws.
#include "platform/imaging/Imaging.h"
#include <QByteArray>

namespace pagero::imaging::detail {

// JPEG bytes through TurboJPEG, turned upright by the EXIF orientation they carry.
LoadResult DecodeJpeg(const QByteArray &bytes, QSize fitInto);
// The DCT scale 1/n used for a picture of `original` size wanted at `target`: the smallest of
// 1/8, 1/4, 1/2 whose decoded size still covers the target, else 1.
int JpegScaleDenominator(QSize original, QSize target);

// What one decode may read of a file, whatever its format.
inline constexpr qint64 kMaxReadBytes = qint64(256) << 20;
// JPEG files up to this size are read whole; larger ones only up to their end-of-image marker.
inline constexpr qint64 kJpegWholeReadBytes = qint64(16) << 20;

// Walks a JPEG's markers over a buffer that may grow between calls (each call is given the whole
// buffer read so far and continues where the last one stopped).
class JpegScanner {
public:
    explicit JpegScanner(bool stopAtScan) : stopAtScan_(stopAtScan) {}
    void Feed(const QByteArray &bytes);
    QSize frame() const { return frame_; }             // from the first frame header, when seen
    int frameBits() const { return frameBits_; }       // sample precision times components
    qsizetype end() const { return end_; }             // just past the end-of-image marker, or -1
    qsizetype exifOffset() const { return exifOffset_; }   // the APP1 "Exif" payload, or -1
    qsizetype exifLength() const { return exifLength_; }
    bool damaged() const { return state_ == State::Damaged; }
    bool finished() const { return state_ == State::Done; }
private:
    enum class State { Markers, Entropy, Done, Damaged };
    bool stopAtScan_;
    State state_ = State::Markers;
    qsizetype pos_ = 0, end_ = -1, exifOffset_ = -1, exifLength_ = 0;
    bool sawScan_ = false;
    QSize frame_;
    int frameBits_ = 0;
};
// The bytes of a JPEG file a decode needs (see kJpegWholeReadBytes); empty with `error` on failure.
QByteArray ReadJpegFile(const QString &path, QString &error);
// The file's markers up to its first scan (frame size and depth, EXIF segment), reading no further;
// `orientation`, when given, receives the EXIF orientation (1 without one).
JpegScanner ScanJpegHeader(const QString &path, int *orientation = nullptr);

// 16-bit bitmaps, read here so that the channels widen exactly (31 -> 255).
bool IsBmp16(const QByteArray &head);
LoadResult DecodeBmp16(const QByteArray &bytes, QSize fitInto);
// Bytes of the file a 16-bit bitmap with this header needs (headers and pixel rows), 0 if none.
qint64 Bmp16FileBytes(const QByteArray &head);
// An error text when an uncompressed bitmap holds fewer pixel rows than it declares, else empty.
QString CheckBmpComplete(const QByteArray &head, qint64 fileSize);

// TIFF through libtiff, from the reduced-resolution picture that covers the target where the file
// has one. `unsupported` is set when libtiff cannot read the file at all (ImageMagick may).
LoadResult DecodeTiff(const QString &path, QSize fitInto, bool &unsupported);
QSize TiffPictureSize(const QString &path);

// HEIC, HEIF and AVIF through libheif (a covering embedded thumbnail serves a small target).
LoadResult DecodeHeif(const QString &path, QSize fitInto);
QSize HeifPictureSize(const QString &path);
// WebP through libwebp, scaled while decoding; an animation gives its first frame.
LoadResult DecodeWebp(const QString &path, QSize fitInto);
QSize WebpPictureSize(const QByteArray &head);
// Camera RAW through LibRaw: the embedded preview when it covers the target, else developed.
LoadResult DecodeRaw(const QString &path, QSize fitInto);
QSize RawPictureSize(const QString &path);

// Orientation tags (EXIF and TIFF share the eight values; 1 is upright).
bool SwapsSides(int orientation);
QSize UprightSize(QSize stored, int orientation);
QSize StoredSize(QSize upright, int orientation);
QImage Oriented(const QImage &image, int orientation);
// The orientation in an APP1 EXIF payload (starting with "Exif\0\0"); 1 when absent or invalid.
int ExifOrientation(const char *exif, qsizetype length);

// Formats Qt reads itself (BMP, ICO, PNG, GIF). `format` is Qt's format name ("bmp", "png", ...).
LoadResult DecodeWithQt(const QString &path, const QByteArray &format, QSize fitInto);
QSize QtPictureSize(const QString &path, const QByteArray &format);

// Everything else ImageMagick reads. `coder` is Magick's format name, or empty to let it guess.
LoadResult DecodeWithMagick(const QString &path, const QString &coder, QSize fitInto);
QSize MagickPictureSize(const QString &path, const QString &coder);

// First frame of a video file.
LoadResult DecodeVideoFrame(const QString &path, QSize fitInto);

// Shared helpers.
QImage FitImage(const QImage &image, QSize fitInto);   // FitSize of the image's own size
QImage ScaleTo(const QImage &image, QSize target);      // smooth resample unless already that size
LoadResult Failure(const QString &error, QSize originalSize = QSize());
bool TooLarge(QSize size);

} // namespace pagero::imaging::detail
