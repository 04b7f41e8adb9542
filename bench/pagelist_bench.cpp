// Building the album page list of folders of 1,000 and 10,000 files: prints both times and their
// ratio, which must stay at most 12 (cost growing about linearly with the number of files).
#include "core/book/PageList.h"

#include <QElapsedTimer>
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

// Median of several builds, in milliseconds.
double MedianBuildMs(const QString &folder, int order, int runs, int &count)
{
    std::vector<double> ms;
    for (int r = 0; r < runs; ++r) {
        pagero::PageList list;
        QElapsedTimer timer;
        timer.start();
        list.Build(folder, pagero::kDefaultFilterMask, order, [](int) {});
        ms.push_back(timer.nsecsElapsed() / 1e6);
        count = list.Count();
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

} // namespace

int main()
{
    QTemporaryDir small, large;
    Fill(small.path(), 1000);
    Fill(large.path(), 10000);
    const struct { int order; const char *name; } orders[] = {
        {pagero::SortByName, "by name"}, {pagero::SortByType, "by type"},
        {pagero::SortBySize, "by size"}, {pagero::SortByDate, "by date"}};
    double worstRatio = 0;
    for (const auto &o : orders) {
        int n1 = 0, n2 = 0;
        const double t1 = MedianBuildMs(small.path(), o.order, 15, n1);
        const double t2 = MedianBuildMs(large.path(), o.order, 7, n2);
        const double ratio = t2 / t1;
        worstRatio = std::max(worstRatio, ratio);
        std::printf("page list %-8s  1,000 files (%d pages): %8.2f ms   10,000 files (%d pages): %8.2f ms   ratio %.2f\n",
                    o.name, n1, t1, n2, t2, ratio);
    }
    std::printf("worst ratio %.2f (limit 12): %s\n", worstRatio, worstRatio <= 12 ? "ok" : "TOO HIGH");
    return worstRatio <= 12 ? 0 : 1;
}
