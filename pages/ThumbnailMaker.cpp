#include "pages/ThumbnailMaker.h"

#include "common/Fonts.h"
#include "core/common/MyLib.h"
#include "platform/imaging/Imaging.h"

#include <QFontMetrics>
#include <QPainter>

#if __has_include("platform/Assets.h")
#include "platform/Assets.h"
#define PAGERO_HAVE_DESIGN_IMAGES 1
#endif

namespace pagero {

QImage FitThumbnail(const QImage &image, QSize originalSize, const ThumbnailBox &box)
{
    if (image.isNull()) return QImage();
    // Fit by the picture's own proportions; the decoded image may already be reduced.
    const QSize source = originalSize.isValid() && !originalSize.isEmpty() ? originalSize : image.size();
    int w = box.width, h = box.height;
    FitInBox(source.width(), source.height(), w, h);
    w *= box.scale;
    h *= box.scale;
    if (image.size() == QSize(w, h)) return image;
    return image.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage MakeThumbnail(const QString &path, int kind, const ThumbnailIcons &icons, const ThumbnailBox &box)
{
    // The built-in pictures are book-pixel pictures: at a larger scale their pixels are repeated.
    const auto icon = [&box](const QImage &picture) {
        const QImage fitted = FitThumbnail(picture, QSize(), ThumbnailBox{box.width, box.height, 1});
        if (box.scale == 1 || fitted.isNull()) return fitted;
        return fitted.scaled(fitted.size() * box.scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    };
    switch (kind) {
    case KindWave: return icon(icons.wavIcon);
    case KindMidi: return icon(icons.midIcon);
    default: break;
    }
    const imaging::LoadResult loaded = imaging::Load(path, QSize(box.DeviceWidth(), box.DeviceHeight()));
    if (!loaded.ok()) return QImage();
    return FitThumbnail(loaded.image, loaded.originalSize, box);
}

QImage DataErrorThumbnail(int width, int height, int scale)
{
    scale = qMax(1, scale);
    QImage image(qMax(1, width) * scale, qMax(1, height) * scale, QImage::Format_RGB16);
    image.fill(QColor(128, 128, 128));
    QPainter painter(&image);
    painter.scale(scale, scale);
    const QFont font = BookFont(8);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPoint(5, 20 + QFontMetrics(font).ascent()), QStringLiteral("Data Error!"));
    return image;
}

namespace {

// Stand-in when the program's design pictures are not available: a plain note sign of the size the
// built-in picture has.
QImage PlainIcon(int size, QColor colour)
{
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(QColor(192, 192, 192));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(QRectF(size * 0.2, size * 0.6, size * 0.3, size * 0.25));
    p.drawRect(QRectF(size * 0.44, size * 0.15, size * 0.06, size * 0.6));
    return image;
}

} // namespace

ThumbnailIcons LoadThumbnailIcons()
{
    ThumbnailIcons icons;
#ifdef PAGERO_HAVE_DESIGN_IMAGES
    icons.wavIcon = DesignImage(QStringLiteral("wavIcon"));
    icons.midIcon = DesignImage(QStringLiteral("midIcon"));
#endif
    if (icons.wavIcon.isNull()) icons.wavIcon = PlainIcon(49, QColor(0, 0, 128));
    if (icons.midIcon.isNull()) icons.midIcon = PlainIcon(71, QColor(128, 0, 0));
    return icons;
}

} // namespace pagero
