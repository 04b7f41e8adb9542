#include "print/OverviewPagePainter.h"
#include "app/PageRenderer.h"
#include "common/Fonts.h"
#include "core/book/BookGeometry.h"
#include "core/common/MyLib.h"
#include "pages/OrvOverView_Ut.h"
#include "pages/ThumbnailMaker.h"
#include "platform/imaging/Imaging.h"
#include <QFontMetrics>
#include <QPainter>
#include <QThreadPool>
#include <QtMath>
#include <memory>

namespace pagero {

namespace {

bool IsPicture(const QString &path)
{
    const int kind = MediaKind(path);
    return kind == KindPicture || kind == KindImaging;
}

} // namespace

OverviewPrintPainter::OverviewPrintPainter(TOverView_Fm &overview, const BookGeometry &geo, int firstOverviewPage,
                                           std::function<QString(int bookPage)> label)
    : overview_(overview), geo_(geo), firstOverviewPage_(firstOverviewPage), label_(std::move(label))
{
}

OverviewPrintPainter::~OverviewPrintPainter()
{
    for (const auto &decode : pending_) decode.wait();
}

void OverviewPrintPainter::Prefetch(const QList<int> &pages, QSizeF scale)
{
    const int tw = overview_.ThumbWidth(), th = overview_.ThumbHeight();
    for (int page : pages) {
        overview_.SetArea(geo_.contentLocal(firstOverviewPage_ + page - 1));
        const int first = overview_.FirstIndexOfPage(page);
        const int last = std::min(first + overview_.Grid().PerPage, overview_.EntryCount());
        for (int i = std::max(0, first); i < last; ++i) {
            const QString path = overview_.FileOfEntry(i);
            if (!IsPicture(path) || pending_.contains(i)) continue;
            auto promise = std::make_shared<std::promise<Decoded>>();
            pending_.insert(i, promise->get_future().share());
            // The box the page gives the thumbnail (the cached bitmap's fit of the picture at the
            // page's thumbnail size) in printer pixels, as the page will ask for it.
            QThreadPool::globalInstance()->start([promise, path, tw, th, scale] {
                Decoded decoded;
                if (const QSize size = imaging::PictureSize(path); size.isValid() && !size.isEmpty()) {
                    const ThumbnailBox box = ThumbnailBoxFor(tw, th, 1.0);
                    int bw = box.width, bh = box.height;
                    FitInBox(size.width(), size.height(), bw, bh);
                    const double sw = RoundHalfEven(double(tw) * bw / box.width);
                    const double sh = RoundHalfEven(double(th) * bh / box.height);
                    decoded.asked = QSize(qCeil(sw * scale.width()), qCeil(sh * scale.height()));
                    decoded.image = imaging::Load(path, decoded.asked).image;
                }
                promise->set_value(std::move(decoded));
            });
        }
    }
}

QImage OverviewPrintPainter::Thumbnail(int index, QSize deviceSize)
{
    const QString path = overview_.FileOfEntry(index);
    if (!IsPicture(path)) return QImage();   // sounds and videos keep their cached pictures
    if (const auto found = pending_.find(index); found != pending_.end()) {
        Decoded decoded = found->get();
        pending_.erase(found);
        const QSize off = decoded.asked - deviceSize;
        if (!decoded.image.isNull() && std::abs(off.width()) <= 2 && std::abs(off.height()) <= 2)
            return decoded.image;
    }
    return imaging::Load(path, deviceSize).image;
}

void OverviewPrintPainter::Paint(QPainter &painter, int page)
{
    const int bookPage = firstOverviewPage_ + page - 1;
    overview_.SetArea(geo_.contentLocal(bookPage));
    overview_.DrawOverviewPageForPrint(page, painter, [this](int index, QSize deviceSize) {
        return Thumbnail(index, deviceSize);
    });
    // The page's decoration: its frame, and its label at the foot on the outer side.
    painter.save();
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(0, 0, geo_.PageW - 1, geo_.PageH - 1));
    const QString text = QStringLiteral("- ") + label_(bookPage) + QStringLiteral(" -");
    painter.setFont(BookFont(8));
    const int width = QFontMetrics(painter.font()).horizontalAdvance(text);
    const int x = bookPage % 2 == 0 ? 30 : geo_.PageW - 30 - width;
    DrawTextAt(painter, QPoint(x, geo_.PageH - BookGeometry::MarginTop), text, Qt::black, Qt::white);
    painter.restore();
}

} // namespace pagero
