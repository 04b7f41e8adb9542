#pragma once
// The flipping-speed dialog: a scroll bar that sets the flip speed at once (there is no cancel) and
// two "Test" buttons that turn one leaf back and forward at that speed. It knows nothing of the main
// window: the window connects the callbacks.
#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;
class QScrollBar;

namespace pagero {

class TSetFlipSpeedForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int MinSpeed = 5;
    static constexpr int MaxSpeed = 75;

    explicit TSetFlipSpeedForm(QWidget *parent = nullptr);

    // Called whenever the user moves the scroll bar, with the new speed in percent.
    std::function<void(int speed)> setSpeed;
    // Called by the "Test" buttons: direction 1 backward, 2 forward; count is 2 (one leaf).
    std::function<void(int direction, int count)> flip;

    // Places the dialog centred on `centre` (screen coordinates, e.g. the spine at y 30 mapped to
    // the screen) and presets speed `speed`, without showing it.
    void Prepare(QPoint centre, int speed);
    // Prepare, then show modally; returns when OK or Escape closes the dialog.
    int ShowAt(QPoint centre, int speed);

    int Speed() const;
    // Top-left corner for a dialog of `size` centred on `centre`, kept inside `screen` with a
    // 5-pixel margin at the left, top, right and bottom.
    static QPoint Placement(QPoint centre, QSize size, const QRect &screen);

    QLabel *Label1 = nullptr;
    QScrollBar *ScrollBar1 = nullptr;
    QLabel *StaticText1 = nullptr;
    QLabel *StaticText2 = nullptr;
    QPushButton *BitBtn1 = nullptr;   // OK
    QPushButton *BitBtn2 = nullptr;   // Test: one leaf back
    QPushButton *BitBtn3 = nullptr;   // Test: one leaf forward

private:
    void ScrollBar1Change(int position);
    void showSpeed(int speed);
};

} // namespace pagero
