#pragma once
// The page-flip state: the open spread and the queue of leaves in flight. Enqueue renumbers the
// spread at once (the revealed page shows from the first frame); Advance moves the leaves and lands
// them. Window-free; the painting of a leaf lives with the book painter.
#include <QPoint>
#include <vector>

namespace pagero {

struct FlipLeaf {
    int FrontPage = 0;   // seen while the leaf lies over the right half (odd page)
    int BackPage = 0;    // seen while the leaf lies over the left half (even page)
    int FoldX = 0;       // signed distance from the spine to the free edge; < 0 over the left page
};

enum FlipDirection : int { Backward = 1, Forward = 2 };

class FlipState {
public:
    int LeftPageNo = 0;
    int RightPageNo = 1;
    int LastPageNo = 0;          // copied from the layout after every build
    int PageW = 0;               // copied from the geometry after every layout
    int FlipSpeed = 15;
    int FlipStep = 0;            // FlipSpeed * 2 * PageW / 100, at least 1
    int LastFlipDirection = Forward;
    std::vector<FlipLeaf> leaves;   // at most 2

    int LeafCount() const { return int(leaves.size()); }
    void SetFlipSpeed(int speed);   // held to 5..75; recomputes FlipStep
    void SetPageW(int pageW);       // recomputes FlipStep
    bool Consistent() const { return RightPageNo - 1 == LeftPageNo; }

    // FlipTo's arithmetic: 0 when nothing moves, else the direction and the page count.
    struct FlipRequest { int direction = 0; int count = 0; };
    FlipRequest RequestFor(int page) const;

    // Renumbers the spread and queues a leaf; false (nothing changed) for a count of 0 or less, a
    // full queue, a backward flip at the front or a forward flip past the back. The caller renders
    // the new leaf's two faces.
    bool Enqueue(int direction, int count);
    void Advance(int direction, int step);

    // The order in which the painter draws the queued leaves: from the front of the queue the leaves
    // over the left half (up to the first that is not), then from the back the leaves over the right
    // half (up to the first that is not). Indexes into `leaves`.
    std::vector<int> LeafDrawOrder() const;
    // The number of further leaves that turn with `leaf` in a jump (the bundle's extra edges).
    static int BundleDepth(const FlipLeaf &leaf) { return (leaf.BackPage - leaf.FrontPage) / 2; }
};

// Bottom edge of the curled leaf: fills points[0..a] and returns a + 1 (a = |foldX|). `points` is
// grown to at least a + 2 entries (the painter puts the outer top corner at index a + 1), so there
// is no upper limit on the page width.
int LeafCurve(int originX, int originY, int foldX, int pageW, std::vector<QPoint> &points);
// The factor k of that edge: the point at distance i from the spine lies k * sqrt(i) above the
// origin (before rounding). 0 for a flat or empty leaf.
double LeafCurveFactor(int foldX, int pageW);

} // namespace pagero
