// HEIC, HEIF and AVIF through libheif. The primary picture comes out with the file's own rotation and
// mirroring applied (libheif does that by default); a small target is served from the file's
// embedded thumbnail when one covers it, which phones write for every photo.
#include "platform/imaging/Decoders.h"

#include <QFile>
#include <libheif/heif.h>
#include <memory>

namespace pagero::imaging::detail {
namespace {

struct ContextFree { void operator()(heif_context *c) const { heif_context_free(c); } };
struct HandleFree { void operator()(heif_image_handle *h) const { heif_image_handle_release(h); } };
struct ImageFree { void operator()(heif_image *i) const { heif_image_release(i); } };
using Context = std::unique_ptr<heif_context, ContextFree>;
using Handle = std::unique_ptr<heif_image_handle, HandleFree>;
using Image = std::unique_ptr<heif_image, ImageFree>;

Handle PrimaryPicture(heif_context *ctx, const QString &path, QString &error)
{
    const heif_error opened = heif_context_read_from_file(ctx, QFile::encodeName(path).constData(), nullptr);
    if (opened.code != heif_error_Ok) { error = QStringLiteral("Damaged HEIF data: %1").arg(QString::fromUtf8(opened.message)); return {}; }
    heif_image_handle *h = nullptr;
    if (heif_context_get_primary_image_handle(ctx, &h).code != heif_error_Ok || !h) {
        error = QStringLiteral("Damaged HEIF data: no primary picture");
        return {};
    }
    return Handle(h);
}

QSize HandleSize(const heif_image_handle *h)
{
    return QSize(heif_image_handle_get_width(h), heif_image_handle_get_height(h));
}

// The embedded thumbnail of the primary picture that covers `target`, if there is one.
Handle CoveringThumbnail(heif_image_handle *primary, QSize target)
{
    const int count = std::min(heif_image_handle_get_number_of_thumbnails(primary), 8);
    if (count <= 0 || !target.isValid()) return {};
    std::vector<heif_item_id> ids(size_t(count), 0);
    heif_image_handle_get_list_of_thumbnail_IDs(primary, ids.data(), count);
    Handle best;
    for (heif_item_id id : ids) {
        heif_image_handle *t = nullptr;
        if (heif_image_handle_get_thumbnail(primary, id, &t).code != heif_error_Ok || !t) continue;
        Handle thumb(t);
        const QSize s = HandleSize(t);
        if (s.width() >= target.width() && s.height() >= target.height() &&
            (!best || s.width() < HandleSize(best.get()).width()))
            best = std::move(thumb);
    }
    return best;
}

} // namespace

QSize HeifPictureSize(const QString &path)
{
    Context ctx(heif_context_alloc());
    QString error;
    Handle h = ctx ? PrimaryPicture(ctx.get(), path, error) : Handle();
    return h ? HandleSize(h.get()) : QSize();
}

LoadResult DecodeHeif(const QString &path, QSize fitInto)
{
    Context ctx(heif_context_alloc());
    if (!ctx) return Failure(QStringLiteral("HEIF decoder unavailable"));
    QString error;
    Handle primary = PrimaryPicture(ctx.get(), path, error);
    if (!primary) return Failure(error);
    const QSize original = HandleSize(primary.get());
    if (original.isEmpty()) return Failure(QStringLiteral("Damaged HEIF header"));
    if (TooLarge(original)) return Failure(QStringLiteral("Picture too large"), original);

    const bool fitting = fitInto.isValid() && !fitInto.isEmpty();
    const QSize target = fitting ? FitSize(original, fitInto) : QSize();
    Handle thumb = fitting ? CoveringThumbnail(primary.get(), target) : Handle();
    heif_image_handle *source = thumb ? thumb.get() : primary.get();

    const bool alpha = heif_image_handle_has_alpha_channel(source);
    heif_image *decoded = nullptr;
    const heif_error e = heif_decode_image(source, &decoded, heif_colorspace_RGB,
                                           alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, nullptr);
    if (e.code != heif_error_Ok || !decoded)
        return Failure(QStringLiteral("Damaged HEIF data: %1").arg(QString::fromUtf8(e.message)), original);
    Image image(decoded);
    int stride = 0;
    const uint8_t *plane = heif_image_get_plane_readonly(decoded, heif_channel_interleaved, &stride);
    const int w = heif_image_get_width(decoded, heif_channel_interleaved);
    const int h = heif_image_get_height(decoded, heif_channel_interleaved);
    if (!plane || w <= 0 || h <= 0) return Failure(QStringLiteral("Damaged HEIF data"), original);
    // Wraps libheif's rows, then copies them into a picture of the facade's own format.
    const QImage view(plane, w, h, stride, alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    QImage out = view.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (out.isNull()) return Failure(QStringLiteral("Out of memory"), original);
    LoadResult r;
    r.originalSize = original;
    r.image = fitting ? ScaleTo(out, target) : out;
    return r;
}

} // namespace pagero::imaging::detail
