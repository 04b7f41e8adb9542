// Re-opening an album whose thumbnail cache is complete, at 1,000 and 10,000 files: the cost of
// checking the cache must grow about linearly with the number of files.
// Usage: bench_overview_reopen [rounds]
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

using namespace pagero;

namespace {

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
    AlbumFiles files;
    files.folder = folder;
    for (const QFileInfo &fi : QDir(folder).entryInfoList({"*.jpg"}, QDir::Files, QDir::Name)) {
        files.names << fi.fileName();
        files.ages << QString::number(FileAgeOf(fi));
        files.sizes << QString::number(fi.size());
    }
    return files;
}

struct Figures { double list, reopen; };

Figures Measure(int count, int rounds)
{
    const QString folder = MakeAlbum(count);
    const QString root = QStringLiteral("/tmp/pagero-bench-reopen-cache");
    TOverView_Fm ov;
    ov.SetCacheRoot(root);
    ov.SetAlbum(ListAlbum(folder));
    ov.BuildThumbnails();   // fills the cache (cold), not timed
    Figures best{1e30, 1e30};
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        t.start();
        const AlbumFiles files = ListAlbum(folder);
        best.list = std::min(best.list, t.nsecsElapsed() / 1e9);
        TOverView_Fm again;
        again.SetCacheRoot(root);
        again.SetAlbum(files);
        t.restart();
        if (!again.BuildThumbnails()) std::fprintf(stderr, "re-open failed\n");
        best.reopen = std::min(best.reopen, t.nsecsElapsed() / 1e9);
    }
    return best;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const Figures small = Measure(1000, rounds);
    const Figures large = Measure(10000, rounds);
    std::printf("Re-opening an album with a complete thumbnail cache (best of %d)\n", rounds);
    std::printf("  %6d files: BuildThumbnails %8.2f ms   (album listing %8.2f ms)\n", 1000, small.reopen * 1e3, small.list * 1e3);
    std::printf("  %6d files: BuildThumbnails %8.2f ms   (album listing %8.2f ms)\n", 10000, large.reopen * 1e3, large.list * 1e3);
    std::printf("  ratio 10,000 / 1,000 = %.2f (at most 12 wanted)\n", large.reopen / small.reopen);
    return 0;
}
