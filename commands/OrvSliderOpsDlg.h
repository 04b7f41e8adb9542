#pragma once
// The slide-show options: direction, action at the end, manual or automatic next screen, the two
// intervals, rows and columns of the screen, frames and file names. The interval boxes are enabled
// only where they take effect: between screens with "Auto", between slides with "Auto" and more than
// one slide per screen.
#include <QDialog>

class QCheckBox;
class QComboBox;
class QPushButton;

namespace pagero {

class IntervalGroup;
class RadioGroup;
struct Settings;

class TSliderOps_Fm : public QDialog {
public:
    explicit TSliderOps_Fm(QWidget *parent = nullptr);
    void Load(const Settings &s);
    void Store(Settings &s) const;
    // The enabling rule, applied on show and after every change.
    void ApplyEnabling();

    RadioGroup *Direction = nullptr;       // "Forward", "Backward"
    RadioGroup *EndAction = nullptr;       // "Stop", "Repeat", "Reverse"
    RadioGroup *NextScreen = nullptr;      // "Manual", "Auto"
    IntervalGroup *ScreenInterval = nullptr;
    IntervalGroup *SlideInterval = nullptr;
    QComboBox *Rows = nullptr;             // " 1" .. " 6"
    QComboBox *Columns = nullptr;
    QCheckBox *ShowFrame = nullptr;
    QCheckBox *ShowFileName = nullptr;
    QPushButton *OkBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

private:
    void CheckCount(QComboBox *box);
};

bool SetSlideShowOptions(QWidget *parent, Settings &s);

} // namespace pagero
