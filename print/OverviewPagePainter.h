#pragma once
// Overview pages as they are printed: the overview's page without selection colours, each thumbnail
// decoded from its picture file at the printed size, then the page's frame and label. Everything it
// paints from is a copy taken when the job starts, so it may paint on a thread of its own while the
// book goes on. The pictures of the sheets ahead are decoded on every core while a sheet is drawn.
#include "core/book/BookGeometry.h"
#include "pages/OrvOverView_Ut.h"
#include <QHash>
#include <QImage>
#include <QList>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <future>
#include <memory>

class QPainter;

namespace pagero {

class OverviewPrintPainter {
public:
    // `firstOverviewPage` is the book page of overview page 1; `label` gives a book page's label (it is
    // called on the painting thread, so it must only read copies).
    OverviewPrintPainter(OverviewPrintSource source, const BookGeometry &geo, int firstOverviewPage,
                         std::function<QString(int bookPage)> label);
    ~OverviewPrintPainter();   // drops the decodes not yet started and waits for the running ones

    // Starts decoding the pictures of overview `pages` for a print at `scale` printer pixels per book
    // pixel.
    void Prefetch(const QList<int> &pages, QSizeF scale);
    // Paints overview page `page` (1-based) into (0, 0) .. (PageW, PageH) of the painter's coordinates.
    void Paint(QPainter &painter, int page);
    // The picture files that could not be decoded; their cached overview bitmaps were printed instead.
    const QStringList &Unreadable() const { return unreadable_; }

private:
    struct Decoded {
        QImage image;
        QSize asked;
    };
    QImage Thumbnail(int index, QSize deviceSize);
    QRect AreaOf(int page) const;

    OverviewPrintSource source_;
    BookGeometry geo_;
    int firstOverviewPage_;
    std::function<QString(int)> label_;
    QHash<int, std::shared_future<Decoded>> pending_;
    std::shared_ptr<std::atomic<bool>> dropped_ = std::make_shared<std::atomic<bool>>(false);
    QStringList unreadable_;
};

} // namespace pagero
