#pragma once
// The rotate dialog: the angle bar (-359..359) with its quick angles, the background fill colour
// for the corners a turn uncovers, and before and after previews of the current file. It chooses
// the turn; the controller turns the files on worker threads after OK.
#include "commands/PreviewLoader.h"
#include <QDialog>
#include <QImage>
#include <QRgb>

class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTimer;

namespace pagero {

class TBatchRotate_Fm : public QDialog {
    Q_OBJECT
public:
    explicit TBatchRotate_Fm(QWidget *parent = nullptr);
    ~TBatchRotate_Fm() override;

    // The file previewed (the first of a batch) and whether the dialog serves a batch.
    void SetFile(const QString &path, bool batchMode);
    int Angle() const;
    void SetAngle(int angle);
    QRgb FillColor() const;
    // True once the current file was loaded and its preview turned.
    bool Ready = false;
    bool BatchMode = false;
    QString CurrentFile;

    QScrollBar *ScrollBar1, *ScrollBarR, *ScrollBarG, *ScrollBarB;
    QLabel *AngleLabel, *Panel1, *Image1, *Image2;
    QList<QRadioButton *> QuickAngles;   // 0, 90, -90, 180, -180, 270, -270
    QProgressBar *Gauge1, *Gauge2;
    QPushButton *OkButton, *CancelButton, *ResetButton;
    QTimer *Timer1;

    // Loads the current file (on a worker) and draws both previews.
    void Preview();
    // The preview is up to date (tests wait for it).
    bool PreviewPending() const { return loader_.Running(); }

signals:
    void PreviewShown();

private:
    void AngleChanged();
    void ColourChanged();
    void DrawAfter();
    void ResetClick();
    PreviewLoader loader_;
    QImage before_;
    bool loaded_ = false;
};

} // namespace pagero
