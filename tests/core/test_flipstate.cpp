// The flip queue: renumbering on enqueue, the frames a leaf passes through, landing, and the curve.
#include "core/book/FlipState.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace pagero;

namespace {

FlipState bookAt(int left, int last, int pageW = 400, int speed = 15)
{
    FlipState f;
    f.LeftPageNo = left;
    f.RightPageNo = left + 1;
    f.LastPageNo = last;
    f.SetFlipSpeed(speed);
    f.SetPageW(pageW);
    return f;
}

// Advances until the queue is empty; returns the FoldX of every frame that would be drawn.
std::vector<int> runFlip(FlipState &f, int direction)
{
    std::vector<int> frames;
    for (int guard = 0; guard < 10000; ++guard) {
        f.Advance(direction, f.FlipStep);
        if (f.LeafCount() == 0) return frames;
        frames.push_back(f.leaves.front().FoldX);
    }
    ADD_FAILURE() << "the flip did not end";
    return frames;
}

} // namespace

TEST(FlipState, StepFollowsSpeedAndPageWidth)
{
    FlipState f = bookAt(2, 40, 400, 15);
    EXPECT_EQ(f.FlipStep, 120);
    f.SetFlipSpeed(75);
    EXPECT_EQ(f.FlipStep, 600);
    f.SetPageW(213);
    EXPECT_EQ(f.FlipStep, 75 * 2 * 213 / 100);
    // A speed of 0 (damaged settings) must still end a flip.
    f.SetFlipSpeed(0);
    EXPECT_EQ(f.FlipSpeed, 0);
    EXPECT_GE(f.FlipStep, 1);
}

TEST(FlipState, RequestForTurnsTowardsThePage)
{
    const FlipState f = bookAt(10, 40);
    EXPECT_EQ(f.RequestFor(10).direction, 0);
    EXPECT_EQ(f.RequestFor(11).direction, 0);
    const auto back = f.RequestFor(3);
    EXPECT_EQ(back.direction, Backward);
    EXPECT_EQ(back.count, 7);
    const auto forward = f.RequestFor(41);
    EXPECT_EQ(forward.direction, Forward);
    EXPECT_EQ(forward.count, 30);
}

TEST(FlipState, ForwardLeafFramesAtDefaultSpeed)
{
    FlipState f = bookAt(2, 40);
    ASSERT_TRUE(f.Enqueue(Forward, 2));
    EXPECT_EQ(f.RightPageNo, 5);   // the revealed page shows at once
    EXPECT_EQ(f.LeftPageNo, 2);    // the other side changes on landing
    EXPECT_FALSE(f.Consistent());
    EXPECT_EQ(f.leaves[0].FoldX, 398);
    EXPECT_EQ(runFlip(f, Forward), (std::vector<int>{278, 158, 38, -82, -202, -322}));
    EXPECT_EQ(f.LeftPageNo, 4);
    EXPECT_TRUE(f.Consistent());
}

TEST(FlipState, FastestSpeedDrawsOneFrame)
{
    FlipState f = bookAt(2, 40, 400, 75);
    ASSERT_TRUE(f.Enqueue(Forward, 2));
    EXPECT_EQ(runFlip(f, Forward), (std::vector<int>{-202}));
}

TEST(FlipState, BackwardLeafJumpsTheSpineBand)
{
    FlipState f = bookAt(4, 40, 400, 15);
    f.SetPageW(400);
    ASSERT_TRUE(f.Enqueue(Backward, 2));
    EXPECT_EQ(f.LeftPageNo, 2);
    EXPECT_EQ(f.leaves[0].FrontPage, 3);
    EXPECT_EQ(f.leaves[0].BackPage, 4);
    EXPECT_EQ(runFlip(f, Backward), (std::vector<int>{-278, -158, -38, 82, 202, 322}));
    EXPECT_EQ(f.RightPageNo, 3);

    // A step that would stop near the spine moves the leaf to 10 pixels on the far side.
    FlipState g = bookAt(4, 40, 400);
    ASSERT_TRUE(g.Enqueue(Backward, 2));
    g.leaves[0].FoldX = -5;
    g.Advance(Backward, 3);
    EXPECT_EQ(g.leaves[0].FoldX, 10);
    g.leaves[0].FoldX = 12;
    g.Advance(Forward, 4);
    EXPECT_EQ(g.leaves[0].FoldX, -10);
}

