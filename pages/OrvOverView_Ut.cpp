#include "pages/OrvOverView_Ut.h"

#include "common/Fonts.h"
#include "common/OrvComAnimate.h"
#include "core/book/PageList.h"
#include "core/common/MyLib.h"
#include "pages/OrvProgress.h"
#include "platform/Prompter.h"
#include "platform/imaging/Imaging.h"

#include <QApplication>
#include <QtMath>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFutureWatcher>
#include <QPainter>
#include <QPromise>
#include <QThreadPool>
#include <deque>
#include <memory>

namespace pagero {

namespace {

const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);
const QColor kSilver(192, 192, 192);
const QColor kGrey(128, 128, 128);
const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);

// Outline through (x,y), (x+w,y), (x+w,y+h), (x,y+h): w+1 by h+1 pixels, each line one book pixel
// wide on a page of any device pixel ratio.
void DrawBox(QPainter &p, int x, int y, int w, int h, const QColor &colour)
{
    if (w < 0 || h < 0) {   // a degenerate box draws as the pen would: its corner points' span
        p.setPen(QPen(colour, 0));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(x, y, w, h));
        return;
    }
    p.fillRect(QRect(x, y, w + 1, 1), colour);
    p.fillRect(QRect(x, y + h, w + 1, 1), colour);
    p.fillRect(QRect(x, y, 1, h + 1), colour);
    p.fillRect(QRect(x + w, y, 1, h + 1), colour);
}

// The caption of a large cell: on one line when it fits, else broken after the last character that
// fits, the rest on a second line (elided in the middle when even that is too long).
QStringList CaptionLines(const QFontMetrics &fm, const QString &caption, int width)
{
    if (fm.horizontalAdvance(caption) <= width) return {caption};
    int cut = 1;
    while (cut < caption.size() && fm.horizontalAdvance(caption.left(cut + 1)) <= width) ++cut;
    if (cut < caption.size() && caption.at(cut - 1).isHighSurrogate()) --cut;   // keep pairs whole
    cut = qMax(cut, 1);
    return {caption.left(cut), fm.elidedText(caption.mid(cut), Qt::ElideMiddle, width)};
}

// Sizes wider than the written large one have room for a second caption line.
int CaptionLinesFor(int thumbWidth)
{
    return thumbWidth > kLargeThumbnail.width ? 2 : 1;
}

// Text written into a strip: the strip is filled with the background, the text starts at `at`
// (its top-left corner) and is clipped to the strip.
void WriteInStrip(QPainter &p, const QRect &strip, QPoint at, const QString &text, const QColor &background,
                  const QColor &foreground)
{
    p.fillRect(strip, background);
    p.save();
    p.setClipRect(strip, Qt::IntersectClip);
    p.setPen(foreground);
    p.drawText(at + QPoint(0, p.fontMetrics().ascent()), text);
    p.restore();
}

// The progress window follows the build at the display's pace, not once per file.
constexpr qint64 kProgressIntervalMs = 16;
// Taking results yields to the event loop after this long, so timers and input keep their pace.
constexpr qint64 kWriteSliceMs = 8;

