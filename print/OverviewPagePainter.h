#pragma once
// Overview pages as they are printed: the overview window's page without selection colours, each
// thumbnail decoded from its picture file at the printed size, then the page's frame and label.
// The pictures of the next sheet are decoded on worker threads while the current one is drawn.
#include <QHash>
#include <QImage>
#include <QList>
#include <QSizeF>
#include <QString>
#include <functional>
#include <future>

class QPainter;

namespace pagero {

struct BookGeometry;
class TOverView_Fm;

class OverviewPrintPainter {
public:
    // `firstOverviewPage` is the book page of overview page 1; `label` gives a book page's label.
    OverviewPrintPainter(TOverView_Fm &overview, const BookGeometry &geo, int firstOverviewPage,
                         std::function<QString(int bookPage)> label);
    ~OverviewPrintPainter();   // waits for decodes still running

    // Starts decoding the pictures of overview `pages` for a print at `scale` printer pixels per book
    // pixel.
    void Prefetch(const QList<int> &pages, QSizeF scale);
    // Paints overview page `page` (1-based) into (0, 0) .. (PageW, PageH) of the painter's coordinates.
    void Paint(QPainter &painter, int page);

private:
    struct Decoded {
        QImage image;
        QSize asked;
    };
    QImage Thumbnail(int index, QSize deviceSize);

    TOverView_Fm &overview_;
    const BookGeometry &geo_;
    int firstOverviewPage_;
    std::function<QString(int)> label_;
    QHash<int, std::shared_future<Decoded>> pending_;
};

} // namespace pagero
