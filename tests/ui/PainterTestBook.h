#pragma once
// A book for the painter's tests: geometry, layout, flip state, page list and settings wired into a
// scene, with an album folder in a temporary directory that the tests fill with files.
#include "app/BookPainter.h"
#include "app/PageRenderer.h"
#include "core/common/MyLib.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

namespace pagero::test {

struct PainterTestBook {
    QTemporaryDir album;
    QTemporaryDir exe;
    BookGeometry geo;
    BookLayout layout;
    FlipState flip;
    PageList pages;
    QStringList selection;
    Settings settings;
    BookPainter painter;
    BookScene scene;

    // A book for `client`; Lay or LayFromAlbum gives it its sections.
    explicit PainterTestBook(QSize client = QSize(860, 600))
    {
        geo = BookGeometry::For(client, 0);
        settings.ScreenBackColor = 0x0000FF;   // red, stored with red in the low byte
        settings.CoverKind = 1;
        settings.CoverColor = 0xFFFFFF;
        scene.geo = &geo;
        scene.layout = &layout;
        scene.flip = &flip;
        scene.pages = &pages;
        scene.selection = &selection;
        scene.settings = &settings;
        scene.exeDir = exe.path();
        scene.albumNameLines = {QStringLiteral("Folder Name"), QStringLiteral("TRIP")};
        painter.Resize(geo);
        flip.SetPageW(geo.PageW);
    }

    void Lay(int overviewPages, int contentsPages, int files, int indexPages)
    {
        SectionSizes s;
        s.files = files;
        s.overviewPages = overviewPages;
        s.contentsPages = contentsPages;
        s.indexPages = indexPages;
        layout.Compute(s);
        flip.LastPageNo = layout.LastPageNo;
    }

    // Lays the book out for the files of the album folder: one overview and one contents page.
    void LayFromAlbum()
    {
        pages.Build(album.path(), QString::fromLatin1(kDefaultFilterMask), SortByName);
        Lay(1, 1, pages.Count(), 1);
    }

    void Open(int leftPageNo)
    {
        flip.LeftPageNo = leftPageNo;
        flip.RightPageNo = leftPageNo + 1;
        painter.InvalidatePageCache();
    }

    QString AlbumFile(const QString &name) const { return album.path() + QLatin1Char('/') + name; }

    void WriteBytes(const QString &name, const QByteArray &bytes) const
    {
        QFile f(AlbumFile(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }

    void WritePicture(const QString &name, QSize size, QColor color, const char *format = nullptr) const
    {
        QImage img(size, QImage::Format_RGB32);
        img.fill(color);
        img.save(AlbumFile(name), format);
    }

    // The file page of the album file `name`.
    int PageOf(const QString &name) const
    {
        return layout.FirstFilePage + int(pages.Names().indexOf(name));
    }

    QImage Render(int page)
    {
        QImage img;
        painter.RenderPage(scene, page, img, true, true, true, true);
        return img;
    }
};

inline QColor At(const QImage &img, int x, int y) { return QColor(img.pixel(x, y)); }
inline QColor Red() { return QColor(255, 0, 0); }

// True when every opaque pixel of `picture` appears at `at` in `img`.
inline bool ShowsPicture(const QImage &img, const QImage &picture, QPoint at)
{
    const QImage pic = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < pic.height(); ++y)
        for (int x = 0; x < pic.width(); ++x) {
            const QRgb px = pic.pixel(x, y);
            if (qAlpha(px) != 255)
                continue;
            const QPoint p = at + QPoint(x, y);
            if (!img.rect().contains(p) || (img.pixel(p) & 0xFFFFFF) != (px & 0xFFFFFF))
                return false;
        }
    return true;
}

// The bounding box of the pixels darker than mid grey inside `area`.
inline QRect DarkBox(const QImage &img, const QRect &area)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (img.rect().contains(x, y) && qGray(img.pixel(x, y)) < 128)
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace pagero::test