QString FullPathOf(const AlbumFiles &album, int index)
{
    const QString &folder = album.folder;
    const QString &name = album.NameAt(index);
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// One overview page. For print the selection colours and frame are left out, and each thumbnail is
// asked of `forPrint` at the device pixels its box covers under the painter's transform (the layout
// still follows the cached bitmap, as on screen).
void PaintOverviewPage(const OverviewGrid &grid, const AlbumFiles &album, const ThumbnailCache &cache,
                       const ThumbnailBox &box, const QSet<QString> &upperSelection, int page,
                       QPainter &painter, const OverviewPrintThumbnail *forPrint)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.setFont(BookFont(8));
    const QFontMetrics fm = painter.fontMetrics();
    const QRect &area = grid.AreaRect;
    const int tw = grid.ThumbWidth, th = grid.ThumbHeight, lh = grid.LabelHeight;

    // Heading in the strip above the content rectangle.
    WriteInStrip(painter, QRect(area.left(), area.top() - lh, area.width(), lh),
                 QPoint(area.left() + 2, area.top() - lh), QStringLiteral("Overview"), kWhite, kBlack);

    const int count = album.Count();
    if (grid.PerPage > 0 && count > 0) {
        const int first = (page - 1) * grid.PerPage;
        const int last = qMin(first + grid.PerPage - 1, count - 1);
        for (int i = qMax(0, first); i <= last; ++i) {
            const QPoint origin = grid.CellOrigin(i);
            const int x = origin.x(), y = origin.y();

            const QString caption = QString::number(i + 1) + QStringLiteral(": ") + album.NameAt(i);
            const bool selected =
                !upperSelection.isEmpty() && upperSelection.contains(FullPathOf(album, i).toUpper());
            const QStringList lines = CaptionLinesFor(tw) == 1 ? QStringList{caption} : CaptionLines(fm, caption, tw);
            for (int line = 0; line < lines.size(); ++line) {
                const int textWidth = fm.horizontalAdvance(lines[line]);
                const int indent = textWidth < tw ? RoundHalfEven((tw - textWidth) * 0.5) : 0;
                // One strip per line; the first covers the whole caption strip.
                const QRect strip = line == 0 ? QRect(x, y, tw, lh) : QRect(x, y + 1 + line * fm.height(), tw, fm.height());
                WriteInStrip(painter, strip, QPoint(x + indent, y + 1 + line * fm.height()), lines[line],
                             selected ? kBlue : kWhite, selected ? kWhite : kBlack);
            }

            painter.fillRect(QRect(x, y + lh, tw, th + 1), kSilver);

            int dx = 0, dy = 0, sw = tw, sh = th;
            const QString thumbPath = cache.ThumbnailPath(i);
            if (!thumbPath.isEmpty() && QFileInfo(thumbPath).isFile()) {
                QImage picture = imaging::Load(thumbPath).image;
                if (picture.isNull()) {
                    picture = QImage(tw, th, QImage::Format_RGB16);
                    picture.fill(kWhite);
                }
                // Cached bitmaps fit their box (times its scale); the smaller sizes shrink them by
                // the same factor.
                sw = RoundHalfEven(double(tw) * picture.width() / box.DeviceWidth());
                sh = RoundHalfEven(double(th) * picture.height() / box.DeviceHeight());
                dx = (tw - sw) / 2;
                dy = (th - sh) / 2;
                if (forPrint && *forPrint) {
                    const QRectF device = painter.transform().mapRect(QRectF(0, 0, sw, sh));
                    const QImage sharp = (*forPrint)(i, QSize(qCeil(device.width()), qCeil(device.height())));
                    if (!sharp.isNull()) picture = sharp;
                }
                painter.drawImage(QRect(x + dx, y + lh + dy, sw, sh), picture);
            } else {
                painter.fillRect(QRect(x, y, tw, th + 1), kSilver);
            }

            DrawBox(painter, x + dx, y + lh + dy, sw, sh, kGrey);
            DrawBox(painter, x, y, tw, lh + th + 1, kBlack);
            if (selected) DrawBox(painter, x + dx + 1, y + lh + dy + 1, sw - 2, sh - 2, kRed);
        }
    }
    painter.restore();
}

} // namespace

TOverView_Fm::TOverView_Fm(QObject *parent) : QObject(parent)
{
    progress_ = new TProgress_Fm();
    grid_.SetLabelHeight(CaptionLabelHeight());
    grid_.SetThumbSize(72, 70);
    // Both arrive from inside the progress window's close handling: act once it has returned.
    connect(progress_, &TProgress_Fm::ExitConfirmed, this,
            [this] { finishBuild(ThumbBuildResult::ExitRequested); }, Qt::QueuedConnection);
    connect(progress_, &TProgress_Fm::ExitDeclined, this, &TOverView_Fm::writeDecoded, Qt::QueuedConnection);
}

TOverView_Fm::~TOverView_Fm()
{
    run_.reset();
    decodePool_.clear();
    decodePool_.waitForDone();
    delete progress_;
}

int TOverView_Fm::CaptionLabelHeight()
{
    return QFontMetrics(BookFont(8)).height() + 2;
}

bool TOverView_Fm::Generating() const
{
    return run_ != nullptr || emptying_ != nullptr || committing_ != nullptr;
}

void TOverView_Fm::SetThumbSize(int width, int height)
{
    grid_.SetThumbSize(width, height);
    const int lines = CaptionLinesFor(width);
    grid_.SetLabelHeight(lines == 1 ? CaptionLabelHeight() : QFontMetrics(BookFont(8)).height() * lines + 2);
    box_ = ThumbnailBoxFor(width, height, ratio_);
    if (!overviewDir_.isEmpty()) cache_.SetCacheRoot(ThumbnailCacheRootFor(overviewDir_, box_));
}

