#pragma once
// The main window's client area, on which the book is drawn.
#include <QWidget>
#include <cstdint>

namespace pagero {

class TTurvane_Fm;

// The grey of the client area while no book shows, as a stored colour.
inline constexpr uint32_t kNoBookGrey = 0x808080;

// The client area: shows the frame ViewImage1 and the pointer overlays (highlight, jump cursor);
// its mouse events go to the main window.
class BookView : public QWidget {
    Q_OBJECT
public:
    explicit BookView(TTurvane_Fm *owner);
protected:
    void paintEvent(QPaintEvent *) override;
    void resizeEvent(QResizeEvent *) override;
    void mouseMoveEvent(QMouseEvent *) override;
    void mousePressEvent(QMouseEvent *) override;
    void contextMenuEvent(QContextMenuEvent *) override;
    void wheelEvent(QWheelEvent *) override;
private:
    TTurvane_Fm *owner_;
    bool relayoutQueued_ = false;
};

} // namespace pagero
