// BMP, ICO, PNG and GIF through Qt's image readers. Sizes come from the header; the reader scales
// while decoding where its format allows, otherwise the decoded picture is resampled.
#include "platform/imaging/Decoders.h"

#include <QImageReader>

namespace pagero::imaging::detail {
namespace {

// An icon file holds several pictures: take the largest one.
int LargestImageIndex(QImageReader &reader)
{
    int best = 0;
    qint64 bestArea = -1;
    const int count = std::min(reader.imageCount(), 64);
    for (int i = 0; i < count; ++i) {
        if (!reader.jumpToImage(i)) break;
        const QSize s = reader.size();
        if (qint64(s.width()) * s.height() > bestArea) {
            bestArea = qint64(s.width()) * s.height();
            best = i;
        }
    }
    return best;
}

QImage Normalised(QImage image)
{
    if (image.isNull()) return image;
    const bool alpha = image.hasAlphaChannel();
    const QImage::Format want = alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    return image.format() == want ? image : image.convertToFormat(want);
}

} // namespace

QSize QtPictureSize(const QString &path, const QByteArray &format)
{
    QImageReader reader(path, format);
    reader.setDecideFormatFromContent(false);
    if (format == "ico") reader.jumpToImage(LargestImageIndex(reader));
    const QSize s = reader.size();
    return s.isValid() && !s.isEmpty() ? s : QSize();
}

LoadResult DecodeWithQt(const QString &path, const QByteArray &format, QSize fitInto)
{
    QImageReader reader(path, format);
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(false);
    if (format == "ico") {
        const int index = LargestImageIndex(reader);
        reader.jumpToImage(index);
    }
    const QSize original = reader.size();
    if (original.isValid() && TooLarge(original)) return Failure(QStringLiteral("Picture too large"), original);
    const bool fitting = fitInto.isValid() && !fitInto.isEmpty() && original.isValid();
    const QSize target = fitting ? FitSize(original, fitInto) : QSize();
    if (fitting && target != original && reader.supportsOption(QImageIOHandler::ScaledSize))
        reader.setScaledSize(target);

    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        return Failure(QStringLiteral("Damaged %1 data: %2").arg(QString::fromLatin1(format).toUpper(), reader.errorString()),
                       original);
    }
    LoadResult r;
    r.originalSize = original.isValid() ? original : image.size();
    image = Normalised(std::move(image));
    r.image = fitting ? ScaleTo(image, target) : FitImage(image, fitInto);
    return r;
}

} // namespace pagero::imaging::detail
