#include "editor/ScanRun.h"
#include "editor/EditorWorker.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QProgressDialog>
#include <QTimer>
#include <QVBoxLayout>
#include <memory>

namespace pagero::editor {

TSelectSourceDlg::TSelectSourceDlg(const QList<scan::Source> &sources, const QString &current, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Select Source"));
    List = new QListWidget(this);
    for (const scan::Source &s : sources) {
        auto *item = new QListWidgetItem(s.label + QStringLiteral("  [") + s.name + QLatin1Char(']'), List);
        item->setData(Qt::UserRole, s.name);
        if (s.name == current) List->setCurrentItem(item);
    }
    if (!List->currentItem() && List->count() > 0) List->setCurrentRow(0);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("&Select"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(List, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(List);
    layout->addWidget(buttons);
}

QString TSelectSourceDlg::Chosen() const
{
    const QListWidgetItem *item = List->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}

void ListScanSources(QObject *owner, std::function<void(scan::SourceList)> done)
{
    RunOnWorker<scan::SourceList>(owner, [] { return scan::ListSources(); }, std::move(done));
}

void RunScan(QWidget *owner, const QString &source, std::function<void(scan::ScanResult)> done)
{
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    auto percent = std::make_shared<std::atomic<int>>(0);
    auto *progress = new QProgressDialog(QStringLiteral("Acquiring image..."), QStringLiteral("&Cancel"), 0, 100, owner);
    progress->setObjectName(QStringLiteral("ScanProgress"));
    progress->setWindowTitle(QStringLiteral("Acquire"));
    progress->setWindowModality(Qt::WindowModal);
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    progress->setMinimumDuration(0);
    QObject::connect(progress, &QProgressDialog::canceled, progress, [cancel, progress] {
        cancel->store(true);
        progress->setLabelText(QStringLiteral("Stopping..."));
    });
    // A window that goes (the program closing) stops the scan too.
    QObject::connect(progress, &QObject::destroyed, [cancel] { cancel->store(true); });
    // The worker only stores the figure; the GUI thread picks it up.
    auto *tick = new QTimer(progress);
    tick->setInterval(100);
    QObject::connect(tick, &QTimer::timeout, progress, [progress, percent] { progress->setValue(percent->load()); });
    tick->start();
    progress->open();
    RunOnWorker<scan::ScanResult>(owner, [source, cancel, percent] {
        return scan::Scan(source, *cancel, percent.get());
    }, [progress, cancel, done = std::move(done)](scan::ScanResult result) {
        // Read before closing: closing the progress window counts as its Cancel.
        const bool cancelled = cancel->load();
        progress->close();
        progress->deleteLater();
        if (cancelled) {
            result.image = QImage();
            result.cancelled = true;
        }
        done(std::move(result));
    });
}

} // namespace pagero::editor
