// The zoomed page picture: its steps between the page's scale and full resolution, the point kept
// under the pointer, the pan limits, and the decoded size the view asks for.
#include "core/book/PageZoom.h"
#include <gtest/gtest.h>
#include <cmath>
#include <limits>

using namespace pagero;

namespace {

// A 4000 x 3000 photo that a page shows at 400 x 300 at (100, 50), in a 1000 x 700 view.
PageZoom Photo(double fullScale = 1.0)
{
    PageZoom z;
    EXPECT_TRUE(z.Start(QSize(4000, 3000), QRectF(100, 50, 400, 300), QSizeF(1000, 700), fullScale));
    return z;
}

// The image point under view point `p`.
QPointF ImagePointAt(const PageZoom &z, QPointF p)
{
    return (p - z.PictureRect().topLeft()) / z.Scale();
}

} // namespace

TEST(PageZoomTest, StepsRunFromThePageScaleToFullResolutionAndNoFurther)
{
    PageZoom z = Photo();
    EXPECT_EQ(z.PictureRect(), QRectF(100, 50, 400, 300));   // starts where the page shows it
    EXPECT_DOUBLE_EQ(z.MinScale(), 0.1);
    EXPECT_DOUBLE_EQ(z.MaxScale(), 1.0);
    EXPECT_TRUE(z.ZoomBy(2, QPointF(300, 200)));
    EXPECT_NEAR(z.Scale(), 0.2, 1e-12);
    int steps = 0;
    while (z.ZoomBy(1, QPointF(300, 200))) ++steps;
    EXPECT_EQ(steps, 5);                // 0.2 -> 1.0 is 4.6 steps: the last lands on full resolution
    EXPECT_DOUBLE_EQ(z.Scale(), 1.0);
    EXPECT_TRUE(z.AtMaximum());
    EXPECT_TRUE(z.ZoomBy(-100, QPointF(300, 200)));
    EXPECT_TRUE(z.AtMinimum());
    EXPECT_FALSE(z.ZoomBy(-1, QPointF(300, 200)));   // the caller returns to the book here

    // On a screen of ratio 2 full resolution is half a logical pixel per image pixel.
    EXPECT_DOUBLE_EQ(Photo(0.5).MaxScale(), 0.5);
    // A picture the page shows at its full size still gets two steps.
    PageZoom small;
    ASSERT_TRUE(small.Start(QSize(60, 40), QRectF(10, 10, 60, 40), QSizeF(1000, 700), 1.0));
    EXPECT_NEAR(small.MaxScale(), 2.0, 1e-12);
}

TEST(PageZoomTest, ThePointUnderThePointerStaysThereUnlessAnEdgeWouldShowAGap)
{
    PageZoom z = Photo();
    z.ZoomBy(4, QPointF(300, 200));   // 1600 x 1200, larger than the view
    const QPointF anchor(420, 310);
    const QPointF before = ImagePointAt(z, anchor);
    ASSERT_TRUE(z.ZoomBy(1, anchor));
    const QPointF after = ImagePointAt(z, anchor);
    EXPECT_NEAR(after.x(), before.x(), 1e-9);
    EXPECT_NEAR(after.y(), before.y(), 1e-9);

    // Zooming at the view's corner would pull the picture's edge inward: the limits win.
    z.ZoomBy(1, QPointF(0, 0));
    const QRectF r = z.PictureRect();
    EXPECT_LE(r.left(), 0);
    EXPECT_LE(r.top(), 0);
    EXPECT_GE(r.right(), 1000);
    EXPECT_GE(r.bottom(), 700);
}