TEST(FlipState, FromTheClosedFrontTheCoverTurns)
{
    FlipState f = bookAt(0, 40);
    const auto req = f.RequestFor(2);
    ASSERT_TRUE(f.Enqueue(req.direction, req.count));
    EXPECT_EQ(f.leaves[0].FrontPage, 1);
    EXPECT_EQ(f.leaves[0].BackPage, 2);
    EXPECT_EQ(f.RightPageNo, 3);
    runFlip(f, Forward);
    EXPECT_EQ(f.LeftPageNo, 2);
    EXPECT_EQ(f.RightPageNo, 3);
}

TEST(FlipState, JumpsTurnOneBundle)
{
    FlipState f = bookAt(2, 40);
    ASSERT_TRUE(f.Enqueue(Forward, 10));
    EXPECT_EQ(f.leaves[0].FrontPage, 3);
    EXPECT_EQ(f.leaves[0].BackPage, 12);
    EXPECT_EQ((f.leaves[0].BackPage - f.leaves[0].FrontPage) / 2, 4);
    runFlip(f, Forward);
    EXPECT_EQ(f.LeftPageNo, 12);
    EXPECT_EQ(f.RightPageNo, 13);

    // Odd counts round up to whole leaves; a jump past the end closes the book at the back.
    FlipState g = bookAt(2, 40);
    ASSERT_TRUE(g.Enqueue(Forward, 37));
    EXPECT_EQ(g.leaves[0].BackPage, 40);
    runFlip(g, Forward);
    EXPECT_EQ(g.LeftPageNo, 40);
    EXPECT_EQ(g.RightPageNo, 41);
    EXPECT_FALSE(g.Enqueue(Forward, 2));   // nothing beyond the back

    // Backward to the front closes the book there.
    FlipState h = bookAt(12, 40);
    ASSERT_TRUE(h.Enqueue(Backward, 12));
    EXPECT_EQ(h.LeftPageNo, 0);
    EXPECT_EQ(h.leaves[0].FrontPage, 1);
    runFlip(h, Backward);
    EXPECT_EQ(h.RightPageNo, 1);
    EXPECT_FALSE(h.Enqueue(Backward, 2));
}

TEST(FlipState, EnqueueRefusals)
{
    FlipState f = bookAt(10, 40);
    EXPECT_FALSE(f.Enqueue(Forward, 0));
    EXPECT_FALSE(f.Enqueue(Forward, -4));
    EXPECT_EQ(f.RightPageNo, 11);
    ASSERT_TRUE(f.Enqueue(Forward, 2));
    ASSERT_TRUE(f.Enqueue(Forward, 2));
    EXPECT_FALSE(f.Enqueue(Forward, 2));   // two leaves at most
    EXPECT_EQ(f.LeafCount(), 2);
    EXPECT_EQ(f.LastFlipDirection, Forward);
}

