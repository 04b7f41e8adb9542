// A forward turn at 1920 x 1080 across pages of 6000 x 4000 JPEG photos: the time from the flip call
// (what the key handler does on a key press) to the first flip frame, with the pictures of the next
// spread decoded ahead on the worker (as they are once a flip has landed) and without, alternating
// in the same run. The goal with prefetch is under 20 ms.
#include "app/FlipAnimator.h"
#include "bench/PainterBenchTiming.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

using namespace pagero;

namespace {

QImage PhotoLike(QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    QRandomGenerator rng(7);
    for (int y = 0; y < size.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int n = int(rng.bounded(12u)) - 6;
            const int texture = ((x / 3 + y / 5) % 7) * 3;
            line[x] = qRgb(std::clamp(x * 200 / size.width() + texture + n, 0, 255),
                           std::clamp(y * 200 / size.height() + n + 30, 0, 255),
                           std::clamp(((x / 250 + y / 250) % 2) * 120 + 60 + texture + n, 0, 255));
        }
    }
    return img;
}

// Runs the event loop until `done` holds (or 20 s pass).
void RunUntil(const std::function<bool()> &done)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 20000) {
        QEventLoop loop;
        QTimer::singleShot(1, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir album;
    const QString first = album.path() + QStringLiteral("/p00.jpg");
    PhotoLike(QSize(6000, 4000)).save(first, "JPG", 90);
    const int files = 24;
    for (int i = 1; i < files; ++i)
        ::link(QFile::encodeName(first).constData(),   // the same photo under another name
               QFile::encodeName(album.path() + QStringLiteral("/p%1.jpg").arg(i, 2, 10, QLatin1Char('0'))).constData());

    const BookGeometry geo = BookGeometry::For(QSize(1920, 1080), 0);
    PageList pages;
    pages.Build(album.path(), QString::fromLatin1(kDefaultFilterMask), SortByName);
    BookLayout layout;
    SectionSizes sizes;
    sizes.files = pages.Count();
    sizes.overviewPages = 1;
    sizes.contentsPages = 1;
    sizes.indexPages = 1;
    layout.Compute(sizes);
    FlipState flip;
    flip.LastPageNo = layout.LastPageNo;
    flip.SetPageW(geo.PageW);
    Settings settings;
    BookScene scene;
    scene.geo = &geo;
    scene.layout = &layout;
    scene.flip = &flip;
    scene.pages = &pages;
    scene.settings = &settings;
    BookPainter painter;
    painter.Resize(geo);
    FlipAnimator animator(painter);
    animator.frameIntervalMs = 0;
    PagePictures &pictures = painter.Pictures();
    std::printf("frame 1920 x 1080, %d pages of 6000 x 4000 JPEG\n", pages.Count());

    bench::Times with, without;
    int left = (layout.FirstFilePage + 1) / 2 * 2;
    for (int round = 0; left + 3 < layout.FirstIndexPage; ++round, left += 2) {
        const bool prefetch = round % 2 == 0;
        // The spread as a landed flip leaves it: its own pages drawn, nothing else decoded.
        flip.LeftPageNo = left;
        flip.RightPageNo = left + 1;
        painter.DrawBook(scene);
        pictures.Clear();
        if (prefetch) {
            pictures.PrefetchAround(scene);
            RunUntil([&] { return pictures.Idle(); });
        }
        QElapsedTimer clock;
        const double cpu0 = bench::ThreadCpuMs();
        bool shown = false;
        animator.present = [&](const QImage &) {
            if (shown)
                return;
            shown = true;
            (prefetch ? with : without).wallMs.push_back(clock.nsecsElapsed() / 1e6);
            (prefetch ? with : without).cpuMs.push_back(bench::ThreadCpuMs() - cpu0);
        };
        bool landed = false;
        QObject::connect(&animator, &FlipAnimator::Finished, &app, [&] { landed = true; }, Qt::SingleShotConnection);
        clock.start();
        if (!animator.Flip(scene, flip, Forward, 2))
            break;
        RunUntil([&] { return landed; });
        RunUntil([&] { return pictures.Idle(); });   // the prefetch after landing, before the next round
    }
    bench::Sort(with);
    bench::Sort(without);
    std::printf("flip call to first frame, without prefetch: %2zu runs, median %6.1f ms (min %.1f, max %.1f), cpu median %.1f ms\n",
                without.wallMs.size(), bench::Median(without.wallMs), without.wallMs.front(), without.wallMs.back(),
                bench::Median(without.cpuMs));
    std::printf("flip call to first frame, with prefetch:    %2zu runs, median %6.1f ms (min %.1f, max %.1f), cpu median %.1f ms\n",
                with.wallMs.size(), bench::Median(with.wallMs), with.wallMs.front(), with.wallMs.back(),
                bench::Median(with.cpuMs));
    const bool pass = bench::Median(with.wallMs) < 20.0;
    std::printf("with prefetch median < 20 ms: %s\n", pass ? "PASS" : "FAIL");
    return pass ? 0 : 1;
}
