// Camera RAW through LibRaw. The preview picture the camera embeds (nearly always a JPEG) serves
// whenever it covers the target: it is what the camera itself shows, and costs a JPEG decode. Only
// when it is missing or too small is the sensor data developed (at half size when that still covers
// the target: LibRaw then skips demosaicing).
#include "platform/imaging/Decoders.h"

#include <QFile>
#include <libraw/libraw.h>
#include <memory>

namespace pagero::imaging::detail {
namespace {

// LibRaw's turn of the picture as an orientation tag.
int OrientationOfFlip(int flip)
{
    switch (flip) {
    case 3: return 3;
    case 5: return 8;
    case 6: return 6;
    default: return 1;
    }
}

std::unique_ptr<LibRaw> OpenRaw(const QString &path, QString &error)
{
    auto raw = std::make_unique<LibRaw>(LIBRAW_OPIONS_NO_DATAERR_CALLBACK);
    raw->imgdata.params.max_raw_memory_mb = 1024;
    if (raw->open_file(QFile::encodeName(path).constData()) != LIBRAW_SUCCESS) {
        error = QStringLiteral("Not a camera RAW file LibRaw reads");
        return {};
    }
    return raw;
}

QSize SensorSize(const LibRaw &raw)
{
    return QSize(raw.imgdata.sizes.width, raw.imgdata.sizes.height);
}

// The embedded preview, stored-order, or a null image when it is unusable.
QImage Preview(LibRaw &raw, QSize storedTarget, int &previewOrientation)
{
    previewOrientation = 1;
    if (raw.unpack_thumb() != LIBRAW_SUCCESS) return {};
    const libraw_thumbnail_t &t = raw.imgdata.thumbnail;
    if (!t.thumb || t.tlength == 0) return {};
    if (t.tformat == LIBRAW_THUMBNAIL_JPEG) {
        const QByteArray bytes(t.thumb, qsizetype(t.tlength));
        JpegScanner markers(true);
        markers.Feed(bytes);
        if (markers.exifOffset() >= 0)
            previewOrientation = ExifOrientation(bytes.constData() + markers.exifOffset(), markers.exifLength());
        LoadResult r = DecodeJpeg(bytes, previewOrientation == 1 ? storedTarget : storedTarget.transposed());
        return r.image;
    }
    if (t.tformat == LIBRAW_THUMBNAIL_BITMAP && t.tcolors == 3 &&
        qint64(t.twidth) * t.theight * 3 <= qint64(t.tlength)) {
        const QImage view(reinterpret_cast<const uchar *>(t.thumb), t.twidth, t.theight, t.twidth * 3,
                          QImage::Format_RGB888);
        return FitImage(view.convertToFormat(QImage::Format_RGB32), storedTarget);
    }
    return {};
}

} // namespace

QSize RawPictureSize(const QString &path)
{
    QString error;
    auto raw = OpenRaw(path, error);
    if (!raw) return {};
    return UprightSize(SensorSize(*raw), OrientationOfFlip(raw->imgdata.sizes.flip));
}

LoadResult DecodeRaw(const QString &path, QSize fitInto)
{
    QString error;
    auto raw = OpenRaw(path, error);
    if (!raw) return Failure(error);
    const int orientation = OrientationOfFlip(raw->imgdata.sizes.flip);
    const QSize stored = SensorSize(*raw);
    const QSize original = UprightSize(stored, orientation);
    if (stored.isEmpty()) return Failure(QStringLiteral("Damaged RAW header"));
    if (TooLarge(stored)) return Failure(QStringLiteral("Picture too large"), original);

    const bool fitting = fitInto.isValid() && !fitInto.isEmpty();
    // Without a target the whole picture is wanted: a preview then serves only if it is nearly full size.
    const QSize target = fitting ? FitSize(original, fitInto) : original * 0.9;
    const QSize storedTarget = StoredSize(target, orientation);

    int previewOrientation = 1;
    QImage preview = Preview(*raw, storedTarget, previewOrientation);
    const QSize previewStored = previewOrientation == 1 ? preview.size() : preview.size().transposed();
    if (!preview.isNull() && previewStored.width() >= storedTarget.width() &&
        previewStored.height() >= storedTarget.height()) {
        // A preview that carries its own orientation has been turned by the JPEG decoder already.
        if (previewOrientation == 1) preview = Oriented(preview, orientation);
        LoadResult r;
        r.originalSize = original;
        r.image = ScaleTo(preview, fitting ? target : FitSize(preview.size(), original));
        return r;
    }

    libraw_output_params_t &p = raw->imgdata.params;
    p.use_camera_wb = 1;
    p.output_bps = 8;
    p.half_size = fitting && stored.width() / 2 >= storedTarget.width() && stored.height() / 2 >= storedTarget.height();
    if (raw->unpack() != LIBRAW_SUCCESS || raw->dcraw_process() != LIBRAW_SUCCESS)
        return Failure(QStringLiteral("Damaged RAW data"), original);
    int rc = 0;
    libraw_processed_image_t *developed = raw->dcraw_make_mem_image(&rc);
    if (!developed) return Failure(QStringLiteral("Damaged RAW data"), original);
    QImage image;
    if (developed->type == LIBRAW_IMAGE_BITMAP && developed->colors == 3 && developed->bits == 8) {
        // LibRaw has already turned the developed picture by its orientation.
        const QImage view(developed->data, developed->width, developed->height, developed->width * 3,
                          QImage::Format_RGB888);
        image = view.convertToFormat(QImage::Format_RGB32);
    }
    LibRaw::dcraw_clear_mem(developed);
    if (image.isNull()) return Failure(QStringLiteral("Damaged RAW data"), original);
    LoadResult r;
    r.originalSize = original;
    r.image = fitting ? ScaleTo(image, target) : image;
    return r;
}

} // namespace pagero::imaging::detail