void TOverView_Fm::SetAlbum(const AlbumFiles &files)
{
    album_ = files;
}

void TOverView_Fm::SetAlbum(const PageList &pages)
{
    SetAlbum(AlbumFiles{pages.Folder(), pages.SharedEntries()});
}

void TOverView_Fm::SetArea(const QRect &area)
{
    grid_.SetArea(area);
}

QString TOverView_Fm::fullPathOf(int index) const
{
    return FullPathOf(album_, index);
}

// ---------------------------------------------------------------------------------------------
// Building

// One missing bitmap: its album entry, where it goes, what it is made from, and its decode once
// that was started.
struct TOverView_Fm::PendingThumbnail {
    int index = 0;
    QString thumbPath;
    QString sourcePath;
    int kind = 0;
    QFuture<MadeThumbnail> result;
    QFutureWatcher<MadeThumbnail> *watcher = nullptr;
};

struct TOverView_Fm::BuildRun {
    std::deque<PendingThumbnail> pending;   // page order: the front is written next
    size_t submitted = 0;                   // entries at the front whose decode was started
    int count = 0;                          // files of the album
    ThumbBuildDone done;
    QElapsedTimer sinceProgress;            // invalid until the progress window was first updated
    int written = 0;                        // bitmaps on disk, not yet named by the index
};

void TOverView_Fm::BuildThumbnails(const PageList &pages, const QString &cacheRoot, QSize thumbSize,
                                   ThumbBuildDone done, qreal deviceRatio)
{
    if (Generating()) {   // the running build keeps its album
        if (done) done(ThumbBuildResult::Failed);
        return;
    }
    ratio_ = deviceRatio;
    overviewDir_ = cacheRoot;
    SetThumbSize(thumbSize.width(), thumbSize.height());
    SetAlbum(pages);
    BuildThumbnails(std::move(done));
}

void TOverView_Fm::BuildThumbnails(ThumbBuildDone done)
{
    if (Generating()) {
        if (done) done(ThumbBuildResult::Failed);
        return;
    }
    cacheWriteFailed_ = false;
    cacheUnavailable_ = !cache_.OpenFolderCache(album_.folder) || !cache_.SyncFileCache(album_);
    if (cacheUnavailable_) {
        if (done) done(ThumbBuildResult::NoCache);
        return;
    }
    if (icons_.wavIcon.isNull()) icons_ = LoadThumbnailIcons();

    run_ = std::make_unique<BuildRun>();
    BuildRun &run = *run_;
    run.count = album_.Count();
    run.done = std::move(done);
    // The entries whose bitmap is missing, in page order. Nothing else writes the album's cache
    // folder during the build, so this is what a walk item by item would find.
    for (int i = 0; i < run.count; ++i) {
        const QString p = cache_.ThumbnailPath(i);
        if (p.isEmpty() || QFileInfo::exists(p)) continue;
        PendingThumbnail job;
        job.index = i;
        job.thumbPath = p;
        job.sourcePath = fullPathOf(i);
        job.kind = MediaKind(job.sourcePath);
        run.pending.push_back(std::move(job));
    }
    progress_->BeginPreviews(qMin(grid_.ThumbWidth, kThumbBoxWidth), qMin(grid_.ThumbHeight, kThumbBoxHeight));
    progress_->SetGauge(0);
    if (AlbumProgress && run.count > 0) AlbumProgress(40);
    if (run.pending.empty()) {
        finishBuild(ThumbBuildResult::Built);
        return;
    }
    progress_->Generating = true;
    if (ShowThumbWindow && progress_->isHidden()) progress_->show();
    decodePool_.setMaxThreadCount(decodeThreads_);
    submitDecodes();
}