TEST(FlipState, TwoQueuedLeavesLandInOrder)
{
    // Backward leaves enter at the front of the queue, so the oldest lies last and lands first.
    FlipState f = bookAt(20, 40);
    ASSERT_TRUE(f.Enqueue(Backward, 2));   // leaf (19, 20), spread now (18, 21)
    f.Advance(Backward, f.FlipStep);
    f.Advance(Backward, f.FlipStep);
    ASSERT_TRUE(f.Enqueue(Backward, 2));   // leaf (17, 18)
    ASSERT_EQ(f.LeafCount(), 2);
    EXPECT_EQ(f.leaves[0].BackPage, 18);
    EXPECT_EQ(f.leaves[1].BackPage, 20);
    EXPECT_EQ(f.LeftPageNo, 16);
    for (int i = 0; i < 10 && f.LeafCount() == 2; ++i) f.Advance(Backward, f.FlipStep);
    ASSERT_EQ(f.LeafCount(), 1);
    EXPECT_EQ(f.RightPageNo, 19);
    EXPECT_EQ(f.leaves[0].BackPage, 18);
    runFlip(f, Backward);
    EXPECT_EQ(f.RightPageNo, 17);
    EXPECT_EQ(f.LeftPageNo, 16);
}

TEST(FlipState, LeavesOverTheLeftHalfAreDrawnFirst)
{
    FlipState f = bookAt(20, 40);
    f.leaves = {{19, 20, -50}, {21, 22, 120}};
    EXPECT_EQ(f.LeafDrawOrder(), (std::vector<int>{0, 1}));
    f.leaves = {{19, 20, 50}, {21, 22, 120}};
    EXPECT_EQ(f.LeafDrawOrder(), (std::vector<int>{1, 0}));
    f.leaves = {{19, 20, -50}, {21, 22, -120}};
    EXPECT_EQ(f.LeafDrawOrder(), (std::vector<int>{0, 1}));
    f.leaves.clear();
    EXPECT_TRUE(f.LeafDrawOrder().empty());
    EXPECT_EQ(FlipState::BundleDepth({3, 12, 0}), 4);
}

TEST(LeafCurve, RisesTowardsTheSpineAndLiesFlatAtFullWidth)
{
    std::vector<QPoint> pts;
    const int w = 400;
    // Flat: the free end is level with the origin.
    ASSERT_EQ(LeafCurve(100, 300, w, w, pts), w + 1);
    EXPECT_EQ(pts[0], QPoint(100, 300));
    EXPECT_EQ(pts[size_t(w)], QPoint(100 + w, 300));

    // Near the spine the free end stands about 0.207 W above the origin; the curve goes left for a
    // leaf over the left page.
    const int n = LeafCurve(500, 300, -10, w, pts);
    ASSERT_EQ(n, 11);
    EXPECT_EQ(pts[10].x(), 490);
    EXPECT_NEAR(300 - pts[10].y(), 0.207 * w, 1.0);

    // Midway: k * sqrt(i) with exact rounding; check against the closed form.
    const int a = 200;
    LeafCurve(0, 0, a, w, pts);
    const double r = std::sqrt(2.0) * w / 2, t = a / (std::sqrt(2.0) * w);
    const double k = (r * std::sqrt(1 - t * t) - w / 2.0) / std::sqrt(double(a));
    for (int i = 0; i <= a; ++i) EXPECT_EQ(-pts[size_t(i)].y(), int(std::nearbyint(k * std::sqrt(double(i)))));
    // Monotone rise.
    for (int i = 1; i <= a; ++i) EXPECT_LE(pts[size_t(i)].y(), pts[size_t(i - 1)].y());
}

TEST(LeafCurve, WideWindowsGrowTheBuffer)
{
    std::vector<QPoint> pts(1501);
    const int n = LeafCurve(0, 1000, -2400, 2500, pts);
    EXPECT_EQ(n, 2401);
    EXPECT_GE(pts.size(), size_t(2402));
    EXPECT_EQ(pts[2400].x(), -2400);
    // Degenerate inputs give a flat edge, not NaN coordinates.
    EXPECT_EQ(LeafCurve(5, 5, 0, 400, pts), 1);
    EXPECT_EQ(pts[0], QPoint(5, 5));
    LeafCurve(0, 0, 700, 400, pts);   // past the diagonal: finite, within the page height scale
    EXPECT_LE(std::abs(pts[700].y()), 400);
}
