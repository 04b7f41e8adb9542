#pragma once
// Reads printed PDF files back with poppler's tools: page count, text, embedded picture sizes and a
// page rasterised at a given resolution.
#include <QImage>
#include <QImageReader>
#include <QPrinter>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace pagero::test {

inline QString RunTool(const QString &tool, const QStringList &args)
{
    QProcess process;
    process.start(tool, args);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline int PdfPageCount(const QString &pdf)
{
    for (const QString &line : RunTool("pdfinfo", {pdf}).split('\n'))
        if (line.startsWith("Pages:")) return line.mid(6).trimmed().toInt();
    return -1;
}

inline QString PdfText(const QString &pdf) { return RunTool("pdftotext", {"-layout", pdf, "-"}); }

// Widths of the pictures embedded in the file.
inline QList<int> PdfImageWidths(const QString &pdf)
{
    QList<int> widths;
    const QStringList lines = RunTool("pdfimages", {"-list", pdf}).split('\n');
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QStringList cols = lines[i].simplified().split(' ');
        if (cols.size() > 4) widths.append(cols[3].toInt());
    }
    return widths;
}

// Page `page` (from 1) in grey at `dpi`.
inline QImage RenderPdfPage(const QString &pdf, int page, int dpi)
{
    QTemporaryDir dir;
    const QString prefix = dir.filePath("page");
    RunTool("pdftoppm", {"-f", QString::number(page), "-l", QString::number(page), "-singlefile", "-r",
                         QString::number(dpi), "-gray", pdf, prefix});
    QImageReader reader(prefix + ".pgm");
    reader.setAllocationLimit(0);   // a letter page at 600 DPI is above the default limit
    return reader.read();
}

// The bounding box of the pixels darker than `below`.
inline QRect DarkBounds(const QImage &image, int below = 160)
{
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    int left = grey.width(), top = grey.height(), right = -1, bottom = -1;
    for (int y = 0; y < grey.height(); ++y) {
        const uchar *line = grey.constScanLine(y);
        for (int x = 0; x < grey.width(); ++x)
            if (line[x] < below) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// A letter sheet at 600 DPI with quarter-inch margins (printable 4800 x 6300 at offset 150, 150),
// printed to `file`.
inline void UsePdfPrinter(QPrinter &printer, const QString &file)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setResolution(600);
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setPageMargins(QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch);
}

} // namespace pagero::test