// Making a bitmap (decode, fit, write) runs a few items ahead on the worker threads; this thread
// takes the results in page order for the cache and the progress window. Writing on the workers
// keeps a slow disk from stalling the window; every bitmap has its own path, so the files are the
// same as from a sequential run. The bitmaps are not synced one by one, nor written through temporary
// files: no index line names them until CommitThumbnails has synced once at the end of the build.
void TOverView_Fm::submitDecodes()
{
    BuildRun &run = *run_;
    const size_t ahead = size_t(decodeThreads_) * 3;
    while (run.submitted < run.pending.size() && run.submitted < ahead) {
        PendingThumbnail &job = run.pending[run.submitted++];
        auto promise = std::make_shared<QPromise<MadeThumbnail>>();
        job.result = promise->future();
        promise->start();
        job.watcher = new QFutureWatcher<MadeThumbnail>(this);
        connect(job.watcher, &QFutureWatcherBase::finished, this, &TOverView_Fm::writeDecoded);
        job.watcher->setFuture(job.result);
        // The task holds copies only: a cancelled build may leave it running, its result unread.
        decodePool_.start([promise, path = job.sourcePath, target = job.thumbPath, kind = job.kind, icons = icons_,
                           box = box_, errorSize = QSize(grid_.ThumbWidth, grid_.ThumbHeight)] {
            MadeThumbnail made;
            made.image = MakeThumbnail(path, kind, icons, box);
            if (made.image.isNull())
                made.image = DataErrorThumbnail(errorSize.width(), errorSize.height(), box.scale);
            made.written = imaging::SaveBmp16(made.image, target, FileSync::Unnamed);
            promise->addResult(made);
            promise->finish();
        });
    }
}

void TOverView_Fm::writeDecoded()
{
    // While the "end the program" question is up, or once it was answered Yes, the build waits.
    if (!run_ || !progress_->Generating || progress_->Asking()) return;
    BuildRun &run = *run_;
    QElapsedTimer slice;
    slice.start();
    while (run.submitted > 0 && run.pending.front().result.isFinished()) {
        if (slice.elapsed() >= kWriteSliceMs) {   // the rest in a later pass of the event loop
            QMetaObject::invokeMethod(this, &TOverView_Fm::writeDecoded, Qt::QueuedConnection);
            break;
        }
        PendingThumbnail job = std::move(run.pending.front());
        run.pending.pop_front();
        --run.submitted;
        job.watcher->disconnect(this);
        job.watcher->deleteLater();
        const MadeThumbnail made = job.result.resultCount() > 0 ? job.result.result() : MadeThumbnail();
        if (made.written) {
            cache_.ThumbnailWritten(job.thumbPath);
            ++run.written;
        } else {
            cacheWriteFailed_ = true;
        }
        if (!made.image.isNull()) showProgress(job.index, made.image, run.pending.empty());
    }
    if (run.pending.empty()) finishBuild(ThumbBuildResult::Built);
    else submitDecodes();
}

void TOverView_Fm::showProgress(int index, const QImage &preview, bool force)
{
    BuildRun &run = *run_;
    if (!force && run.sinceProgress.isValid() && run.sinceProgress.elapsed() < kProgressIntervalMs) return;
    run.sinceProgress.start();
    progress_->SetGauge(RoundHalfEven(double(index) * 100 / run.count));
    if (AlbumProgress) AlbumProgress(40 + RoundHalfEven(double(index) * 40 / run.count));
    // The progress window has room for previews of the small sizes' box.
    if (preview.width() > kThumbBoxWidth || preview.height() > kThumbBoxHeight)
        progress_->ShowPreview(preview.scaled(kThumbBoxWidth, kThumbBoxHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation),
                               index, run.count);
    else
        progress_->ShowPreview(preview, index, run.count);
    progress_->WritePleaseWait();
}

void TOverView_Fm::CancelThumbnails()
{
    finishBuild(ThumbBuildResult::Cancelled);
}

void TOverView_Fm::finishBuild(ThumbBuildResult result)
{
    const std::unique_ptr<BuildRun> run = std::move(run_);
    if (!run) return;
    decodePool_.clear();   // queued decodes are dropped; running ones end on their own, unread
    for (PendingThumbnail &job : run->pending) {
        if (!job.watcher) continue;
        job.watcher->disconnect(this);
        job.watcher->deleteLater();
    }
    ShowThumbWindow = false;
    progress_->Generating = false;
    if (result == ThumbBuildResult::ExitRequested) {
        progress_->close();
    } else {
        if (AlbumProgress) AlbumProgress(50);
        progress_->SetGauge(100);
        // A cancelled build closes the window; a finished one leaves it up only when it was showing
        // as the program was minimised.
        if (progress_->isVisible() && (result == ThumbBuildResult::Cancelled || !OverviewWasVisible))
            progress_->hide();
    }
    // The new bitmaps get their one sync and their index lines. Bitmaps still being made by a
    // dropped decode are named by no line: the next opening removes them and makes them again.
    const auto end = [this, result, done = std::move(run->done)] {
        if (result == ThumbBuildResult::ExitRequested) emit ExitRequested();
        if (done) done(result);
    };
    if (run->written == 0) {   // nothing to commit: the build ends at once
        if (!cache_.CommitThumbnails()) cacheWriteFailed_ = true;
        end();
        return;
    }
    // The sync may take a while on a busy disk: it runs on a worker thread, and the cache is left
    // to it (Generating() holds) until it reports.
    auto promise = std::make_shared<QPromise<bool>>();
    committing_ = new QFutureWatcher<bool>(this);
    connect(committing_, &QFutureWatcherBase::finished, this, [this, end] {
        if (!committing_->result()) cacheWriteFailed_ = true;
        committing_->deleteLater();
        committing_ = nullptr;
        end();
    });
    committing_->setFuture(promise->future());
    promise->start();
    ThumbnailCache *cache = &cache_;
    decodePool_.start([promise, cache] {
        promise->addResult(cache->CommitThumbnails());
        promise->finish();
    });
}

