#include "commands/BatchProgress.h"

#include "core/batch/BatchRunner.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace pagero {

TBatchProgress_Fm::TBatchProgress_Fm(BatchRunner &runner, const QString &caption, QWidget *parent)
    : QDialog(parent), runner_(runner)
{
    setObjectName(QStringLiteral("BatchProgress_Fm"));
    setWindowTitle(caption);
    setModal(false);
    auto *layout = new QVBoxLayout(this);
    FileLabel = new QLabel(QStringLiteral("Please wait..."), this);
    FileLabel->setMinimumWidth(320);
    Gauge = new QProgressBar(this);
    Gauge->setRange(0, 100);
    Gauge->setValue(0);
    CancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
    layout->addWidget(FileLabel);
    layout->addWidget(Gauge);
    layout->addWidget(CancelButton, 0, Qt::AlignHCenter);
    connect(CancelButton, &QPushButton::clicked, this, &TBatchProgress_Fm::CancelClick);
}

void TBatchProgress_Fm::ShowProgress(const QString &file, int done, int total)
{
    FileLabel->setText(QFileInfo(file).fileName());
    Gauge->setValue(total > 0 ? done * 100 / total : 100);
}

void TBatchProgress_Fm::CancelClick()
{
    runner_.Cancel();
    CancelButton->setEnabled(false);
    FileLabel->setText(QStringLiteral("Stopping after the current file..."));
}

void TBatchProgress_Fm::reject()
{
    // Escape cancels the batch; the window closes when the batch has ended.
    CancelClick();
}

void TBatchProgress_Fm::closeEvent(QCloseEvent *event)
{
    if (runner_.Running()) {
        CancelClick();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace pagero
