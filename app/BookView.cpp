#include "app/BookView.h"
#include "app/OrvTurvane.h"
#include "core/common/StoredColor.h"
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWheelEvent>

namespace pagero {

BookView::BookView(TTurvane_Fm *owner) : QWidget(owner), owner_(owner)
{
    setObjectName("BookView");
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(BookGeometry::MinClientWidth, BookGeometry::MinClientHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BookView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QImage &frame = owner_->Painter().ViewImage1;
    if (frame.isNull()) p.fillRect(rect(), ColorFromStored(kNoBookGrey));
    else p.drawImage(0, 0, frame);
    owner_->Overlay().Paint(p);
    // The window moved to a screen of another device pixel ratio: the book is laid out and drawn
    // again for it (after this paint, which shows the old frame scaled).
    if (!frame.isNull() && !qFuzzyCompare(frame.devicePixelRatio(), devicePixelRatioF()) && !relayoutQueued_) {
        relayoutQueued_ = true;
        QTimer::singleShot(0, this, [this] {
            relayoutQueued_ = false;
            owner_->Layout();
        });
    }
}

void BookView::resizeEvent(QResizeEvent *)
{
    owner_->Layout();
}

void BookView::mouseMoveEvent(QMouseEvent *e)
{
    owner_->FormMouseMove(e->position().toPoint().x(), e->position().toPoint().y());
}

void BookView::wheelEvent(QWheelEvent *e)
{
    e->accept();
    owner_->FormWheel(e->angleDelta().y());
}

void BookView::mousePressEvent(QMouseEvent *e)
{
    owner_->FormMouseDown(e->button(), e->modifiers(), e->position().toPoint().x(), e->position().toPoint().y());
}

void BookView::contextMenuEvent(QContextMenuEvent *e)
{
    if (owner_->Mode() == PaintMode::AutoFlipping) return;
    owner_->PopupMenuAt(e->pos(), e->globalPos());
}

} // namespace pagero
