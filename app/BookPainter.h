#pragma once
// The book painter: renders pages once into a 4-slot page cache and composes spreads and flip frames
// into off-screen frames (ViewImage1 is the frame shown, ViewImage2 a flip's background).
#include "core/book/BookGeometry.h"
#include "core/book/BookLayout.h"
#include "core/book/FlipState.h"
#include "core/book/PageList.h"
#include "core/book/Settings.h"
#include "app/LeafPainter.h"
#include "app/PagePrefetch.h"
#include <QBrush>
#include <QDateTime>
#include <QImage>
#include <QStringList>
#include <array>
#include <functional>
#include <vector>

class QPainter;

namespace pagero {

class SectionPages;

// What the painter reads; owned by the main window.
struct BookScene {
    const BookGeometry *geo = nullptr;
    const BookLayout *layout = nullptr;
    const FlipState *flip = nullptr;
    const PageList *pages = nullptr;
    const QStringList *selection = nullptr;   // batch-selected full paths (compared ignoring case)
    const Settings *settings = nullptr;       // background and cover kinds and colours
    QString exeDir;
    QStringList albumNameLines;               // cover title: line 0 heading, line 1 name
    QImage screenBackBitmap;                  // when the screen background kind is 2
    QImage coverBitmap;                       // when the cover kind is 2
    SectionPages *overview = nullptr, *contents = nullptr, *index = nullptr;

    // Optional painters of later features; unset ones draw nothing.
    // Bookmark tabs, drawn on the frame in two passes: 1 before the page images (the tabs of pages
    // inside the stacks, which the open pages cover), 2 after them (the tabs of the open pages).
    std::function<void(QPainter &frame, int pass)> drawBookmarkTabs;
    // The comment box of page-list entry `entry` on its file page (page-local coordinates).
    std::function<void(QPainter &page, const QRect &contentRect, int entry)> drawComment;
};

// Frames and page images use this format: 32-bit is the fastest path of Qt's raster engine for
// copies, fills and scaling (measured by the flip-frame benchmark).
inline constexpr QImage::Format kFrameFormat = QImage::Format_RGB32;

// An image of `logical` book pixels at `ratio` device pixels per book pixel: the device size is the
// logical size times the ratio, rounded up, and the image carries the ratio, so painters draw on it
// in book coordinates.
QImage DeviceImage(QSize logical, qreal ratio, QImage::Format format = kFrameFormat);
QSize DeviceSize(QSize logical, qreal ratio);
// The book pixels an image covers: its size divided by its device pixel ratio, rounded.
QSize LogicalSize(const QImage &image);

class BookPainter {
public:
    BookPainter();
    // Sizes the frames and page images and empties the cache. The shown frame keeps the last
    // composed book at its place on the last background until the next spread is composed, so a
    // resize never shows an unpainted (black) frame while the rebuild waits for quiet.
    //
    // `ratio` is the screen's device pixel ratio: frames and page images have that many device
    // pixels per book pixel (and carry it), while every position and size of the book stays in book
    // pixels. The leaf scratch images PageImage1/2 stay in book pixels.
    void Resize(const BookGeometry &geo, qreal ratio = 1.0);
    qreal DeviceRatio() const { return ratio_; }
    void InvalidatePageCache();
    // The cached image of `page`, rendered with all four flags when not cached yet.
    const QImage &GetPage(const BookScene &scene, int page);
    // The cached image of `page`, or nullptr when it is not cached (renders nothing).
    const QImage *CachedPage(int page) const;
    void RenderPage(const BookScene &scene, int page, QImage &image,
                    bool showName, bool showComment, bool showNumber, bool showRings);
    void RenderSpread(const BookScene &scene, QImage &frame);
    // DrawBook's painting part: empties the cache and renders the open spread into ViewImage1.
    const QImage &DrawBook(const BookScene &scene);
    // The leaves in flight drawn on `frame`; returns the device pixels they touched.
    QRect DrawLeaves(const BookScene &scene, QImage &frame);
    QRect DrawLeaf(const BookScene &scene, QImage &frame, const FlipLeaf &leaf);
    // Makes the faces of the queued leaves ready to draw (their pages must be cached): done before a
    // flip's first frame, so the frames only sample.
    void PrepareLeafFaces(const BookScene &scene);

    // The decoded pictures of file pages, the open spreads' neighbours decoded ahead.
    PagePictures &Pictures() { return pictures_; }
    // The leaves over a flip frame of any device pixel ratio (the leaf drawing follows the frame's
    // ratio itself).
    void ComposeLeaves(const BookScene &scene, QImage &frame) { DrawLeaves(scene, frame); }

    QImage ViewImage1, ViewImage2, PageImage1, PageImage2;

private:
    struct Slot { int page = -1; QImage image; };
    std::array<Slot, 4> cache_;
    qreal ratio_ = 1.0;
    QBrush background_{QColor(0x80, 0x80, 0x80)};   // the screen background of the last spread
    std::vector<QPoint> points_;   // the leaf outline
    std::vector<QPoint> band_;     // scratch polygon of a bundle's edge strip
    std::vector<QPointF> outline_; // scratch outline of the smooth leaf
    LeafFaces faces_;
    PagePictures pictures_;

    // The default cover picture decoded once per page size and file version.
    struct CoverMemo { QString path; QDateTime modified; QSize size; qreal ratio = 1.0; QImage image; };
    CoverMemo coverMemo_;

    void drawCoverPattern(const BookScene &scene, QPainter &p, const QSize &pageSize);
    const QImage &defaultCover(const QString &exeDir, const QSize &pageSize);
};

} // namespace pagero
