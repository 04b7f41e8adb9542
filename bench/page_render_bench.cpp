// Rendering one file page of a 6000 x 4000 photo into a full-HD page: the painter's way (the decoder
// drops resolution the page cannot show, then a final resample) against the naive way (full-size
// decode, then resample to the page), in the same run, for a baseline JPEG, a progressive JPEG and a
// PNG. For the baseline JPEG the painter must cost under 0.45 of the naive way; the other two are
// reported (they are what the pictures decoded ahead hide).
#include "app/BookPainter.h"
#include "app/PageRenderer.h"
#include "core/common/MyLib.h"
#include "bench/PainterBenchTiming.h"

#include <QApplication>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>
#include <turbojpeg.h>

using namespace pagero;

namespace {

// A photo-like picture: smooth gradients, shapes with sharp edges, fine texture and sensor-like
// noise, which compresses to about the size of a camera's 24-megapixel photo.
QImage PhotoLike(QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    QRandomGenerator rng(7);
    for (int y = 0; y < size.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int n = int(rng.bounded(12u)) - 6;
            const int texture = ((x / 3 + y / 5) % 7) * 3;
            line[x] = qRgb(std::clamp(x * 200 / size.width() + texture + n, 0, 255),
                           std::clamp(y * 200 / size.height() + n + 30, 0, 255),
                           std::clamp(((x / 250 + y / 250) % 2) * 120 + 60 + texture + n, 0, 255));
        }
    }
    return img;
}

// The decoder alone, full size and at the scale the page needs, for the record.
void PrintDecodeFloor(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    const QByteArray bytes = f.readAll();
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.constData());
    tjhandle tj = tjInitDecompress();
    for (int denom : {1, 2, 4, 8}) {
        const int w = (6000 + denom - 1) / denom, h = (4000 + denom - 1) / denom;
        std::vector<unsigned char> out(size_t(w) * h * 4);
        const auto t = bench::TimeRuns(3, [&] { tjDecompress2(tj, data, bytes.size(), out.data(), w, w * 4, h, TJPF_BGRX, 0); });
        std::printf("  decode 1/%d (%d x %d): wall median %.1f ms, cpu median %.1f ms\n", denom, w, h,
                    bench::Median(t.wallMs), bench::Median(t.cpuMs));
    }
    tjDestroy(tj);
}

// Full-size decode (JPEG with the same JPEG library, PNG through Qt), then a smooth resample to the
// fitted size.
QImage NaivePage(const QString &path, const BookGeometry &geo, int page)
{
    QImage full;
    if (path.endsWith(QLatin1String(".png"))) {
        full = QImageReader(path).read();
    } else {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        const QByteArray bytes = f.readAll();
        tjhandle tj = tjInitDecompress();
        int w = 0, h = 0, sub = 0, cs = 0;
        tjDecompressHeader3(tj, reinterpret_cast<const unsigned char *>(bytes.constData()), bytes.size(), &w, &h, &sub,
                            &cs);
        full = QImage(w, h, QImage::Format_RGB32);
        tjDecompress2(tj, reinterpret_cast<const unsigned char *>(bytes.constData()), bytes.size(), full.bits(), w,
                      int(full.bytesPerLine()), h, TJPF_BGRX, 0);
        tjDestroy(tj);
    }
    const int w = full.width(), h = full.height();

    const QRect content = geo.contentLocal(page);
    int bw = content.right() - content.left(), bh = content.bottom() - content.top();
    FitInBox(w, h, bw, bh);
    const QImage fitted = full.scaled(bw, bh, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QImage pageImage(geo.pageImageSize(), kFrameFormat);
    pageImage.fill(Qt::white);
    QPainter p(&pageImage);
    p.drawImage(CentredIn(content, fitted.size()), fitted);
    return pageImage;
}

} // namespace

// One format: the painter's page against the naive page; returns the ratio of the medians.
double Compare(const char *label, const QString &dir, const QString &name, const BookGeometry &geo)
{
    BookLayout layout;
    SectionSizes sizes;
    sizes.files = 1;
    sizes.overviewPages = 1;
    sizes.contentsPages = 1;
    layout.Compute(sizes);
    PageList pages;
    QTemporaryDir one;
    QFile::link(dir + QLatin1Char('/') + name, one.path() + QLatin1Char('/') + name);
    pages.Build(one.path(), QString::fromLatin1(kDefaultFilterMask), SortByName);
    FlipState flip;
    Settings settings;
    BookScene scene;
    scene.geo = &geo;
    scene.layout = &layout;
    scene.flip = &flip;
    scene.pages = &pages;
    scene.settings = &settings;
    BookPainter painter;
    painter.Resize(geo);
    const int page = layout.FirstFilePage;
    const QString path = one.path() + QLatin1Char('/') + name;
    const int runs = 7;
    QImage image;
    // Alternating runs; the painter's kept pictures are dropped before each, so every run decodes.
    bench::Times ours, naive;
    for (int i = 0; i < runs; ++i) {
        painter.Pictures().Clear();
        bench::TimeOnce(ours, [&] { painter.RenderPage(scene, page, image, true, true, true, true); });
        bench::TimeOnce(naive, [&] { image = NaivePage(path, geo, page); });
    }
    bench::Sort(ours);
    bench::Sort(naive);
    const double ratio = bench::Median(ours.wallMs) / bench::Median(naive.wallMs);
    std::printf("%s\n", label);
    std::printf("  painter (scaled decode + resample): wall median %6.1f ms (min %.1f, max %.1f), cpu median %.1f ms\n",
                bench::Median(ours.wallMs), ours.wallMs.front(), ours.wallMs.back(), bench::Median(ours.cpuMs));
    std::printf("  naive   (full decode + resample):   wall median %6.1f ms (min %.1f, max %.1f), cpu median %.1f ms\n",
                bench::Median(naive.wallMs), naive.wallMs.front(), naive.wallMs.back(), bench::Median(naive.cpuMs));
    std::printf("  ratio painter/naive: %.2f\n", ratio);
    return ratio;
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QImage photo = PhotoLike(QSize(6000, 4000));
    const QString path = dir.path() + QStringLiteral("/photo.jpg");
    photo.save(path, "JPG", 90);
    {
        QImageWriter progressive(dir.path() + QStringLiteral("/progressive.jpg"), "jpeg");
        progressive.setQuality(90);
        progressive.setProgressiveScanWrite(true);
        progressive.write(photo);
        QImageWriter png(dir.path() + QStringLiteral("/photo.png"), "png");
        png.setCompression(1);
        png.write(photo);
    }
    for (const char *name : {"photo.jpg", "progressive.jpg", "photo.png"})
        std::printf("picture: 6000 x 4000 %s, %lld bytes\n", name,
                    static_cast<long long>(QFile(dir.path() + QLatin1Char('/') + QLatin1String(name)).size()));

    const BookGeometry geo = BookGeometry::For(QSize(1920, 1080), 0);
    std::printf("page: %d x %d (client 1920 x 1080)\n", geo.PageW - 1, geo.PageH - 1);
    PrintDecodeFloor(path);
    const double ratio = Compare("baseline JPEG:", dir.path(), QStringLiteral("photo.jpg"), geo);
    Compare("progressive JPEG:", dir.path(), QStringLiteral("progressive.jpg"), geo);
    Compare("PNG:", dir.path(), QStringLiteral("photo.png"), geo);
    std::printf("baseline JPEG ratio %.2f (required < 0.45): %s\n", ratio, ratio < 0.45 ? "PASS" : "FAIL");
    return ratio < 0.45 ? 0 : 1;
}
