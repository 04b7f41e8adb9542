#include "pages/OrvImgInfoBox.h"
#include "core/common/FileNames.h"
#include "core/common/MyLib.h"
#include "platform/Prompter.h"
#include "platform/imaging/Imaging.h"
#include <Magick++.h>
#include <QApplication>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace pagero {

namespace {

// Decoder names to the imaging format numbers the format-name table knows.
int FormatNumberOf(const QString &magick)
{
    static const QHash<QString, int> numbers = {
        {"PCX", 1},   {"DCX", 1},    {"GIF", 2},    {"GIF87", 2},  {"TIFF", 3},  {"TIF", 3},
        {"TIFF64", 3}, {"PTIF", 3},  {"TGA", 4},    {"BMP", 6},    {"BMP3", 6},  {"JPEG", 10},
        {"JPG", 10},  {"BMP2", 14},  {"WMF", 15},   {"EPS", 16},   {"PS", 16},   {"CALS", 50},
        {"MAC", 51},  {"SUN", 55},   {"RAS", 55},   {"PICT", 56},  {"PCD", 57},  {"PCDS", 57},
        {"PNG", 75},  {"PNG8", 75},  {"PNG24", 75}, {"PNG32", 75}, {"PSD", 76},  {"FPX", 80},
        {"ICO", 91},  {"ICON", 91},
    };
    return numbers.value(magick.toUpper(), 0);
}

// Bits per pixel from Qt's reading of the header, 0 when Qt cannot tell.
int QtBitsPerPixel(const QString &path)
{
    QImageReader reader(path);
    if (!reader.canRead()) return 0;
    switch (reader.imageFormat()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB: return 1;
    case QImage::Format_Indexed8:
    case QImage::Format_Grayscale8:
    case QImage::Format_Alpha8: return 8;
    case QImage::Format_RGB16:
    case QImage::Format_RGB555:
    case QImage::Format_RGB444:
    case QImage::Format_Grayscale16: return 16;
    case QImage::Format_RGB32:
    case QImage::Format_RGB888:
    case QImage::Format_BGR888: return 24;
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGBA8888:
    case QImage::Format_RGBA8888_Premultiplied: return 32;
    case QImage::Format_RGBX64:
    case QImage::Format_RGBA64:
    case QImage::Format_RGBA64_Premultiplied: return 64;
    default: return 0;
    }
}

int MagickBitsPerPixel(const Magick::Image &image)
{
    const int depth = int(image.depth());
    int channels = 3;
    switch (image.colorSpace()) {
    case MagickCore::GRAYColorspace:
    case MagickCore::Rec601LumaColorspace:
    case MagickCore::Rec709LumaColorspace: channels = 1; break;
    case MagickCore::CMYKColorspace: channels = 4; break;
    default: break;
    }
    if (image.matte()) ++channels;
    return depth * channels;
}

// Formats ImageMagick here has no reader for (camera RAW without its delegate, say) but the imaging
// facade has: the size from the facade, the depth as decoded.
bool ReadWithFacade(const QString &path, PictureFileInfo &info)
{
    const QSize size = imaging::PictureSize(path);
    if (!size.isValid() || size.isEmpty()) return false;
    info.formatNumber = 0;
    info.formatText = QFileInfo(path).suffix().toUpper();
    info.width = size.width();
    info.height = size.height();
    info.bitsPerPixel = imaging::FileBitsPerPixel(path);
    if (info.bitsPerPixel == 0) info.bitsPerPixel = 24;
    info.compression.clear();
    return true;
}

} // namespace

QString InfoSizeText(qint64 bytes)
{
    if (bytes <= 1024) return QString::number(bytes);
    return QString::number(bytes / 1024) + QLatin1Char('.') + QString::number((bytes % 1024) / 102) +
           QStringLiteral(" KB");
}

