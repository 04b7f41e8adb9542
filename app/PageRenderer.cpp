// Rendering of one page into a page-sized image: covers with the album title, file pages (picture,
// sound or MIDI icon, error sign, file-name caption), the section pages drawn by their windows, the
// page label and the binding rings on the spine edge.
#include "app/BookPainter.h"
#include "app/PageRenderer.h"
#include "pages/SectionPages.h"
#include "common/Fonts.h"
#include "core/common/MyLib.h"
#include "core/common/StoredColor.h"
#include "platform/Assets.h"
#include "platform/imaging/Imaging.h"

#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QCursor>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QtMath>

#include <map>
#include <string>

namespace pagero {

namespace {

constexpr int kMarginTop = BookGeometry::MarginTop;

// Stand-in drawings, used only if a design picture is missing from the program's resources.
QImage DrawnRing(bool openToRight)
{
    QImage img(18, 12, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(64, 64, 64), 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(openToRight ? 1 : -8, 1.5, 24, 9));
    return img;
}

QImage DrawnErrorSign()
{
    QImage img(32, 32, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(204, 0, 0));
    p.drawEllipse(QRectF(1, 1, 30, 30));
    p.setPen(QPen(Qt::white, 4));
    p.drawLine(QPointF(10, 10), QPointF(22, 22));
    p.drawLine(QPointF(22, 10), QPointF(10, 22));
    return img;
}

QImage DrawnMediaIcon(int size, bool midi)
{
    QImage img(size, size, QImage::Format_RGB32);
    img.fill(QColor(192, 192, 192));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(0, 0, size - 1, size - 1);
    p.setBrush(midi ? QColor(0, 0, 128) : QColor(0, 128, 0));
    const qreal u = size / 8.0;
    p.drawEllipse(QRectF(2 * u, 5 * u, 2 * u, 1.6 * u));     // a note head
    p.drawLine(QPointF(4 * u, 5.8 * u), QPointF(4 * u, 1.5 * u));
    p.drawLine(QPointF(4 * u, 1.5 * u), QPointF(6 * u, 2.3 * u));
    return img;
}

const QImage &Picture(const char *name, QImage (*fallback)())
{
    // One cache per name; the design pictures never change while the program runs.
    static std::map<std::string, QImage> cache;   // node-based: references stay valid
    auto it = cache.find(name);
    if (it != cache.end())
        return it->second;
    QImage img = DesignImage(QString::fromLatin1(name));
    if (img.isNull())
        img = fallback();
    return cache.emplace(name, img).first->second;
}

struct WaitCursor {
    WaitCursor() { if (qGuiApp) QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~WaitCursor() { if (qGuiApp) QGuiApplication::restoreOverrideCursor(); }
};

bool IsSelected(const BookScene &scene, const QString &path)
{
    if (!scene.selection)
        return false;
    for (const QString &s : *scene.selection)
        if (s.compare(path, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

void DrawFilePage(const BookScene &scene, PagePictures &pictures, QPainter &p, int page, const QRect &content,
                  bool showName, bool showComment)
{
    const int entry = page - scene.layout->FirstFilePage;
    if (!scene.pages || entry < 0 || entry >= scene.pages->Count())
        return;
    const QString path = scene.pages->PagePath(entry);
    const int kind = scene.pages->KindOf(entry);
    switch (kind) {
    case KindPicture:
    case KindImaging:
    case KindVideo: {
        const QImage picture = pictures.Fitted(path, kind, content);
        const QSize logical = LogicalSize(picture);
        if (picture.isNull())
            DrawErrorSign(p, content);
        else
            p.drawImage(QRect(CentredIn(content, logical), logical), picture);
        break;
    }
    case KindWave:
    case KindMidi: {
        const QImage &icon = kind == KindWave ? BookPictures::WavIcon() : BookPictures::MidIcon();
        // Drawn opaque: the icon's own pixels replace the page's.
        p.save();
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(CentredIn(content, icon.size()), icon);
        p.restore();
        break;
    }
    default:
        DrawErrorSign(p, content);
    }
    if (showName) {
        p.setFont(BookFont(8));
        const bool selected = IsSelected(scene, path);
        DrawTextAt(p, QPoint(content.left(), 8), QFileInfo(path).fileName(),
                   selected ? QColor(Qt::white) : QColor(Qt::black),
                   selected ? QColor(0, 0, 255) : QColor(Qt::white));
    }
    if (showComment && scene.drawComment)
        scene.drawComment(p, content, entry);
}

// The two lines of the album name on the front cover: the heading in 10 points and the name in
// 16 points bold with a grey shadow two pixels down and right, both centred.
void DrawAlbumTitle(const BookScene &scene, QPainter &p, const QSize &pageSize)
{
    const int pageW = pageSize.width() + 1, pageH = pageSize.height() + 1;
    const QString heading = scene.albumNameLines.value(0);
    const QString name = scene.albumNameLines.value(1);
    const int y0 = RoundHalfEven((pageH - 2 - 20) / 3.0);

    const QFont headingFont = BookFont(10);
    p.setFont(headingFont);
    const QFontMetrics hm(headingFont);
    DrawTextAt(p, QPoint((pageW - 2 - hm.horizontalAdvance(heading)) / 2, y0), heading, Qt::black);

    const QFont nameFont = BookFont(16, true);
    p.setFont(nameFont);
    const QFontMetrics nm(nameFont);
    const int x1 = (pageW - 2 - nm.horizontalAdvance(name)) / 2;
    const int y1 = y0 + hm.height() + 2;   // the heading font's line height ("H")
    DrawTextAt(p, QPoint(x1 + 2, y1 + 2), name, QColor(0x80, 0x80, 0x80));
    DrawTextAt(p, QPoint(x1, y1), name, Qt::black);
}

void DrawPageNumber(const BookScene &scene, QPainter &p, int page, int pageW, int pageH)
{
    const QString label = scene.layout->PageLabel(page);
    const QString text = QStringLiteral("- ") + label + QStringLiteral(" -");
    const QFont font = BookFont(8);
    p.setFont(font);
    const int width = QFontMetrics(font).horizontalAdvance(text);
    const int x = page % 2 == 0 ? 30 : pageW - 30 - width;
    DrawTextAt(p, QPoint(x, pageH - kMarginTop), text, Qt::black, Qt::white);
}

void DrawPageRings(QPainter &p, int page, int pageW, int pageH)
{
    const QImage &ring = page % 2 == 0 ? BookPictures::LeftFlipLkImg() : BookPictures::RightFlipLkImg();
    const int x = page % 2 == 0 ? pageW - ring.width() : 0;
    for (int y = 13; y < pageH - 20; y += 17)
        p.drawImage(x, y, ring);
}

} // namespace

const QImage &BookPictures::ErrorImage() { return Picture("ErrorImage", DrawnErrorSign); }
const QImage &BookPictures::RightLkImg() { return Picture("RightLkImg", [] { return DrawnRing(false); }); }
const QImage &BookPictures::LeftLkImg() { return Picture("LeftLkImg", [] { return DrawnRing(true); }); }
const QImage &BookPictures::LeftFlipLkImg() { return Picture("LeftFlipLkImg", [] { return DrawnRing(true); }); }
const QImage &BookPictures::RightFlipLkImg() { return Picture("RightFlipLkImg", [] { return DrawnRing(false); }); }
const QImage &BookPictures::WavIcon() { return Picture("wavIcon", [] { return DrawnMediaIcon(49, false); }); }
const QImage &BookPictures::MidIcon() { return Picture("midIcon", [] { return DrawnMediaIcon(71, true); }); }

void DrawTextAt(QPainter &p, QPoint topLeft, const QString &text, const QColor &color,
                const QColor &background)
{
    const QFontMetrics fm(p.font());
    if (background.isValid())
        p.fillRect(QRect(topLeft.x(), topLeft.y(), fm.horizontalAdvance(text), fm.height()), background);
    p.setPen(color);
    p.drawText(QPoint(topLeft.x(), topLeft.y() + fm.ascent()), text);
}

QPoint CentredIn(const QRect &content, QSize size)
{
    return QPoint((content.left() + content.right() - size.width()) / 2,
                  (content.top() + content.bottom() - size.height()) / 2);
}

QImage LoadFittedPicture(const QString &path, int kind, const QRect &content, qreal ratio)
{
    const int boxW = content.right() - content.left();
    const int boxH = content.bottom() - content.top();
    if (boxW < 1 || boxH < 1)
        return QImage();
    if (!(ratio > 0))
        ratio = 1.0;

    QImage image;
    QSize original;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (kind == KindPicture && (suffix == QLatin1String("bmp") || suffix == QLatin1String("ico"))) {
        // The window system's own formats: decoded whole (they are small and uncompressed).
        QImageReader reader(path);
        reader.setDecideFormatFromContent(true);
        image = reader.read();
        original = image.size();
    } else {
        // The decoder may drop resolution down to what the device pixels of the box need.
        imaging::LoadResult r = imaging::Load(path, QSize(qCeil(boxW * ratio), qCeil(boxH * ratio)));
        image = r.image;
        original = r.originalSize.isValid() ? r.originalSize : image.size();
    }
    if (image.isNull() || original.isEmpty())
        return QImage();

    // The book-pixel size follows the fitting rule; the device size is that times the ratio.
    int w = boxW, h = boxH;
    FitInBox(original.width(), original.height(), w, h);
    const QSize device(qMax(1, qRound(w * ratio)), qMax(1, qRound(h * ratio)));
    if (image.size() != device)
        image = image.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image.setDevicePixelRatio(ratio);
    return image;
}

void DrawErrorSign(QPainter &p, const QRect &content)
{
    const QImage &sign = BookPictures::ErrorImage();
    const QPoint at = CentredIn(content, sign.size());
    p.drawImage(at, sign);
    p.setFont(BookFont(8));
    DrawTextAt(p, QPoint(at.x(), at.y() - 20), QStringLiteral("Data Error!"), Qt::black, Qt::white);
}

void BookPainter::RenderPage(const BookScene &scene, int page, QImage &image,
                             bool showName, bool showComment, bool showNumber, bool showRings)
{
    WaitCursor wait;
    const BookGeometry &geo = *scene.geo;
    const BookLayout &layout = *scene.layout;
    const QSize size = geo.pageImageSize();
    if (image.size() != DeviceSize(size, ratio_) || image.devicePixelRatio() != ratio_ || image.format() != kFrameFormat)
        image = DeviceImage(size, ratio_);
    image.fill(Qt::white);
    if (size.isEmpty())
        return;

    QPainter p(&image);
    const QRect content = geo.contentLocal(page);
    const int lastPageNo = layout.LastPageNo;

    if (page >= layout.FirstFilePage && page < layout.FirstIndexPage) {
        DrawFilePage(scene, pictures_, p, page, content, showName, showComment);
    } else if (page == 1) {
        drawCoverPattern(scene, p, size);
        DrawAlbumTitle(scene, p, size);
    } else if (page >= layout.FirstOverviewPage && page < layout.FirstContentsPage) {
        if (scene.overview)
            scene.overview->DrawPage(p, content, page - layout.FirstOverviewPage + 1);
    } else if (page >= layout.FirstContentsPage && page < layout.FirstFilePage) {
        if (scene.contents)
            scene.contents->DrawPage(p, content, page - layout.FirstContentsPage + 1);
    } else if (page >= layout.FirstIndexPage && page < layout.BackCoverPage) {
        if (scene.index)
            scene.index->DrawPage(p, content, page - layout.FirstIndexPage + 1);
    } else if (page == lastPageNo) {
        drawCoverPattern(scene, p, size);
    }
    // Any other page (between the back cover and LastPageNo) stays white.

    if (showNumber && page != 1 && page != lastPageNo)
        DrawPageNumber(scene, p, page, geo.PageW, geo.PageH);
    if (showRings)
        DrawPageRings(p, page, geo.PageW, geo.PageH);
}

void BookPainter::drawCoverPattern(const BookScene &scene, QPainter &p, const QSize &pageSize)
{
    const QRect whole(QPoint(0, 0), pageSize);
    const int kind = scene.settings ? scene.settings->CoverKind : 0;
    const uint32_t colorRef = scene.settings ? scene.settings->CoverColor : 0xFFFFFF;
    const QColor coverColor = ColorFromStored(colorRef);
    if (kind == 1) {
        p.fillRect(whole, coverColor);
    } else if (kind == 2) {
        if (scene.coverBitmap.isNull())
            p.fillRect(whole, coverColor);
        else
            p.drawTiledPixmap(whole, QPixmap::fromImage(scene.coverBitmap));
    } else {
        const QImage &cover = defaultCover(scene.exeDir, pageSize);
        if (cover.isNull())
            p.fillRect(whole, QColor(0, 128, 128));
        else
            p.drawImage(0, 0, cover);
    }
}

// The default cover picture "%Res1.%j" of the program folder is a JPEG under a name of its own: it is
// decoded by content, whatever its name, and never renamed on disk.
const QImage &BookPainter::defaultCover(const QString &exeDir, const QSize &pageSize)
{
    const QString path = exeDir + QStringLiteral("/%Res1.%j");
    const QFileInfo info(path);
    const QDateTime modified = info.exists() ? info.lastModified() : QDateTime();
    if (coverMemo_.path == path && coverMemo_.modified == modified && coverMemo_.size == pageSize
        && coverMemo_.ratio == ratio_)
        return coverMemo_.image;
    coverMemo_ = CoverMemo{path, modified, pageSize, ratio_, QImage()};
    if (!info.isFile())
        return coverMemo_.image;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return coverMemo_.image;
    QImageReader reader(&file, "jpeg");
    const QSize full = reader.size();
    const QSize device = DeviceSize(pageSize, ratio_);
    if (full.isValid() && full.width() > device.width() * 2 && full.height() > device.height() * 2) {
        // Let the decoder drop resolution it would throw away anyway.
        reader.setScaledSize(QSize(std::max(device.width() * 2, 1), std::max(device.height() * 2, 1)));
    }
    QImage img = reader.read();
    if (img.isNull())
        return coverMemo_.image;
    // Stretched over the whole page, at the page's device pixels.
    coverMemo_.image = img.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                           .convertToFormat(kFrameFormat);
    coverMemo_.image.setDevicePixelRatio(ratio_);
    return coverMemo_.image;
}

} // namespace pagero
