// Frame pacing of auto flipping on the real main window at 1920 x 1080: the auto-flip tick turns
// one spread after the other through an album of 4000 x 3000 photo-like JPEGs, and every frame the
// window paints is timed. Prints the median, p90, p99 and the longest frame interval, once with the
// shortest tick (10 ms: the next flip starts as soon as the previous one has landed, so every
// interval is a frame interval or a flip change) and once with the default tick of 100 ms (frame
// intervals inside flips, and the pause between flips apart). The flip is paced at 16 ms a frame.
#include "app/OrvTurvane.h"
#include "core/book/Settings.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace pagero;

namespace {

QImage PhotoLike(QSize size, int seed)
{
    QImage img(size, QImage::Format_RGB32);
    QRandomGenerator rng(seed);
    for (int y = 0; y < size.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int n = int(rng.bounded(12u)) - 6;
            line[x] = qRgb(std::clamp(x * 200 / size.width() + n + seed * 13 % 40, 0, 255),
                           std::clamp(y * 200 / size.height() + n + 30, 0, 255),
                           std::clamp(((x / 200 + y / 200) % 2) * 120 + 60 + n, 0, 255));
        }
    }
    return img;
}

// Records the time of every paint of the book area.
class PaintClock : public QObject {
public:
    QElapsedTimer clock;
    std::vector<double> stamps;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint) stamps.push_back(clock.nsecsElapsed() / 1e6);
        return false;
    }
};

double Percentile(std::vector<double> v, double p)
{
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * (v.size() - 1) + 0.5))];
}

void Report(const char *label, const std::vector<double> &v)
{
    std::printf("%-44s n=%4zu  median %6.1f ms  p90 %6.1f ms  p99 %6.1f ms  max %6.1f ms\n", label, v.size(),
                Percentile(v, 0.5), Percentile(v, 0.9), Percentile(v, 0.99), v.empty() ? 0.0 : Percentile(v, 1.0));
}

// Runs auto flipping with the given tick for `ms` and returns the intervals between painted frames.
std::vector<double> Run(TTurvane_Fm &w, int tickMs, int ms)
{
    w.Options().AutoFlipInterval = tickMs;
    w.Options().AutoFlipDirection = 1;   // front to back
    w.Options().AutoFlipEndAction = 2;
    PaintClock paints;
    w.View()->installEventFilter(&paints);
    paints.clock.start();
    w.AutoFlip().Start();
    QElapsedTimer run;
    run.start();
    while (run.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    w.AutoFlip().Stop();
    w.View()->removeEventFilter(&paints);
    std::vector<double> gaps;
    for (size_t i = 1; i < paints.stamps.size(); ++i) gaps.push_back(paints.stamps[i] - paints.stamps[i - 1]);
    return gaps;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir root;
    const QString album = root.filePath("album");
    QDir().mkpath(album);
    std::printf("making 24 photo-like 4000 x 3000 JPEGs...\n");
    for (int i = 0; i < 24; ++i) {
        const QString path = QString("%1/photo%2.jpg").arg(album).arg(i, 2, 10, QChar('0'));
        if (i < 4) PhotoLike(QSize(4000, 3000), i).save(path, "JPG", 90);
        else QFile::copy(QString("%1/photo%2.jpg").arg(album).arg(i % 4, 2, 10, QChar('0')), path);
    }
    // A private program folder (the build's), config folder and system folder.
    if (qEnvironmentVariableIsEmpty("PAGERO_EXEDIR")) {
        std::fprintf(stderr, "set PAGERO_EXEDIR to the program folder (build/Pagero)\n");
        return 2;
    }
    qputenv("PAGERO_CONFIGDIR", root.filePath("config").toUtf8());
    qputenv("PAGERO_SYSTEMDIR", root.filePath("system").toUtf8());
    QApplication app(argc, argv);

    TTurvane_Fm w({album});
    w.resize(1920, 1080);
    w.show();
    QElapsedTimer open;
    open.start();
    while (!(w.AlbumOpen() && w.Idle()) && open.elapsed() < 120000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    if (!w.AlbumOpen()) {
        std::fprintf(stderr, "the album did not open\n");
        return 1;
    }
    std::printf("window 1920 x 1080, book area %d x %d, page %d x %d, flip speed %d, frame timer %d ms\n",
                w.View()->width(), w.View()->height(), w.Geometry().PageW, w.Geometry().PageH, w.Flip_().FlipSpeed,
                w.FrameIntervalMs);

    const std::vector<double> backToBack = Run(w, 10, 8000);
    Report("tick 10 ms, every frame interval:", backToBack);

    const std::vector<double> defaults = Run(w, 100, 8000);
    std::vector<double> inFlip, between;
    for (double g : defaults) (g < 60 ? inFlip : between).push_back(g);
    Report("tick 100 ms, frame intervals inside flips:", inFlip);
    Report("tick 100 ms, pause between flips:", between);
    w.close();
    return 0;
}
