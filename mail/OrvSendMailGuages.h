#pragma once
// The small progress window shown while mail is sent: the file being encoded and a gauge.
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace pagero {

class TSendMailProcess_Fm : public QWidget {
    Q_OBJECT
public:
    explicit TSendMailProcess_Fm(QWidget *parent = nullptr);
    // Centred on the screen, gauge at 0 and shown only when files are attached, label empty.
    void ShowFor(bool filesAttached);
    void SetProgress(const QString &fileName, int percent);

    QLabel *Label1 = nullptr;
    QProgressBar *Gauge1 = nullptr;
    QPushButton *btnStop = nullptr;

signals:
    void stopRequested();
};

} // namespace pagero
