#include "print/OverviewPrintJob.h"
#include "print/OverviewPagePainter.h"
#include "print/OverviewPrinter.h"
#include "print/PrintDevice.h"
#include <QPrinter>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

namespace pagero {

namespace {

// The progress window follows the job at this pace.
constexpr int kPollMs = 100;

QString SheetText(int done, int count)
{
    return QStringLiteral("Printing sheet %1 of %2...").arg(std::min(done + 1, count)).arg(count);
}

} // namespace

OverviewPrintJob::OverviewPrintJob(QPrinter &printer, std::unique_ptr<OverviewPrintPainter> pages, QList<int> ticked,
                                   print::SheetSize size, QSize bookPage, QWidget *window)
    : printer_(printer), pages_(std::move(pages)), ticked_(std::move(ticked)), size_(size),
      bookPage_(bookPage)
{
    sheetCount_ = int(print::SheetsOf(ticked_, size_).size());
    progress_ = new QProgressDialog(SheetText(0, sheetCount_), QStringLiteral("Cancel"), 0, sheetCount_, window);
    progress_->setObjectName(QStringLiteral("PrintProgress"));
    progress_->setWindowTitle(QStringLiteral("Print Overview Pages"));
    progress_->setWindowModality(Qt::NonModal);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    progress_->setMinimumDuration(0);
    progress_->hide();   // shown by Start (QProgressDialog would show itself on its own timer)
    // Cancel (or closing the window) stops the job after the sheet being painted.
    connect(progress_, &QProgressDialog::canceled, this, &OverviewPrintJob::Cancel);
    poll_ = new QTimer(this);
    poll_->setInterval(kPollMs);
    connect(poll_, &QTimer::timeout, this, &OverviewPrintJob::ShowProgress);
}

OverviewPrintJob::~OverviewPrintJob()
{
    if (thread_) {
        Cancel();
        thread_->wait();
        delete thread_;
    }
    delete progress_;
}

void OverviewPrintJob::Start()
{
    if (running_ || thread_) return;
    running_ = true;
    thread_ = QThread::create([this, cancel = cancel_] {
        OverviewPrintPainter &pages = *pages_;
        const print::SheetsResult result = print::PrintSheets(
            printer_, ticked_, size_, bookPage_, [&pages](QPainter &p, int page) { pages.Paint(p, page); },
            [&pages](const QList<int> &next, QSizeF scale) { pages.Prefetch(next, scale); },
            [this, cancel](int done, int) {
                sheetsDone_.store(done);
                return !cancel->load();
            });
        problem_ = result.problem;
        cancelled_ = result.cancelled;
        if (problem_.isEmpty() && print::PrinterGone(printer_)) problem_ = print::PrinterGoneDuringJobText(printer_);
        // Decodes still queued for sheets never painted (a cancelled job) end here, not on the GUI thread.
        unreadable_ = pages_->Unreadable();
        pages_.reset();
    });
    connect(thread_, &QThread::finished, this, &OverviewPrintJob::Done);
    progress_->setValue(0);
    progress_->show();
    poll_->start();
    thread_->start();
}

void OverviewPrintJob::ShowProgress()
{
    if (!progress_) return;
    const int done = sheetsDone_.load();
    progress_->setValue(done);
    if (!cancel_->load()) progress_->setLabelText(SheetText(done, sheetCount_));
}

void OverviewPrintJob::Done()
{
    poll_->stop();
    thread_->deleteLater();
    thread_ = nullptr;
    if (progress_) progress_->hide();
    running_ = false;
    emit Finished(problem_, cancelled_, unreadable_);
}

} // namespace pagero
