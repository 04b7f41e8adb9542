#include "pages/OrvOverView_Ut.h"

#include "common/Fonts.h"
#include "common/OrvComAnimate.h"
#include "core/book/PageList.h"
#include "core/common/MyLib.h"
#include "pages/OrvProgress.h"
#include "platform/Prompter.h"
#include "platform/imaging/Imaging.h"

#include <QApplication>
#include <QEventLoop>
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

// Outline through (x,y), (x+w,y), (x+w,y+h), (x,y+h): w+1 by h+1 pixels.
void DrawBox(QPainter &p, int x, int y, int w, int h, const QColor &colour)
{
    p.setPen(QPen(colour, 0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(x, y, w, h));
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

// Runs pending events until the future is finished, without busy waiting.
template <typename T>
void WaitWithEvents(const QFuture<T> &future)
{
    if (future.isFinished()) return;
    QFutureWatcher<T> watcher;
    QEventLoop loop;
    QObject::connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(future);
    if (!future.isFinished()) loop.exec();
}

} // namespace

TOverView_Fm::TOverView_Fm(QObject *parent) : QObject(parent)
{
    progress_ = new TProgress_Fm();
    grid_.SetLabelHeight(CaptionLabelHeight());
    grid_.SetThumbSize(72, 70);
}

TOverView_Fm::~TOverView_Fm()
{
    delete progress_;
}

int TOverView_Fm::CaptionLabelHeight()
{
    return QFontMetrics(BookFont(8)).height() + 2;
}

bool TOverView_Fm::Generating() const
{
    return progress_->Generating;
}

void TOverView_Fm::SetThumbSize(int width, int height)
{
    grid_.SetThumbSize(width, height);
}

void TOverView_Fm::SetAlbum(const AlbumFiles &files)
{
    album_ = files;
}

void TOverView_Fm::SetAlbum(const PageList &pages)
{
    AlbumFiles files;
    files.folder = pages.Folder();
    files.names = pages.names;
    files.ages = pages.dates;
    files.sizes = pages.sizes;
    SetAlbum(files);
}

void TOverView_Fm::SetArea(const QRect &area)
{
    grid_.SetArea(area);
}

QString TOverView_Fm::fullPathOf(int index) const
{
    const QString &folder = album_.folder;
    const QString &name = album_.names.at(index);
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// ---------------------------------------------------------------------------------------------
// Building

bool TOverView_Fm::BuildThumbnails(const PageList &pages, const QString &cacheRoot, QSize thumbSize)
{
    SetThumbSize(thumbSize.width(), thumbSize.height());
    SetCacheRoot(cacheRoot);
    SetAlbum(pages);
    return BuildThumbnails();
}

bool TOverView_Fm::BuildThumbnails()
{
    if (progress_->Generating) return false;   // a build is already running further up the stack
    cacheWriteFailed_ = false;
    if (!cache_.OpenFolderCache(album_.folder) || !cache_.SyncFileCache(album_)) return false;
    if (icons_.wavIcon.isNull()) icons_ = LoadThumbnailIcons();

    const int count = album_.Count();
    progress_->BeginPreviews(grid_.ThumbWidth, grid_.ThumbHeight);
    progress_->Generating = true;

    // The entries whose bitmap is missing, in page order. Nothing else writes the album's cache
    // folder during the build, so this is what the loop would find item by item.
    struct Pending {
        int index;
        QString thumbPath;
        QString sourcePath;
        int kind;
        QFuture<QImage> result;
    };
    std::deque<Pending> pending;
    for (int i = 0; i < count; ++i) {
        const QString p = cache_.ThumbnailPath(i);
        if (p.isEmpty() || QFileInfo::exists(p)) continue;
        const QString source = fullPathOf(i);
        pending.push_back({i, p, source, MediaKind(source), {}});
    }

    // Decoding runs a few items ahead on the worker threads; this thread writes in page order.
    QThreadPool pool;
    pool.setMaxThreadCount(decodeThreads_);
    const size_t ahead = size_t(decodeThreads_) * 3;
    size_t submitted = 0;
    const ThumbnailIcons icons = icons_;
    auto submitMore = [&] {
        while (submitted < pending.size() && submitted < ahead) {
            Pending &job = pending[submitted++];
            auto promise = std::make_shared<QPromise<QImage>>();
            job.result = promise->future();
            promise->start();
            pool.start([promise, path = job.sourcePath, kind = job.kind, icons] {
                promise->addResult(MakeThumbnail(path, kind, icons));
                promise->finish();
            });
        }
    };
    submitMore();

    for (int i = 0; i < count; ++i) {
        QCoreApplication::processEvents();
        if (!progress_->Generating) {
            // The user chose to end the program: stop, let the workers run out, close.
            pool.clear();
            pool.waitForDone();
            if (!cache_.CommitThumbnails()) cacheWriteFailed_ = true;
            progress_->close();
            emit ExitRequested();
            return false;
        }
        progress_->SetGauge(RoundHalfEven(double(i) * 100 / count));
        if (AlbumProgress) AlbumProgress(40 + RoundHalfEven(double(i) * 40 / count));

        if (!pending.empty() && pending.front().index == i) {
            Pending job = std::move(pending.front());
            pending.pop_front();
            --submitted;
            submitMore();
            if (ShowThumbWindow && progress_->isHidden()) progress_->show();
            WaitWithEvents(job.result);
            QImage thumbnail = job.result.resultCount() > 0 ? job.result.result() : QImage();
            if (thumbnail.isNull()) thumbnail = DataErrorThumbnail(grid_.ThumbWidth, grid_.ThumbHeight);
            progress_->ShowPreview(thumbnail, i, count);
            // Not synced one by one: CommitThumbnails syncs once before the index names them.
            if (imaging::SaveBmp16(thumbnail, job.thumbPath, FileSync::NoSync)) cache_.ThumbnailWritten(job.thumbPath);
            else cacheWriteFailed_ = true;
        }
        progress_->WritePleaseWait();
    }

    if (!cache_.CommitThumbnails()) cacheWriteFailed_ = true;
    QCoreApplication::processEvents();
    ShowThumbWindow = false;
    if (AlbumProgress) AlbumProgress(50);
    progress_->Generating = false;
    progress_->SetGauge(100);
    if (progress_->isVisible() && !OverviewWasVisible) progress_->hide();
    return true;
}

bool TOverView_Fm::EmptyOverviewCache()
{
    const QString question = QStringLiteral("This will clear the cache containing the") + QStringLiteral("\r\n")
        + QStringLiteral("overview thumbnails of all opened books!");
    QApplication::beep();
    if (ThePrompter().Ask(PromptKind::Confirmation, question) != PromptAnswer::Yes) return false;
    ShowThumbWindow = true;
    {
        BusyAnimation busy(AnimDelete);   // hourglass and the file animation while the tree goes
        cache_.EmptyCache();
    }
    ShowThumbWindow = true;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Painting and hit-testing

bool TOverView_Fm::isSelected(const QString &fullPath, const QSet<QString> &upperSelection) const
{
    return !upperSelection.isEmpty() && upperSelection.contains(fullPath.toUpper());
}

void TOverView_Fm::DrawOverviewPage(int page, QPainter &painter)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.setFont(BookFont(8));
    const QFontMetrics fm = painter.fontMetrics();
    const QRect &area = grid_.AreaRect;
    const int tw = grid_.ThumbWidth, th = grid_.ThumbHeight, lh = grid_.LabelHeight;

    // Heading in the strip above the content rectangle.
    WriteInStrip(painter, QRect(area.left(), area.top() - lh, area.width(), lh),
                 QPoint(area.left() + 2, area.top() - lh), QStringLiteral("Overview"), kWhite, kBlack);

    const int count = album_.Count();
    if (grid_.PerPage > 0 && count > 0) {
        QSet<QString> upperSelection;
        if (selection_)
            for (const QString &s : *selection_) upperSelection.insert(s.toUpper());

        const int first = (page - 1) * grid_.PerPage;
        const int last = qMin(first + grid_.PerPage - 1, count - 1);
        for (int i = qMax(0, first); i <= last; ++i) {
            const QPoint origin = grid_.CellOrigin(i);
            const int x = origin.x(), y = origin.y();

            const QString caption = QString::number(i + 1) + QStringLiteral(": ") + album_.names.at(i);
            const int textWidth = fm.horizontalAdvance(caption);
            const int indent = textWidth < tw ? RoundHalfEven((tw - textWidth) * 0.5) : 0;
            const bool selected = isSelected(fullPathOf(i), upperSelection);
            WriteInStrip(painter, QRect(x, y, tw, lh), QPoint(x + indent, y + 1), caption,
                         selected ? kBlue : kWhite, selected ? kWhite : kBlack);

            painter.fillRect(QRect(x, y + lh, tw, th + 1), kSilver);

            int dx = 0, dy = 0, sw = tw, sh = th;
            const QString thumbPath = cache_.ThumbnailPath(i);
            if (!thumbPath.isEmpty() && QFileInfo(thumbPath).isFile()) {
                QImage picture = imaging::Load(thumbPath).image;
                if (picture.isNull()) {
                    picture = QImage(tw, th, QImage::Format_RGB16);
                    picture.fill(kWhite);
                }
                // Cached bitmaps fit the large box; the smaller sizes shrink them by the same factor.
                sw = RoundHalfEven(double(tw) * picture.width() / kThumbBoxWidth);
                sh = RoundHalfEven(double(th) * picture.height() / kThumbBoxHeight);
                dx = (tw - sw) / 2;
                dy = (th - sh) / 2;
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
