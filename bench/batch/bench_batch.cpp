// Batch resize and rotate of a folder of large JPEGs through the program's batch steps, beside the
// public tools doing the same job in the same run with the same number of processes:
//   resize to 1600 x 1067 (JPEG quality 92)  vs  `vips resize in out[Q=92] 0.2666667`
//   rotate by 90 degrees (lossless)          vs  `jpegtran -rotate 90 -copy all`
// Every run works on fresh copies of the files; copying is not timed. The program's steps replace
// each file in place through the atomic writer (with its sync); the tools write new files.
// Usage: bench_batch folder [workers] [scratch]   (folder: bench/overview/make_photos.sh with COPIES=5
// gives 100 photo-like 6000 x 4000 JPEGs). The copies go to `scratch` (default: a temporary folder);
// on a busy disk the writes dominate both sides, and a tmpfs such as /dev/shm shows the work itself.
#include "commands/BatchWork.h"
#include "core/batch/SizeFactors.h"
#include "platform/imaging/Imaging.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

using namespace pagero;

namespace {

QStringList FreshCopies(const QStringList &files, const QString &dir)
{
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    QStringList out;
    for (const QString &f : files) {
        const QString copy = dir + '/' + QFileInfo(f).fileName();
        QFile::copy(f, copy);
        out << copy;
    }
    return out;
}

// The program's batch steps over the files through the batch runner on `workers` threads.
double StepsSeconds(const BatchJob &job, int workers)
{
    BatchRunner runner;
    QEventLoop loop;
    QObject::connect(&runner, &BatchRunner::BatchFinished, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    runner.Start(int(job.files.size()), [&job](int i) { return RunBatchStep(job, i); }, workers);
    loop.exec();
    const double seconds = clock.nsecsElapsed() / 1e9;
    int failures = 0;
    for (const BatchOutcome &o : runner.Outcomes()) failures += o.kind != BatchOutcome::Done;
    if (failures) std::printf("  (%d files failed)\n", failures);
    return seconds;
}

// A tool run once per file, on `workers` lanes of processes.
double ToolSeconds(const QStringList &files, int workers, const std::function<QStringList(const QString &)> &command)
{
    std::atomic<int> next{0}, failures{0};
    QElapsedTimer clock;
    clock.start();
    std::vector<std::thread> lanes;
    for (int w = 0; w < workers; ++w)
        lanes.emplace_back([&] {
            for (int i = next++; i < files.size(); i = next++) {
                QStringList args = command(files[i]);
                const QString program = args.takeFirst();
                QProcess p;
                p.start(program, args);
                if (!p.waitForFinished(-1) || p.exitCode() != 0) ++failures;
            }
        });
    for (std::thread &t : lanes) t.join();
    if (failures) std::printf("  (%d tool runs failed)\n", failures.load());
    return clock.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_batch folder [workers] [scratch]\n");
        return 2;
    }
    QDir folder(QString::fromLocal8Bit(argv[1]));
    QStringList files;
    for (const QString &name : folder.entryList({"*.jpg"}, QDir::Files, QDir::Name)) files << folder.filePath(name);
    const int workers = argc > 2 ? std::max(1, atoi(argv[2])) : std::max(1, QThread::idealThreadCount());
    if (files.isEmpty()) return 2;
    const QSize size = imaging::PictureSize(files.first());
    std::printf("%lld files of %d x %d, %d workers / processes\n", qlonglong(files.size()), size.width(), size.height(), workers);

    QTemporaryDir scratch(argc > 3 ? QString::fromLocal8Bit(argv[3]) + "/bench_batch-XXXXXX" : QString());
    const QString ours = scratch.filePath("ours"), theirs = scratch.filePath("theirs");

    BatchJob resize;
    resize.kind = BatchKind::Resize;
    resize.widthBar = SizeBarPositionFor(1600, size.width());
    resize.heightBar = SizeBarPositionFor(1067, size.height());
    resize.files = FreshCopies(files, ours);
    const double ourResize = StepsSeconds(resize, workers);
    std::printf("resize to %d x %d: batch steps %.2f s", ScaledSide(resize.widthBar, size.width()),
                ScaledSide(resize.heightBar, size.height()), ourResize);
    const QStringList vipsFiles = FreshCopies(files, theirs);
    const QString scale = QString::number(1600.0 / size.width(), 'f', 7);
    const double vipsResize = ToolSeconds(vipsFiles, workers, [&](const QString &f) {
        return QStringList{"vips", "resize", f, f + ".out.jpg[Q=92]", scale};
    });
    std::printf(", vips resize %.2f s (%.2fx)\n", vipsResize, vipsResize / ourResize);

    BatchJob rotate;
    rotate.kind = BatchKind::Rotate;
    rotate.angle = 90;
    rotate.files = FreshCopies(files, ours);
    const double ourRotate = StepsSeconds(rotate, workers);
    std::printf("rotate by 90: batch steps %.2f s", ourRotate);
    const QStringList jpegtranFiles = FreshCopies(files, theirs);
    const double jpegtran = ToolSeconds(jpegtranFiles, workers, [](const QString &f) {
        return QStringList{"jpegtran", "-rotate", "90", "-copy", "all", "-outfile", f + ".out.jpg", f};
    });
    std::printf(", jpegtran %.2f s (%.2fx)\n", jpegtran, jpegtran / ourRotate);
    return 0;
}
