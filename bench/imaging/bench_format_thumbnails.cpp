// Cold thumbnails (72 x 70) of every picture in a folder through the imaging facade on two threads,
// beside vipsthumbnail on the same files (two processes, each over half of the folder), in the same
// run. For JPEG folders it also prints what reading the orientation tag costs per file against the
// whole thumbnail decode. For camera RAW folders with a preview it adds the preview extractor's way,
// exiftool piped into vipsthumbnail, once per file (its start-up counted each time, as a file
// manager calling it would) and batched (one exiftool per lane writing every preview, then
// vipsthumbnail over those); without a preview, LibRaw's own half-size developer dcraw_emu piped
// into vipsthumbnail (vipsthumbnail alone would only read the undeveloped mosaic).
// With "cold" as third argument the files are dropped from the page cache before every timed pass,
// so each reads from the disk as on a folder's first opening after a restart.
// Usage: bench_format_thumbnails folder [rounds] [cold]   (folders made by make_files.sh, make_raw_files.sh)
#include "platform/imaging/Decoders.h"
#include "platform/imaging/Imaging.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace pagero;

namespace {

// Asks the kernel to forget the files' cached pages (they are clean, so this only drops them).
void DropFromPageCache(const QStringList &files)
{
    for (const QString &f : files) {
        const int fd = ::open(QFile::encodeName(f).constData(), O_RDONLY);
        if (fd < 0) continue;
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
}

double FacadeSeconds(const QStringList &files)
{
    std::atomic<int> next{0}, failures{0};
    QElapsedTimer clock;
    clock.start();
    const auto work = [&] {
        for (int i = next++; i < files.size(); i = next++)
            if (!imaging::Load(files[i], QSize(72, 70)).ok()) ++failures;
    };
    std::thread a(work), b(work);
    a.join();
    b.join();
    if (failures) std::printf("  (%d files failed to decode)\n", failures.load());
    return clock.nsecsElapsed() / 1e9;
}

double VipsSeconds(const QStringList &files, const QString &outDir)
{
    const qsizetype half = files.size() / 2;
    const QStringList parts[2] = {files.mid(0, half), files.mid(half)};
    QElapsedTimer clock;
    clock.start();
    QProcess p[2];
    for (int i = 0; i < 2; ++i) {
        QStringList args{"-s", "72x70", "-o", outDir + "/%s.v.bmp"};
        p[i].start("vipsthumbnail", args + parts[i]);
    }
    for (QProcess &proc : p) proc.waitForFinished(-1);
    return clock.nsecsElapsed() / 1e9;
}

// Two shells in parallel, each running script over half of the files with its own output folder
// as $1; the rest of the arguments are the files.
double LaneSeconds(const QStringList &files, const QString &outDir, const QString &script)
{
    const qsizetype half = files.size() / 2;
    const QStringList parts[2] = {files.mid(0, half), files.mid(half)};
    QElapsedTimer clock;
    clock.start();
    QProcess p[2];
    for (int i = 0; i < 2; ++i) {
        const QString lane = outDir + QStringLiteral("/lane%1").arg(i);
        QDir().mkpath(lane);
        p[i].setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p[i].start("sh", QStringList{"-c", script, "sh", lane} + parts[i]);
    }
    for (QProcess &proc : p) proc.waitForFinished(-1);
    return clock.nsecsElapsed() / 1e9;
}

const QString kExiftoolPerFile = QStringLiteral(
    "out=$1; shift; for f; do exiftool -b -PreviewImage \"$f\" | "
    "vipsthumbnail stdin -s 72x70 -o \"$out/${f##*/}.e.bmp\"; done");
const QString kExiftoolBatched = QStringLiteral(
    "out=$1; shift; exiftool -q -b -PreviewImage -w! \"$out/%f.jpg\" \"$@\" && "
    "vipsthumbnail -s 72x70 -o \"$out/%s.b.bmp\" \"$out\"/*.jpg");
const QString kDcrawPerFile = QStringLiteral(
    "out=$1; shift; for f; do dcraw_emu -w -h -Z - \"$f\" | "
    "vipsthumbnail stdin -s 72x70 -o \"$out/${f##*/}.d.bmp\"; done");

bool IsCameraRaw(const QString &file)
{
    return file.endsWith(".dng", Qt::CaseInsensitive);
}

bool HasPreview(const QString &file)
{
    QProcess exiftool;
    exiftool.start("exiftool", {"-b", "-PreviewImage", file});
    exiftool.waitForFinished(-1);
    return exiftool.readAllStandardOutput().startsWith("\xff\xd8");
}

// Per file: the marker walk and EXIF parse the JPEG path adds for orientation, in microseconds.
double OrientationMicroseconds(const QStringList &files)
{
    std::vector<QByteArray> bytes;
    for (const QString &f : files) {
        QFile file(f);
        if (file.open(QIODevice::ReadOnly)) bytes.push_back(file.readAll());
    }
    QElapsedTimer clock;
    clock.start();
    int sum = 0;
    constexpr int kRepeats = 20;
    for (int r = 0; r < kRepeats; ++r) {
        for (const QByteArray &b : bytes) {
            imaging::detail::JpegScanner scan(true);
            scan.Feed(b);
            if (scan.exifOffset() >= 0)
                sum += imaging::detail::ExifOrientation(b.constData() + scan.exifOffset(), scan.exifLength());
        }
    }
    if (sum < 0) std::printf("%d", sum);
    return clock.nsecsElapsed() / 1e3 / (kRepeats * double(bytes.size()));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s folder [rounds]\n", argv[0]);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    const int rounds = argc > 2 ? std::max(1, atoi(argv[2])) : 3;
    const bool cold = argc > 3 && QByteArray(argv[3]) == "cold";
    QStringList files;
    for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) files << dir.filePath(name);
    if (files.isEmpty()) return 2;
    QTemporaryDir out;

    const bool raw = IsCameraRaw(files.first());
    const bool preview = raw && HasPreview(files.first());
    double facade = 1e30, vips = 1e30, perFile = 1e30, batched = 1e30;
    const auto timed = [&](double &best, const auto &pass) {
        if (cold) DropFromPageCache(files);
        best = std::min(best, pass());
    };
    for (int r = 0; r < rounds; ++r) {   // alternating, the best round of each counts
        timed(facade, [&] { return FacadeSeconds(files); });
        if (raw && !preview) {
            timed(perFile, [&] { return LaneSeconds(files, out.path(), kDcrawPerFile); });
            continue;
        }
        timed(vips, [&] { return VipsSeconds(files, out.path()); });
        if (preview) {
            timed(perFile, [&] { return LaneSeconds(files, out.path(), kExiftoolPerFile); });
            timed(batched, [&] { return LaneSeconds(files, out.path(), kExiftoolBatched); });
        }
    }
    const auto line = [&](const char *what, double seconds) {
        std::printf("  %s: %.3f s (%.1f files/s), Pagero %.2fx as fast\n", what, seconds, files.size() / seconds,
                    seconds / facade);
    };
    std::printf("%s: %lld files%s\n", qPrintable(dir.path()), qlonglong(files.size()),
                cold ? ", read from the disk each pass" : "");
    std::printf("  imaging facade, 2 threads: %.3f s (%.1f files/s)\n", facade, files.size() / facade);
    if (raw && !preview) {
        line("dcraw_emu -w -h | vipsthumbnail stdin, per file, 2 lanes", perFile);
    } else {
        std::printf("  vipsthumbnail, 2 processes: %.3f s (%.1f files/s)\n", vips, files.size() / vips);
        std::printf("  speed against vipsthumbnail: %.2fx\n", vips / facade);
        if (preview) {
            line("exiftool -b -PreviewImage | vipsthumbnail stdin, per file, 2 lanes", perFile);
            line("exiftool -w, then vipsthumbnail, batched, 2 lanes", batched);
        }
    }
    if (files.first().endsWith(".jpg", Qt::CaseInsensitive)) {
        const double perFile = facade * 2 / files.size() * 1e6;   // thread-microseconds per thumbnail
        const double orientation = OrientationMicroseconds(files);
        std::printf("  orientation tag: %.1f us per file, %.2f %% of a thumbnail (%.0f us)\n", orientation,
                    100.0 * orientation / perFile, perFile);
    }
    return 0;
}
