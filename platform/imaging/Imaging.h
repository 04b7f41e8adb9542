#pragma once
// The imaging facade: decoding of every picture format the album shows, at reduced size when the
// target is smaller. JPEG goes through libjpeg-turbo (scaled decode: 1/2, 1/4, 1/8), BMP/ICO/PNG/GIF
// through Qt, the rest (PCX, PCD, PSD, TIFF, WMF, first frame of AVI ...) through Magick++.
// Thread-safe: may be called from worker threads.
#include <QImage>
#include <QSize>
#include <QString>

namespace pagero::imaging {

struct LoadResult {
    QImage image;          // null on failure
    QSize originalSize;    // the picture's full size, when known
    QString error;         // a short reason when image is null
    bool ok() const { return !image.isNull(); }
};

// Loads the picture. With a valid `fitInto`, the result is already scaled down (aspect kept, never
// enlarged) to fit inside it, using the cheapest decode that still covers it.
LoadResult Load(const QString &path, QSize fitInto = QSize());

// Size of the picture without decoding its pixels (header only where the format allows).
QSize PictureSize(const QString &path);

// Saves a 16-bit (RGB565) Windows bitmap, as the thumbnail cache stores them. Atomic.
bool SaveBmp16(const QImage &image, const QString &path);

} // namespace pagero::imaging
