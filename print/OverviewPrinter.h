#pragma once
// Prints overview pages one or four to a sheet, as one print job. Each page is painted straight onto
// the printer's painter in book-page coordinates, scaled to its printed box: text stays text and
// pictures are drawn at the printer's resolution. May run on a worker thread (the printer then
// belongs to it until the job ends).
#include "core/print/PrintLayout.h"
#include <QList>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <functional>

class QPainter;
class QPrinter;

namespace pagero::print {

// Paints overview page `page` (1-based) into (0, 0) .. `bookPage` of the painter's coordinates.
using PaintBookPage = std::function<void(QPainter &painter, int page)>;

// Told the pages of a sheet ahead of the one being painted (first those of the first two sheets), and
// the printer pixels per book pixel, so their pictures can be made ready meanwhile.
using UpcomingPages = std::function<void(const QList<int> &pages, QSizeF scale)>;

// Told after each sheet; false stops the job there (the user cancelled it).
using SheetDone = std::function<bool(int sheetsDone, int sheetCount)>;

// How a job ended: an empty `problem` when every sheet was printed, else the message to show.
struct SheetsResult {
    QString problem;
    bool cancelled = false;
    int printed = 0, total = 0;
};

SheetsResult PrintSheets(QPrinter &printer, const QList<int> &ticked, SheetSize size, QSize bookPage,
                         const PaintBookPage &paint, const UpcomingPages &upcoming = {},
                         const SheetDone &sheetDone = {});

// Prints `ticked` pages; returns an empty text when every sheet was printed, else the message to show.
QString PrintOverviewSheets(QPrinter &printer, const QList<int> &ticked, SheetSize size, QSize bookPage,
                            const PaintBookPage &paint, const UpcomingPages &upcoming = {});

} // namespace pagero::print
