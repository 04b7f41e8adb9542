#pragma once
// An interval box of the auto-flip and slide-show option dialogs: a scroll bar in milliseconds with
// the end labels "Min 0 Sec" and "Max 60 sec" and a yellow label that shows the value as text.
// Disabled, its labels turn grey.
#include <QDialog>
#include <QGroupBox>
#include <QList>
#include <functional>

class QLabel;
class QRadioButton;
class QScrollBar;

namespace pagero {

struct Settings;

class IntervalGroup : public QGroupBox {
public:
    IntervalGroup(const QString &title, int minimum, int maximum, QWidget *parent = nullptr);
    void SetValue(int ms);
    int Value() const;
    void SetActive(bool on);   // enables the box and greys or blackens its labels

    QScrollBar *ScrollBar = nullptr;
    QLabel *MinLabel = nullptr;
    QLabel *MaxLabel = nullptr;
    QLabel *ValueLabel = nullptr;
};

// Places a modal options dialog centred horizontally on its parent's screen, a quarter of the free
// height from the top.
void PlaceOptionsDialog(QWidget *dialog);

// Shows an options dialog modally over `parent` with the values of `s` and stores its values on
// "&Ok"; true when stored. `Dialog` has Load(const Settings &) and Store(Settings &).
template <class Dialog>
bool RunOptionsDialog(QWidget *parent, Settings &s)
{
    Dialog dialog(parent);
    dialog.Load(s);
    dialog.adjustSize();
    PlaceOptionsDialog(&dialog);
    if (dialog.exec() != QDialog::Accepted) return false;
    dialog.Store(s);
    return true;
}

} // namespace pagero

namespace pagero {

// A titled group of radio buttons, read and set by index (in `columns` columns).
class RadioGroup : public QGroupBox {
public:
    RadioGroup(const QString &title, const QStringList &items, QWidget *parent = nullptr, int columns = 1);
    int ItemIndex() const;
    void SetItemIndex(int index);   // an index out of range selects nothing
    QList<QRadioButton *> Buttons;
    std::function<void(int index)> changed;   // after the user picks another item
};

} // namespace pagero
