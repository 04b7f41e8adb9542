// Copying photos into another folder: CopyFileTo (temporary file, size check, rename) against
// `cp --preserve=timestamps` over the same files in the same run, both without a flush to disk, then
// CopyFileTo with its flush (what the copy commands use). Usage: file_transfer_bench [files] [MB each]
// (default 40 files of 8 MB, in a temporary folder beside the system's temporary files).
#include "core/common/FileTransfer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

using namespace pagero;

namespace {

double CopyAll(const QStringList &files, const QString &to, bool durable)
{
    QDir(to).removeRecursively();
    QDir().mkpath(to);
    QElapsedTimer clock;
    clock.start();
    for (const QString &f : files) {
        const TransferResult r = CopyFileTo(f, to + '/' + QFileInfo(f).fileName(), {ExistingTarget::Replace, durable});
        if (!r) {
            std::fprintf(stderr, "%s\n", qPrintable(r.text));
            std::exit(1);
        }
    }
    return clock.nsecsElapsed() / 1e6;
}

double CpAll(const QStringList &files, const QString &to)
{
    QDir(to).removeRecursively();
    QDir().mkpath(to);
    QElapsedTimer clock;
    clock.start();
    QProcess cp;
    cp.start("cp", QStringList{"--preserve=timestamps"} + files + QStringList{to});
    if (!cp.waitForFinished(-1) || cp.exitCode() != 0) std::exit(1);
    return clock.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 40;
    const int mb = argc > 2 ? std::atoi(argv[2]) : 8;
    QTemporaryDir dir;
    QStringList files;
    QByteArray block(mb << 20, Qt::Uninitialized);
    for (char &c : block) c = char(QRandomGenerator::global()->generate());
    for (int i = 0; i < count; ++i) {
        files << dir.filePath(QStringLiteral("photo%1.jpg").arg(i, 4, 10, QLatin1Char('0')));
        QFile f(files.last());
        block[0] = char(i);
        if (!f.open(QIODevice::WriteOnly) || f.write(block) != block.size()) return 1;
    }
    const double totalMb = double(count) * mb;
    // Alternate the two a few times and keep the best of each (a shared machine's noise only adds).
    double best = 1e18, bestCp = 1e18;
    for (int round = 0; round < 3; ++round) {
        best = std::min(best, CopyAll(files, dir.filePath("a"), false));
        bestCp = std::min(bestCp, CpAll(files, dir.filePath("b")));
    }
    const double durable = CopyAll(files, dir.filePath("c"), true);
    std::printf("%d files of %d MB\n", count, mb);
    std::printf("CopyFileTo, no flush:   %8.1f ms  %7.1f MB/s\n", best, totalMb / best * 1000);
    std::printf("cp -p:                  %8.1f ms  %7.1f MB/s  (ratio %.2f)\n", bestCp, totalMb / bestCp * 1000,
                best / bestCp);
    std::printf("CopyFileTo, each flushed: %6.1f ms  %7.1f MB/s\n", durable, totalMb / durable * 1000);
    return 0;
}
