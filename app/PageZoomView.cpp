#include "app/PageZoomView.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>

namespace pagero {

namespace {

constexpr double kWheelNotch = 120;    // angle units of one wheel notch
constexpr double kKeyPan = 60;         // logical pixels an arrow key moves the picture
const QColor kDim(0, 0, 0, 176);       // laid over the book behind the picture

} // namespace

PageZoomView::PageZoomView(QWidget *bookArea) : QWidget(bookArea)
{
    setObjectName("PageZoomView");
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    hide();
}

void PageZoomView::SetPicture(const QImage &picture)
{
    picture_ = picture;
    update();
}

void PageZoomView::Clear()
{
    backdrop_ = QImage();
    picture_ = QImage();
    dragging_ = false;
}

void PageZoomView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawImage(QPointF(0, 0), backdrop_);
    p.fillRect(rect(), kDim);
    const QRectF target = zoom_.PictureRect();
    const QRectF visible = target.intersected(QRectF(rect()));
    if (picture_.isNull() || visible.isEmpty()) return;

    const double dpr = devicePixelRatioF();
    if (std::abs(picture_.width() - target.width() * dpr) < 0.5
        && std::abs(picture_.height() - target.height() * dpr) < 0.5) {
        // One decoded pixel per device pixel: drawn unscaled on the device grid, so nothing blurs.
        QImage atDevice = picture_;
        atDevice.setDevicePixelRatio(dpr);
        p.drawImage(QPointF(std::round(target.left() * dpr) / dpr, std::round(target.top() * dpr) / dpr),
                    atDevice);
        return;
    }
    // Otherwise only the visible part is resampled.
    const double sx = picture_.width() / target.width(), sy = picture_.height() / target.height();
    const QRectF source((visible.left() - target.left()) * sx, (visible.top() - target.top()) * sy,
                        visible.width() * sx, visible.height() * sy);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(visible, picture_, source);
}

void PageZoomView::ZoomAt(double steps, QPointF anchor)
{
    if (zoom_.ZoomBy(steps, anchor)) {
        UpdateCursor();
        update();
        if (zoomChanged) zoomChanged();
    } else if (steps < 0 && zoom_.AtMinimum() && leave) {
        leave();
    }
}

void PageZoomView::PanBy(QPointF delta)
{
    const QRectF before = zoom_.PictureRect();
    zoom_.PanBy(delta);
    if (zoom_.PictureRect() != before) update();
}

void PageZoomView::UpdateCursor()
{
    const QRectF r = zoom_.PictureRect();
    const bool movable = r.width() > width() || r.height() > height();
    setCursor(!movable ? Qt::ArrowCursor : dragging_ ? Qt::ClosedHandCursor : Qt::OpenHandCursor);
}

bool PageZoomView::HandleKey(int key)
{
    const QPointF centre(width() / 2.0, height() / 2.0);
    switch (key) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:   // "+" without Shift on many keyboards
        ZoomAt(1, centre);
        return true;
    case Qt::Key_Minus:
        ZoomAt(-1, centre);
        return true;
    case Qt::Key_Escape:
        if (leave) leave();
        return true;
    case Qt::Key_Left: PanBy(QPointF(kKeyPan, 0)); return true;
    case Qt::Key_Right: PanBy(QPointF(-kKeyPan, 0)); return true;
    case Qt::Key_Up: PanBy(QPointF(0, kKeyPan)); return true;
    case Qt::Key_Down: PanBy(QPointF(0, -kKeyPan)); return true;
    case Qt::Key_F1:
        return false;
    default:
        return true;   // the book's keys would act on a page that cannot be seen
    }
}

void PageZoomView::keyPressEvent(QKeyEvent *e)
{
    if (HandleKey(e->key())) e->accept();
    else e->ignore();
}

void PageZoomView::mousePressEvent(QMouseEvent *e)
{
    e->accept();
    if (e->button() != Qt::LeftButton) return;
    dragging_ = true;
    dragFrom_ = e->position();
    UpdateCursor();
}

void PageZoomView::mouseMoveEvent(QMouseEvent *e)
{
    e->accept();
    if (!dragging_) return;
    PanBy(e->position() - dragFrom_);
    dragFrom_ = e->position();
}

void PageZoomView::mouseReleaseEvent(QMouseEvent *e)
{
    e->accept();
    if (e->button() != Qt::LeftButton) return;
    dragging_ = false;
    UpdateCursor();
}

void PageZoomView::mouseDoubleClickEvent(QMouseEvent *e)
{
    e->accept();
    if (e->button() == Qt::LeftButton && leave) leave();
}

void PageZoomView::wheelEvent(QWheelEvent *e)
{
    e->accept();
    if (e->modifiers() & Qt::ControlModifier) {
        ZoomAt(e->angleDelta().y() / kWheelNotch, e->position());
        return;
    }
    // A touchpad reports pixels; a wheel notch moves the picture half a notch's units.
    const QPointF delta = !e->pixelDelta().isNull() ? QPointF(e->pixelDelta()) : QPointF(e->angleDelta()) / 2;
    PanBy(delta);
}

void PageZoomView::contextMenuEvent(QContextMenuEvent *e)
{
    e->accept();   // the page's pop-up menu would name the file under the pointer in the hidden book
}

} // namespace pagero
