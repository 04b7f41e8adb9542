#pragma once
// A print job of overview sheets on a thread of its own, so the book stays usable while the sheets
// are painted. A progress window (not modal) counts the sheets; its Cancel stops the job after the
// sheet being painted. The printer belongs to the job until Finished.
#include "core/print/PrintLayout.h"
#include <QList>
#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <QSize>
#include <QString>
#include <QStringList>
#include <atomic>
#include <memory>

class QPrinter;
class QThread;
class QTimer;
class QWidget;

namespace pagero {

class OverviewPrintPainter;

class OverviewPrintJob : public QObject {
    Q_OBJECT
public:
    OverviewPrintJob(QPrinter &printer, std::unique_ptr<OverviewPrintPainter> pages, QList<int> ticked,
                     print::SheetSize size, QSize bookPage, QWidget *window);
    ~OverviewPrintJob() override;   // a job still running is cancelled and waited for

    void Start();
    // Stops the job after the sheet being painted (the progress window's Cancel).
    void Cancel() { cancel_->store(true); }
    bool Running() const { return running_; }
    QProgressDialog *Progress() const { return progress_; }

signals:
    // Once, on the GUI thread: `problem` is empty when every sheet was printed, else the message to
    // show (`cancelled`: the user stopped the job); `unreadable` names the pictures whose cached
    // overview bitmaps were printed instead.
    void Finished(const QString &problem, bool cancelled, const QStringList &unreadable);

private:
    void ShowProgress();
    void Done();

    QPrinter &printer_;
    std::unique_ptr<OverviewPrintPainter> pages_;
    QList<int> ticked_;
    print::SheetSize size_;
    QSize bookPage_;
    QPointer<QProgressDialog> progress_;   // a child of the window, which may close first
    QTimer *poll_;
    QThread *thread_ = nullptr;
    bool running_ = false;
    std::shared_ptr<std::atomic<bool>> cancel_ = std::make_shared<std::atomic<bool>>(false);
    std::atomic<int> sheetsDone_{0};
    int sheetCount_ = 0;
    QString problem_;          // written by the job's thread, read once it has finished
    bool cancelled_ = false;
    QStringList unreadable_;
};

} // namespace pagero
