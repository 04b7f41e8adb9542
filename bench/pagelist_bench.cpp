// Building the album page list of folders of 1,000 and 10,000 files: prints both times and their
// ratio, which must stay at most 12 (cost growing about linearly with the number of files).
//
// Times are CPU time (user and kernel): on a shared machine a 20 ms run is nearly always
// preempted while a 2 ms run rarely is, which would skew a wall-clock ratio. Wall-clock medians are
// printed beside them. The builds of the two folders alternate, and the best of 25 runs is taken.
#include "core/book/PageList.h"

#include <QElapsedTimer>
#include <ctime>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Names in scrambled order with mixed extension case, so the name and type sorts have work to do.
void Fill(const QString &folder, int count)
{
    const char *exts[] = {".jpg", ".JPG", ".bmp", ".png", ".gif", ".wav", ".tif", ".txt"};
    for (int i = 0; i < count; ++i) {
        const int scrambled = int((qint64(i) * 7919) % count);
        QFile f(QStringLiteral("%1/Photo_%2%3").arg(folder).arg(scrambled, 6, 10, QLatin1Char('0'))
                    .arg(QLatin1String(exts[i % 8])));
        if (!f.open(QIODevice::WriteOnly)) std::exit(1);
        f.write(QByteArray(i % 97, 'x'));
    }
}

// The process's CPU time; the benchmark runs on one thread, so this is the builds' own time.
double CpuMs()
{
    return double(std::clock()) * 1000.0 / CLOCKS_PER_SEC;
}

struct Stats {
    std::vector<double> ms, wall;
    double Best() { std::sort(ms.begin(), ms.end()); return ms.front(); }
    double WallMedian() { std::sort(wall.begin(), wall.end()); return wall[wall.size() / 2]; }
    void Build(const QString &folder, int order, int &count)
    {
        pagero::PageList list;
        QElapsedTimer timer;
        timer.start();
        const double cpu0 = CpuMs();
        list.Build(folder, pagero::kDefaultFilterMask, order, [](int) {});
        ms.push_back(CpuMs() - cpu0);
        wall.push_back(timer.nsecsElapsed() / 1e6);
        count = list.Count();
    }
};

} // namespace

int main()
{
    QTemporaryDir small, large;
    Fill(small.path(), 1000);
    Fill(large.path(), 10000);

    const struct { int order; const char *name; } orders[] = {
        {pagero::SortByName, "by name"}, {pagero::SortByType, "by type"},
        {pagero::SortBySize, "by size"}, {pagero::SortByDate, "by date"}};
    double worst = 0;
    for (const auto &o : orders) {
        Stats one, ten;
        int n1 = 0, n2 = 0;
        for (int run = 0; run < 25; ++run) {
            one.Build(small.path(), o.order, n1);
            ten.Build(large.path(), o.order, n2);
        }
        const double ratio = ten.Best() / one.Best();
        worst = std::max(worst, ratio);
        std::printf("page list %-7s 1,000 files (%d pages): %6.2f ms CPU (wall median %6.2f) | "
                    "10,000 files (%d pages): %6.2f ms CPU (wall median %6.2f) | ratio %.2f\n",
                    o.name, n1, one.Best(), one.WallMedian(), n2, ten.Best(), ten.WallMedian(), ratio);
    }
    std::printf("worst ratio 10,000 / 1,000 files: %.2f (limit 12): %s\n", worst, worst <= 12 ? "ok" : "TOO HIGH");
    return worst <= 12 ? 0 : 1;
}
