// WebP through libwebp. The decoder scales while decoding (the same lever as JPEG's DCT scaling); an
// animated file gives its first frame.
#include "platform/imaging/Decoders.h"

#include <QFile>
#include <webp/decode.h>
#include <webp/demux.h>

namespace pagero::imaging::detail {
namespace {

// The bitstream of the still picture, or of the first frame of an animation.
bool FirstFrame(const QByteArray &bytes, WebPData &frame, WebPDemuxer *&demux, WebPIterator &iter)
{
    const WebPData all{reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size())};
    demux = WebPDemux(&all);
    if (!demux || !WebPDemuxGetFrame(demux, 1, &iter)) return false;
    frame = iter.fragment;
    return true;
}

} // namespace

QSize WebpPictureSize(const QByteArray &head)
{
    int w = 0, h = 0;
    if (!WebPGetInfo(reinterpret_cast<const uint8_t *>(head.constData()), size_t(head.size()), &w, &h)) return {};
    return QSize(w, h);
}

LoadResult DecodeWebp(const QString &path, QSize fitInto)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return Failure(QStringLiteral("Cannot read the file"));
    if (f.size() > kMaxReadBytes) return Failure(QStringLiteral("File too large"));
    const QByteArray bytes = f.readAll();

    WebPDemuxer *demux = nullptr;
    WebPIterator iter{};
    WebPData frame{};
    if (!FirstFrame(bytes, frame, demux, iter)) {
        if (demux) WebPDemuxDelete(demux);
        return Failure(QStringLiteral("Damaged WEBP data"));
    }
    WebPDecoderConfig config;
    WebPInitDecoderConfig(&config);
    QSize original;
    QImage image;
    QString error;
    if (WebPGetFeatures(frame.bytes, frame.size, &config.input) != VP8_STATUS_OK) {
        error = QStringLiteral("Damaged WEBP header");
    } else {
        original = QSize(config.input.width, config.input.height);
        const bool alpha = config.input.has_alpha;
        const QSize target = (fitInto.isValid() && !fitInto.isEmpty()) ? FitSize(original, fitInto) : original;
        if (TooLarge(original)) {
            error = QStringLiteral("Picture too large");
        } else {
            image = QImage(target, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
            if (image.isNull()) {
                error = QStringLiteral("Out of memory");
            } else {
                if (target != original) {
                    config.options.use_scaling = 1;
                    config.options.scaled_width = target.width();
                    config.options.scaled_height = target.height();
                }
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
                config.output.colorspace = MODE_BGRA;
#else
                config.output.colorspace = MODE_ARGB;
#endif
                config.output.is_external_memory = 1;
                config.output.u.RGBA.rgba = image.bits();
                config.output.u.RGBA.stride = int(image.bytesPerLine());
                config.output.u.RGBA.size = size_t(image.sizeInBytes());
                if (WebPDecode(frame.bytes, frame.size, &config) != VP8_STATUS_OK) {
                    image = QImage();
                    error = QStringLiteral("Damaged WEBP data");
                }
                WebPFreeDecBuffer(&config.output);
            }
        }
    }
    WebPDemuxReleaseIterator(&iter);
    WebPDemuxDelete(demux);
    if (image.isNull()) return Failure(error, original);
    LoadResult r;
    r.originalSize = original;
    r.image = image;
    return r;
}

} // namespace pagero::imaging::detail
