// The turning leaf drawn on a frame: outline and free corner, bundle edges one pixel apart, the page
// face squeezed to the leaf's width and shifted along the curve, the spine.
#include "PainterTestBook.h"
#include "app/LeafPainter.h"

#include <gtest/gtest.h>

using namespace pagero;
using namespace pagero::test;

namespace {

const QColor kBlack(0, 0, 0), kWhite(255, 255, 255), kYellow(255, 255, 0), kGreen(0, 255, 0);

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
    EXPECT_EQ(At(f, g.SpineX + a, mid), kBlack);            // the outer edge
    EXPECT_EQ(At(f, g.SpineX + a + 1, mid), Red());         // nothing beyond it
    EXPECT_EQ(At(f, bottom.x(), bottom.y()), kBlack);       // free bottom corner
    EXPECT_EQ(At(f, bottom.x(), bottom.y() + 1), Red());
    EXPECT_EQ(At(f, bottom.x(), bottom.y() - g.PageH), kBlack);   // free top corner
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

    // Each 2-pixel column is lifted by the curve: its lowest copied row sits two rows above the
    // curve point (one row of leaf fill, then the outline).
    for (int s : {40, 80, 200}) {
        const int x = g.SpineX + s, y = pts[s].y();
        EXPECT_EQ(At(f, x, y - 2), s < 139 ? Red() : kGreen) << s;
        EXPECT_EQ(At(f, x, y - 1), kWhite) << s;
        EXPECT_EQ(At(f, x, y), kBlack) << s;
        EXPECT_EQ(At(f, x, y + 1), Red()) << s;
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
    EXPECT_EQ(At(f, g.SpineX + s, top), kBlack);
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
    EXPECT_EQ(At(f, g.SpineX - a - 1, mid), Red());
    // The page's outer (left) half lies away from the spine, its spine side (green) next to it.
    EXPECT_EQ(At(f, g.SpineX - 200, mid), Red());
    EXPECT_EQ(At(f, g.SpineX - 100, mid), kGreen);
    const auto pts = book.Curve(g.SpineX, -a);
    EXPECT_EQ(At(f, pts.back().x(), pts.back().y()), kBlack);
    EXPECT_EQ(At(f, pts.back().x(), pts.back().y() + 1), Red());
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
        EXPECT_EQ(At(f, g.SpineX + a + d + 1, mid), Red()) << "d=" << d;
        EXPECT_EQ(At(f, g.SpineX + a - 2, mid), kWhite) << "d=" << d;   // blank face: not cached
        // The outlines start on a diagonal from (SpineX + d, BookBottomY + d) to the spine foot.
        for (int k = 0; k <= d; ++k)
            EXPECT_EQ(At(f, g.SpineX + d - k, g.BookBottomY + d - k), kBlack) << "d=" << d << " foot " << k;
        EXPECT_EQ(At(f, g.SpineX + d, g.BookBottomY + d + 1), Red());
        EXPECT_EQ(At(f, g.SpineX - 1, g.BookBottomY + d), Red());
    }
}

// Drawing a bundle of d further leaves whole, polygon after polygon, gives the same picture as the
// painter's strips, but for a few pixels at the spine foot where the fill rules meet.
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

        int differing = 0;
        for (int y = 0; y < ref.height(); ++y)
            for (int x = 0; x < ref.width(); ++x)
                differing += ref.pixel(x, y) != drawn.pixel(x, y);
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
    EXPECT_EQ(At(frame, g.SpineX - 251, mid), Red());
    EXPECT_EQ(At(frame, g.SpineX + 251, mid), Red());
}

} // namespace
