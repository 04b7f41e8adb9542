#include "core/print/PrintLayout.h"
#include "core/common/MyLib.h"
#include <algorithm>

namespace pagero::print {

namespace {

int OrDefault(int reported, int letter) { return reported > 0 ? reported : letter; }

// Whole pixels to hundredths of an inch, truncated toward zero; no resolution gives 0.
qint64 InchHundredths(qint64 pixels, int dpi) { return dpi > 0 ? pixels * 100 / dpi : 0; }

} // namespace

PrinterMetrics WithLetterDefaults(PrinterMetrics m)
{
    m.PageWidth = OrDefault(m.PageWidth, 2955);
    m.PageHeight = OrDefault(m.PageHeight, 3735);
    m.PhysWidth = OrDefault(m.PhysWidth, 3060);
    m.PhysHeight = OrDefault(m.PhysHeight, 3960);
    m.SizeMmX = OrDefault(m.SizeMmX, 208);
    m.SizeMmY = OrDefault(m.SizeMmY, 264);
    m.DpiX = OrDefault(m.DpiX, 360);
    m.DpiY = OrDefault(m.DpiY, 360);
    m.OffsetX = std::max(0, m.OffsetX);
    m.OffsetY = std::max(0, m.OffsetY);
    return m;
}

QString HundredthsText(qint64 hundredths)
{
    const QString sign = hundredths < 0 ? QStringLiteral("-") : QString();
    const qint64 v = hundredths < 0 ? -hundredths : hundredths;
    QString text = sign + QString::number(v / 100);
    if (const qint64 fraction = v % 100; fraction != 0) {
        QString digits = QStringLiteral("%1").arg(fraction, 2, 10, QLatin1Char('0'));
        if (digits.endsWith(QLatin1Char('0'))) digits.chop(1);
        text += QLatin1Char('.') + digits;
    }
    return text;
}

QString PrinterNameText(const QString &name, int dpi)
{
    return name + QStringLiteral("  (") + QString::number(dpi) + QStringLiteral(" DPI)");
}

QString PaperText(int physPixels, int dpi, int mm)
{
    if (dpi <= 0) dpi = 360;
    const qint64 whole = physPixels / dpi;
    const qint64 fraction = qint64(physPixels % dpi) * 100 / dpi;
    return QString::number(whole) + QLatin1Char('.') + QStringLiteral("%1").arg(fraction, 2, 10, QLatin1Char('0'))
           + QStringLiteral(" inch") + QStringLiteral(" ( ") + QString::number(mm) + QStringLiteral(" mm )");
}

QString OffsetText(QPoint position, int dpiX, int dpiY)
{
    return QStringLiteral("( ") + HundredthsText(InchHundredths(position.x(), dpiX)) + QStringLiteral(" , ")
           + HundredthsText(InchHundredths(position.y(), dpiY)) + QStringLiteral(" )");
}

QString SizeText(int pixels, int dpi)
{
    const qint64 hundredths = InchHundredths(pixels, dpi);
    return HundredthsText(hundredths) + QStringLiteral(" in (") + QString::number(RoundHalfEven(hundredths * 0.254))
           + QStringLiteral(" mm)");
}

QString ZoomText(int printed, int imagePixels)
{
    return HundredthsText(imagePixels > 0 ? qint64(printed) * 100 / imagePixels : 0);
}

QSize FitSize(QSize image, QSize page)
{
    if (image.width() <= 0 || image.height() <= 0) return page;
    const double s = std::min(double(page.width()) / image.width(), double(page.height()) / image.height());
    return QSize(std::max(1, RoundHalfEven(image.width() * s)), std::max(1, RoundHalfEven(image.height() * s)));
}

QPoint CentredPosition(QSize page, QSize picture)
{
    return QPoint(RoundHalfEven((page.width() - picture.width()) * 0.5),
                  RoundHalfEven((page.height() - picture.height()) * 0.5));
}

QSize ZoomSize(QSize image, int width, int maxHeight)
{
    if (image.width() <= 0 || image.height() <= 0) return QSize(width, width);
    width = std::max(1, width);
    int height = std::max(1, RoundHalfEven(double(image.height()) * width / image.width()));
    if (maxHeight > 0 && height > maxHeight) {
        height = maxHeight;
        width = std::max(1, RoundHalfEven(double(image.width()) * height / image.height()));
    }
    return QSize(width, height);
}

QPoint LimitPosition(QPoint position, QSize picture, const PrinterMetrics &m)
{
    int left = position.x(), top = position.y();
    if (left + picture.width() > m.PageWidth) left = m.PageWidth - picture.width();
    if (top + picture.height() > m.PageHeight) top = m.PageHeight - picture.height();
    // The offset is kept as a margin only while the picture still fits beside it: a picture as wide
    // as the printable area stays at 0 rather than losing its edge past the area.
    left = std::max({left, std::min(m.OffsetX, m.PageWidth - picture.width()), 0});
    top = std::max({top, std::min(m.OffsetY, m.PageHeight - picture.height()), 0});
    return QPoint(left, top);
}

QRect PreviewSheet(const PrinterMetrics &m)
{
    const double s = std::min(200.0 / m.PhysWidth, 200.0 / m.PhysHeight);
    const int w = RoundHalfEven(m.PhysWidth * s), h = RoundHalfEven(m.PhysHeight * s);
    return QRect(kPreviewArea.left() + (kPreviewArea.width() - w) / 2,
                 kPreviewArea.top() + (kPreviewArea.height() - h) / 2, w, h);
}

QRect PreviewPicture(const QRect &sheet, const PrinterMetrics &m, QPoint position, QSize picture)
{
    const double sx = double(sheet.width()) / m.PhysWidth, sy = double(sheet.height()) / m.PhysHeight;
    // The printable area begins at its offset on the sheet.
    return QRect(sheet.left() + RoundHalfEven((m.OffsetX + position.x()) * sx),
                 sheet.top() + RoundHalfEven((m.OffsetY + position.y()) * sy),
                 std::max(1, RoundHalfEven(picture.width() * sx)), std::max(1, RoundHalfEven(picture.height() * sy)));
}

QSize OverviewTarget(SheetSize size, QSize printable, QPoint offset, QSize bookPage)
{
    const int W = printable.width(), H = printable.height(), ox = offset.x(), oy = offset.y();
    int w, h;
    if (size == SheetSize::Paper) {
        w = W - 2 * ox;
        h = H - 2 * oy;
    } else {
        w = RoundHalfEven((W - 3 * ox) * 0.5);
        h = RoundHalfEven((H - 3 * oy) * 0.5);
    }
    const qint64 wp = std::max(1, bookPage.width()), hp = std::max(1, bookPage.height());
    if (qint64(w) * hp < qint64(h) * wp)
        h = RoundHalfEven(double(hp) * w / wp);
    else
        w = RoundHalfEven(double(wp) * h / hp);
    return QSize(std::max(1, w), std::max(1, h));
}

std::array<QPoint, 4> QuarterSlots(QSize printable, QPoint offset)
{
    const int x2 = RoundHalfEven((printable.width() + offset.x()) * 0.5);
    const int y2 = RoundHalfEven((printable.height() + offset.y()) * 0.5);
    return {QPoint(offset.x(), offset.y()), QPoint(x2, offset.y()), QPoint(offset.x(), y2), QPoint(x2, y2)};
}

QList<QList<int>> SheetsOf(const QList<int> &ticked, SheetSize size)
{
    const qsizetype per = size == SheetSize::Paper ? 1 : 4;
    QList<QList<int>> sheets;
    for (qsizetype i = 0; i < ticked.size(); i += per) sheets.append(ticked.mid(i, per));
    return sheets;
}

} // namespace pagero::print
