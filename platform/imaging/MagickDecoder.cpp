// PCX, PCD, PSD, TIFF, WMF and the other formats ImageMagick reads, through Magick++. The file is
// handed over as a blob with an explicit coder, so a name like "a[2].tif" is never read as a
// frame selector and no delegate program runs on a guess.
#include "platform/imaging/Decoders.h"

#include <Magick++.h>
#include <QFile>
#include <QFileInfo>
#include <mutex>

namespace pagero::imaging {

void EnsureMagick()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Magick::InitializeMagick(nullptr);
        // Refuse absurd declared sizes before the pixel cache is allocated.
        Magick::ResourceLimits::width(60000);
        Magick::ResourceLimits::height(60000);
        Magick::ResourceLimits::listLength(4096);
    });
}

namespace detail {
namespace {

bool ReadBlob(const QString &path, Magick::Blob &blob, QString &error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) { error = QStringLiteral("Cannot read the file"); return false; }
    if (f.size() > kMaxReadBytes) { error = QStringLiteral("File too large"); return false; }
    const QByteArray bytes = f.readAll();
    if (bytes.isEmpty()) { error = QStringLiteral("Empty file"); return false; }
    blob.update(bytes.constData(), size_t(bytes.size()));
    return true;
}

void Prepare(Magick::Image &image, const QString &coder)
{
    if (!coder.isEmpty()) image.magick(coder.toStdString());
    // Only the first picture of multi-picture files (TIFF pages, the composite of a PSD). A photo
    // CD file keeps its own rule: its sub-pictures are resolutions, the default one is wanted.
    if (coder != QLatin1String("PCD")) {
        image.subImage(0);
        image.subRange(1);
    }
}

// Warnings that mean the pixels are not all there.
bool WarningMeansDamage(const std::string &what)
{
    for (const char *word : {"end of file", "end-of-file", "EndOfFile", "Premature", "premature",
                             "truncat", "Truncat", "Corrupt", "corrupt", "Unexpected"}) {
        if (what.find(word) != std::string::npos) return true;
    }
    return false;
}

QImage ToQImage(Magick::Image &image)
{
    // CMYK (PSD, TIFF), photo CD YCC and the like are turned into sRGB before the export.
    const MagickCore::ColorspaceType cs = image.colorSpace();
    if (cs != MagickCore::sRGBColorspace && cs != MagickCore::RGBColorspace && cs != MagickCore::GRAYColorspace &&
        cs != MagickCore::TransparentColorspace && cs != MagickCore::UndefinedColorspace)
        image.colorSpace(MagickCore::sRGBColorspace);
    const int w = int(image.columns()), h = int(image.rows());
    const bool alpha = image.matte() && !image.isOpaque();
    QImage out(w, h, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (out.isNull()) return out;
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    const char *map = "BGRA";
#else
    const char *map = "ARGB";
#endif
    // Rows of QImage are 4-byte aligned already (4 bytes per pixel), so one export fills it.
    image.write(0, 0, size_t(w), size_t(h), map, Magick::CharPixel, out.bits());
    return out;
}

} // namespace

QSize MagickPictureSize(const QString &path, const QString &coder)
{
    EnsureMagick();
    Magick::Blob blob;
    QString error;
    if (!ReadBlob(path, blob, error)) return {};
    try {
        Magick::Image image;
        image.quiet(true);
        Prepare(image, coder);
        image.ping(blob);
        if (image.columns() == 0 || image.rows() == 0) return {};
        return {int(image.columns()), int(image.rows())};
    } catch (const std::exception &) {
        return {};
    }
}

LoadResult DecodeWithMagick(const QString &path, const QString &coder, QSize fitInto)
{
    EnsureMagick();
    Magick::Blob blob;
    QString error;
    if (!ReadBlob(path, blob, error)) return Failure(error);
    const QString format = coder.isEmpty() ? QFileInfo(path).suffix().toUpper() : coder;
    QSize original;
    try {
        Magick::Image image;
        Prepare(image, coder);
        image.ping(blob);
        original = QSize(int(image.columns()), int(image.rows()));
    } catch (const Magick::Warning &) {
        // the size, if any, was still read
    } catch (const std::exception &e) {
        return Failure(QStringLiteral("Damaged %1 data: %2").arg(format, QString::fromLocal8Bit(e.what())));
    }
    if (TooLarge(original)) return Failure(QStringLiteral("Picture too large"), original);

    Magick::Image image;
    try {
        Prepare(image, coder);
        image.read(blob);
    } catch (const Magick::Warning &w) {
        if (WarningMeansDamage(w.what()) || image.columns() == 0)
            return Failure(QStringLiteral("Damaged %1 data: %2").arg(format, QString::fromLocal8Bit(w.what())), original);
    } catch (const std::exception &e) {
        return Failure(QStringLiteral("Damaged %1 data: %2").arg(format, QString::fromLocal8Bit(e.what())), original);
    }
    try {
        if (image.columns() == 0 || image.rows() == 0) return Failure(QStringLiteral("Empty %1 picture").arg(format));
        QImage decoded = ToQImage(image);
        if (decoded.isNull()) return Failure(QStringLiteral("Out of memory"), original);
        LoadResult r;
        r.originalSize = decoded.size();
        r.image = FitImage(decoded, fitInto);
        return r;
    } catch (const std::exception &e) {
        return Failure(QStringLiteral("Cannot convert %1 picture: %2").arg(format, QString::fromLocal8Bit(e.what())), original);
    }
}

} // namespace detail
} // namespace pagero::imaging
