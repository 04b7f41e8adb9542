// The scanner facade against SANE's "test" backend: the frames it reads must give the same picture
// as SANE's own scanimage reading the same device, in every frame layout. (Cancelling and a missing
// scanner are tested through the editor.)
#include "platform/scan/Scanner.h"
#include "tests/support/SaneTestBackend.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pagero;
using pagero::test::SaneTestBackend;

namespace {

// The picture scanimage reads from the first test device, as RGB32 (PNG for 16-bit samples, which
// Qt's PNM reader does not take; PNM for the rest, as scanimage's PNG writer needs a known height).
QImage ScanimageReference(const QString &format)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(format == "pnm" ? "ref.ppm" : "ref." + format);
    QProcess p;
    p.start("scanimage", {"-d", "test:0", "--format=" + format, "-o", out});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        ADD_FAILURE() << p.readAllStandardError().toStdString();
        return {};
    }
    return QImage(out).convertToFormat(QImage::Format_RGB32);
}

int MaxDifference(const QImage &a, const QImage &b)
{
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    return worst;
}

} // namespace

TEST(Scanner, FramesReadAsScanimageReadsThem)
{
    const QList<QMap<QString, QString>> layouts = {
        {{"mode", "Color"}, {"test-picture", "\"Color pattern\""}},
        {{"mode", "Gray"}, {"depth", "16"}, {"test-picture", "\"Color pattern\""}},
        {{"mode", "Gray"}, {"depth", "1"}, {"test-picture", "Grid"}},
        {{"mode", "Color"}, {"three-pass", "true"}, {"test-picture", "\"Color pattern\""}},
        {{"mode", "Color"}, {"hand-scanner", "true"}, {"test-picture", "Grid"}},
    };
    for (const auto &layout : layouts) {
        SaneTestBackend backend(layout);
        const QString what = layout.value("mode") + layout.value("depth") + layout.value("three-pass")
                             + layout.value("hand-scanner");
        const scan::SourceList sources = scan::ListSources();
        ASSERT_EQ(sources.sources.size(), 1) << what.toStdString();
        EXPECT_EQ(sources.sources[0].name, "test:0");
        std::atomic<bool> cancel{false};
        std::atomic<int> percent{-1};
        const scan::ScanResult result = scan::Scan({}, cancel, &percent);
        ASSERT_FALSE(result.image.isNull()) << what.toStdString() << ": " << result.error.toStdString();
        EXPECT_EQ(percent.load(), 100);
        const QImage reference = ScanimageReference(layout.value("depth") == "16" ? "png" : "pnm");
        ASSERT_FALSE(reference.isNull()) << what.toStdString();
        ASSERT_EQ(result.image.size(), reference.size()) << what.toStdString();
        // 16-bit samples are cut to 8 bits here and rounded by the PNG reader.
        EXPECT_LE(MaxDifference(result.image, reference), 1) << what.toStdString();
    }
    std::atomic<bool> cancel{false};
    const scan::ScanResult missing = scan::Scan("test:7", cancel);
    EXPECT_TRUE(missing.image.isNull());
    EXPECT_TRUE(missing.error.startsWith("The scanner \"test:7\" could not be opened")) << missing.error.toStdString();
}
