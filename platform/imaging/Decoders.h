#pragma once
// The decoders behind the imaging facade, one per library. Each returns the picture already
// fitted into `fitInto` when that is valid, and never throws.
#include "platform/imaging/Imaging.h"
#include <QByteArray>

namespace pagero::imaging::detail {

// JPEG bytes through TurboJPEG.
LoadResult DecodeJpeg(const QByteArray &bytes, QSize fitInto);
QSize JpegSize(const QByteArray &head);
// The DCT scale 1/n used for a picture of `original` size wanted at `target`: the smallest of
// 1/8, 1/4, 1/2 whose decoded size still covers the target, else 1.
int JpegScaleDenominator(QSize original, QSize target);

// 16-bit bitmaps, read here so that the channels widen exactly (31 -> 255).
bool IsBmp16(const QByteArray &head);
LoadResult DecodeBmp16(const QByteArray &bytes, QSize fitInto);
// An error text when an uncompressed bitmap holds fewer pixel rows than it declares, else empty.
QString CheckBmpComplete(const QByteArray &head, qint64 fileSize);

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
