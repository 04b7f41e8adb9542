#include "print/OverviewPrinter.h"
#include "print/PrintDevice.h"
#include <QPainter>
#include <QPrinter>

namespace pagero::print {

QString PrintOverviewSheets(QPrinter &printer, const QList<int> &ticked, SheetSize size, QSize bookPage,
                            const PaintBookPage &paint, const UpcomingPages &upcoming)
{
    const QList<QList<int>> sheets = SheetsOf(ticked, size);
    if (sheets.isEmpty() || bookPage.isEmpty()) return QString();
    const PrinterMetrics m = ReadMetrics(printer);
    const QSize printable(m.PageWidth, m.PageHeight);
    const QPoint offset(m.OffsetX, m.OffsetY);
    const QSize box = OverviewTarget(size, printable, offset, bookPage);
    const std::array<QPoint, 4> corners = size == SheetSize::Paper
                                            ? std::array<QPoint, 4>{offset, offset, offset, offset}
                                            : QuarterSlots(printable, offset);

    const QSizeF scale(double(box.width()) / bookPage.width(), double(box.height()) / bookPage.height());
    if (upcoming) upcoming(sheets.first(), scale);

    HourglassCursor hourglass;
    // One job for all sheets: a PDF file holds them all, and a printer cannot stop half-way
    // through a run of separate jobs.
    QPainter painter;
    if (!painter.begin(&printer)) return JobNotStartedText(printer);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (qsizetype s = 0; s < sheets.size(); ++s) {
        if (s > 0 && !printer.newPage()) {
            painter.end();
            return JobFailedText(printer);
        }
        if (upcoming && s + 1 < sheets.size()) upcoming(sheets[s + 1], scale);
        for (qsizetype slot = 0; slot < sheets[s].size(); ++slot) {
            painter.save();
            painter.translate(corners[size_t(slot)]);
            painter.scale(scale.width(), scale.height());
            const QRect page(QPoint(0, 0), bookPage);
            painter.setClipRect(page);
            painter.fillRect(page, Qt::white);
            painter.setPen(Qt::black);
            painter.setBrush(Qt::NoBrush);
            paint(painter, sheets[s][slot]);
            painter.restore();
        }
    }
    if (!JobSucceeded(printer, painter.end())) return JobFailedText(printer);
    return QString();
}

} // namespace pagero::print
