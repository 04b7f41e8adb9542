#pragma once
// The overview section of the book: every page file as a small thumbnail with a numbered caption,
// many to a page. TOverView_Fm keeps the grid, brings the album's thumbnail cache up to date and
// makes missing thumbnails (decoding on two worker threads while this thread writes the cache in page
// order and drives the progress window, all from the event loop), paints overview pages and
// hit-tests points on them.
#include "pages/SectionPages.h"
#include "core/pages/OverviewGrid.h"
#include "core/pages/ThumbnailCache.h"
#include "pages/ThumbnailMaker.h"

#include <QElapsedTimer>
#include <QFuture>
#include <QFutureWatcher>
#include <QObject>
#include <QSize>
#include <QStringList>
#include <QThreadPool>
#include <deque>
#include <functional>
#include <memory>

namespace pagero {

class PageList;
class TProgress_Fm;

// How a thumbnail build ended. Built and Cancelled leave a consistent cache (a cancelled build keeps
// the bitmaps made so far; the missing ones are made at the next build) and the album opens. NoCache:
// the cache could not be opened or created (nothing can be written there); no thumbnails were made
// and the album opens without them. After Failed (a build was already running) or ExitRequested (the
// user ended the program from the progress window) it must not be opened further.
enum class ThumbBuildResult { Built, Cancelled, Failed, ExitRequested, NoCache };
using ThumbBuildDone = std::function<void(ThumbBuildResult)>;

// What a worker made of one file: the picture, and whether its bitmap reached the disk.
struct MadeThumbnail {
    QImage image;
    bool written = false;
};

// The thumbnail of album entry `index` for print, decoded to cover `deviceSize` printer pixels; a null
// image keeps the cached bitmap.
using OverviewPrintThumbnail = std::function<QImage(int index, QSize deviceSize)>;

// The overview pages as a print job paints them: copies of the grid, the album's entries and the
// thumbnail cache's index, taken on the GUI thread, so that the job can paint on a thread of its own
// while the book goes on (a rebuild changes the window's copies, never these).
class OverviewPrintSource {
public:
    const OverviewGrid &Grid() const { return grid_; }
    int EntryCount() const { return album_.Count(); }
    QString FileOfEntry(int index) const;
    // Overview page `page` (1-based) with its grid on `area`, as DrawOverviewPageForPrint paints it.
    void Paint(int page, const QRect &area, QPainter &painter, const OverviewPrintThumbnail &thumbnail) const;

private:
    friend class TOverView_Fm;
    OverviewGrid grid_;
    AlbumFiles album_;
    ThumbnailCache cache_;
    ThumbnailBox box_;
};

class TOverView_Fm : public QObject, public SectionPages {
    Q_OBJECT
public:
    explicit TOverView_Fm(QObject *parent = nullptr);
    ~TOverView_Fm() override;

    // --- set by the book build before SetArea and BuildThumbnails ---
    // 72 x 70, 56 x 55, 38 x 36, 144 x 140 or 256 x 250. The large sizes have two caption lines.
    void SetThumbSize(int width, int height);
    // Device pixels per book pixel of the screen the book shows on: picks the cached bitmaps' box
    // (set before SetThumbSize; the book build's BuildThumbnails takes it as an argument).
    void SetDeviceRatio(qreal ratio) { ratio_ = ratio; }
    const ThumbnailBox &Box() const { return box_; }
    int ThumbWidth() const { return grid_.ThumbWidth; }
    int ThumbHeight() const { return grid_.ThumbHeight; }
    void SetCacheRoot(const QString &root) { cache_.SetCacheRoot(root); }
    QString CacheRoot() const { return cache_.CacheRoot(); }
    void SetAlbum(const AlbumFiles &files);
    void SetAlbum(const PageList &pages);           // shares the folder and the entries
    // The batch selection (full paths, compared ignoring case); selected files show in blue.
    void SetSelection(const QStringList *selection) { selection_ = selection; }

    // --- grid ---
    void SetArea(const QRect &area);
    const OverviewGrid &Grid() const { return grid_; }
    int LabelHeight() const { return grid_.LabelHeight; }
    int OverviewPageCount() const { return grid_.PageCount(album_.Count()); }
    int FirstIndexOfPage(int page) const { return grid_.FirstIndexOfPage(page); }
    int OverviewPageOfIndex(int index) const { return grid_.OverviewPageOfIndex(index); }
    // The caption height: text height of the 8-point book font plus 2.
    static int CaptionLabelHeight();