PictureFileInfo ReadPictureFileInfo(const QString &path)
{
    imaging::EnsureMagick();
    PictureFileInfo info;
    // A name whose bytes are not UTF-8 is read through its descriptor (Qt cannot name the file).
    const ReadablePath readable(path);
    const QFileInfo file(readable.Path());
    if (!file.isFile()) return info;   // Error
    info.sizeOnDisk = file.size();
    info.lastWrite = file.lastModified();
    bool pinged = false;
    try {
        Magick::Image image;
        image.quiet(true);
        image.ping(file.absoluteFilePath().toStdString());
        info.formatText = QString::fromStdString(image.magick());
        info.formatNumber = FormatNumberOf(info.formatText);
        info.width = int(image.columns());
        info.height = int(image.rows());
        // The size the picture is shown at: upright by its orientation tag.
        const QSize upright = imaging::PictureSize(path);
        if (upright.isValid() && (upright == QSize(info.width, info.height) ||
                                  upright == QSize(info.height, info.width))) {
            info.width = upright.width();
            info.height = upright.height();
        }
        // The depth the file stores, not the one a decoder widens it to (a 4-bit BMP is 4).
        info.bitsPerPixel = imaging::FileBitsPerPixel(path);
        if (info.bitsPerPixel == 0) info.bitsPerPixel = QtBitsPerPixel(path);
        if (info.bitsPerPixel == 0) info.bitsPerPixel = MagickBitsPerPixel(image);
        const char *compression =
            MagickCore::CommandOptionToMnemonic(MagickCore::MagickCompressOptions, image.compressType());
        info.compression = compression ? QString::fromLatin1(compression) : QString();
        pinged = true;
    } catch (const Magick::ErrorMissingDelegate &) {
        info.status = PictureFileInfo::Status::UnknownFormat;
    } catch (const Magick::Exception &) {
        info.status = PictureFileInfo::Status::Error;
    } catch (const std::exception &) {
        info.status = PictureFileInfo::Status::Error;
    }
    if (!pinged && !ReadWithFacade(path, info)) return info;
    if (info.width <= 0 || info.height <= 0) return info;   // Error
    const qint64 bytesPerLine = (qint64(info.width) * info.bitsPerPixel + 31) / 32 * 4;
    info.sizeInMemory = bytesPerLine * info.height;
    info.status = PictureFileInfo::Status::Ok;
    return info;
}

TInfoBox::TInfoBox(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("    Image File Information"));
    setModal(true);
    FName = new QLineEdit(this);
    FName->setReadOnly(true);
    FName->setFrame(false);
    auto label = [this](const char *name) {
        auto *l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    FName->setObjectName(QStringLiteral("FName"));
    FFormat = label("FFormat");
    FWidth = label("FWidth");
    FHeight = label("FHeight");
    FBits = label("FBits");
    FDisk = label("FDisk");
    FMem = label("FMem");
    FComp = label("FComp");
    FAge = label("FAge");
    OKBtn = new QPushButton(QStringLiteral("&OK"), this);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("File Name:"), FName);
    form->addRow(QStringLiteral("Image Format:"), FFormat);
    form->addRow(QStringLiteral("Width:"), FWidth);
    form->addRow(QStringLiteral("Height:"), FHeight);
    form->addRow(QStringLiteral("Bits Per Pixel:"), FBits);
    form->addRow(QStringLiteral("Size on Disk:"), FDisk);
    form->addRow(QStringLiteral("Size in Mem:"), FMem);
    form->addRow(QStringLiteral("Compression:"), FComp);
    form->addRow(QStringLiteral("File Date:"), FAge);
    auto *box = new QVBoxLayout(this);
    box->addLayout(form);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addStretch();
    box->addLayout(buttons);
}

void TInfoBox::Fill(const QString &path, const PictureFileInfo &info)
{
    FName->setText(QFileInfo(path).fileName());
    // Formats without a number in the table show the decoder's own name rather than what the
    // previous file left in the field.
    FFormat->setText(FormatName(info.formatNumber, info.formatText));
    FWidth->setText(QString::number(info.width));
    FHeight->setText(QString::number(info.height));
    FBits->setText(QString::number(info.bitsPerPixel));
    FDisk->setText(InfoSizeText(info.sizeOnDisk));
    FMem->setText(InfoSizeText(info.sizeInMemory));
    FComp->setText(info.compression);
    FAge->setText(QLocale::system().toString(info.lastWrite, QLocale::ShortFormat));
}

bool ShowFileInfo(TInfoBox &box, const QString &path, const std::function<void()> &beep)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const PictureFileInfo info = ReadPictureFileInfo(path);
    QApplication::restoreOverrideCursor();
    if (info.status != PictureFileInfo::Status::Ok) {
        if (beep) beep();
        else QApplication::beep();
        ThePrompter().Fail(info.status == PictureFileInfo::Status::UnknownFormat
                               ? QStringLiteral("Unknown image file format.")
                               : QStringLiteral("Error in getting image file info."));
        return false;
    }
    box.Fill(path, info);
    box.exec();
    return true;
}

void btnInfo1Click(TInfoBox &box, const QString &path, const std::function<void(const QString &)> &showMediaInfo)
{
    const int kind = MediaKind(path);
    if (kind == KindPicture || kind == KindImaging) ShowFileInfo(box, path);
    else if (showMediaInfo) showMediaInfo(path);
}

} // namespace pagero
