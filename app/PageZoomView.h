#pragma once
// The zoomed picture of one file page, laid over the book's client area: the book dimmed behind,
// the picture at the zoom's scale and place. It owns the zoom's own input: a drag pans, the wheel
// pans (with Ctrl it zooms at the pointer), "+"/"=" and "-" zoom at the centre, the arrow keys pan,
// and Escape, a double click or zooming out below the page's scale go back to the book. Every other
// click, key and wheel turn is swallowed, so nothing acts on the book hidden beneath.
#include "core/book/PageZoom.h"
#include <QImage>
#include <QPointF>
#include <QWidget>
#include <functional>

namespace pagero {

class PageZoomView : public QWidget {
    Q_OBJECT
public:
    explicit PageZoomView(QWidget *bookArea);

    PageZoom &Zoom() { return zoom_; }
    const PageZoom &Zoom() const { return zoom_; }
    // The book as it was when the zoom began (drawn dimmed behind the picture).
    void SetBackdrop(const QImage &backdrop) { backdrop_ = backdrop; }
    // The sharpest decode of the whole picture so far; it is scaled to the zoom as needed.
    void SetPicture(const QImage &picture);
    const QImage &Picture() const { return picture_; }
    // Forgets both pictures (their memory goes at once).
    void Clear();

    // A key of the zoom; true when it was the zoom's (and so used up). F1 is left to the window.
    bool HandleKey(int key);

    std::function<void()> zoomChanged;   // the scale changed: a sharper decode may be due
    std::function<void()> leave;         // back to the book

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *) override;
    void mouseMoveEvent(QMouseEvent *) override;
    void mouseReleaseEvent(QMouseEvent *) override;
    void mouseDoubleClickEvent(QMouseEvent *) override;
    void wheelEvent(QWheelEvent *) override;
    void keyPressEvent(QKeyEvent *) override;
    void contextMenuEvent(QContextMenuEvent *) override;

private:
    void ZoomAt(double steps, QPointF anchor);
    void PanBy(QPointF delta);
    void UpdateCursor();

    PageZoom zoom_;
    QImage backdrop_, picture_;
    bool dragging_ = false;
    QPointF dragFrom_;
};

} // namespace pagero
