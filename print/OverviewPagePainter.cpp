#include "print/OverviewPagePainter.h"
#include "app/PageRenderer.h"
#include "common/Fonts.h"
#include "core/book/BookGeometry.h"
#include "core/common/MyLib.h"
#include "pages/OrvOverView_Ut.h"
#include "platform/imaging/Imaging.h"
#include <QFontMetrics>
#include <QPainter>

namespace pagero {

void PaintOverviewForPrint(QPainter &painter, TOverView_Fm &overview, const BookGeometry &geo, int bookPage,
                           int overviewPage, const QString &label)
{
    overview.SetArea(geo.contentLocal(bookPage));
    overview.DrawOverviewPageForPrint(overviewPage, painter, [&overview](int index, QSize deviceSize) {
        const QString path = overview.FileOfEntry(index);
        const int kind = MediaKind(path);
        // Sounds and videos keep their cached pictures.
        return kind == KindPicture || kind == KindImaging ? imaging::Load(path, deviceSize).image : QImage();
    });
    // The page's decoration: its frame, and its label at the foot on the outer side.
    painter.save();
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(0, 0, geo.PageW - 1, geo.PageH - 1));
    const QString text = QStringLiteral("- ") + label + QStringLiteral(" -");
    painter.setFont(BookFont(8));
    const int width = QFontMetrics(painter.font()).horizontalAdvance(text);
    const int x = bookPage % 2 == 0 ? 30 : geo.PageW - 30 - width;
    DrawTextAt(painter, QPoint(x, geo.PageH - BookGeometry::MarginTop), text, Qt::black, Qt::white);
    painter.restore();
}

} // namespace pagero
