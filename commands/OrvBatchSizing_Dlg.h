#pragma once
// The resize dialog: ratio bars (1 % .. 1000 %), width and height bars in pixels of the current
// picture, the aspect lock, preset sizes and before and after previews. Every picture of a batch is
// scaled by the factors the bars stand for, relative to its own size; the controller does the work
// on worker threads after OK.
#include "commands/PreviewLoader.h"
#include "platform/imaging/Transform.h"

#include <QDialog>
#include <QImage>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QScrollBar;
class QTimer;

namespace pagero {

class TBatchSizing_Fm : public QDialog {
    Q_OBJECT
public:
    explicit TBatchSizing_Fm(QWidget *parent = nullptr);
    ~TBatchSizing_Fm() override;

    void SetFile(const QString &path, bool batchMode, imaging::SizeMode mode);
    // The wanted size of the current picture.
    QSize WantedSize() const;
    int WidthBar() const;
    int HeightBar() const;
    // Sets the bars so that the current picture gets exactly `size` (the preset buttons).
    void QuickSelect(QSize size);

    bool Ready = false;
    bool BatchMode = false;
    imaging::SizeMode SizeMode = imaging::SizeMode::Resize;
    QString CurrentFile;
    QSize StartSize;   // the current picture's own size

    QScrollBar *HorizontalBar, *VerticalBar, *WidthScrollBar, *HeightScrollBar;
    QLabel *HorizontalLabel, *VerticalLabel, *WidthLabel, *HeightLabel, *ModeLabel;
    QLabel *Image1, *Image2, *BeforeSize, *AfterSize;
    QCheckBox *AspectCheck;
    QList<QPushButton *> QuickButtons;   // "300 x 200" .. "Desktop Size"
    QProgressBar *Gauge1, *Gauge2;
    QPushButton *OkButton, *CancelButton, *ResetButton;
    QTimer *Timer1;

    void Preview();
    bool PreviewPending() const { return loader_.Running(); }

signals:
    void PreviewShown();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void RatioMoved(bool horizontal);
    void SizeMoved(bool horizontal);
    void UpdateLabels();
    void DrawAfter();
    void ResetClick();
    PreviewLoader loader_;
    QImage before_;
    bool syncing_ = false;
};

} // namespace pagero
