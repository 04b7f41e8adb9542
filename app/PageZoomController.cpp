#include "app/PageZoomController.h"
#include "app/BookContext.h"
#include "app/PageRenderer.h"
#include "app/PageZoomView.h"
#include "core/book/BookGeometry.h"
#include "core/book/BookLayout.h"
#include "core/book/FlipState.h"
#include "core/book/PageList.h"
#include "core/common/MyLib.h"

#include <QKeyEvent>
#include <algorithm>
#include <QMouseEvent>
#include <QTimer>
#include <QToolBar>
#include <QWheelEvent>
#include <QWidget>
#include <QtConcurrent/QtConcurrentRun>

namespace pagero {

PageZoomController::PageZoomController(BookContext &book, QWidget *window) : book_(book)
{
    QWidget *area = book_.BookArea();
    view_ = new PageZoomView(area);
    view_->zoomChanged = [this] { RequestSharper(); };
    view_->leave = [this] { Leave(); };
    area->installEventFilter(this);
    if (window && window != area) window->installEventFilter(this);
    connect(&decode_, &QFutureWatcher<Decoded>::finished, this, &PageZoomController::DecodeFinished);
}

PageZoomController::~PageZoomController() = default;

bool PageZoomController::Zoomed() const
{
    return view_ && view_->Zoom().Active();
}

bool PageZoomController::BookReady() const
{
    return book_.AlbumOpen() && !book_.Building() && book_.Mode() == PaintMode::Normal;
}

bool PageZoomController::IsPicturePage(int page) const
{
    const FlipState &spread = book_.Spread();
    const bool open = (page == spread.LeftPageNo && page > 0)
                      || (page == spread.RightPageNo && page <= spread.LastPageNo);
    if (!open || book_.FileOfPage(page).isEmpty()) return false;
    const int kind = book_.Pages().KindOf(page - book_.Sections().FirstFilePage);
    return kind == KindPicture || kind == KindImaging;
}

int PageZoomController::PicturePageAt(QPoint at) const
{
    const BookGeometry &geo = book_.Geometry();
    const FlipState &spread = book_.Spread();
    if (geo.inLeftPage(at.x(), at.y()) && IsPicturePage(spread.LeftPageNo)) return spread.LeftPageNo;
    if (geo.inRightPage(at.x(), at.y()) && IsPicturePage(spread.RightPageNo)) return spread.RightPageNo;
    return 0;
}

int PageZoomController::PicturePageForKey() const
{
    if (const int page = PicturePageAt(pointer_)) return page;
    if (IsPicturePage(book_.Spread().RightPageNo)) return book_.Spread().RightPageNo;
    if (IsPicturePage(book_.Spread().LeftPageNo)) return book_.Spread().LeftPageNo;
    return 0;
}

// Where the page draws the picture: fitted into the page's content rectangle and centred in it, as
// the page renderer places it, on the page's place in the book area.
QRectF PageZoomController::PictureRectOnPage(int page, QSize original) const
{
    const BookGeometry &geo = book_.Geometry();
    const QRect content = geo.contentLocal(page);
    int w = content.right() - content.left(), h = content.bottom() - content.top();
    if (w < 1 || h < 1) return QRectF();
    FitInBox(original.width(), original.height(), w, h);
    const QPoint origin = page % 2 == 0 ? QPoint(geo.leftL + 1, geo.leftT + 1) : QPoint(geo.rightL + 1, geo.rightT + 1);
    return QRectF(origin + CentredIn(content, QSize(w, h)), QSizeF(w, h));
}

// The part of the book area the zoomed view covers: all of it but the tool bar, which stays usable.
QRect PageZoomController::ViewRect() const
{
    QWidget *area = book_.BookArea();
    QRect r = area->rect();
    for (const QToolBar *bar : area->findChildren<QToolBar *>(Qt::FindDirectChildrenOnly))
        if (bar->isVisible() && bar->geometry().top() <= 0) r.setTop(std::max(r.top(), bar->geometry().bottom() + 1));
    return r.isEmpty() ? area->rect() : r;
}

void PageZoomController::FollowViewRect()
{
    const QRect r = ViewRect();
    if (view_->geometry() == r) return;
    view_->setGeometry(r);
    if (Zoomed()) {
        view_->Zoom().SetViewSize(QSizeF(r.size()));
        RequestSharper();
    }
}

bool PageZoomController::ZoomInto(int page, QPointF anchor, double steps)
{
    if (Zoomed() || !view_ || !BookReady() || !IsPicturePage(page)) return false;
    const QString path = book_.FileOfPage(page);
    const QSize original = imaging::PictureSize(path);
    QWidget *area = book_.BookArea();
    const QRect viewRect = ViewRect();
    // From here on in the zoomed view's coordinates.
    const QRectF shown = PictureRectOnPage(page, original).translated(-viewRect.topLeft());
    anchor -= viewRect.topLeft();
    const double dpr = area->devicePixelRatioF();
    if (original.isEmpty() || shown.isEmpty()) return false;
    if (!view_->Zoom().Start(original, shown, QSizeF(viewRect.size()), 1.0 / dpr)) return false;

    // The book as it shows now: behind the zoomed picture, and the page's own picture is what the
    // zoom shows, scaled up, until the first decode arrives.
    const QImage book = area->grab(viewRect).toImage();
    const QRect shownOnDevice(qRound(shown.left() * dpr), qRound(shown.top() * dpr),
                              qRound(shown.width() * dpr), qRound(shown.height() * dpr));
    QImage pagePicture = book.copy(shownOnDevice);
    pagePicture.setDevicePixelRatio(1);
    view_->SetBackdrop(book);
    view_->SetPicture(pagePicture);

    ++session_;
    page_ = page;
    path_ = path;
    decodeFailed_ = false;
    view_->setGeometry(viewRect);
    view_->show();
    view_->raise();
    view_->setFocus();
    if (!view_->Zoom().ZoomBy(steps, anchor)) view_->update();
    RequestSharper();
    return true;
}

void PageZoomController::Leave()
{
    if (!Zoomed()) return;
    ++session_;
    page_ = 0;
    path_.clear();
    view_->Zoom().Stop();
    view_->hide();
    view_->Clear();
    if (QWidget *area = book_.BookArea()) {
        area->setFocus();
        area->update();
    }
}

bool PageZoomController::StillShowing() const
{
    return BookReady() && IsPicturePage(page_) && book_.FileOfPage(page_) == path_;
}

// Asks for a decode at the size the current scale needs, unless the picture shown already serves
// it. One decode runs at a time; when it ends, the need of that moment is looked at again, so a
// quick run of steps costs at most one decode beyond the last.
void PageZoomController::RequestSharper()
{
    if (!Zoomed() || decodeFailed_ || decode_.isRunning()) return;
    const QSize need = view_->Zoom().DecodeSize(view_->devicePixelRatioF(), kMaxDecodePixels);
    if (need.isEmpty() || DecodeServes(view_->Picture().size(), need)) return;
    const QString path = path_;
    const quint64 session = session_;
    decode_.setFuture(QtConcurrent::run([path, need, session] {
        return Decoded{imaging::Load(path, need), session};
    }));
}

void PageZoomController::DecodeFinished()
{
    const Decoded decoded = decode_.result();
    if (decoded.session == session_ && Zoomed()) {
        if (!decoded.result.ok()) {
            // The page's picture stays; asking again would fail the same way.
            decodeFailed_ = true;
            return;
        }
        const QSize need = view_->Zoom().DecodeSize(view_->devicePixelRatioF(), kMaxDecodePixels);
        if (DecodeIsBetter(decoded.result.image.size(), view_->Picture().size(), need))
            view_->SetPicture(decoded.result.image);
    }
    RequestSharper();
}

void PageZoomController::QueueEntry(bool byKey, QPoint at, double steps)
{
    if (entryQueued_) return;
    entryQueued_ = true;
    // Like the book's own keys, a zoom asked for during a flip waits for the leaves to land and
    // then applies to the spread that shows.
    book_.AfterFlip([this, byKey, at, steps] {
        entryQueued_ = false;
        if (!BookReady() || Zoomed()) return;
        const int page = byKey ? PicturePageForKey() : PicturePageAt(at);
        if (!page) return;
        QPointF anchor = at;
        if (byKey && PicturePageAt(pointer_) != page) {
            const QSize original = imaging::PictureSize(book_.FileOfPage(page));
            anchor = PictureRectOnPage(page, original).center();
        }
        ZoomInto(page, anchor, steps);
    });
}

bool PageZoomController::eventFilter(QObject *watched, QEvent *event)
{
    QWidget *area = book_.BookArea();
    switch (event->type()) {
    case QEvent::MouseMove:
        if (watched == area) pointer_ = static_cast<QMouseEvent *>(event)->position().toPoint();
        break;
    case QEvent::Resize:
        if (watched == area && Zoomed()) FollowViewRect();
        break;
    case QEvent::Paint:
        // The book is drawn anew under the zoom: when it no longer shows the zoomed page (a flip, a
        // rebuild, another mode), the zoom ends once this paint is done.
        if (watched != area || !Zoomed()) break;
        if (!StillShowing())
            QTimer::singleShot(0, this, [this] { if (Zoomed() && !StillShowing()) Leave(); });
        else
            FollowViewRect();   // the tool bar may have been shown or hidden
        break;
    case QEvent::Wheel: {
        if (watched != area || Zoomed()) break;
        auto *wheel = static_cast<QWheelEvent *>(event);
        if (!(wheel->modifiers() & Qt::ControlModifier) || !BookReady()) break;
        const QPoint at = wheel->position().toPoint();
        pointer_ = at;
        if (!PicturePageAt(at)) break;   // elsewhere the wheel turns leaves as always
        if (wheel->angleDelta().y() > 0) QueueEntry(false, at, wheel->angleDelta().y() / 120.0);
        return true;   // zooming out over a page that is not zoomed does nothing
    }
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (Zoomed()) {
            // Keys that reach the window rather than the zoomed view are the zoom's too.
            if (watched != view_ && view_->HandleKey(key)) return true;
            break;
        }
        if ((key == Qt::Key_Plus || key == Qt::Key_Equal) && BookReady()) {
            QueueEntry(true, pointer_, 1);
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace pagero
