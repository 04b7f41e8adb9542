// The flip queue: renumbering on enqueue, the frames a leaf passes through, landing, and the curve.
#include "core/book/FlipState.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

using namespace pagero;

namespace {

FlipState bookAt(int left, int last, int speed = 15)
{
    FlipState f;
    f.LeftPageNo = left;
    f.RightPageNo = left + 1;
    f.LastPageNo = last;
    f.SetFlipSpeed(speed);
    f.SetPageW(400);
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

TEST(FlipState, LeafFramesAtDefaultAndFastestSpeed)
{
    FlipState f = bookAt(2, 40);
    EXPECT_EQ(f.FlipStep, 120);
    ASSERT_TRUE(f.Enqueue(Forward, 2));
    EXPECT_EQ(f.RightPageNo, 5);   // the revealed page shows at once
    EXPECT_EQ(f.LeftPageNo, 2);    // the other side changes on landing
    EXPECT_EQ(runFlip(f, Forward), (std::vector<int>{278, 158, 38, -82, -202, -322}));
    EXPECT_EQ(f.LeftPageNo, 4);
    EXPECT_TRUE(f.Consistent());

    FlipState fast = bookAt(2, 40, 75);
    EXPECT_EQ(fast.FlipStep, 600);
    ASSERT_TRUE(fast.Enqueue(Forward, 2));
    EXPECT_EQ(runFlip(fast, Forward), std::vector<int>{-202});

    // Backward mirrors it and lands on the right.
    FlipState back = bookAt(4, 40);
    ASSERT_TRUE(back.Enqueue(Backward, 2));
    EXPECT_EQ(back.LeftPageNo, 2);
    EXPECT_EQ(runFlip(back, Backward), (std::vector<int>{-278, -158, -38, 82, 202, 322}));
    EXPECT_EQ(back.RightPageNo, 3);

    // A speed of 0 (damaged settings) must still end a flip.
    FlipState stalled = bookAt(2, 40, 0);
    EXPECT_GE(stalled.FlipStep, 1);
    ASSERT_TRUE(stalled.Enqueue(Forward, 2));
    runFlip(stalled, Forward);
    EXPECT_EQ(stalled.LeftPageNo, 4);

    // Speeds outside the dialog's 5..75 are held to it; no product overflows.
    EXPECT_EQ(stalled.FlipStep, 40);
    EXPECT_EQ(bookAt(2, 40, -7).FlipStep, 40);
    EXPECT_EQ(bookAt(2, 40, INT_MAX).FlipStep, 600);
    FlipState wide = bookAt(2, 40, 75);
    wide.SetPageW(30000000);
    EXPECT_EQ(wide.FlipStep, 45000000);
}

TEST(FlipState, LeavesJumpTheSpineBand)
{
    FlipState f = bookAt(4, 40);
    ASSERT_TRUE(f.Enqueue(Backward, 2));
    f.leaves[0].FoldX = -5;
    f.Advance(Backward, 3);
    EXPECT_EQ(f.leaves[0].FoldX, 10);
    f.leaves[0].FoldX = 12;
    f.Advance(Forward, 4);
    EXPECT_EQ(f.leaves[0].FoldX, -10);
}

TEST(FlipState, FlipToTurnsOneLeafOrOneBundle)
{
    // From the closed front the cover turns: front 1, back 2.
    FlipState f = bookAt(0, 40);
    auto req = f.RequestFor(2);
    ASSERT_TRUE(f.Enqueue(req.direction, req.count));
    EXPECT_EQ(f.leaves[0].FrontPage, 1);
    EXPECT_EQ(f.leaves[0].BackPage, 2);
    EXPECT_EQ(f.RightPageNo, 3);
    runFlip(f, Forward);
    EXPECT_EQ(f.LeftPageNo, 2);

    // A jump of 10 from (2, 3) is one leaf with 4 extra edges.
    req = f.RequestFor(13);
    EXPECT_EQ(req.direction, Forward);
    EXPECT_EQ(req.count, 10);
    ASSERT_TRUE(f.Enqueue(req.direction, req.count));
    EXPECT_EQ(f.leaves[0].FrontPage, 3);
    EXPECT_EQ(f.leaves[0].BackPage, 12);
    EXPECT_EQ(FlipState::BundleDepth(f.leaves[0]), 4);
    runFlip(f, Forward);
    EXPECT_EQ(f.LeftPageNo, 12);
    EXPECT_EQ(f.RightPageNo, 13);
    EXPECT_EQ(f.RequestFor(12).direction, 0);

    // Odd counts round up to whole leaves; past the end the book closes at the back.
    ASSERT_TRUE(f.Enqueue(Forward, 27));
    EXPECT_EQ(f.leaves[0].BackPage, 40);
    runFlip(f, Forward);
    EXPECT_EQ(f.RightPageNo, 41);
    EXPECT_FALSE(f.Enqueue(Forward, 2));

    // And back to the front.
    req = f.RequestFor(0);
    EXPECT_EQ(req.direction, Backward);
    ASSERT_TRUE(f.Enqueue(req.direction, req.count));
    EXPECT_EQ(f.LeftPageNo, 0);
    EXPECT_EQ(f.leaves[0].FrontPage, 1);
    runFlip(f, Backward);
    EXPECT_EQ(f.RightPageNo, 1);
    EXPECT_FALSE(f.Enqueue(Backward, 2));
}

TEST(FlipState, EnqueueRefusesEmptyAndNegativeCountsAndAThirdLeaf)
{
    FlipState f = bookAt(10, 40);
    EXPECT_FALSE(f.Enqueue(Forward, 0));
    EXPECT_FALSE(f.Enqueue(Forward, -4));
    EXPECT_EQ(f.RightPageNo, 11);
    ASSERT_TRUE(f.Enqueue(Forward, 2));
    ASSERT_TRUE(f.Enqueue(Forward, 2));
    EXPECT_FALSE(f.Enqueue(Forward, 2));
    EXPECT_EQ(f.LeafCount(), 2);
}

TEST(FlipState, TwoBackwardLeavesLandOldestFirst)
{
    FlipState f = bookAt(20, 40);
    ASSERT_TRUE(f.Enqueue(Backward, 2));   // leaf (19, 20)
    f.Advance(Backward, f.FlipStep);
    f.Advance(Backward, f.FlipStep);
    ASSERT_TRUE(f.Enqueue(Backward, 2));   // leaf (17, 18) enters at the front
    EXPECT_EQ(f.leaves[0].BackPage, 18);
    EXPECT_EQ(f.LeftPageNo, 16);
    // Both lie over the left half, so they are drawn from the front of the queue.
    EXPECT_EQ(f.LeafDrawOrder(), (std::vector<int>{0, 1}));
    while (f.LeafCount() == 2) f.Advance(Backward, f.FlipStep);
    EXPECT_EQ(f.RightPageNo, 19);
    EXPECT_EQ(f.leaves[0].BackPage, 18);
    runFlip(f, Backward);
    EXPECT_EQ(f.RightPageNo, 17);
    EXPECT_TRUE(f.Consistent());
}

TEST(LeafCurve, RisesTowardsTheSpineWithExactRounding)
{
    std::vector<QPoint> pts;
    const int w = 400;
    ASSERT_EQ(LeafCurve(100, 300, w, w, pts), w + 1);   // flat at full width
    EXPECT_EQ(pts[size_t(w)], QPoint(100 + w, 300));

    // Near the spine the free end stands about 0.207 W above the origin; left leaves go left.
    ASSERT_EQ(LeafCurve(500, 300, -10, w, pts), 11);
    EXPECT_EQ(pts[10].x(), 490);
    EXPECT_NEAR(300 - pts[10].y(), 0.207 * w, 1.0);

    const int a = 200;
    LeafCurve(0, 0, a, w, pts);
    const double r = std::sqrt(2.0) * w / 2, t = a / (std::sqrt(2.0) * w);
    const double k = (r * std::sqrt(1 - t * t) - w / 2.0) / std::sqrt(double(a));
    for (int i = 0; i <= a; ++i)
        EXPECT_EQ(-pts[size_t(i)].y(), int(std::nearbyint(k * std::sqrt(double(i))))) << i;
}

TEST(LeafCurve, WideWindowsAndDegenerateInputs)
{
    std::vector<QPoint> pts(1501);
    EXPECT_EQ(LeafCurve(0, 1000, -2400, 2500, pts), 2401);
    EXPECT_GE(pts.size(), size_t(2402));   // room for the outer corner too
    EXPECT_EQ(pts[2400].x(), -2400);
    EXPECT_EQ(LeafCurve(5, 5, 0, 400, pts), 1);
    EXPECT_EQ(pts[0], QPoint(5, 5));
    LeafCurve(0, 0, 700, 400, pts);   // past the diagonal: finite
    EXPECT_LE(std::abs(pts[700].y()), 400);
}
