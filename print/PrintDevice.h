#pragma once
// The printer as the print windows see it: its metrics with letter-size stand-ins, its name, the
// system's printer-setup dialog, and the checks and messages around a print job. A machine without
// any printer prints to a PDF file the user names.
#include "core/print/PrintLayout.h"
#include <QString>
#include <functional>

class QPrinter;
class QWidget;

namespace pagero::print {

// The metrics the printer reports, each missing one replaced by the letter-size stand-in.
PrinterMetrics ReadMetrics(const QPrinter &printer);
// The queue's name, or "PDF file" when the output is a PDF file.
QString PrinterName(const QPrinter &printer);
// A job of ours is being printed.
bool PrinterBusy(const QPrinter &printer);

// The system's printer-setup dialog; false when the user cancelled it.
bool RunPrinterSetup(QPrinter &printer, QWidget *parent);

// Asked for a PDF file name when the output is PDF and no file is named yet (no printer installed);
// empty when the user cancelled. Tests and callers may replace it.
using OutputFileChooser = std::function<QString(QWidget *parent)>;
OutputFileChooser &ChooseOutputFile();

// Makes the printer ready for a job: the queue must still exist, and PDF output needs a file name.
// Returns the message to show, or an empty text when ready; `cancelled` is set when the user declined
// to name a file (nothing to tell then).
QString ReadyForJob(QPrinter &printer, QWidget *parent, bool *cancelled);

// The messages of a job that could not start or did not finish.
QString JobNotStartedText(const QPrinter &printer);
QString JobFailedText(const QPrinter &printer);
// A job the user cancelled after `sheetsSent` of `total` sheets had gone to the printer (0: none).
QString JobCancelledText(const QPrinter &printer, int sheetsSent, int total);
// A printer queue that is gone (checked after a job: it went away while the job ran).
bool PrinterGone(const QPrinter &printer);
QString PrinterGoneDuringJobText(const QPrinter &printer);
// A job ended: false when the printer aborted it or reported an error.
bool JobSucceeded(const QPrinter &printer, bool painterEnded);

} // namespace pagero::print

namespace pagero::print {

// The hourglass pointer for the length of a print job run on the GUI thread (none on a worker).
struct HourglassCursor {
    HourglassCursor();
    ~HourglassCursor();
    const bool shown;
    HourglassCursor(const HourglassCursor &) = delete;
    HourglassCursor &operator=(const HourglassCursor &) = delete;
};

} // namespace pagero::print
