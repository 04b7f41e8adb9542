#pragma once
// The auto-flipping options: direction (by pointer, front to back, back to front), the action at
// the book's end and the interval between flips.
#include <QDialog>

class QPushButton;

namespace pagero {

class IntervalGroup;
class RadioGroup;
struct Settings;

class TAutoFlipOps_Fm : public QDialog {
public:
    explicit TAutoFlipOps_Fm(QWidget *parent = nullptr);
    void Load(const Settings &s);
    void Store(Settings &s) const;

    RadioGroup *RadioGroup1 = nullptr;     // "Direction of flipping"
    RadioGroup *RadioGroup2 = nullptr;     // "Action at end of flipping"
    IntervalGroup *Interval = nullptr;     // "Flipping interval"
    QPushButton *OkBtn = nullptr;
    QPushButton *CancelBtn = nullptr;
};

// Shows the dialog modally over `parent` and stores its values on "&Ok"; true when stored.
bool SetAutoFlippingOptions(QWidget *parent, Settings &s);

} // namespace pagero
