// Cold-cache thumbnail making for a folder of large JPEGs, in images per second, beside
// vipsthumbnail (two processes over the two halves of the folder) and a bare libjpeg-turbo 1/8-scale
// decode loop on two threads over the same files.
// Usage: bench_overview_thumbnails [folder] [rounds]   (folder made by make_photos.sh)
#include "pages/OrvOverView_Ut.h"
#include "core/common/MyLib.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <cstdio>
#include <thread>
#include <turbojpeg.h>
#include <vector>

using namespace pagero;

namespace {

QStringList JpegsOf(const QString &folder)
{
    QStringList paths;
    for (const QString &n : QDir(folder).entryList({"*.jpg"}, QDir::Files, QDir::Name))
        paths << folder + "/" + n;
    return paths;
}

double TimePagero(const QString &folder, const QString &cacheRoot)
{
    QDir(cacheRoot).removeRecursively();
    AlbumFiles files;
    files.folder = folder;
    for (const QString &n : QDir(folder).entryList({"*.jpg"}, QDir::Files, QDir::Name)) {
        files.names << n;
        files.ages << QString::number(FileAge(folder + "/" + n));
        files.sizes << QString::number(QFileInfo(folder + "/" + n).size());
    }
    TOverView_Fm ov;
    ov.SetCacheRoot(cacheRoot);
    ov.SetAlbum(files);
    QElapsedTimer t;
    t.start();
    const bool ok = ov.BuildThumbnails();
    const double s = t.nsecsElapsed() / 1e9;
    if (!ok) std::fprintf(stderr, "BuildThumbnails failed\n");
    return s;
}

double TimeVips(const QStringList &paths, const QString &outDir)
{
    QDir(outDir).removeRecursively();
    QDir().mkpath(outDir);
    const qsizetype half = paths.size() / 2;
    QProcess a, b;
    const QStringList common = {"-s", "72x70", "-o", outDir + "/%s.jpg"};
    QElapsedTimer t;
    t.start();
    a.start("vipsthumbnail", common + paths.mid(0, half));
    b.start("vipsthumbnail", common + paths.mid(half));
    a.waitForFinished(-1);
    b.waitForFinished(-1);
    const double s = t.nsecsElapsed() / 1e9;
    if (a.exitCode() != 0 || b.exitCode() != 0) std::fprintf(stderr, "vipsthumbnail failed\n");
    return s;
}

void BareLoop(const QStringList &paths, int part, int parts, long *pixels)
{
    tjhandle h = tjInitDecompress();
    std::vector<unsigned char> out;
    for (qsizetype i = part; i < paths.size(); i += parts) {
        QFile f(paths[i]);
        if (!f.open(QIODevice::ReadOnly)) continue;
        const QByteArray data = f.readAll();
        int w = 0, hgt = 0, ss = 0, cs = 0;
        auto *src = reinterpret_cast<const unsigned char *>(data.constData());
        if (tjDecompressHeader3(h, src, data.size(), &w, &hgt, &ss, &cs) != 0) continue;
        const tjscalingfactor eighth = {1, 8};
        const int sw = TJSCALED(w, eighth), sh = TJSCALED(hgt, eighth);
        out.resize(size_t(sw) * sh * 3);
        if (tjDecompress2(h, src, data.size(), out.data(), sw, 0, sh, TJPF_RGB, 0) == 0) *pixels += long(sw) * sh;
    }
    tjDestroy(h);
}

double TimeBare(const QStringList &paths)
{
    long pixels[2] = {0, 0};
    QElapsedTimer t;
    t.start();
    std::thread a(BareLoop, std::cref(paths), 0, 2, &pixels[0]);
    std::thread b(BareLoop, std::cref(paths), 1, 2, &pixels[1]);
    a.join();
    b.join();
    return t.nsecsElapsed() / 1e9;
}

void WarmPageCache(const QStringList &paths)
{
    for (const QString &p : paths) {
        QFile f(p);
        if (f.open(QIODevice::ReadOnly))
            while (!f.read(1 << 20).isEmpty()) {}
    }
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/pagero-bench-photos");
    const int rounds = argc > 2 ? std::max(1, atoi(argv[2])) : 2;
    const QStringList paths = JpegsOf(folder);
    if (paths.isEmpty()) {
        std::fprintf(stderr, "no JPEGs in %s; run bench/overview/make_photos.sh first\n", qPrintable(folder));
        return 1;
    }
    const bool haveVips = !QStandardPaths::findExecutable("vipsthumbnail").isEmpty();
    WarmPageCache(paths);

    double pagero = 1e30, vips = 1e30, bare = 1e30;
    for (int r = 0; r < rounds; ++r) {
        bare = std::min(bare, TimeBare(paths));
        pagero = std::min(pagero, TimePagero(folder, "/tmp/pagero-bench-cache"));
        if (haveVips) vips = std::min(vips, TimeVips(paths, "/tmp/pagero-bench-vips"));
    }
    const double n = paths.size();
    std::printf("Cold-cache thumbnails of %d JPEGs in %s (best of %d rounds, 2 threads / processes)\n",
                int(n), qPrintable(folder), rounds);
    std::printf("  pagero BuildThumbnails          %7.2f s  %7.1f images/s\n", pagero, n / pagero);
    if (haveVips)
        std::printf("  vipsthumbnail -s 72x70 (2 proc) %7.2f s  %7.1f images/s\n", vips, n / vips);
    else
        std::printf("  vipsthumbnail: not installed (Debian libvips-tools)\n");
    std::printf("  bare libjpeg-turbo 1/8 (2 thr)  %7.2f s  %7.1f images/s\n", bare, n / bare);
    if (haveVips) std::printf("  pagero speed / vipsthumbnail speed = %.2f\n", vips / pagero);
    std::printf("  pagero speed / bare loop speed    = %.2f\n", bare / pagero);
    return 0;
}