TEST(PageZoomTest, PanningStopsAtThePicturesEdgesAndASmallPictureStaysInside)
{
    PageZoom z = Photo();
    z.PanBy(QPointF(-5000, 5000));   // not yet larger than the view: it stays wholly inside
    EXPECT_EQ(z.PictureRect(), QRectF(0, 400, 400, 300));

    z.ZoomBy(100, QPointF(500, 350));   // 4000 x 3000
    z.PanBy(QPointF(1e6, 1e6));
    EXPECT_EQ(z.PictureRect().topLeft(), QPointF(0, 0));
    z.PanBy(QPointF(-1e6, -1e6));
    EXPECT_EQ(z.PictureRect().topLeft(), QPointF(1000 - 4000, 700 - 3000));
    EXPECT_EQ(z.VisibleImageRect(), QRectF(3000, 2300, 1000, 700));

    // A wider view after a resize: the picture's far edges follow rather than leave a gap.
    z.SetViewSize(QSizeF(1200, 900));
    EXPECT_EQ(z.PictureRect().topLeft(), QPointF(1200 - 4000, 900 - 3000));
    z.PanBy(QPointF(std::numeric_limits<double>::quiet_NaN(), 0));   // ignored, no NaN position
    EXPECT_EQ(z.PictureRect().topLeft(), QPointF(1200 - 4000, 900 - 3000));
}

TEST(PageZoomTest, DecodeSizeFollowsTheScaleTheScreenAndTheLimits)
{
    PageZoom z = Photo();
    EXPECT_EQ(z.DecodeSize(1.0, 1'000'000'000), QSize(400, 300));
    EXPECT_EQ(z.DecodeSize(2.0, 1'000'000'000), QSize(800, 600));   // device pixels on a 2x screen
    z.ZoomBy(100, QPointF(0, 0));
    EXPECT_EQ(z.DecodeSize(2.0, 1'000'000'000), QSize(4000, 3000));  // never above the original
    const QSize capped = z.DecodeSize(1.0, 3'000'000);               // a quarter of its pixels
    EXPECT_EQ(capped, QSize(2000, 1500));
    EXPECT_EQ(PageZoom().DecodeSize(1.0, 1000), QSize());
}

TEST(PageZoomTest, StartRefusesSizesAndValuesItCannotScale)
{
    PageZoom z;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(z.Start(QSize(0, 10), QRectF(0, 0, 10, 10), QSizeF(100, 100), 1));
    EXPECT_FALSE(z.Start(QSize(10, 10), QRectF(0, 0, 0, 10), QSizeF(100, 100), 1));
    EXPECT_FALSE(z.Start(QSize(10, 10), QRectF(nan, 0, 10, 10), QSizeF(100, 100), 1));
    EXPECT_FALSE(z.Start(QSize(10, 10), QRectF(0, 0, 10, 10), QSizeF(100, 100), 0));
    EXPECT_FALSE(z.Active());
    EXPECT_FALSE(z.ZoomBy(1, QPointF(5, 5)));
    EXPECT_TRUE(z.PictureRect().isNull());
}

TEST(PageZoomTest, TheViewKeepsTheDecodeThatServesItBest)
{
    const QSize need(1000, 750);
    EXPECT_TRUE(DecodeServes(QSize(999, 749), need));    // rounding
    EXPECT_FALSE(DecodeServes(QSize(500, 375), need));   // would be scaled up: blurred
    EXPECT_FALSE(DecodeServes(QSize(4000, 3000), need)); // wasteful to scale down on every paint
    EXPECT_FALSE(DecodeServes(QSize(), need));

    EXPECT_TRUE(DecodeIsBetter(QSize(1000, 750), QSize(500, 375), need));
    EXPECT_TRUE(DecodeIsBetter(QSize(1000, 750), QSize(4000, 3000), need));
    EXPECT_FALSE(DecodeIsBetter(QSize(500, 375), QSize(4000, 3000), need));   // a stale, smaller one
    EXPECT_TRUE(DecodeIsBetter(QSize(700, 525), QSize(500, 375), need));      // closer, still short
    EXPECT_FALSE(DecodeIsBetter(QSize(), QSize(500, 375), need));
}
