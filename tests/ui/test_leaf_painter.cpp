// The turning leaf drawn on a frame: outline and free corner, bundle edges one pixel apart, the page
// face squeezed to the leaf's width and lifted along the curve (filtered, shaded at the fold), the
// shadow on the page beneath, the spine.
#include "PainterTestBook.h"
#include "app/LeafPainter.h"

#include <gtest/gtest.h>

using namespace pagero;
using namespace pagero::test;

namespace {

const QColor kBlack(0, 0, 0), kWhite(255, 255, 255), kYellow(255, 255, 0), kGreen(0, 255, 0);

// The outline is drawn anti-aliased through the pixel centres: a pixel it passes through is at
// least half covered.
bool IsOutline(const QColor &c) { return qGray(c.rgb()) < 120; }
// The red frame, perhaps in the leaf's shadow, with nothing of the leaf on it.
bool IsBackground(const QColor &c) { return c.red() > 150 && c.green() == 0 && c.blue() == 0; }
bool IsReddish(const QColor &c) { return c.red() > 200 && c.green() < 40 && c.blue() < 40; }
bool IsGreenish(const QColor &c) { return c.green() > 200 && c.red() < 40 && c.blue() < 40; }

// 860 x 600: SpineX 430, PageW 400, BookBottomY 576, PageH 556. The covers show a page-sized
// pattern: left half red, right half green, the top ten rows yellow.
struct LeafBook : PainterTestBook {
    LeafBook()
    {
        Lay(2, 2, 30, 3);
        const QSize page = geo.pageImageSize();
        QImage pattern(page, QImage::Format_RGB32);
        pattern.fill(kGreen);
        QPainter p(&pattern);
        p.fillRect(0, 0, 200, page.height(), Red());
        p.fillRect(0, 0, page.width(), 10, kYellow);
        p.end();
        settings.CoverKind = 2;
        scene.coverBitmap = pattern;
        scene.albumNameLines = {QString(), QString()};
        Open(20);
    }

    // Draws `leaf` on a plain red frame.
    QImage Draw(const FlipLeaf &leaf)
    {
        QImage frame(geo.client, kFrameFormat);
        frame.fill(Red());
        const std::vector<FlipLeaf> queued = std::exchange(flip.leaves, {leaf});
        painter.PrepareLeafFaces(scene);   // as a flip does before its first frame
        flip.leaves = queued;
        painter.DrawLeaf(scene, frame, leaf);
        if (qEnvironmentVariableIsSet("PAGERO_TEST_DUMP"))
            frame.save(QStringLiteral("/tmp/leaf_%1_%2.png").arg(leaf.FrontPage).arg(leaf.FoldX));
        return frame;
    }

