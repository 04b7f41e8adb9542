#pragma once
// Turning and resizing picture files in place, as the rotate and resize commands do them.
//  - A JPEG turned by a multiple of 90 degrees is transformed losslessly (TurboJPEG) whenever the
//    picture's size allows a perfect transform, so four quarter turns give back the same pixels.
//    Otherwise it is decoded and encoded again at high quality with its chroma subsampling: never
//    trimmed, no garbled edge blocks. Either way the EXIF orientation is folded into the pixels and
//    the tag is set to 1, so no viewer turns the picture a second time; the rest of the EXIF stays.
//  - Every other angle and every other format is decoded upright, changed and written in its own
//    format again (JPEG through TurboJPEG, the rest through ImageMagick, palette pictures with at
//    most as many colours as their bits per pixel allow).
//  - The result replaces the file only once it is completely written (temporary file, checked
//    writes, sync, rename); a picture that cannot be read, changed or encoded, and a read-only
//    file, are left untouched and the result says why.
// Thread-safe: batches run these on several worker threads at once.
#include <QImage>
#include <QRgb>
#include <QSize>
#include <QString>
#include <functional>

namespace pagero::imaging {

enum class TransformStatus {
    Done,           // the file holds the changed picture
    Unchanged,      // nothing to change (a resize to the picture's own size); the file is as it was
    Missing,        // no such file
    ReadOnly,       // the file may not be written
    DecodeFailed,   // the picture could not be read
    EncodeFailed,   // the picture could not be changed or written in its format
    WriteFailed,    // writing failed (a full disk): the old file stays
};

struct TransformResult {
    TransformStatus status = TransformStatus::Done;
    QString error;          // a short reason when not Done or Unchanged
    bool lossless = false;  // a JPEG turned without encoding it again
    bool ok() const { return status == TransformStatus::Done || status == TransformStatus::Unchanged; }
};

// Resize scales with a smooth (area-averaging) filter; resample with a Lanczos filter, slower and
// sharper.
enum class SizeMode { Resize = 1, Resample = 2 };

// JPEG quality of every picture encoded again.
inline constexpr int kJpegQuality = 92;

// The picture turned by `angle` degrees (positive to the right, clockwise), on a canvas grown to hold
// all of it, the uncovered corners in `fill`. Multiples of 90 are exact.
QImage RotateImage(const QImage &image, int angle, QRgb fill);
// The picture scaled to exactly `size`.
QImage ResizeImage(const QImage &image, QSize size, SizeMode mode);

// Turns the picture file by `angle` degrees. With keepDate the file's modification time is put back.
TransformResult RotateFile(const QString &path, int angle, QRgb fill = qRgb(255, 255, 255), bool keepDate = true);
// Scales the picture file to the size `sizeFor` gives for its upright size (each side at least 1).
TransformResult ResizeFile(const QString &path, const std::function<QSize(QSize original)> &sizeFor,
                           SizeMode mode = SizeMode::Resize);

} // namespace pagero::imaging