bool TOverView_Fm::EmptyOverviewCache(std::function<void()> emptied)
{
    const QString question = QStringLiteral("This will clear the cache containing the") + QStringLiteral("\r\n")
        + QStringLiteral("overview thumbnails of all opened books!");
    if (Generating()) return false;   // a build or an emptying is using the cache
    QApplication::beep();
    if (ThePrompter().Ask(PromptKind::Confirmation, question) != PromptAnswer::Yes) return false;
    ShowThumbWindow = true;
    // The tree goes on a worker thread while the hourglass and the file animation show.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ComAnimate().StartAnimation(AnimDelete);
    auto promise = std::make_shared<QPromise<void>>();
    emptying_ = new QFutureWatcher<void>(this);
    connect(emptying_, &QFutureWatcherBase::finished, this, [this, emptied = std::move(emptied)] {
        emptying_->deleteLater();
        emptying_ = nullptr;
        ComAnimate().StopAnimation();
        QApplication::restoreOverrideCursor();
        ShowThumbWindow = true;
        if (emptied) emptied();
    });
    emptying_->setFuture(promise->future());
    promise->start();
    ThumbnailCache *cache = &cache_;   // nothing else touches it until the watcher reports
    const QString shownRoot = cache_.CacheRoot();
    const QStringList others = AllThumbnailCacheRoots(overviewDir_);
    decodePool_.start([promise, cache, shownRoot, others] {
        cache->EmptyCache();
        for (const QString &root : others)
            if (root != shownRoot && QFileInfo(root).isDir()) DeleteFolderTree(root);
        promise->finish();
    });
    return true;
}

// ---------------------------------------------------------------------------------------------
// Painting and hit-testing

void TOverView_Fm::DrawOverviewPage(int page, QPainter &painter)
{
    QSet<QString> upperSelection;
    if (selection_)
        for (const QString &s : *selection_) upperSelection.insert(s.toUpper());
    PaintOverviewPage(grid_, album_, cache_, box_, upperSelection, page, painter, nullptr);
}

void TOverView_Fm::DrawOverviewPageForPrint(int page, QPainter &painter, const PrintThumbnail &thumbnail)
{
    PaintOverviewPage(grid_, album_, cache_, box_, {}, page, painter, &thumbnail);
}

OverviewPrintSource TOverView_Fm::PrintSource() const
{
    OverviewPrintSource source;
    source.grid_ = grid_;
    source.album_ = album_;
    source.cache_ = cache_;
    source.box_ = box_;
    return source;
}

QString OverviewPrintSource::FileOfEntry(int index) const
{
    return FullPathOf(album_, index);
}

void OverviewPrintSource::Paint(int page, const QRect &area, QPainter &painter,
                                const OverviewPrintThumbnail &thumbnail) const
{
    OverviewGrid grid = grid_;
    grid.SetArea(area);
    PaintOverviewPage(grid, album_, cache_, box_, {}, page, painter, &thumbnail);
}

void TOverView_Fm::DrawPage(QPainter &painter, const QRect &contentRect, int pageNo)
{
    SetArea(contentRect);
    DrawOverviewPage(pageNo, painter);
}

int TOverView_Fm::HitTest(const QRect &contentRect, int pageNo, QPoint pt, QRect *hotRect, int *subKind)
{
    SetArea(contentRect);
    const OverviewGrid::Hit hit = HitTestOverview(pt, pageNo);
    if (!hit.hit) return 0;
    if (hotRect) *hotRect = hit.cellRect;
    if (subKind) *subKind = hit.part;
    return hit.fileNumber;
}

} // namespace pagero
