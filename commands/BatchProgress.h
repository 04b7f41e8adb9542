#pragma once
// The window shown while a batch runs: the batch's caption, the file last finished, a gauge and
// "&Cancel", which lets the files being worked on finish and starts no further one. It is not
// modal: the book stays usable while the batch runs.
#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace pagero {

class BatchRunner;

class TBatchProgress_Fm : public QDialog {
    Q_OBJECT
public:
    TBatchProgress_Fm(BatchRunner &runner, const QString &caption, QWidget *parent = nullptr);

    QLabel *FileLabel = nullptr;
    QProgressBar *Gauge = nullptr;
    QPushButton *CancelButton = nullptr;

    // The file that just finished, as `done` of `total`.
    void ShowProgress(const QString &file, int done, int total);

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void CancelClick();
    BatchRunner &runner_;
};

} // namespace pagero
