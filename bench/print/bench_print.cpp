// Printing to PDF at 600 DPI.
//  1. 20 sheets four-up (80 overview pages; a 640 x 520 window's book holds 12 thumbnails a page)
//     of an album of 1,000 photos, against drawing the same 80 pages on screen plus decoding their pictures at the
//     printed size, measured in the same run; and the PDF's size (must stay under 50 MB).
//  2. One page picture of a 6000 x 4000 JPEG fitted to a letter sheet, against ImageMagick's
//     convert making the same PDF page.
// Usage: bench_print ALBUM_FOLDER BIG_JPEG [WINDOW_WIDTH WINDOW_HEIGHT]
//   e.g. bench/overview/make_small_photos.sh /tmp/pagero-bench-print-album 1000 and one picture of
//   bench/overview/make_photos.sh.
#include "BuildToEnd.h"
#include "core/book/BookGeometry.h"
#include "core/common/MyLib.h"
#include "pages/OrvOverView_Ut.h"
#include "platform/imaging/Imaging.h"
#include "print/OrvPrintSet.h"
#include "print/OverviewPagePainter.h"
#include "print/OverviewPrinter.h"
#include "platform/Prompter.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <cstdio>
#include <cstdlib>
#include <ctime>

using namespace pagero;

namespace {

AlbumFiles ListAlbum(const QString &folder)
{
    PageEntries entries;
    for (const QFileInfo &fi : QDir(folder).entryInfoList({"*.jpg"}, QDir::Files, QDir::Name))
        entries.push_back({fi.fileName(), 1, fi.size(), FileAgeOf(fi)});
    return AlbumFiles{folder, std::make_shared<const PageEntries>(std::move(entries))};
}

double CpuMs()
{
    return double(std::clock()) * 1000.0 / CLOCKS_PER_SEC;
}

void UsePdf(QPrinter &printer, const QString &file)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setResolution(600);
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setPageMargins(QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_print ALBUM_FOLDER BIG_JPEG\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]), big = QString::fromLocal8Bit(argv[2]);
    const QSize client(argc > 4 ? atoi(argv[3]) : 640, argc > 4 ? atoi(argv[4]) : 520);
    const BookGeometry geo = BookGeometry::For(client, 0);
    TOverView_Fm overview;
    overview.SetThumbSize(72, 70);
    overview.SetCacheRoot(QStringLiteral("/tmp/pagero-bench-print-cache"));
    overview.SetAlbum(ListAlbum(folder));
    overview.SetArea(geo.leftContentLocal());
    if (!BuildToEnd(overview)) {
        std::fprintf(stderr, "thumbnail build failed\n");
        return 1;
    }
    const int pages = std::min(80, overview.OverviewPageCount());
    QList<int> ticked;
    for (int n = 1; n <= pages; ++n) ticked.append(n);
    const int firstOverviewPage = 2;   // the book page of overview page 1

    // 1. The print and the reference (the same pages on screen, then their pictures decoded at the
    // printed size), alternating; the best round of each counts.
    const QString pdf = QStringLiteral("/tmp/pagero-bench-print-overview.pdf");
    QPrinter printer(QPrinter::HighResolution);
    UsePdf(printer, pdf);
    const QSize box = print::OverviewTarget(print::SheetSize::Quarter, QSize(printer.width(), printer.height()),
                                            QPoint(0, 0), QSize(geo.PageW, geo.PageH));
    QList<QPair<int, QSize>> decodes;   // what the print decodes, found by painting into a small image
    for (int n : ticked) {
        QImage scratch(8, 8, QImage::Format_RGB32);
        QPainter p(&scratch);
        p.scale(double(box.width()) / geo.PageW, double(box.height()) / geo.PageH);
        overview.SetArea(geo.contentLocal(firstOverviewPage + n - 1));
        overview.DrawOverviewPageForPrint(n, p, [&](int index, QSize size) {
            decodes.append({index, size});
            return QImage();
        });
    }
    // Wall-clock and process CPU time (the machine may be shared; the print uses worker threads).
    double printMs = 1e30, screenMs = 1e30, decodeMs = 1e30, printCpuMs = 1e30, referenceCpuMs = 1e30;
    QElapsedTimer clock;
    for (int round = 0; round < 2; ++round) {
        double cpu = CpuMs();
        clock.start();
        QImage page(geo.pageImageSize(), QImage::Format_RGB32);
        for (int n : ticked) {
            page.fill(Qt::white);
            QPainter p(&page);
            overview.DrawPage(p, geo.contentLocal(firstOverviewPage + n - 1), n);
        }
        screenMs = std::min(screenMs, double(clock.elapsed()));
        clock.restart();
        for (const auto &[index, size] : decodes) imaging::Load(overview.FileOfEntry(index), size);
        decodeMs = std::min(decodeMs, double(clock.elapsed()));
        referenceCpuMs = std::min(referenceCpuMs, CpuMs() - cpu);

        OverviewPrintPainter painter(overview.PrintSource(), geo, firstOverviewPage,
                                     [&](int bookPage) { return RomanOf(bookPage - firstOverviewPage + 1); });
        cpu = CpuMs();
        clock.restart();
        const QString error = print::PrintOverviewSheets(
            printer, ticked, print::SheetSize::Quarter, QSize(geo.PageW, geo.PageH),
            [&](QPainter &p, int n) { painter.Paint(p, n); },
            [&](const QList<int> &next, QSizeF scale) { painter.Prefetch(next, scale); });
        printMs = std::min(printMs, double(clock.elapsed()));
        printCpuMs = std::min(printCpuMs, CpuMs() - cpu);
        if (!error.isEmpty()) std::fprintf(stderr, "print failed: %s\n", qPrintable(error));
    }
    // What the PDF engine itself costs: the same print with every picture decoded beforehand.
    QHash<int, QImage> decoded;
    for (const auto &[index, size] : decodes) decoded.insert(index, imaging::Load(overview.FileOfEntry(index), size).image);
    clock.restart();
    print::PrintOverviewSheets(printer, ticked, print::SheetSize::Quarter, QSize(geo.PageW, geo.PageH),
                               [&](QPainter &p, int n) {
        overview.SetArea(geo.contentLocal(firstOverviewPage + n - 1));
        overview.DrawOverviewPageForPrint(n, p, [&](int index, QSize) { return decoded.value(index); });
    });
    const double pdfOnlyMs = clock.elapsed();
    decoded.clear();

    const double sheets = (pages + 3) / 4;
    std::printf("overview: %d pages (book page %d x %d) on %.0f sheets, %lld thumbnails\n", pages, geo.PageW,
                geo.PageH, sheets, qlonglong(decodes.size()));
    std::printf("  print to PDF at 600 DPI       %8.1f ms/sheet\n", printMs / sheets);
    std::printf("  screen pages + decodes        %8.1f ms/sheet (screen %.1f, decodes %.1f)\n",
                (screenMs + decodeMs) / sheets, screenMs / sheets, decodeMs / sheets);
    std::printf("  ratio print / (screen+decode) %8.2f\n", printMs / (screenMs + decodeMs));
    std::printf("  CPU time: print %.1f, screen + decodes %.1f ms/sheet (ratio %.2f)\n", printCpuMs / sheets,
                referenceCpuMs / sheets, printCpuMs / referenceCpuMs);
    std::printf("  the print with its pictures decoded beforehand %.1f ms/sheet (the PDF writer's own work)\n",
                pdfOnlyMs / sheets);
    std::printf("  PDF size                      %8.1f MB\n", QFileInfo(pdf).size() / 1e6);

    // 2. One large page picture.
    const QString picturePdf = QStringLiteral("/tmp/pagero-bench-print-picture.pdf");
    QPrinter picturePrinter(QPrinter::HighResolution);
    UsePdf(picturePrinter, picturePdf);
    TPrintSet_Fm window(picturePrinter, ThePrompter());
    clock.restart();
    const bool loaded = window.LoadPicture(big);
    window.Prepare();
    window.SetMode(print::SizeMode::Fit);
    const bool printed = loaded && window.PrintNow();
    const double pictureMs = clock.elapsed();
    std::printf("picture %s: %s in %.0f ms, PDF %.1f MB\n", qPrintable(QFileInfo(big).fileName()),
                printed ? "printed" : "FAILED", pictureMs, QFileInfo(picturePdf).size() / 1e6);
    if (QFileInfo::exists("/usr/bin/convert")) {
        clock.restart();
        // ImageMagick's policy may forbid writing PDF; its JPEG of the printed size is the same work.
        const int rc = QProcess::execute("/usr/bin/convert", {big, "-resize", "4800x6300", "-quality", "94",
                                                              "/tmp/pagero-bench-print-convert.jpg"});
        std::printf("  ImageMagick convert to the printed size (JPEG): %.0f ms (rc %d)\n", double(clock.elapsed()), rc);
    }
    return 0;
}
