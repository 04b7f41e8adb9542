// Bringing a damaged album cache up to date: a "~ovFiles.~ov" whose entries all name the same file
// and the same bitmap (16,000 and 160,000 of them), which must each get a bitmap name of their own.
// Prints the time of OpenFolderCache + SyncFileCache for both sizes and their ratio (10 when the
// repair grows linearly). No public tool does this job.
// Usage: bench_overview_index_repair [rounds] [entries] [more entries]   (default 3 16000 160000)
#include "core/common/MyLib.h"
#include "core/pages/ThumbnailCache.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

using namespace pagero;

namespace {

double TimeRepair(int groups, int rounds)
{
    QTemporaryDir tmp;
    const QString album = tmp.path() + "/Album";
    const QString root = tmp.path() + "/Overview";
    QDir().mkpath(album);
    QFile(album + "/a.jpg").open(QIODevice::WriteOnly);
    AlbumFiles files;
    files.folder = album;
    files.names << "a.jpg";
    files.ages << QString::number(FileAge(album + "/a.jpg"));
    files.sizes << "0";

    QByteArray index;
    const QByteArray group = "a.jpg\r\n" + files.ages[0].toUtf8() + "\r\n0\r\na-jpg.bmp\r\n";
    index.reserve(group.size() * groups);
    for (int g = 0; g < groups; ++g) index += group;

    double best = 1e30;
    for (int r = 0; r < rounds; ++r) {
        QDir(root).removeRecursively();
        ThumbnailCache setup;
        setup.SetCacheRoot(root);
        if (!setup.OpenFolderCache(album)) return -1;
        QFile f(setup.AlbumCacheDir() + "/" + kFileIndexName);
        if (!f.open(QIODevice::WriteOnly) || f.write(index) != index.size()) return -1;
        f.close();

        ThumbnailCache cache;
        cache.SetCacheRoot(root);
        QElapsedTimer t;
        t.start();
        if (!cache.OpenFolderCache(album) || !cache.SyncFileCache(files)) return -1;
        best = std::min(best, t.nsecsElapsed() / 1e9);
    }
    return best;
}

} // namespace

int main(int argc, char **argv)
{
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    const int fewer = argc > 2 ? std::max(1, atoi(argv[2])) : 16000;
    const int more = argc > 3 ? std::max(1, atoi(argv[3])) : 160000;
    const double small = TimeRepair(fewer, rounds);
    const double large = TimeRepair(more, rounds);
    std::printf("Repairing an index whose entries all name one bitmap (best of %d rounds)\n", rounds);
    std::printf("  %7d entries: %8.3f s\n", fewer, small);
    std::printf("  %7d entries: %8.3f s\n", more, large);
    std::printf("  ratio:           %6.1f (%.1f is linear)\n", large / small, double(more) / fewer);
    return small < 0 || large < 0 ? 1 : 0;
}
