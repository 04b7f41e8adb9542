#pragma once
// The media information box: name, type, size, playing time and date of a sound, MIDI or video
// file. The playing time is read on a worker thread (a video's comes from a helper process) and
// filled in when known; the box never waits for it.
#include <QDialog>
#include <QFutureWatcher>

class QLineEdit;
class QPushButton;

namespace pagero {

class TMMFInfo_Fm : public QDialog {
public:
    explicit TMMFInfo_Fm(QWidget *parent = nullptr);
    // Fills the lines; `lengthMs` < 0 has the playing time read in the background.
    void Fill(const QString &path, qint64 lengthMs = -1);
    // "Play Time:" of a length in milliseconds ("Unknow" when it cannot be read).
    static QString PlayTime(qint64 lengthMs);

    QLineEdit *Edit1 = nullptr;      // "File Name:"
    QLineEdit *TypeEdit = nullptr;   // "File Type:"
    QLineEdit *SizeEdit = nullptr;   // "File  Size:"
    QLineEdit *TimeEdit = nullptr;   // "Play Time:"
    QLineEdit *DateEdit = nullptr;   // "File Date:"
    QPushButton *OkBtn = nullptr;

private:
    QFutureWatcher<qint64> length_;
};

} // namespace pagero
