#pragma once
// Zooming into the picture of an open file page, inside the book's window. Ctrl+wheel over a
// picture page or "+" (the page under the pointer, else the right page, else the left) zooms in
// from the picture as the page shows it up to its full resolution; the zoomed view
// (PageZoomView) then takes the input until it goes back to the book. Each zoom step asks a worker
// for a decode of the whole picture at the size the step needs, through the imaging facade's scaled
// decode; meanwhile the sharpest picture so far is shown scaled. The zoom ends by itself when the
// book no longer shows its page (a flip, a rebuild, another mode).
// Outside the zoom the book's input is left alone: the controller only watches the pointer and
// takes Ctrl+wheel over a picture page and the "+" and "=" keys, which the book has no use for.
#include "app/PageZoomView.h"
#include "platform/imaging/Imaging.h"
#include <QFutureWatcher>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>

class QWidget;

namespace pagero {

class BookContext;

class PageZoomController : public QObject {
    Q_OBJECT
public:
    // Decodes for the zoomed view stay within this many pixels (256 MB at 32 bits per pixel); a
    // larger picture is shown at full resolution from a decode of this size, scaled up.
    static constexpr qint64 kMaxDecodePixels = 64'000'000;

    // `window` is the main window: keys that reach it rather than the book area are watched too.
    PageZoomController(BookContext &book, QWidget *window);
    ~PageZoomController() override;

    bool Zoomed() const;
    int ZoomedPage() const { return page_; }
    // True while a decode for the zoomed view runs on a worker.
    bool Decoding() const { return decode_.isRunning(); }
    PageZoomView *View() const { return view_; }

    // Zooms by `steps` into the picture of the open page `page`, keeping the point at `anchor`
    // (book-area coordinates) in place. False when that page shows no picture or the book is not
    // in its normal, idle state.
    bool ZoomInto(int page, QPointF anchor, double steps = 1);
    // Back to the book.
    void Leave();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Decoded {
        imaging::LoadResult result;
        quint64 session = 0;
    };

    bool BookReady() const;
    bool IsPicturePage(int page) const;
    int PicturePageAt(QPoint at) const;
    int PicturePageForKey() const;
    QRectF PictureRectOnPage(int page, QSize original) const;
    QRect ViewRect() const;
    void FollowViewRect();
    bool StillShowing() const;
    void QueueEntry(bool byKey, QPoint at, double steps);
    void RequestSharper();
    void DecodeFinished();

    BookContext &book_;
    QPointer<PageZoomView> view_;
    QFutureWatcher<Decoded> decode_;
    quint64 session_ = 0;        // counts zooms; a decode of an earlier one is dropped
    int page_ = 0;               // the zoomed page (0: none)
    QString path_;
    bool decodeFailed_ = false;  // no further decodes in this zoom
    QPoint pointer_{-1, -1};     // the pointer's last place over the book
    bool entryQueued_ = false;   // a zoom waits for a flip to land
};

} // namespace pagero
