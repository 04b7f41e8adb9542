#include "print/OverviewPagePainter.h"
#include "app/PageRenderer.h"
#include "common/Fonts.h"
#include "core/common/MyLib.h"
#include "pages/ThumbnailMaker.h"
#include "platform/imaging/Imaging.h"
#include <QFileInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QThreadPool>
#include <QtMath>

namespace pagero {

namespace {

bool IsPicture(const QString &path)
{
    const int kind = MediaKind(path);
    return kind == KindPicture || kind == KindImaging;
}

// Decoded at the printed size (a JPEG at the smallest of its fast DCT scales that covers it, then
// resampled). Finer DCT scales (3/4, 5/8, ...) were measured slower: libjpeg-turbo has no vector code
// for them.
QImage DecodeForPrint(const QString &path, QSize deviceSize)
{
    return imaging::Load(path, deviceSize).image;
}

} // namespace

OverviewPrintPainter::OverviewPrintPainter(OverviewPrintSource source, const BookGeometry &geo, int firstOverviewPage,
                                           std::function<QString(int bookPage)> label)
    : source_(std::move(source)), geo_(geo), firstOverviewPage_(firstOverviewPage), label_(std::move(label))
{
}

OverviewPrintPainter::~OverviewPrintPainter()
{
    dropped_->store(true);
    for (const auto &decode : pending_) decode.wait();
}

QRect OverviewPrintPainter::AreaOf(int page) const
{
    return geo_.contentLocal(firstOverviewPage_ + page - 1);
}

void OverviewPrintPainter::Prefetch(const QList<int> &pages, QSizeF scale)
{
    const OverviewGrid &grid = source_.Grid();
    const int tw = grid.ThumbWidth, th = grid.ThumbHeight;
    for (int page : pages) {
        OverviewGrid paged = grid;
        paged.SetArea(AreaOf(page));
        const int first = paged.FirstIndexOfPage(page);
        const int last = std::min(first + paged.PerPage, source_.EntryCount());
        for (int i = std::max(0, first); i < last; ++i) {
            const QString path = source_.FileOfEntry(i);
            if (!IsPicture(path) || pending_.contains(i)) continue;
            auto promise = std::make_shared<std::promise<Decoded>>();
            pending_.insert(i, promise->get_future().share());
            // The box the page gives the thumbnail (the cached bitmap's fit of the picture at the
            // page's thumbnail size) in printer pixels, as the page will ask for it.
            QThreadPool::globalInstance()->start([promise, path, tw, th, scale, dropped = dropped_] {
                Decoded decoded;
                const QSize size = dropped->load() ? QSize() : imaging::PictureSize(path);
                if (size.isValid() && !size.isEmpty()) {
                    const ThumbnailBox box = ThumbnailBoxFor(tw, th, 1.0);
                    int bw = box.width, bh = box.height;
                    FitInBox(size.width(), size.height(), bw, bh);
                    const double sw = RoundHalfEven(double(tw) * bw / box.width);
                    const double sh = RoundHalfEven(double(th) * bh / box.height);
                    decoded.asked = QSize(qCeil(sw * scale.width()), qCeil(sh * scale.height()));
                    decoded.image = DecodeForPrint(path, decoded.asked);
                }
                promise->set_value(std::move(decoded));
            });
        }
    }
}

QImage OverviewPrintPainter::Thumbnail(int index, QSize deviceSize)
{
    const QString path = source_.FileOfEntry(index);
    if (!IsPicture(path)) return QImage();   // sounds and videos keep their cached pictures
    QImage image;
    bool decoded = false;
    if (const auto found = pending_.find(index); found != pending_.end()) {
        Decoded made = found->get();
        pending_.erase(found);
        const QSize off = made.asked - deviceSize;
        if (!made.image.isNull() && std::abs(off.width()) <= 2 && std::abs(off.height()) <= 2) {
            image = std::move(made.image);
            decoded = true;
        }
    }
    if (!decoded) image = DecodeForPrint(path, deviceSize);
    if (image.isNull()) unreadable_.append(QFileInfo(path).fileName());
    return image;
}

void OverviewPrintPainter::Paint(QPainter &painter, int page)
{
    const int bookPage = firstOverviewPage_ + page - 1;
    source_.Paint(page, AreaOf(page), painter, [this](int index, QSize deviceSize) {
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
