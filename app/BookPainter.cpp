// The painter's images and its 4-slot page cache. Between redraws the cache only serves the flip
// animation: both faces of the turning leaf and the two static pages fit in the four slots.
#include "app/BookPainter.h"

#include <QPainter>

namespace pagero {

BookPainter::BookPainter()
{
    points_.reserve(1502);
}

void BookPainter::Resize(const BookGeometry &geo)
{
    const QImage shown = ViewImage1;
    ViewImage1 = QImage(geo.client, kFrameFormat);
    if (!ViewImage1.isNull()) {
        QPainter p(&ViewImage1);
        p.fillRect(ViewImage1.rect(), background_);
        if (!shown.isNull())
            p.drawImage(0, 0, shown);
    }
    ViewImage2 = QImage(geo.client, kFrameFormat);
    const QSize page = geo.pageImageSize().expandedTo(QSize(1, 1));
    PageImage1 = QImage(page, kFrameFormat);
    PageImage2 = QImage(page, kFrameFormat);
    for (Slot &slot : cache_)
        slot.image = QImage(page, kFrameFormat);
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
