#include "print/OverviewPrinter.h"
#include "print/PrintDevice.h"
#include <QFile>
#include <QPainter>
#include <QPrinter>

namespace pagero::print {

namespace {

// How many sheets ahead of the one being painted have their pictures decoded.
constexpr qsizetype kSheetsAhead = 2;

} // namespace

SheetsResult PrintSheets(QPrinter &printer, const QList<int> &ticked, SheetSize size, QSize bookPage,
                         const PaintBookPage &paint, const UpcomingPages &upcoming, const SheetDone &sheetDone)
{
    SheetsResult result;
    const QList<QList<int>> sheets = SheetsOf(ticked, size);
    result.total = int(sheets.size());
    if (sheets.isEmpty() || bookPage.isEmpty()) return result;
    const PrinterMetrics m = ReadMetrics(printer);
    const QSize printable(m.PageWidth, m.PageHeight);
    const QPoint offset(m.OffsetX, m.OffsetY);
    const QSize box = OverviewTarget(size, printable, offset, bookPage);
    const std::array<QPoint, 4> corners = size == SheetSize::Paper
                                            ? std::array<QPoint, 4>{offset, offset, offset, offset}
                                            : QuarterSlots(printable, offset);

    const QSizeF scale(double(box.width()) / bookPage.width(), double(box.height()) / bookPage.height());
    for (qsizetype s = 0; upcoming && s < std::min(kSheetsAhead, sheets.size()); ++s) upcoming(sheets[s], scale);

    HourglassCursor hourglass;
    // One job for all sheets: a PDF file holds them all, and a printer cannot stop half-way
    // through a run of separate jobs.
    QPainter painter;
    if (!painter.begin(&printer)) {
        result.problem = JobNotStartedText(printer);
        return result;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (qsizetype s = 0; s < sheets.size(); ++s) {
        if (s > 0 && !printer.newPage()) {
            painter.end();
            result.problem = JobFailedText(printer);
            return result;
        }
        if (upcoming && s + kSheetsAhead < sheets.size()) upcoming(sheets[s + kSheetsAhead], scale);
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
        result.printed = int(s + 1);
        if (sheetDone && !sheetDone(result.printed, result.total) && s + 1 < sheets.size()) {
            result.cancelled = true;
            break;
        }
    }
    if (result.cancelled) {
        // A printer that can drop the job does; a PDF file half written is removed.
        const bool aborted = printer.abort();
        painter.end();
        const bool toFile = printer.outputFormat() == QPrinter::PdfFormat;
        if (toFile) QFile::remove(printer.outputFileName());
        result.problem = JobCancelledText(printer, aborted || toFile ? 0 : result.printed, result.total);
        return result;
    }
    if (!JobSucceeded(printer, painter.end())) result.problem = JobFailedText(printer);
    return result;
}

QString PrintOverviewSheets(QPrinter &printer, const QList<int> &ticked, SheetSize size, QSize bookPage,
                            const PaintBookPage &paint, const UpcomingPages &upcoming)
{
    return PrintSheets(printer, ticked, size, bookPage, paint, upcoming).problem;
}

} // namespace pagero::print
