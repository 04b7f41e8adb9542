// The first frame of a video: an ffmpeg process decodes exactly one frame into a PPM on its
// standard output. A separate process keeps a damaged video from taking the program down, and the
// time limit keeps it from hanging a page or a thumbnail.
#include "platform/imaging/Decoders.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>

namespace pagero::imaging::detail {
namespace {
constexpr int kStartMs = 5000;
constexpr int kFinishMs = 20000;
constexpr qint64 kMaxFrameBytes = qint64(kMaxPixels) * 3 + 64;
} // namespace

LoadResult DecodeVideoFrame(const QString &path, QSize fitInto)
{
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (ffmpeg.isEmpty()) return Failure(QStringLiteral("No video decoder (ffmpeg) installed"));

    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    // "file:" keeps ffmpeg from reading protocols or option-like names into the path.
    process.start(ffmpeg, {QStringLiteral("-nostdin"), QStringLiteral("-v"), QStringLiteral("error"),
                           QStringLiteral("-i"), QStringLiteral("file:") + path,
                           QStringLiteral("-an"), QStringLiteral("-frames:v"), QStringLiteral("1"),
                           QStringLiteral("-f"), QStringLiteral("image2pipe"),
                           QStringLiteral("-c:v"), QStringLiteral("ppm"), QStringLiteral("-")});
    if (!process.waitForStarted(kStartMs)) return Failure(QStringLiteral("Cannot start the video decoder"));

    QByteArray ppm;
    QElapsedTimer clock;
    clock.start();
    while (process.state() != QProcess::NotRunning && clock.elapsed() < kFinishMs) {
        process.waitForReadyRead(200);
        ppm += process.readAllStandardOutput();
        if (ppm.size() > kMaxFrameBytes) break;
    }
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(2000);
        if (ppm.size() > kMaxFrameBytes) return Failure(QStringLiteral("Video frame too large"));
        return Failure(QStringLiteral("The video decoder took too long"));
    }
    ppm += process.readAllStandardOutput();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 || ppm.isEmpty())
        return Failure(QStringLiteral("Damaged or unsupported video"));

    QImage frame;
    if (!frame.loadFromData(ppm, "PPM") || frame.isNull()) return Failure(QStringLiteral("Damaged video frame"));
    LoadResult r;
    r.originalSize = frame.size();
    r.image = FitImage(frame.convertToFormat(QImage::Format_RGB32), fitInto);
    return r;
}

} // namespace pagero::imaging::detail
