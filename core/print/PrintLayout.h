#pragma once
// The arithmetic of printing, free of windows and printers: the printer's metrics with letter-size
// stand-ins, the texts of the print setup window, where a picture goes on the sheet in each size mode,
// the small preview of the sheet, and how overview pages are sized and placed one or four to a sheet.
// All lengths are printer pixels unless stated.
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <array>

namespace pagero::print {

// What the printer reports: the printable area, the whole sheet, the printable area in millimetres,
// the resolution and the printable area's offset on the sheet.
struct PrinterMetrics {
    int PageWidth = 0, PageHeight = 0;
    int PhysWidth = 0, PhysHeight = 0;
    int SizeMmX = 0, SizeMmY = 0;
    int DpiX = 0, DpiY = 0;
    int OffsetX = 0, OffsetY = 0;
    bool operator==(const PrinterMetrics &) const = default;
};

// A letter sheet at 360 dots per inch stands in for every size the printer reports as 0 or less;
// a negative offset counts as 0.
PrinterMetrics WithLetterDefaults(PrinterMetrics m);

// A count of hundredths as the shortest decimal text: 18 "0.18", 100 "1", 150 "1.5".
QString HundredthsText(qint64 hundredths);
// "<name>  (<dpi> DPI)".
QString PrinterNameText(const QString &name, int dpi);
// A sheet side: "8.50 inch ( 208 mm )" for 5100 pixels at 600 DPI and 208 mm. The hundredths always
// have two digits (8.05 inch reads "8.05", not "8.5").
QString PaperText(int physPixels, int dpi, int mm);
// The picture's position in inches, truncated to hundredths: "( 0.18 , 0.12 )".
QString OffsetText(QPoint position, int dpiX, int dpiY);
// A picture side in inches (truncated to hundredths) and millimetres: "8.2 in (208 mm)".
QString SizeText(int pixels, int dpi);
// The zoom of one side, truncated to hundredths: 2955 of 3000 pixels reads "0.98".
QString ZoomText(int printed, int imagePixels);

enum class SizeMode { Default = 0, Fit = 1, Zoom = 2, Stretch = 3, Center = 4 };

// The largest size with the picture's proportions inside the printable area (it may grow).
QSize FitSize(QSize image, QSize page);
// The position that centres `picture` on the printable area.
QPoint CentredPosition(QSize page, QSize picture);
// Zoom mode: the height follows the width in proportion; a height above `maxHeight` is held to it
// and the width reduced to match.
QSize ZoomSize(QSize image, int width, int maxHeight);
// A picture reaching past the printable area is pushed back inside it. The position stays at least
// the printable area's offset from its corner where the picture still fits so, and never negative.
QPoint LimitPosition(QPoint position, QSize picture, const PrinterMetrics &m);

// The preview: the sheet scaled to fit 200 x 200 window pixels, centred in the preview box, and the
// picture's rectangle on it (where it lands on the sheet, past the printable area's offset).
inline constexpr QRect kPreviewArea{4, 88, 234, 234};
QRect PreviewSheet(const PrinterMetrics &m);
QRect PreviewPicture(const QRect &sheet, const PrinterMetrics &m, QPoint position, QSize picture);

// Overview sheets: one overview page on the whole sheet, or up to four on quarters of it.
enum class SheetSize { Paper = 0, Quarter = 1 };
// The printed size of one book page of `bookPage` size, its proportions kept.
QSize OverviewTarget(SheetSize size, QSize printable, QPoint offset, QSize bookPage);
// The top-left corners of the four quarters, in reading order.
std::array<QPoint, 4> QuarterSlots(QSize printable, QPoint offset);
// The ticked pages grouped by sheet, in order: one per sheet, or up to four.
QList<QList<int>> SheetsOf(const QList<int> &ticked, SheetSize size);

} // namespace pagero::print
