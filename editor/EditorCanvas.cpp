#include "editor/EditorCanvas.h"
#include "editor/OrvLead_Fm.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace pagero::editor {

EditorCanvas::EditorCanvas(TLead_Fm &editor) : editor_(editor)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
}

QPoint EditorCanvas::ToImage(QPoint p) const
{
    const Zoom z = editor_.CurrentZoom();
    return QPoint(p.x() * z.out / z.in, p.y() * z.out / z.in);
}

QRect EditorCanvas::ToWindow(QRect r) const
{
    const Zoom z = editor_.CurrentZoom();
    return QRect(r.x() * z.in / z.out, r.y() * z.in / z.out, r.width() * z.in / z.out, r.height() * z.in / z.out);
}

QPoint EditorCanvas::Clamped(QPoint p) const
{
    const QSize s = editor_.Document().Main().size();
    return QPoint(std::clamp(p.x(), 0, s.width()), std::clamp(p.y(), 0, s.height()));
}

void EditorCanvas::paintEvent(QPaintEvent *e)
{
    QPainter painter(this);
    painter.fillRect(e->rect(), QColor(0x80, 0x80, 0x80));
    const EditorDocument &doc = editor_.Document();
    if (!doc.Loaded()) return;
    const Zoom z = editor_.CurrentZoom();
    const QRect whole = ToWindow(doc.Main().rect());
    const bool previewMain = editor_.PreviewShowing() && !doc.Floating();
    const QImage &main = previewMain ? editor_.PreviewImage() : doc.Main();
    if (z.out > 1 && !previewMain) {
        if (reducedKey_ != main.cacheKey() || reducedOut_ != z.out) {
            reduced_ = main.scaled(whole.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            reducedKey_ = main.cacheKey();
            reducedOut_ = z.out;
        }
        painter.drawImage(whole.topLeft(), reduced_);
    } else if (previewMain) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QSize shown = main.size() * (double(whole.width()) / std::max(1, editor_.previewBase_.width()));
        painter.drawImage(QRect(whole.topLeft(), shown), main);
    } else {
        painter.drawImage(whole, main);
    }
    if (doc.Floating()) {
        const QRect at = ToWindow(doc.FloatingRect());
        QPainterPath region;
        if (doc.Kind() == EllipseRegion) region.addEllipse(QRectF(at));
        else region.addRect(QRectF(at));
        painter.save();
        painter.setClipPath(region);
        const QImage &f = editor_.PreviewShowing() ? editor_.PreviewImage() : doc.FloatingImage();
        const double s = editor_.PreviewShowing() ? double(at.width()) / std::max(1, editor_.previewBase_.width()) :
                                                     double(at.width()) / std::max(1, f.width());
        painter.drawImage(QRectF(at.topLeft(), QSizeF(f.size()) * s), f);
        painter.restore();
        // The outline moves: its dash pattern starts one step further on every tick.
        QPen pen(Qt::black, 1, Qt::CustomDashLine);
        pen.setDashPattern({4, 4});
        pen.setDashOffset(editor_.outlinePhase_);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(region);
        pen.setColor(Qt::white);
        pen.setDashOffset(editor_.outlinePhase_ + 4);
        painter.setPen(pen);
        painter.drawPath(region);
    }
    if (dragging_) {
        painter.setPen(QPen(Qt::white, 1, Qt::DashLine));
        const QRect band = ToWindow(QRect(dragStart_, dragEnd_).normalized());
        if (editor_.RegionTool == EllipseRegion) painter.drawEllipse(band);
        else painter.drawRect(band);
    }
}

void EditorCanvas::mousePressEvent(QMouseEvent *e)
{
    EditorDocument &doc = editor_.Document();
    if (e->button() != Qt::LeftButton || editor_.Busy() || !doc.Loaded()) return;
    const QPoint p = ToImage(e->position().toPoint());
    if (doc.Floating()) {
        if (doc.InFloatingRegion(p)) {
            moving_ = true;
            moveLast_ = p;
        } else {
            editor_.PasteFloatingDown();
        }
        return;
    }
    if (editor_.RegionTool == RectRegion || editor_.RegionTool == EllipseRegion) {
        dragging_ = true;
        dragStart_ = dragEnd_ = Clamped(p);
    }
}

void EditorCanvas::mouseMoveEvent(QMouseEvent *e)
{
    const QPoint p = ToImage(e->position().toPoint());
    if (dragging_) {
        dragEnd_ = Clamped(p);
        update();
    } else if (moving_) {
        editor_.Document().MoveFloating(p - moveLast_);
        moveLast_ = p;
        update();
    }
}

void EditorCanvas::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton) return;
    if (dragging_) {
        dragging_ = false;
        dragEnd_ = Clamped(ToImage(e->position().toPoint()));
        if (dragEnd_ != dragStart_ &&
            editor_.Document().MakeSelection(QRect(dragStart_, dragEnd_).normalized(), RegionKind(editor_.RegionTool)))
            editor_.Refresh();
        update();
    }
    moving_ = false;
}

} // namespace pagero::editor
