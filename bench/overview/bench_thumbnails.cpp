// Cold-cache thumbnail making for a folder of large JPEGs, in images per second, beside
// vipsthumbnail (two processes over the two halves of the folder) and a bare libjpeg-turbo 1/8-scale
// decode loop on two threads over the same files.
// Each figure is given in wall-clock time and in CPU time (all threads, or both vipsthumbnail
// processes), since the machine may be shared; the best of the rounds counts.
// A second figure is the GUI thread's CPU time per file while thumbnails of many small pictures are
// made with the progress window showing, as when the program opens an album.
// Usage: bench_overview_thumbnails [folder] [rounds]   (folder made by make_photos.sh;
//        "small" as the folder gives only the GUI-thread figure)
#include "BuildToEnd.h"
#include "pages/OrvOverView_Ut.h"
#include "core/common/AtomicFile.h"
#include "core/common/MyLib.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <cstdio>
#include <fcntl.h>
#include <ctime>
#include <sys/resource.h>
#include <thread>
#include <turbojpeg.h>
#include <unistd.h>
#include <vector>

using namespace pagero;

namespace {

struct Timing {
    double wall = 1e30;
    double cpu = 1e30;
    void Keep(double w, double c)
    {
        wall = std::min(wall, w);
        cpu = std::min(cpu, c);
    }
};

// CPU time of the calling thread alone.
double ThreadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

// CPU time of all threads of this process.
double ProcessCpuSeconds()
{
    return double(std::clock()) / CLOCKS_PER_SEC;
}

double ChildrenCpuSeconds()
{
    rusage ru{};
    getrusage(RUSAGE_CHILDREN, &ru);
    return ru.ru_utime.tv_sec + ru.ru_utime.tv_usec / 1e6 + ru.ru_stime.tv_sec + ru.ru_stime.tv_usec / 1e6;
}

QStringList JpegsOf(const QString &folder)
{
    QStringList paths;
    for (const QString &n : QDir(folder).entryList({"*.jpg"}, QDir::Files, QDir::Name))
        paths << folder + "/" + n;
    return paths;
}

void TimePagero(const QString &folder, const QString &cacheRoot, Timing &best)
{
    QDir(cacheRoot).removeRecursively();
    PageEntries entries;
    for (const QString &n : QDir(folder).entryList({"*.jpg"}, QDir::Files, QDir::Name))
        entries.push_back({n, 1, QFileInfo(folder + "/" + n).size(), FileAge(folder + "/" + n)});
    const AlbumFiles files{folder, std::make_shared<const PageEntries>(std::move(entries))};
    TOverView_Fm ov;
    ov.SetCacheRoot(cacheRoot);
    ov.SetAlbum(files);
    QElapsedTimer t;
    const double cpu = ProcessCpuSeconds();
    t.start();
    const bool ok = BuildToEnd(ov);
    best.Keep(t.nsecsElapsed() / 1e9, ProcessCpuSeconds() - cpu);
    if (!ok) std::fprintf(stderr, "BuildThumbnails failed\n");
}

// Small photo-like JPEGs (320 x 240), made once.
QString MakeSmallPictures(int count)
{
    const QString folder = QStringLiteral("/tmp/pagero-bench-small");
    QDir().mkpath(folder);
    for (int i = 0; i < count; ++i) {
        const QString path = folder + QString("/s%1.jpg").arg(i, 5, 10, QChar('0'));
        if (QFileInfo::exists(path)) continue;
        QImage image(320, 240, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, qRgb((x * 7 + i) & 255, (y * 5 + i * 3) & 255, ((x ^ y) + i) & 255));
        image.save(path, "JPEG", 85);
    }
    return folder;
}

// The GUI thread's CPU time per file for a cold build with the progress window shown.
double GuiThreadMsPerFile(const QString &folder, const QString &cacheRoot)
{
    QDir(cacheRoot).removeRecursively();
    PageEntries entries;
    for (const QString &n : QDir(folder).entryList({"*.jpg"}, QDir::Files, QDir::Name))
        entries.push_back({n, 1, QFileInfo(folder + "/" + n).size(), FileAge(folder + "/" + n)});
    const AlbumFiles files{folder, std::make_shared<const PageEntries>(std::move(entries))};
    TOverView_Fm ov;
    ov.SetCacheRoot(cacheRoot);
    ov.SetAlbum(files);
    ov.ShowThumbWindow = true;
    const double cpu = ThreadCpuSeconds();
    if (!BuildToEnd(ov)) std::fprintf(stderr, "BuildThumbnails failed\n");
    return (ThreadCpuSeconds() - cpu) * 1e3 / files.Count();
}

void TimeVips(const QStringList &paths, const QString &outDir, Timing &best)
{
    QDir(outDir).removeRecursively();
    QDir().mkpath(outDir);
    const qsizetype half = paths.size() / 2;
    QProcess a, b;
    const QStringList common = {"-s", "72x70", "-o", outDir + "/%s.jpg"};
    QElapsedTimer t;
    const double cpu = ChildrenCpuSeconds();
    t.start();
    a.start("vipsthumbnail", common + paths.mid(0, half));
    b.start("vipsthumbnail", common + paths.mid(half));
    a.waitForFinished(-1);
    b.waitForFinished(-1);
    best.Keep(t.nsecsElapsed() / 1e9, ChildrenCpuSeconds() - cpu);
    if (a.exitCode() != 0 || b.exitCode() != 0) std::fprintf(stderr, "vipsthumbnail failed\n");
}

// The bare loop: each file read whole and decoded at 1/8 scale. With `writeDir`, each decode is
// followed by writing a file of a 72 x 54 16-bit bitmap's size there, and the files are synced to
// disk once at the end, as a cache must.
void BareLoop(const QStringList &paths, int part, int parts, long *pixels, const QString &writeDir)
{
    const QByteArray dir = QFile::encodeName(writeDir);
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
        if (dir.isEmpty()) continue;
        const QByteArray name = dir + "/" + QByteArray::number(i) + ".bmp";
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0) continue;
        const size_t bytes = std::min(out.size(), size_t(66 + 72 * 54 * 2));
        if (::write(fd, out.data(), bytes) != ssize_t(bytes)) std::fprintf(stderr, "write failed\n");
        ::close(fd);
    }
    tjDestroy(h);
}

