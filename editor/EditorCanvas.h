#pragma once
// The editor's drawing surface: the picture at the zoom, the floating selection with its moving
// outline, the rubber band of a region being dragged, and the live preview in place of the target.
#include <QImage>
#include <QPoint>
#include <QWidget>

namespace pagero::editor {

class TLead_Fm;

class EditorCanvas : public QWidget {
    Q_OBJECT
public:
    explicit EditorCanvas(TLead_Fm &editor);
    // Window point -> picture pixel and back, at the current zoom.
    QPoint ToImage(QPoint p) const;
    QRect ToWindow(QRect r) const;

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    QPoint Clamped(QPoint imagePoint) const;
    TLead_Fm &editor_;
    bool dragging_ = false, moving_ = false;
    QPoint dragStart_, dragEnd_, moveLast_;
    // The picture reduced for zooms below 1:1, made once per picture and zoom.
    mutable QImage reduced_;
    mutable qint64 reducedKey_ = 0;
    mutable int reducedOut_ = 0;
};

} // namespace pagero::editor
