// Re-opening an album whose thumbnail cache is complete, at 1,000 and 10,000 files: the cost of
// checking the cache must grow about linearly with the number of files. The two sizes alternate
// round by round; the best of the rounds counts, in CPU time (the machine may be shared) and
// in wall-clock time.
// Usage: bench_overview_reopen [rounds]
#include "BuildToEnd.h"
#include "pages/OrvOverView_Ut.h"
#include "core/common/MyLib.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <algorithm>
#include <cstdio>
#include <ctime>

using namespace pagero;

namespace {

const QString kCacheRoot = QStringLiteral("/tmp/pagero-bench-reopen-cache");

// CPU time of the process; with a complete cache no decode thread runs, so this is the GUI
// thread's time.
double CpuSeconds()
{
    return double(std::clock()) / CLOCKS_PER_SEC;
}

QString MakeAlbum(int count)
{
    const QString folder = QStringLiteral("/tmp/pagero-bench-reopen-%1").arg(count);
    QDir().mkpath(folder);
    const QString seed = folder + "/seed.bin";
    if (!QFileInfo::exists(seed)) {
        QImage img(64, 48, QImage::Format_RGB32);
        img.fill(QColor(90, 140, 200));
        img.save(seed, "JPG");
    }
    for (int i = 0; i < count; ++i) {
        const QString name = folder + QStringLiteral("/img%1.jpg").arg(i, 5, 10, QChar('0'));
        if (!QFileInfo::exists(name)) QFile::copy(seed, name);
    }
    return folder;
}

AlbumFiles ListAlbum(const QString &folder)
{
    PageEntries entries;
    for (const QFileInfo &fi : QDir(folder).entryInfoList({"*.jpg"}, QDir::Files, QDir::Name))
        entries.push_back({fi.fileName(), 1, fi.size(), FileAgeOf(fi)});
    return AlbumFiles{folder, std::make_shared<const PageEntries>(std::move(entries))};
}

struct Figures {
    double checkCpu = 1e30, checkWall = 1e30;   // OpenFolderCache + SyncFileCache
    double buildCpu = 1e30, buildWall = 1e30;   // the whole BuildThumbnails
};

void MeasureOnce(const AlbumFiles &files, Figures &best)
{
    ThumbnailCache cache;
    cache.SetCacheRoot(kCacheRoot);
    QElapsedTimer wall;
    double cpu = CpuSeconds();
    wall.start();
    if (!cache.OpenFolderCache(files.folder) || !cache.SyncFileCache(files)) std::fprintf(stderr, "check failed\n");
    best.checkWall = std::min(best.checkWall, wall.nsecsElapsed() / 1e9);
    best.checkCpu = std::min(best.checkCpu, CpuSeconds() - cpu);

    TOverView_Fm ov;
    ov.SetCacheRoot(kCacheRoot);
    ov.SetAlbum(files);
    cpu = CpuSeconds();
    wall.restart();
    if (!BuildToEnd(ov)) std::fprintf(stderr, "re-open failed\n");
    best.buildWall = std::min(best.buildWall, wall.nsecsElapsed() / 1e9);
    best.buildCpu = std::min(best.buildCpu, CpuSeconds() - cpu);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    const int counts[2] = {1000, 10000};
    AlbumFiles albums[2];
    for (int k = 0; k < 2; ++k) {
        albums[k] = ListAlbum(MakeAlbum(counts[k]));
        TOverView_Fm fill;   // makes the cache complete (cold), not timed
        fill.SetCacheRoot(kCacheRoot);
        fill.SetAlbum(albums[k]);
        BuildToEnd(fill);
    }
    Figures best[2];
    for (int r = 0; r < rounds; ++r)
        for (int k = 0; k < 2; ++k) MeasureOnce(albums[k], best[k]);

    std::printf("Re-opening an album with a complete thumbnail cache (best of %d rounds)\n", rounds);
    for (int k = 0; k < 2; ++k)
        std::printf("  %6d files: BuildThumbnails %8.2f ms CPU %8.2f ms wall;  cache check alone %7.2f ms CPU %7.2f ms wall\n",
                    counts[k], best[k].buildCpu * 1e3, best[k].buildWall * 1e3, best[k].checkCpu * 1e3,
                    best[k].checkWall * 1e3);
    std::printf("  ratio 10,000 / 1,000: BuildThumbnails %.2f CPU, %.2f wall; cache check %.2f CPU (at most 12 wanted)\n",
                best[1].buildCpu / best[0].buildCpu, best[1].buildWall / best[0].buildWall,
                best[1].checkCpu / best[0].checkCpu);
    return 0;
}
