// Zooming into a 6000 x 4000 JPEG page in a 1920 x 1080 view, step by step from the page's scale to
// full resolution. Per step: the decode the zoom asks for (the scaled decode at the step's size)
// against the naive full decode then resample, and djpeg at the DCT scale the step needs, in the
// same run; then the paint of the zoomed view, with the step's own decode and with the previous
// step's picture scaled up (what shows until the decode arrives), against the 16 ms frame budget.
#include "app/PageZoomView.h"
#include "bench/PainterBenchTiming.h"
#include "platform/imaging/Imaging.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>

using namespace pagero;

namespace {

// Gradients, sharp-edged blocks, fine texture and noise: compresses like a camera photo.
QImage PhotoLike(QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    QRandomGenerator rng(7);
    for (int y = 0; y < size.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int n = int(rng.bounded(12u)) - 6, texture = ((x / 3 + y / 5) % 7) * 3;
            line[x] = qRgb(std::clamp(x * 200 / size.width() + texture + n, 0, 255),
                           std::clamp(y * 200 / size.height() + n + 30, 0, 255),
                           std::clamp(((x / 250 + y / 250) % 2) * 120 + 60 + texture + n, 0, 255));
        }
    }
    return img;
}

// The smallest DCT scale (n/8) whose picture covers `need`, as djpeg is asked for it.
int DctEighths(QSize original, QSize need)
{
    for (int n = 1; n < 8; ++n)
        if ((original.width() * n + 7) / 8 >= need.width() && (original.height() * n + 7) / 8 >= need.height())
            return n;
    return 8;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath("photo.jpg");
    const QSize original(6000, 4000);
    if (!PhotoLike(original).save(path, "JPG", 90)) return 1;
    const bool haveDjpeg = QProcess::execute("sh", {"-c", "command -v djpeg >/dev/null"}) == 0;

    const QSize viewSize(1920, 1080);
    QWidget area;
    area.resize(viewSize);
    PageZoomView view(&area);
    view.setGeometry(area.rect());
    PageZoom &zoom = view.Zoom();
    // A full-HD book page shows the picture about 860 x 573.
    zoom.Start(original, QRectF(1000, 200, 860, 573), QSizeF(viewSize), 1.0);
    QImage frame(viewSize, QImage::Format_RGB32);
    const auto paint = [&] { view.render(&frame); };

    std::printf("page zoom of a 6000 x 4000 JPEG in a 1920 x 1080 view (medians of 5; ms wall / cpu)\n");
    std::printf("%6s %12s %18s %18s %10s %16s %16s\n", "scale", "decode", "scaled decode", "full+resample",
                "djpeg", "paint sharp", "paint scaled-up");
    QImage previous = imaging::Load(path, zoom.DecodeSize(1.0, 64'000'000)).image;
    const QPointF centre(viewSize.width() / 2.0, viewSize.height() / 2.0);
    while (zoom.ZoomBy(1, centre)) {
        const QSize need = zoom.DecodeSize(1.0, 64'000'000);
        QImage sharp;
        const auto scaled = bench::TimeRuns(5, [&] { sharp = imaging::Load(path, need).image; });
        const auto naive = bench::TimeRuns(3, [&] {
            const QImage full = imaging::Load(path).image;
            (void)full.scaled(need, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        });
        double djpegMs = 0;
        if (haveDjpeg) {
            const QString scale = QString("%1/8").arg(DctEighths(original, need));
            const auto t = bench::TimeRuns(3, [&] {
                QProcess::execute("djpeg", {"-scale", scale, "-outfile", "/dev/null", path});
            });
            djpegMs = bench::Median(t.wallMs);
        }
        view.SetPicture(sharp);
        const auto paintSharp = bench::TimeRuns(5, paint);
        view.SetPicture(previous);
        const auto paintScaledUp = bench::TimeRuns(5, paint);
        std::printf("%6.3f %5d x %-5d %8.1f / %-7.1f %8.1f / %-7.1f %10.1f %7.1f / %-7.1f %7.1f / %-7.1f\n",
                    zoom.Scale(), need.width(), need.height(), bench::Median(scaled.wallMs),
                    bench::Median(scaled.cpuMs), bench::Median(naive.wallMs), bench::Median(naive.cpuMs), djpegMs,
                    bench::Median(paintSharp.wallMs), bench::Median(paintSharp.cpuMs),
                    bench::Median(paintScaledUp.wallMs), bench::Median(paintScaledUp.cpuMs));
        previous = sharp;
    }
    if (!haveDjpeg) std::printf("(djpeg not installed: Debian libjpeg-turbo-progs)\n");
    return 0;
}
