// The painter's images and its 4-slot page cache. Between redraws the cache only serves the flip
// animation: both faces of the turning leaf and the two static pages fit in the four slots.
#include "app/BookPainter.h"

#include <QPainter>
#include <QtMath>
#include <algorithm>

namespace pagero {

QSize DeviceSize(QSize logical, qreal ratio)
{
    return QSize(qCeil(logical.width() * ratio - 1e-9), qCeil(logical.height() * ratio - 1e-9));
}

QImage DeviceImage(QSize logical, qreal ratio, QImage::Format format)
{
    if (logical.isEmpty())
        return QImage(logical, format);
    QImage img(DeviceSize(logical, ratio), format);
    img.setDevicePixelRatio(ratio);
    return img;
}

QSize LogicalSize(const QImage &image)
{
    const qreal ratio = image.devicePixelRatio();
    return QSize(qRound(image.width() / ratio), qRound(image.height() / ratio));
}

BookPainter::BookPainter()
{
    points_.reserve(1502);
}

void BookPainter::Resize(const BookGeometry &geo, qreal ratio)
{
    ratio_ = ratio > 0 ? ratio : 1.0;
    const QImage shown = ViewImage1;
    ViewImage1 = DeviceImage(geo.client, ratio_);
    if (!ViewImage1.isNull()) {
        QPainter p(&ViewImage1);
        p.fillRect(QRect(QPoint(0, 0), geo.client), background_);
        if (!shown.isNull())
            p.drawImage(0, 0, shown);
    }
    ViewImage2 = DeviceImage(geo.client, ratio_);
    const QSize page = geo.pageImageSize().expandedTo(QSize(1, 1));
    PageImage1 = QImage(page, kFrameFormat);
    PageImage2 = QImage(page, kFrameFormat);
    for (Slot &slot : cache_)
        slot.image = DeviceImage(page, ratio_);
    pictures_.ratio = ratio_;
    InvalidatePageCache();
}

void BookPainter::InvalidatePageCache()
{
    for (Slot &slot : cache_)
        slot.page = -1;
}

const QImage *BookPainter::CachedPage(int page) const
{
    for (const Slot &slot : cache_)
        if (slot.page == page)
            return &slot.image;
    return nullptr;
}

const QImage &BookPainter::GetPage(const BookScene &scene, int page)
{
    for (Slot &slot : cache_)
        if (slot.page == page)
            return slot.image;

    const FlipState &flip = *scene.flip;
    const int lastPageNo = scene.layout->LastPageNo;
    auto needed = [&](int p) {
        if (p == flip.LeftPageNo || p == flip.RightPageNo)
            return true;
        for (const FlipLeaf &leaf : flip.leaves)
            if (p == leaf.FrontPage || p == leaf.BackPage)
                return true;
        return false;
    };
    Slot *chosen = &cache_[0];
    for (Slot &slot : cache_) {
        if (slot.page <= 0 || slot.page > lastPageNo || !needed(slot.page)) {
            chosen = &slot;
            break;
        }
    }
    chosen->page = page;
    RenderPage(scene, page, chosen->image, true, true, true, true);
    return chosen->image;
}

const QImage &BookPainter::DrawBook(const BookScene &scene)
{
    InvalidatePageCache();
    RenderSpread(scene, ViewImage1);
    return ViewImage1;
}

} // namespace pagero
