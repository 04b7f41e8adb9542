#pragma once
// The flipping tool: a page slider with four flip buttons. Dragging the slider's thumb only shows
// the page label; releasing it (or any other move of the slider) turns the book to that page. It
// knows nothing of the main window: the window connects the callbacks.
#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;
class QScrollBar;
class QToolButton;

namespace pagero {

class TFlippingToolForm : public QDialog {
    Q_OBJECT
public:
    explicit TFlippingToolForm(QWidget *parent = nullptr);

    // Turns the book to the spread that holds `page` (0 closes it to the front, LastPageNo + 1 to
    // the back).
    std::function<void(int page)> flipTo;
    // The page label shown under the slider ("" for covers, roman or decimal numbers).
    std::function<QString(int page)> pageLabel;
    // The warning sound when a button cannot move; the system beep unless replaced.
    std::function<void()> beep;

    // Places the tool with its top centre at `anchor` (screen coordinates, e.g. the spine at y 20
    // mapped to the screen) and sets the slider, without showing it.
    void Prepare(QPoint anchor, int minimum, int maximum, int position);
    // Prepare, then show modally until "&Close" or Escape.
    int ShowAt(QPoint anchor, int minimum, int maximum, int position);

    int CurrentPosition() const { return currentPosition_; }
    // Top-left corner for a tool of `size` whose top centre is `anchor`, kept 38 pixels inside
    // `screen`.
    static QPoint Placement(QPoint anchor, QSize size, const QRect &screen);

    QToolButton *FFlipToLeft = nullptr;
    QToolButton *FlipToLeft = nullptr;
    QToolButton *FlipToRight = nullptr;
    QToolButton *FFlipToRight = nullptr;
    QScrollBar *ScrollBar = nullptr;
    QLabel *SliderNo = nullptr;
    QPushButton *BitBtn1 = nullptr;   // "&Close"

private:
    void ScrollBarScroll(int position);
    void ScrollBarReleased();
    void FFlipToLeftClick();
    void FlipToLeftClick();
    void FlipToRightClick();
    void FFlipToRightClick();
    void moveTo(int position);   // sets the slider without a scroll event, shows the label, flips
    void showLabel();
    void ring();

    int currentPosition_ = 0;
};

} // namespace pagero
