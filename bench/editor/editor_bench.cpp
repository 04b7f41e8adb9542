// The image editor on a 6000 x 4000 photo:
//  1. live previews: each slider preview works on the copy fitted into 1920 x 1080, as the editor
//     makes it once per dialog; the figure is the median of 7 previews (goal: under 50 ms);
//  2. applying to the whole picture, like with like against /usr/bin/convert: the editor's figure
//     is decode + operation + JPEG encode at quality 90 (4:4:4), exactly what convert does for
//     "convert in.jpg <op> -quality 90 -sampling-factor 1x1 out.jpg"; the operation alone is shown too.
// Usage: editor_bench [photo.jpg|-] [quick]   (without a photo, or with "-", a 6000 x 4000 photo-like
// JPEG is made; "quick" skips the whole-picture sharpen and median, which take minutes)
#include "editor/OrvLead_Fm.h"
#include "platform/imaging/Imaging.h"
#include "platform/imaging/Operations.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

using namespace pagero;
using namespace pagero::imaging;

namespace {

struct Op {
    const char *name;
    std::function<bool(QImage &)> run;
    QStringList convertArgs;
};

double MedianMs(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double Ms(const std::function<void()> &work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    return clock.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const bool make = argc <= 1 || QString::fromLocal8Bit(argv[1]) == "-";
    const bool quick = argc > 2 && QString::fromLocal8Bit(argv[2]) == "quick";
    const QString photo = make ? dir.filePath("photo.jpg") : QString::fromLocal8Bit(argv[1]);
    if (make) {
        std::printf("making a 6000 x 4000 photo...\n");
        QProcess::execute("/usr/bin/convert", {"-size", "1500x1000", "-seed", "3", "plasma:", "-blur", "0x1",
                                               "-resize", "6000x4000!", "-attenuate", "0.3", "+noise", "Gaussian",
                                               "-quality", "90", photo});
    }
    const LoadResult loaded = Load(photo);
    if (!loaded.ok()) {
        std::printf("cannot load %s\n", qPrintable(photo));
        return 1;
    }
    const QImage picture = loaded.image.convertToFormat(QImage::Format_RGB32);
    std::printf("picture %dx%d\n", picture.width(), picture.height());

    const Op ops[] = {
        {"brightness +30%", [](QImage &i) { return ChangeIntensity(i, 300); }, {"-brightness-contrast", "30x0"}},
        {"hue 90", [](QImage &i) { return ChangeHue(i, 90); }, {"-modulate", "100,100,150"}},
        {"gamma 2.2", [](QImage &i) { return GammaCorrect(i, 220); }, {"-gamma", "2.2"}},
        {"sharpen +50%", [](QImage &i) { return Sharpen(i, 500); }, {"-unsharp", "0x1+1+0"}},
        {"median 5", [](QImage &i) { return MedianFilter(i, 5); }, {"-statistic", "Median", "5x5"}},
    };

    double scale = 1;
    QImage base;
    const double copyMs = Ms([&] { base = editor::PreviewCopyOf(picture, QSize(1920, 1080), &scale); });
    std::printf("\npreview copy %dx%d made once per dialog in %.1f ms\n", base.width(), base.height(), copyMs);
    // Wall-clock time, and the process's CPU time over all threads (steadier on a shared machine; on
    // idle cores the wall time is about the CPU time divided by the cores).
    std::printf("%-18s %12s %12s\n", "preview", "median ms", "CPU ms");
    for (const Op &op : ops) {
        std::vector<double> times, cpu;
        for (int i = 0; i < 7; ++i) {
            QImage copy = base;
            const std::clock_t before = std::clock();
            times.push_back(Ms([&] { op.run(copy); }));
            cpu.push_back(double(std::clock() - before) * 1000.0 / CLOCKS_PER_SEC);
        }
        std::printf("%-18s %12.1f %12.1f\n", op.name, MedianMs(times), MedianMs(cpu));
    }

    std::printf("\n%-18s %14s %14s %16s\n", "whole picture", "op only ms", "editor ms", "convert ms");
    const int qualityFactor = 28;   // JPEG quality 90
    for (const Op &op : ops) {
        if (quick && (op.name[0] == 's' || op.name[0] == 'm')) continue;
        QImage copy = picture;
        const double opOnly = Ms([&] { op.run(copy); });
        const double mine = Ms([&] {
            const LoadResult l = Load(photo);
            QImage image = l.image.convertToFormat(QImage::Format_RGB32);
            op.run(image);
            SaveBitmap(image, dir.filePath("mine.jpg"), 10, 24, qualityFactor);
        });
        QStringList args{photo};
        args << op.convertArgs << "-quality" << "90" << "-sampling-factor" << "1x1" << dir.filePath("theirs.jpg");
        const double theirs = Ms([&] { QProcess::execute("/usr/bin/convert", args); });
        std::printf("%-18s %14.0f %14.0f %16.0f\n", op.name, opOnly, mine, theirs);
    }
    return 0;
}