    // --- cache ---
    // Opens or creates the album's cache, brings it up to date and starts making the missing
    // thumbnails; `done` runs once when the build ends, before this returns when nothing needs
    // making or the cache cannot be created. A build already running is not disturbed: `done` then
    // gets Failed at once.
    void BuildThumbnails(ThumbBuildDone done);
    // The book build's call in one: device ratio, size, the cache root of their box (the overview
    // folder `cacheRoot` or a folder beside it), album, then BuildThumbnails.
    void BuildThumbnails(const PageList &pages, const QString &cacheRoot, QSize thumbSize, ThumbBuildDone done,
                         qreal deviceRatio = 1.0);
    // Ends a running build now (the main window was closed): the bitmaps made so far stay, the
    // progress window closes and the build's `done` gets Cancelled once the new bitmaps are committed
    // to the index (at once when there are none).
    void CancelThumbnails();
    // The last build could not write a thumbnail or the cache index (a full disk): those thumbnails
    // are missing now and are made again at the next build.
    bool CacheWriteFailed() const { return cacheWriteFailed_; }
    // The last build found no usable cache: the book shows without thumbnails.
    bool CacheUnavailable() const { return cacheUnavailable_; }
    QString ThumbnailPath(int index) const { return cache_.ThumbnailPath(index); }
    // A file's picture changed: its cached bitmap is made again at the next build.
    void DropThumbnail(const QString &fullPath) { cache_.DropThumbnail(fullPath); }
    // "Empty &Overview Cache": asks, then deletes the whole cache root (and the caches of the other
    // boxes beside the overview folder) on a worker thread while the
    // file animation shows; `emptied` runs once it is gone (the caller then re-opens the album, with
    // ShowThumbWindow set). False when the user declined or the cache is in use.
    bool EmptyOverviewCache(std::function<void()> emptied);
    ThumbnailCache &Cache() { return cache_; }

    // Worker threads that decode (1 makes the build sequential). Results are the same either way.
    void SetDecodeThreads(int threads) { decodeThreads_ = qMax(1, threads); }

    // Shows the progress window while thumbnails are made (set by the callers that build the book;
    // every build clears it at its end).
    bool ShowThumbWindow = false;
    // The main window's flag: the progress window was showing when the program was minimised.
    bool OverviewWasVisible = false;
    // The album-opening progress (40 .. 80 while making thumbnails, 50 at the end).
    std::function<void(int)> AlbumProgress;
    // True from the start of a build that has thumbnails to make until it has ended (its bitmaps
    // committed to the index), and while the cache is being emptied.
    bool Generating() const;
    TProgress_Fm *Progress() const { return progress_; }

    // --- painting and hit-testing (page numbers count from 1 within the section) ---
    void DrawOverviewPage(int page, QPainter &painter);
    // The thumbnail of album entry `index` for print, decoded to cover `deviceSize` printer pixels;
    // a null image keeps the cached bitmap.
    using PrintThumbnail = OverviewPrintThumbnail;
    // The page as DrawOverviewPage paints it, without the selection colours and the red selection
    // frame, each thumbnail from `thumbnail` (text stays text on a printer).
    void DrawOverviewPageForPrint(int page, QPainter &painter, const PrintThumbnail &thumbnail);
    QString FileOfEntry(int index) const { return fullPathOf(index); }
    // A copy of what the pages are painted from, for a print job on another thread.
    OverviewPrintSource PrintSource() const;
    int EntryCount() const { return album_.Count(); }
    OverviewGrid::Hit HitTestOverview(QPoint pt, int page) const { return grid_.HitTest(pt, page, album_.Count()); }
    void DrawPage(QPainter &painter, const QRect &contentRect, int pageNo) override;
    int HitTest(const QRect &contentRect, int pageNo, QPoint pt, QRect *hotRect, int *subKind) override;

signals:
    // The user ended the program from the progress window: close the main window.
    void ExitRequested();

private:
    struct PendingThumbnail;
    struct BuildRun;
    void submitDecodes();
    void writeDecoded();
    void showProgress(int index, const QImage &preview, bool force);
    void finishBuild(ThumbBuildResult result);
    QString fullPathOf(int index) const;

    OverviewGrid grid_;
    ThumbnailCache cache_;
    qreal ratio_ = 1.0;
    ThumbnailBox box_;
    QString overviewDir_;   // the overview folder the cache roots of the boxes are named after
    AlbumFiles album_;
    const QStringList *selection_ = nullptr;
    TProgress_Fm *progress_ = nullptr;
    ThumbnailIcons icons_;
    int decodeThreads_ = 2;
    QThreadPool decodePool_;
    std::unique_ptr<BuildRun> run_;   // the build in progress, null between builds
    QFutureWatcher<void> *emptying_ = nullptr;   // the cache root being deleted
    QFutureWatcher<bool> *committing_ = nullptr; // the end of a build: sync, then the index
    bool cacheWriteFailed_ = false;
    bool cacheUnavailable_ = false;
};

} // namespace pagero