    // The curve's points for a leaf whose first outline starts at `originX`.
    std::vector<QPoint> Curve(int originX, int foldX)
    {
        std::vector<QPoint> pts;
        const int n = LeafCurve(originX, geo.BookBottomY, foldX, geo.PageW, pts);
        pts.resize(n);
        return pts;
    }
};

TEST(LeafDrawing, RightLeafOutlineEndsAtItsFreeCorner)
{
    LeafBook book;
    const BookGeometry &g = book.geo;
    book.painter.GetPage(book.scene, 1);
    const int a = 380;   // close to flat, so that the lifted top corner stays inside the frame
    const QImage f = book.Draw(FlipLeaf{1, 2, a});
    const auto pts = book.Curve(g.SpineX, a);
    const QPoint bottom = pts.back();
    EXPECT_EQ(bottom.x(), g.SpineX + a);
    EXPECT_LT(bottom.y(), g.BookBottomY);                  // the free end is lifted

    const int mid = g.BookBottomY - 300;
    EXPECT_EQ(At(f, g.SpineX + a, mid), kBlack);                 // the outer edge, a whole column
    EXPECT_TRUE(IsBackground(At(f, g.SpineX + a + 1, mid)));     // nothing of the leaf beyond it
    EXPECT_TRUE(IsOutline(At(f, bottom.x(), bottom.y())));        // free bottom corner
    EXPECT_EQ(At(f, bottom.x(), bottom.y() + 2), Red());
    EXPECT_TRUE(IsOutline(At(f, bottom.x(), bottom.y() - g.PageH)));   // free top corner
    EXPECT_EQ(At(f, bottom.x(), bottom.y() - g.PageH - 2), Red());
    EXPECT_EQ(At(f, g.SpineX, g.BookBottomY - 200), kBlack);     // the spine
}

TEST(LeafDrawing, FaceIsSqueezedToTheLeafWidthAndFollowsTheCurve)
{
    LeafBook book;
    const BookGeometry &g = book.geo;
    book.painter.GetPage(book.scene, 1);
    const int a = 278;
    const QImage f = book.Draw(FlipLeaf{1, 2, a});
    const auto pts = book.Curve(g.SpineX, a);

    // The pattern's red/green border (page column 200 of 399) lands near column 139 of the leaf.
    const int mid = g.BookBottomY - 300;
    EXPECT_EQ(At(f, g.SpineX + 125, mid), Red());
    EXPECT_EQ(At(f, g.SpineX + 155, mid), kGreen);

    // Each column is lifted by the curve: the face reaches down to the outline at the curve point,
    // and nothing lies below it.
    for (int s : {40, 80, 200}) {
        const int x = g.SpineX + s, y = pts[s].y();
        EXPECT_TRUE(s < 139 ? IsReddish(At(f, x, y - 2)) : IsGreenish(At(f, x, y - 2))) << s;
        EXPECT_TRUE(IsOutline(At(f, x, y))) << s;
        EXPECT_EQ(At(f, x, y + 2), Red()) << s;
    }
}

TEST(LeafDrawing, TopRowsOfTheFaceRunUnderTheLiftedTopEdge)
{
    LeafBook book;
    const BookGeometry &g = book.geo;
    book.painter.GetPage(book.scene, 1);
    const int a = 380;
    const QImage f = book.Draw(FlipLeaf{1, 2, a});
    const auto pts = book.Curve(g.SpineX, a);
    // Near the free edge the top edge's chord meets the curve: the page's yellow top rows show
    // right under the lifted top edge.
    const int s = a - 6;
    const int top = pts[s].y() - g.PageH;
    ASSERT_GE(top, 0);
    EXPECT_TRUE(IsOutline(At(f, g.SpineX + s, top)));
    EXPECT_EQ(At(f, g.SpineX + s, top + 4), kYellow);
    EXPECT_EQ(At(f, g.SpineX + s, top + 20), kGreen);
}

TEST(LeafDrawing, LeftLeafShowsItsBackPageMirroredAcrossTheSpine)
{
    LeafBook book;
    const BookGeometry &g = book.geo;
    book.painter.GetPage(book.scene, 40);   // the back cover
    const int a = 278;
    const QImage f = book.Draw(FlipLeaf{39, 40, -a});
    const int mid = g.BookBottomY - 300;
    EXPECT_EQ(At(f, g.SpineX - a, mid), kBlack);
    EXPECT_TRUE(IsBackground(At(f, g.SpineX - a - 1, mid)));
    // The page's outer (left) half lies away from the spine, its spine side (green) next to it.
    EXPECT_EQ(At(f, g.SpineX - 200, mid), Red());
    EXPECT_EQ(At(f, g.SpineX - 100, mid), kGreen);
    const auto pts = book.Curve(g.SpineX, -a);
    EXPECT_TRUE(IsOutline(At(f, pts.back().x(), pts.back().y())));
    EXPECT_EQ(At(f, pts.back().x(), pts.back().y() + 2), Red());
}

TEST(LeafDrawing, BundleDrawsOneExtraEdgePerFurtherLeafOnePixelApart)
{
    LeafBook book;
    const BookGeometry &g = book.geo;
    const int a = 278;
    for (int d : {0, 4}) {
        book.painter.InvalidatePageCache();
        const QImage f = book.Draw(FlipLeaf{3, 3 + 2 * d, a});
        const int mid = g.BookBottomY - 300;
        for (int k = 0; k <= d; ++k)
            EXPECT_EQ(At(f, g.SpineX + a + k, mid), kBlack) << "d=" << d << " edge " << k;
        EXPECT_TRUE(IsBackground(At(f, g.SpineX + a + d + 1, mid))) << "d=" << d;
        EXPECT_EQ(At(f, g.SpineX + a - 2, mid), kWhite) << "d=" << d;   // blank face: not cached
        // The outlines start on a diagonal from (SpineX + d, BookBottomY + d) to the spine foot.
        for (int k = 0; k <= d; ++k)
            EXPECT_EQ(At(f, g.SpineX + d - k, g.BookBottomY + d - k), kBlack) << "d=" << d << " foot " << k;
        EXPECT_EQ(At(f, g.SpineX + d, g.BookBottomY + d + 1), Red());
        EXPECT_EQ(At(f, g.SpineX - 1, g.BookBottomY + d), Red());
    }
}

// Drawing a bundle of d further leaves whole, polygon after polygon, gives the same edges and strips
// as the painter's, but for a few pixels where the fill rules meet. The top leaf itself (its face,
// outline and the pixel its smooth edge reaches beyond), its shadow and the corner at the spine foot,
// where its steep fold meets the strips' staircase, are not compared.
TEST(LeafDrawing, BundleLooksLikeEveryLeafDrawnWhole)
{
    LeafBook book;
    const BookGeometry &g = book.geo;
    for (int fold : {278, -150, 30}) {
        const int d = 10;
        book.painter.InvalidatePageCache();
        const QImage drawn = book.Draw(FlipLeaf{3, 3 + 2 * d, fold});

        QImage ref(g.client, kFrameFormat);
        ref.fill(Red());
        const bool left = fold < 0;
        std::vector<QPoint> pts;
        const int n = LeafCurve(left ? g.SpineX - d : g.SpineX + d, g.BookBottomY + d, fold, g.PageW, pts);
        pts.resize(n + 1);
        pts[n] = QPoint(pts[n - 1].x(), pts[n - 1].y() - g.PageH);
        DrawOutlinedPolygon(ref, pts.data(), n + 1);
        for (int k = 0; k < d; ++k) {
            for (QPoint &pt : pts)
                pt += QPoint(left ? 1 : -1, -1);
            DrawOutlinedPolygon(ref, pts.data(), n + 1);
        }
        for (int i = 0; i < n; ++i)
            pts[i].ry() -= g.PageH;
        DrawOutlinedPolygon(ref, pts.data(), n);
        DrawLineExcludingEnd(ref, QPoint(g.SpineX, g.BookBottomY), QPoint(g.SpineX, g.BookBottomY - g.PageH), qRgb(0, 0, 0));

        const auto top = book.Curve(g.SpineX, fold);   // the top leaf's bottom edge
        auto topLeaf = [&](int x, int y) {
            const int i = left ? g.SpineX - x : x - g.SpineX;
            if (i < 0 || i > std::abs(fold))
                return false;
            // Next to the spine the curve is steep: a column reaches up to its outer neighbour.
            const int low = top[size_t(std::max(i - 1, 0))].y(), high = top[size_t(std::min(i + 1, std::abs(fold)))].y();
            return y >= high - g.PageH - 1 && y <= low + 1;
        };
        auto beyond = [&](int x) { return left ? x < g.SpineX + fold - d : x > g.SpineX + fold + d; };
        // At the spine foot the smooth top leaf's steep fold meets the strips' staircase.
        auto foot = [&](int x, int y) { return std::abs(x - g.SpineX) <= d + 6 && y >= g.BookBottomY - 3 * d; };
        int differing = 0, compared = 0;
        for (int y = 0; y < ref.height(); ++y)
            for (int x = 0; x < ref.width(); ++x) {
                if (topLeaf(x, y) || beyond(x) || foot(x, y) || (ref.pixel(x, y) == Red().rgb() && drawn.pixel(x, y) == Red().rgb()))
                    continue;
                ++compared;
                differing += ref.pixel(x, y) != drawn.pixel(x, y);
            }
        EXPECT_GT(compared, 2 * std::abs(fold)) << "fold " << fold;
        EXPECT_LE(differing, 2 * d) << "fold " << fold;
    }
}

TEST(LeafDrawing, BothLeavesOfTheQueueAreDrawn)
{
    LeafBook book;
    const BookGeometry &g = book.geo;
    book.flip.leaves = {FlipLeaf{19, 20, -250}, FlipLeaf{21, 22, 250}};
    QImage frame(g.client, kFrameFormat);
    frame.fill(Red());
    book.painter.DrawLeaves(book.scene, frame);
    const int mid = g.BookBottomY - 300;
    EXPECT_EQ(At(frame, g.SpineX - 250, mid), kBlack);
    EXPECT_EQ(At(frame, g.SpineX + 250, mid), kBlack);
    EXPECT_TRUE(IsBackground(At(frame, g.SpineX - 251, mid)));
    EXPECT_TRUE(IsBackground(At(frame, g.SpineX + 251, mid)));
}

} // namespace

