// Frames and pages rendered headless, checked pixel by pixel against the book's drawing rules.
#include "PainterTestBook.h"
#include "common/Fonts.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <gtest/gtest.h>

using namespace pagero;
using namespace pagero::test;

namespace {

const QColor kWhite(255, 255, 255), kBlack(0, 0, 0);

// 860 x 600: SpineX 430, PageW 400, BookBottomY 576, PageH 556; left page (30, 20)..(430, 576).
struct FortyPages : PainterTestBook {
    FortyPages() { Lay(2, 2, 30, 3); }   // overview 2-3, contents 4-5, files 6-35, index 36-38, back 39
};

TEST(SpreadRendering, StacksOfAFortyPageBookAtSpread20AlternateWhiteAndBlack)
{
    FortyPages book;
    ASSERT_EQ(book.layout.LastPageNo, 40);
    book.Open(20);
    QImage &f = book.painter.ViewImage1;
    book.painter.RenderSpread(book.scene, f);
    const BookGeometry &g = book.geo;

    // Depth 10 on both sides: edges b = 1..10 below and outside each page, odd white, even black.
    for (int b = 1; b <= 10; ++b) {
        const QColor edge = b % 2 ? kWhite : kBlack;
        EXPECT_EQ(At(f, 200, g.leftB + b), edge) << "left bottom b=" << b;
        EXPECT_EQ(At(f, g.leftL - b, 300), edge) << "left side b=" << b;
        EXPECT_EQ(At(f, 600, g.rightB + b), edge) << "right bottom b=" << b;
        EXPECT_EQ(At(f, g.rightR + b, 300), edge) << "right side b=" << b;
    }
    for (int b = 11; b <= 14; ++b) {
        EXPECT_EQ(At(f, 200, g.leftB + b), Red());
        EXPECT_EQ(At(f, g.rightR + b, 300), Red());
    }
    // Frame lines of both pages.
    EXPECT_EQ(At(f, 200, g.leftT), kBlack);
    EXPECT_EQ(At(f, 200, g.leftB), kBlack);
    EXPECT_EQ(At(f, g.leftL, 300), kBlack);
    EXPECT_EQ(At(f, g.SpineX, 300), kBlack);
    EXPECT_EQ(At(f, g.rightR, 300), kBlack);
    EXPECT_EQ(At(f, 600, g.rightT), kBlack);
    // The page images sit inside the frames.
    EXPECT_EQ(At(f, 200, 300), kWhite);
    EXPECT_EQ(At(f, 600, 300), kWhite);
}

TEST(SpreadRendering, StackLinesEndWhereTheLineRulesEndThem)
{
    FortyPages book;
    book.Open(20);
    QImage &f = book.painter.ViewImage1;
    book.painter.RenderSpread(book.scene, f);
    const int L = book.geo.leftL, T = book.geo.leftT, R = book.geo.leftR, B = book.geo.leftB;
    // Left stack near its top: b = 2's black cap reaches one pixel left of the frame, b = 1's white
    // edge starts three rows below the page top.
    EXPECT_EQ(At(f, L - 1, T + 1), Red());
    EXPECT_EQ(At(f, L - 1, T + 2), kBlack);
    EXPECT_EQ(At(f, L - 1, T + 3), kWhite);
    // Row B + 1 around the spine: the white edge of b = 1 stops short, b = 2's black ticks turn up.
    EXPECT_EQ(At(f, R - 3, B + 1), kWhite);
    EXPECT_EQ(At(f, R - 2, B + 1), kBlack);
    EXPECT_EQ(At(f, R - 1, B + 1), Red());
    EXPECT_EQ(At(f, R, B + 1), Red());
    EXPECT_EQ(At(f, R + 1, B + 1), Red());
    EXPECT_EQ(At(f, R + 2, B + 1), kBlack);
    EXPECT_EQ(At(f, R + 3, B + 1), kWhite);
}

TEST(SpreadRendering, ClosedAtTheFrontShowsNoLeftPageAndRingsLeftOfTheSpine)
{
    FortyPages book;
    book.Open(0);
    QImage &f = book.painter.ViewImage1;
    book.painter.RenderSpread(book.scene, f);
    const BookGeometry &g = book.geo;
    EXPECT_EQ(At(f, 200, 300), Red());                 // no left page
    EXPECT_EQ(At(f, g.leftL, 300), Red());             // no frame
    EXPECT_EQ(At(f, 200, g.leftB + 2), Red());         // no stack
    EXPECT_EQ(At(f, 600, g.rightB + 14), kBlack);      // the right stack is 14 deep
    EXPECT_EQ(At(f, 600, g.rightB + 15), Red());

    const QImage &ring = BookPictures::RightLkImg();
    int rows = 0;
    int y = g.BookBottomY - g.PageH + 14;
    for (; y < g.BookBottomY - 20; y += 17, ++rows)
        EXPECT_TRUE(ShowsPicture(f, ring, QPoint(g.SpineX - ring.width() + 1, y))) << "ring row " << y;
    EXPECT_EQ(rows, (g.PageH - 34 + 16) / 17);
    EXPECT_FALSE(ShowsPicture(f, ring, QPoint(g.SpineX - ring.width() + 1, y)));
}

TEST(SpreadRendering, ClosedAtTheBackShowsNoRightPageAndRingsRightOfTheSpine)
{
    FortyPages book;
    book.Open(40);
    QImage &f = book.painter.ViewImage1;
    book.painter.RenderSpread(book.scene, f);
    const BookGeometry &g = book.geo;
    EXPECT_EQ(At(f, 600, 300), Red());
    EXPECT_EQ(At(f, g.rightR, 300), Red());
    EXPECT_EQ(At(f, 200, 300), kWhite);                // the back cover, white by the cover colour
    EXPECT_EQ(At(f, 200, g.leftB + 14), kBlack);       // 20 leaves on the left: depth 14
    const QImage &ring = BookPictures::LeftLkImg();
    for (int y = g.BookBottomY - g.PageH + 14; y < g.BookBottomY - 20; y += 17)
        EXPECT_TRUE(ShowsPicture(f, ring, QPoint(g.SpineX, y))) << "ring row " << y;
}

TEST(SpreadRendering, ScreenBackgroundIsTiledFromTheCorner)
{
    FortyPages book;
    QImage tile(16, 16, QImage::Format_RGB32);
    tile.fill(Qt::cyan);
    tile.setPixel(0, 0, qRgb(255, 255, 0));
    book.settings.ScreenBackKind = 2;
    book.scene.screenBackBitmap = tile;
    book.Open(20);
    QImage &f = book.painter.ViewImage1;
    book.painter.RenderSpread(book.scene, f);
    EXPECT_EQ(At(f, 0, 0), QColor(255, 255, 0));
    EXPECT_EQ(At(f, 16, 0), QColor(255, 255, 0));
    EXPECT_EQ(At(f, 32, 16), QColor(255, 255, 0));
    EXPECT_EQ(At(f, 1, 0), QColor(Qt::cyan));
}

// The page label's text cell as the label rule places it, drawn independently for comparison.
QImage LabelReference(const PainterTestBook &book, const QString &text, bool evenPage)
{
    QImage ref(book.geo.pageImageSize(), kFrameFormat);
    ref.fill(Qt::white);
    QPainter p(&ref);
    const QFont font = BookFont(8);
    p.setFont(font);
    p.setPen(Qt::black);
    const QFontMetrics fm(font);
    const int x = evenPage ? 30 : book.geo.PageW - 30 - fm.horizontalAdvance(text);
    p.drawText(x, book.geo.PageH - 20 + fm.ascent(), text);
    return ref;
}

TEST(PageRendering, PageLabelsShowRomanThenDecimalNumbersAtTheBottomCorners)
{
    FortyPages book;
    book.Open(2);
    const int pageH = book.geo.PageH;
    const QRect band(0, pageH - 20, book.geo.PageW - 1, 19);
    struct Case { int page; const char *text; };
    for (Case c : {Case{2, "- i -"}, Case{3, "- ii -"}, Case{6, "- 1 -"}, Case{7, "- 2 -"}, Case{36, "- 31 -"}}) {
        const QImage page = book.Render(c.page);
        const QImage ref = LabelReference(book, QString::fromLatin1(c.text), c.page % 2 == 0);
        EXPECT_EQ(page.copy(band), ref.copy(band)) << "page " << c.page;
        const QRect dark = DarkBox(page, band);
        ASSERT_FALSE(dark.isEmpty());
        EXPECT_GE(dark.top(), pageH - 20);
        if (c.page % 2 == 0) {
            EXPECT_GE(dark.left(), 30);
            EXPECT_LE(dark.left(), 32);
        } else {
            EXPECT_LE(dark.right(), book.geo.PageW - 31);
            EXPECT_GE(dark.right(), book.geo.PageW - 34);
        }
    }
    // Covers carry no number.
    EXPECT_TRUE(DarkBox(book.Render(40), band).isEmpty());
}

TEST(PageRendering, RingsRunDownTheSpineEdgeOfEachPage)
{
    FortyPages book;
    const QImage even = book.Render(20), odd = book.Render(21);
    const QImage &leftRing = BookPictures::LeftFlipLkImg(), &rightRing = BookPictures::RightFlipLkImg();
    int rows = 0;
    for (int y = 13; y < book.geo.PageH - 20; y += 17, ++rows) {
        EXPECT_TRUE(ShowsPicture(odd, rightRing, QPoint(0, y)));
        // The even page's ring hangs one column past the page image; compare what is inside.
        EXPECT_TRUE(ShowsPicture(even, leftRing.copy(0, 0, leftRing.width() - 1, leftRing.height()),
                                 QPoint(book.geo.PageW - leftRing.width(), y)));
    }
    EXPECT_EQ(rows, (book.geo.PageH - 20 - 13 + 16) / 17);
}

struct AlbumBook : PainterTestBook {
    AlbumBook()
    {
        WritePicture(QStringLiteral("a.jpg"), QSize(200, 150), Red(), "JPG");
        WriteBytes(QStringLiteral("b.wav"), QByteArray("RIFF\0\0\0\0WAVE", 12));
        WriteBytes(QStringLiteral("c.jpg"), QByteArray::fromHex("FFD8FFE0") + QByteArray(" this is not a picture"));
        WriteBytes(QStringLiteral("d.mid"), QByteArray("MThd"));
        WritePicture(QStringLiteral("e.png"), QSize(2000, 1000), QColor(0, 255, 0));
        WritePicture(QStringLiteral("f.bmp"), QSize(50, 40), QColor(0, 0, 255));
        LayFromAlbum();
        Open(2);
    }
    QRect Content(int page) const { return geo.contentLocal(page); }
};

bool Near(const QColor &a, const QColor &b, int tolerance = 24)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

TEST(PageRendering, PicturesAreCentredAndNeverEnlarged)
{
    AlbumBook book;
    ASSERT_EQ(book.pages.Count(), 6);

    const int jpgPage = book.PageOf(QStringLiteral("a.jpg"));
    const QImage jpg = book.Render(jpgPage);
    const QPoint at = CentredIn(book.Content(jpgPage), QSize(200, 150));
    EXPECT_TRUE(Near(At(jpg, at.x() + 4, at.y() + 75), Red()));
    EXPECT_TRUE(Near(At(jpg, at.x() + 195, at.y() + 75), Red()));
    EXPECT_EQ(At(jpg, at.x() - 3, at.y() + 75), kWhite);
    EXPECT_EQ(At(jpg, at.x() + 203, at.y() + 75), kWhite);
    EXPECT_EQ(At(jpg, at.x() + 100, at.y() + 153), kWhite);

    const int bmpPage = book.PageOf(QStringLiteral("f.bmp"));
    const QImage bmp = book.Render(bmpPage);
    const QPoint b = CentredIn(book.Content(bmpPage), QSize(50, 40));
    EXPECT_EQ(At(bmp, b.x(), b.y()), QColor(0, 0, 255));
    EXPECT_EQ(At(bmp, b.x() + 49, b.y() + 39), QColor(0, 0, 255));
    EXPECT_EQ(At(bmp, b.x() - 1, b.y()), kWhite);
    EXPECT_EQ(At(bmp, b.x() + 50, b.y() + 39), kWhite);

    // 2000 x 1000 through the imaging layer: fitted to the content width, aspect kept.
    const int pngPage = book.PageOf(QStringLiteral("e.png"));
    const QRect c = book.Content(pngPage);
    int w = c.right() - c.left(), h = c.bottom() - c.top();
    FitInBox(2000, 1000, w, h);
    EXPECT_EQ(w, c.right() - c.left());
    const QImage png = book.Render(pngPage);
    const QPoint p = CentredIn(c, QSize(w, h));
    const int midY = p.y() + h / 2;
    EXPECT_TRUE(Near(At(png, p.x(), midY), QColor(0, 255, 0)));
    EXPECT_TRUE(Near(At(png, p.x() + w - 1, midY), QColor(0, 255, 0)));
    EXPECT_EQ(At(png, p.x() - 1, midY), kWhite);
    EXPECT_EQ(At(png, p.x() + w, midY), kWhite);
    EXPECT_EQ(At(png, p.x() + w / 2, p.y() - 1), kWhite);
    EXPECT_EQ(At(png, p.x() + w / 2, p.y() + h), kWhite);
}

TEST(PageRendering, CorruptPictureShowsTheErrorSignAndMediaPagesTheirIcons)
{
    AlbumBook book;
    const int corrupt = book.PageOf(QStringLiteral("c.jpg"));
    const QImage bad = book.Render(corrupt);
    const QPoint at = CentredIn(book.Content(corrupt), BookPictures::ErrorImage().size());
    EXPECT_TRUE(ShowsPicture(bad, BookPictures::ErrorImage(), at));
    // "Data Error!" written 20 pixels above the sign.
    const QRect text = DarkBox(bad, QRect(at.x(), at.y() - 20, 120, 18));
    ASSERT_FALSE(text.isEmpty());
    EXPECT_LE(text.left(), at.x() + 2);

    const int wav = book.PageOf(QStringLiteral("b.wav"));
    EXPECT_TRUE(ShowsPicture(book.Render(wav), BookPictures::WavIcon(),
                             CentredIn(book.Content(wav), BookPictures::WavIcon().size())));
    const int mid = book.PageOf(QStringLiteral("d.mid"));
    EXPECT_TRUE(ShowsPicture(book.Render(mid), BookPictures::MidIcon(),
                             CentredIn(book.Content(mid), BookPictures::MidIcon().size())));
}

TEST(PageRendering, FileNameCaptionTurnsBlueWhenTheFileIsBatchSelected)
{
    AlbumBook book;
    const int page = book.PageOf(QStringLiteral("e.png"));
    const QRect c = book.Content(page);
    const QRect caption(c.left(), 8, 60, QFontMetrics(BookFont(8)).height());
    auto blueCount = [&](const QImage &img) {
        int n = 0;
        for (int y = caption.top(); y <= caption.bottom(); ++y)
            for (int x = caption.left(); x <= caption.right(); ++x)
                n += QColor(img.pixel(x, y)) == QColor(0, 0, 255);
        return n;
    };
    const QImage plain = book.Render(page);
    EXPECT_EQ(blueCount(plain), 0);
    EXPECT_FALSE(DarkBox(plain, caption).isEmpty());
    EXPECT_GE(DarkBox(plain, caption).left(), c.left());
    EXPECT_LE(DarkBox(plain, caption).left(), c.left() + 2);

    book.selection << book.AlbumFile(QStringLiteral("E.PNG"));   // compared ignoring case
    const QImage selected = book.Render(page);
    EXPECT_EQ(At(selected, c.left(), 8), QColor(0, 0, 255));
    EXPECT_GT(blueCount(selected), 100);
    bool whiteText = false;
    for (int x = caption.left(); x < caption.left() + 20; ++x)
        whiteText |= At(selected, x, 8 + caption.height() / 2) == kWhite;
    EXPECT_TRUE(whiteText);

    // Without the name flag no caption is written.
    QImage bare;
    book.painter.RenderPage(book.scene, page, bare, false, false, true, false);
    EXPECT_TRUE(DarkBox(bare, caption).isEmpty());
}

TEST(PageRendering, CoverPatternsAndTheAlbumTitle)
{
    FortyPages book;
    const int pageW = book.geo.PageW, pageH = book.geo.PageH;
    const QPoint probe(pageW / 2, pageH - 6);

    // Default picture missing: teal.
    book.settings.CoverKind = 0;
    EXPECT_EQ(At(book.Render(1), probe.x(), probe.y()), QColor(0, 128, 128));
    EXPECT_EQ(At(book.Render(40), probe.x(), probe.y()), QColor(0, 128, 128));

    // The default picture is a JPEG under its own name; it is read in place, never renamed.
    const QString cover = book.exe.path() + QStringLiteral("/%Res1.%j");
    QImage blue(64, 48, QImage::Format_RGB32);
    blue.fill(QColor(0, 0, 255));
    ASSERT_TRUE(blue.save(cover, "JPG"));
    EXPECT_TRUE(Near(At(book.Render(40), probe.x(), probe.y()), QColor(0, 0, 255)));
    EXPECT_TRUE(Near(At(book.Render(40), 0, 0), QColor(0, 0, 255)));   // stretched over the page
    EXPECT_TRUE(QFileInfo::exists(cover));
    EXPECT_FALSE(QFileInfo::exists(book.exe.path() + QStringLiteral("/%Res1.jpg")));

    book.settings.CoverKind = 1;
    book.settings.CoverColor = 0x00FF00;
    EXPECT_EQ(At(book.Render(40), probe.x(), probe.y()), QColor(0, 255, 0));

    book.settings.CoverKind = 2;
    QImage tile(10, 10, QImage::Format_RGB32);
    tile.fill(Qt::magenta);
    tile.setPixel(0, 0, qRgb(255, 255, 0));
    book.scene.coverBitmap = tile;
    const QImage tiled = book.Render(40);
    EXPECT_EQ(At(tiled, 10, 0), QColor(255, 255, 0));
    EXPECT_EQ(At(tiled, 20, 10), QColor(255, 255, 0));
    EXPECT_EQ(At(tiled, 25, 5), QColor(Qt::magenta));

    // The title on the front cover: both lines centred, the second with a grey shadow.
    book.settings.CoverKind = 1;
    book.settings.CoverColor = 0xFFFFFF;
    const QImage front = book.Render(1);
    const int y0 = RoundHalfEven((pageH - 2 - 20) / 3.0);
    const int headingH = QFontMetrics(BookFont(10)).height();
    const QRect heading = DarkBox(front, QRect(30, y0, pageW - 60, headingH));
    ASSERT_FALSE(heading.isEmpty());
    EXPECT_GE(heading.top(), y0);
    EXPECT_NEAR(heading.center().x(), (pageW - 2) / 2, 3);
    const QRect nameBand(30, y0 + headingH + 2, pageW - 60, QFontMetrics(BookFont(16, true)).height() + 2);
    const QRect name = DarkBox(front, nameBand);
    ASSERT_FALSE(name.isEmpty());
    EXPECT_NEAR(name.center().x(), (pageW - 2) / 2, 3);
    int grey = 0;
    for (int y = nameBand.top(); y <= nameBand.bottom(); ++y)
        for (int x = nameBand.left(); x <= nameBand.right(); ++x)
            grey += QColor(front.pixel(x, y)) == QColor(0x80, 0x80, 0x80);
    EXPECT_GT(grey, 10);
}

TEST(PageCache, ReplacementKeepsTheOpenPagesAndTheFacesOfQueuedLeaves)
{
    FortyPages book;
    book.Open(20);
    BookPainter &p = book.painter;
    for (int page : {20, 21, 5})
        p.GetPage(book.scene, page);
    p.GetPage(book.scene, 7);                  // page 5 is not needed: its slot is taken first
    EXPECT_EQ(p.CachedPage(5), nullptr);
    for (int page : {20, 21, 7})
        EXPECT_NE(p.CachedPage(page), nullptr) << page;

    book.flip.leaves = {FlipLeaf{7, 12, 100}};
    p.GetPage(book.scene, 12);                 // the empty slot
    for (int page : {20, 21, 7, 12})
        EXPECT_NE(p.CachedPage(page), nullptr) << page;
    p.GetPage(book.scene, 9);                  // every slot needed: slot 0 (page 20)
    EXPECT_EQ(p.CachedPage(20), nullptr);
    for (int page : {9, 21, 7, 12})
        EXPECT_NE(p.CachedPage(page), nullptr) << page;

    // A cached page is served as it is; DrawBook empties the cache first.
    const QImage *cached = p.CachedPage(21);
    EXPECT_EQ(&p.GetPage(book.scene, 21), cached);
    book.flip.leaves.clear();
    p.DrawBook(book.scene);
    EXPECT_EQ(p.CachedPage(12), nullptr);
    EXPECT_NE(p.CachedPage(20), nullptr);
}

} // namespace

// A resize used to leave the shown frame unpainted (black, with the pointer highlight drawn on it)
// until the deferred rebuild composed the book again. The frame now keeps the last book where it
// was, on the screen background.
TEST(BookFrameResize, KeepsTheLastBookOnTheBackgroundUntilTheNextSpread)
{
    PainterTestBook book(QSize(860, 600));
    book.Lay(2, 2, 30, 3);
    book.Open(20);
    const QImage before = book.painter.DrawBook(book.scene).copy();

    const BookGeometry larger = BookGeometry::For(QSize(1000, 700), 0);
    book.painter.Resize(larger);
    const QImage &grown = book.painter.ViewImage1;
    ASSERT_EQ(grown.size(), QSize(1000, 700));
    EXPECT_EQ(grown.copy(0, 0, 860, 600), before);
    for (QPoint p : {QPoint(999, 0), QPoint(900, 300), QPoint(0, 699), QPoint(999, 699)})
        EXPECT_EQ(At(grown, p.x(), p.y()), Red()) << p.x() << "," << p.y();

    const BookGeometry smaller = BookGeometry::For(QSize(700, 500), 0);
    book.painter.Resize(smaller);
    EXPECT_EQ(book.painter.ViewImage1, before.copy(0, 0, 700, 500));
}
