#pragma once
// The imaging facade: decoding of every picture format the album shows, at reduced size when the
// target is smaller.
//  - JPEG: libjpeg-turbo, decoded at the smallest DCT scale (1/8, 1/4, 1/2) that still covers the
//    target, then resampled with a smooth filter. Files above 16 MB are read only up to their
//    end-of-image marker.
//  - TIFF: libtiff, from the file's reduced-resolution picture when one covers the target, else
//    box-averaged while decoding; ImageMagick for what libtiff cannot read.
//  - HEIC, HEIF, AVIF: libheif (a small target is served by a covering embedded thumbnail).
//  - WebP: libwebp, scaled while decoding; an animation gives its first frame.
//  - Camera RAW (by extension): LibRaw, the embedded preview when it covers the target, else the
//    sensor data developed (at half size when that still covers it).
//  - BMP, ICO, PNG, GIF: Qt's readers (ICO: the largest image of the file).
//  - PCX, PCD, PSD, WMF and whatever else ImageMagick reads: Magick++ (first image only).
//  - AVI and other videos: the first frame, decoded by an ffmpeg process with a time limit.
// Pictures come out upright: the EXIF orientation of a JPEG, the orientation tag of a TIFF, HEIF's
// transformations and a RAW file's turn are applied after the scaled decode, and every size
// (originalSize, PictureSize, the fitting box) is the upright one.
// The decoder is chosen by the file's first bytes, then by its extension, so a file whose name
// lies about its content still loads or fails cleanly. A broken, truncated or hostile file gives a
// null image and a short error text; pictures above kMaxPixels are refused before any pixel is
// decoded, and no decode reads more of a file than its picture can need. Thread-safe: may be
// called from several worker threads at once.
#include "core/common/AtomicFile.h"

#include <QImage>
#include <QSize>
#include <QString>

namespace pagero::imaging {

// Largest picture (width x height) that is decoded at all: guards against decompression bombs.
inline constexpr qint64 kMaxPixels = 150'000'000;

struct LoadResult {
    QImage image;          // null on failure; Format_RGB32, or Format_ARGB32 when it has alpha
    QSize originalSize;    // the picture's full size, when known
    QString error;         // a short reason when image is null
    bool ok() const { return !image.isNull(); }
};

// Loads the picture. With a valid `fitInto`, the result is already scaled down (proportions kept, never
// enlarged) to fit inside it, using the cheapest decode that still covers it.
LoadResult Load(const QString &path, QSize fitInto = QSize());

// Size of the picture without decoding its pixels (header only where the format allows; a video
// decodes its first frame). Invalid size when the file cannot be read.
QSize PictureSize(const QString &path);

// Bits per pixel as the file stores them (a 4-bit BMP 4, a two-colour GIF 1, an RGB JPEG 24), read
// from the header; 0 when the format is not one whose header this knows.
int FileBitsPerPixel(const QString &path);

// Saves a 16-bit (RGB565, BI_BITFIELDS) Windows bitmap, as the thumbnail cache stores them.
// Transparent pixels are laid over white. Written through the atomic writer: on any failure (a full
// disk) the result is false and an old file at `path` keeps its bytes.
bool SaveBmp16(const QImage &image, const QString &path, FileSync sync = FileSync::Durable);

// Initialises ImageMagick once per process (every Magick++ user calls this before its first use).
void EnsureMagick();

// The size `original` takes when fitted into `box`: proportions kept, never enlarged, each side rounded
// to nearest and at least 1.
QSize FitSize(QSize original, QSize box);

} // namespace pagero::imaging