namespace {

// The face is resampled, not copied: the squeezed page's red/green border is blended where it falls
// between two columns, and one-pixel stripes squeezed to a tenth of their width average to grey instead of
// breaking up into stripes of their own.
TEST(LeafDrawing, FaceIsFilteredWhenSqueezed)
{
    LeafBook book;
    const BookGeometry &g = book.geo;
    const int mid = g.BookBottomY - 300;
    book.painter.GetPage(book.scene, 1);
    const QImage f = book.Draw(FlipLeaf{1, 2, 271});
    int blended = 0;
    for (int x = g.SpineX + 130; x < g.SpineX + 150; ++x) {
        const QColor c = At(f, x, mid);
        blended += c.red() > 40 && c.green() > 40;
    }
    EXPECT_GE(blended, 1);

    QImage stripes(2, 2, QImage::Format_RGB32);
    stripes.setPixel(0, 0, qRgb(0, 0, 0));
    stripes.setPixel(0, 1, qRgb(0, 0, 0));
    stripes.setPixel(1, 0, qRgb(255, 255, 255));
    stripes.setPixel(1, 1, qRgb(255, 255, 255));
    book.scene.coverBitmap = stripes;
    book.painter.InvalidatePageCache();
    book.painter.GetPage(book.scene, 1);
    const QImage squeezed = book.Draw(FlipLeaf{1, 2, 40});
    for (int x = g.SpineX + 12; x < g.SpineX + 37; ++x) {
        const int grey = qGray(squeezed.pixel(x, mid));
        EXPECT_GT(grey, 70) << x;
        EXPECT_LT(grey, 190) << x;
    }
}

// A raised leaf is shaded towards the fold at the spine and casts a shadow on the page beneath that
// fades out; a leaf that lies almost flat casts next to none.
TEST(LeafDrawing, RaisedLeafShadesItsFoldAndCastsAFadingShadow)
{
    LeafBook book;   // nothing cached: the face is blank white
    const BookGeometry &g = book.geo;
    const int mid = g.BookBottomY - 300;
    const int a = 200;
    const QImage f = book.Draw(FlipLeaf{3, 4, a});
    EXPECT_LT(qGray(f.pixel(g.SpineX + 2, mid)), 230);
    EXPECT_EQ(At(f, g.SpineX + 150, mid), kWhite);
    EXPECT_LT(At(f, g.SpineX + a + 2, mid).red(), 200);
    EXPECT_GT(At(f, g.SpineX + a + 20, mid).red(), At(f, g.SpineX + a + 2, mid).red());
    EXPECT_EQ(At(f, g.SpineX + a + 60, mid), Red());
    // Over the left page too, on the page beneath beyond the free edge.
    const QImage l = book.Draw(FlipLeaf{3, 4, -a});
    EXPECT_LT(At(l, g.SpineX - a - 2, mid).red(), 200);
    EXPECT_EQ(At(l, g.SpineX - a - 60, mid), Red());

    const QImage flat = book.Draw(FlipLeaf{3, 4, 396});
    EXPECT_GT(At(flat, g.SpineX + 397, mid).red(), 235);
}

// On a frame of device pixel ratio 2 the leaf is drawn at device resolution: a one-pixel outline is
// two device pixels, the face fills the device columns of the leaf.
TEST(LeafDrawing, DrawnAtTheFramesDevicePixelRatio)
{
    LeafBook book;
    const BookGeometry &g = book.geo;
    book.painter.GetPage(book.scene, 1);
    QImage frame(g.client * 2, kFrameFormat);
    frame.setDevicePixelRatio(2);
    frame.fill(Red());
    const int a = 278, mid = 2 * (g.BookBottomY - 300);
    book.painter.DrawLeaf(book.scene, frame, FlipLeaf{1, 2, a});
    const int edge = 2 * (g.SpineX + a);
    EXPECT_EQ(At(frame, edge, mid), kBlack);
    EXPECT_EQ(At(frame, edge + 1, mid), kBlack);
    EXPECT_TRUE(IsBackground(At(frame, edge + 2, mid)));
    EXPECT_FALSE(IsOutline(At(frame, edge - 1, mid)));
    EXPECT_TRUE(IsReddish(At(frame, 2 * (g.SpineX + 125), mid)));
    EXPECT_TRUE(IsGreenish(At(frame, 2 * (g.SpineX + 155), mid)));
    EXPECT_EQ(At(frame, 2 * g.SpineX, mid), kBlack);       // the spine
    EXPECT_EQ(At(frame, 2 * g.SpineX + 1, mid), kBlack);
}

// A face this large has its rows filled in bands by more than one thread: every row of it is
// filled, none left showing the frame beneath, none drawn below the leaf.
TEST(LeafDrawing, LargeFaceHasNoGapsBetweenItsBands)
{
    LeafBook book;
    const BookGeometry &g = book.geo;
    book.painter.GetPage(book.scene, 1);
    QImage frame(g.client * 2, kFrameFormat);
    frame.setDevicePixelRatio(2);
    frame.fill(Red());
    const int a = 390;
    book.painter.DrawLeaf(book.scene, frame, FlipLeaf{1, 2, a});
    const auto pts = book.Curve(g.SpineX, a);
    int gaps = 0;
    for (int s = 220; s < a - 2; s += 3) {   // the green half of the page, past the fold's shading
        const int x = 2 * (g.SpineX + s) + 1, bottom = 2 * pts[size_t(s)].y();
        for (int y = bottom - 2 * g.PageH + 4; y <= bottom - 4; ++y)
            gaps += IsBackground(At(frame, x, y));
        EXPECT_TRUE(IsBackground(At(frame, x, bottom + 4))) << s;
    }
    EXPECT_EQ(gaps, 0);
}

} // namespace