void TimeBare(const QStringList &paths, Timing &best, const QString &writeDir = QString())
{
    if (!writeDir.isEmpty()) QDir().mkpath(writeDir);
    long pixels[2] = {0, 0};
    QElapsedTimer t;
    const double cpu = ProcessCpuSeconds();
    t.start();
    std::thread a(BareLoop, std::cref(paths), 0, 2, &pixels[0], std::cref(writeDir));
    std::thread b(BareLoop, std::cref(paths), 1, 2, &pixels[1], std::cref(writeDir));
    a.join();
    b.join();
    // Written files are made durable once, as a cache must before its index names them.
    if (!writeDir.isEmpty() && !SyncFileSystemOf(writeDir)) std::fprintf(stderr, "sync failed\n");
    best.Keep(t.nsecsElapsed() / 1e9, ProcessCpuSeconds() - cpu);
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
    if (folder == QStringLiteral("small")) {   // only the GUI-thread figure
        const QString small = MakeSmallPictures(2000);
        double guiMs = 1e30;
        for (int r = 0; r < rounds; ++r) guiMs = std::min(guiMs, GuiThreadMsPerFile(small, "/tmp/pagero-bench-cache-small"));
        std::printf("  GUI thread, 2,000 small JPEGs, progress window shown: %.3f ms CPU per file\n", guiMs);
        return 0;
    }
    const QStringList paths = JpegsOf(folder);
    if (paths.isEmpty()) {
        std::fprintf(stderr, "no JPEGs in %s; run bench/overview/make_photos.sh first\n", qPrintable(folder));
        return 1;
    }
    const bool haveVips = !QStandardPaths::findExecutable("vipsthumbnail").isEmpty();
    WarmPageCache(paths);

    // Each round writes into folders of its own, made fresh: ext4 skips the inodes it freed in the
    // last minute (five when their table is not yet on disk) whenever it makes a file, one by one, so
    // creating files just after thousands were deleted costs many times what a user's first opening
    // of an album meets. Folders left by an earlier run are removed first, then the run waits out
    // that minute; this run's folders are left for the next run to remove.
    const auto roundFolder = [](const char *base, int r) { return QString("%1-%2").arg(base).arg(r); };
    bool removed = false;
    for (int r = 0; r < 64; ++r)
        for (const char *base : {"/tmp/pagero-bench-cache", "/tmp/pagero-bench-vips", "/tmp/pagero-bench-bare"})
            if (QFileInfo::exists(roundFolder(base, r)))
                removed = QDir(roundFolder(base, r)).removeRecursively() || removed;
    if (removed) {
        std::printf("(removed the last run's folders; waiting 65 s until ext4 reuses their inodes)\n");
        std::fflush(stdout);
        ::sync();
        ::sleep(65);
    }
    // The cache also once in memory (/dev/shm), where the cost of the program alone shows beside
    // the bare loop; and the bare loop once more writing a file per picture to the disk.
    const bool haveShm = QFileInfo(QStringLiteral("/dev/shm")).isWritable();
    Timing pagero, pageroShm, vips, bare, bareWriting;
    for (int r = 0; r < rounds; ++r) {
        TimeBare(paths, bare);
        TimePagero(folder, roundFolder("/tmp/pagero-bench-cache", r), pagero);
        if (haveShm) {
            TimePagero(folder, roundFolder("/dev/shm/pagero-bench-cache", r), pageroShm);
            QDir(roundFolder("/dev/shm/pagero-bench-cache", r)).removeRecursively();
        }
        TimeBare(paths, bareWriting, roundFolder("/tmp/pagero-bench-bare", r));
        if (haveVips) TimeVips(paths, roundFolder("/tmp/pagero-bench-vips", r), vips);
    }
    const double n = paths.size();
    auto line = [n](const char *what, const Timing &t) {
        std::printf("  %-33s %7.2f s wall %7.1f images/s | %7.2f s CPU %6.1f ms CPU/image\n", what, t.wall, n / t.wall,
                    t.cpu, t.cpu * 1e3 / n);
    };
    std::printf("Cold-cache thumbnails of %d JPEGs in %s (best of %d rounds, 2 threads / processes)\n",
                int(n), qPrintable(folder), rounds);
    line("pagero BuildThumbnails", pagero);
    if (haveShm) line("pagero, cache in /dev/shm", pageroShm);
    if (haveVips)
        line("vipsthumbnail -s 72x70 (2 proc)", vips);
    else
        std::printf("  vipsthumbnail: not installed (Debian libvips-tools)\n");
    line("bare libjpeg-turbo 1/8 (2 thr)", bare);
    line("bare loop + files written, 1 sync", bareWriting);
    if (haveVips)
        std::printf("  pagero / vipsthumbnail speed: %.2f wall, %.2f CPU\n", vips.wall / pagero.wall, vips.cpu / pagero.cpu);
    std::printf("  pagero / bare loop speed:     %.2f wall, %.2f CPU\n", bare.wall / pagero.wall, bare.cpu / pagero.cpu);
    if (haveShm)
        std::printf("  pagero in /dev/shm / bare loop speed: %.2f wall, %.2f CPU\n", bare.wall / pageroShm.wall,
                    bare.cpu / pageroShm.cpu);
    std::printf("  pagero / bare loop writing files speed: %.2f wall, %.2f CPU\n", bareWriting.wall / pagero.wall,
                bareWriting.cpu / pagero.cpu);

    const QString small = MakeSmallPictures(2000);
    double guiMs = 1e30;
    for (int r = 0; r < rounds; ++r) guiMs = std::min(guiMs, GuiThreadMsPerFile(small, "/tmp/pagero-bench-cache-small"));
    std::printf("  GUI thread, 2,000 small JPEGs, progress window shown: %.3f ms CPU per file\n", guiMs);
    return 0;
}
