#include "print/PrintDevice.h"
#include <QCursor>
#include <QFileDialog>
#include <QGuiApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QThread>

namespace pagero::print {

PrinterMetrics ReadMetrics(const QPrinter &printer)
{
    const QRect paper = printer.paperRect(QPrinter::DevicePixel).toRect();
    const QRect page = printer.pageRect(QPrinter::DevicePixel).toRect();
    PrinterMetrics m;
    m.PageWidth = printer.width();
    m.PageHeight = printer.height();
    m.PhysWidth = paper.width();
    m.PhysHeight = paper.height();
    m.SizeMmX = printer.widthMM();
    m.SizeMmY = printer.heightMM();
    m.DpiX = printer.logicalDpiX();
    m.DpiY = printer.logicalDpiY();
    m.OffsetX = page.left() - paper.left();
    m.OffsetY = page.top() - paper.top();
    return WithLetterDefaults(m);
}

QString PrinterName(const QPrinter &printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat || printer.printerName().isEmpty())
        return QStringLiteral("PDF file");
    return printer.printerName();
}

bool PrinterBusy(const QPrinter &printer)
{
    return printer.printerState() == QPrinter::Active;
}

bool RunPrinterSetup(QPrinter &printer, QWidget *parent)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    return dialog.exec() == QDialog::Accepted;
}

OutputFileChooser &ChooseOutputFile()
{
    static OutputFileChooser chooser = [](QWidget *parent) {
        return QFileDialog::getSaveFileName(parent, QStringLiteral("Print to PDF File"), QString(),
                                            QStringLiteral("PDF files (*.pdf)"));
    };
    return chooser;
}

QString ReadyForJob(QPrinter &printer, QWidget *parent, bool *cancelled)
{
    *cancelled = false;
    if (printer.outputFormat() == QPrinter::NativeFormat) {
        if (PrinterGone(printer))
            return QStringLiteral("The printer \"%1\" is no longer available. Please choose another one with "
                                  "\"Printer Setup\".").arg(printer.printerName());
        return QString();
    }
    if (printer.outputFileName().isEmpty()) {
        const QString file = ChooseOutputFile() ? ChooseOutputFile()(parent) : QString();
        if (file.isEmpty()) {
            *cancelled = true;
            return QString();
        }
        printer.setOutputFileName(file);
    }
    return QString();
}

QString JobNotStartedText(const QPrinter &printer)
{
    return QStringLiteral("The print job could not be started on \"%1\"; nothing was printed.")
        .arg(PrinterName(printer));
}

QString JobFailedText(const QPrinter &printer)
{
    return QStringLiteral("The print job on \"%1\" was cancelled or failed; the printout may be incomplete.")
        .arg(PrinterName(printer));
}

QString JobCancelledText(const QPrinter &printer, int sheetsSent, int total)
{
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return QStringLiteral("The print job was cancelled; no PDF file was written.");
    if (sheetsSent <= 0)
        return QStringLiteral("The print job was cancelled; nothing was printed on \"%1\".").arg(PrinterName(printer));
    return QStringLiteral("The print job was cancelled after %1 of %2 sheets; those %1 sheets were still sent to "
                          "\"%3\".").arg(sheetsSent).arg(total).arg(PrinterName(printer));
}

bool PrinterGone(const QPrinter &printer)
{
    return printer.outputFormat() == QPrinter::NativeFormat &&
           QPrinterInfo::printerInfo(printer.printerName()).isNull();
}

QString PrinterGoneDuringJobText(const QPrinter &printer)
{
    return QStringLiteral("The printer \"%1\" went away during the print job; the printout may be missing or "
                          "incomplete.").arg(printer.printerName());
}

bool JobSucceeded(const QPrinter &printer, bool painterEnded)
{
    const QPrinter::PrinterState state = printer.printerState();
    return painterEnded && state != QPrinter::Aborted && state != QPrinter::Error;
}

} // namespace pagero::print

namespace pagero::print {

HourglassCursor::HourglassCursor() : shown(qGuiApp && QThread::currentThread() == qGuiApp->thread())
{
    if (shown) QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

HourglassCursor::~HourglassCursor()
{
    if (shown) QGuiApplication::restoreOverrideCursor();
}

} // namespace pagero::print
