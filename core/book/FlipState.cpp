#include "core/book/FlipState.h"

#include "core/book/Settings.h"
#include "core/common/MyLib.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace pagero {

void FlipState::SetFlipSpeed(int speed)
{
    // Outside the dialog's range a flip would crawl for seconds or the step arithmetic overflow.
    FlipSpeed = std::clamp(speed, kMinFlipSpeed, kMaxFlipSpeed);
    SetPageW(PageW);
}

void FlipState::SetPageW(int pageW)
{
    PageW = pageW;
    // A zero or negative step (speed 0 from a damaged settings file, a degenerate page) would never
    // land a leaf and the animation would not end; one pixel per frame is the slowest flip.
    const long long step = 2LL * FlipSpeed * PageW / 100;
    FlipStep = int(std::clamp<long long>(step, 1, INT_MAX));
}

FlipState::FlipRequest FlipState::RequestFor(int page) const
{
    if (page < LeftPageNo) return {Backward, LeftPageNo - page};
    if (page > RightPageNo) return {Forward, page - RightPageNo};
    return {};
}

bool FlipState::Enqueue(int direction, int count)
{
    count += count % 2;   // whole leaves only: an even number of pages
    // A negative count would renumber the spread the wrong way round; it is refused like 0.
    if (count <= 0 || LeafCount() > 1) return false;
    LastFlipDirection = direction;

    FlipLeaf leaf;
    if (direction == Backward) {
        if (LeftPageNo <= 0) return false;
        const int l = LeftPageNo;
        leaf.FrontPage = count < l ? l - count + 1 : 1;
        LeftPageNo = leaf.FrontPage - 1;   // the page under the leaf shows at once
        leaf.BackPage = l;
        leaf.FoldX = 2 - PageW;
        leaves.insert(leaves.begin(), leaf);
    } else {
        if (LastPageNo < RightPageNo) return false;
        const int r = RightPageNo;
        leaf.BackPage = count < LastPageNo - r ? r + count - 1 : LastPageNo;
        RightPageNo = leaf.BackPage + 1;
        leaf.FrontPage = r;
        leaf.FoldX = PageW - 2;
        leaves.push_back(leaf);
    }
    return true;
}

void FlipState::Advance(int direction, int step)
{
    // A leaf never stands on the spine: it jumps across the 20-pixel band around it.
    for (FlipLeaf &leaf : leaves) {
        if (direction == Backward) {
            leaf.FoldX += step;
            if (std::abs(leaf.FoldX) < 10) leaf.FoldX = 10;
        } else {
            leaf.FoldX -= step;
            if (std::abs(leaf.FoldX) < 10) leaf.FoldX = -10;
        }
    }

    for (size_t i = 0; i < leaves.size();) {
        if (leaves[i].FoldX <= -PageW) {
            LeftPageNo = leaves[i].BackPage;
            leaves.erase(leaves.begin() + std::ptrdiff_t(i));
        } else {
            ++i;
        }
    }

    // Landing on the right drops the last leaf of the queue: the oldest backward leaf, since
    // backward leaves enter at the front.
    for (int i = LeafCount() - 1; i >= 0; --i) {
        if (i < LeafCount() && leaves[size_t(i)].FoldX >= PageW) {
            RightPageNo = leaves[size_t(i)].FrontPage;
            leaves.pop_back();
        }
    }
}

std::vector<int> FlipState::LeafDrawOrder() const
{
    std::vector<int> order;
    for (int i = 0; i < LeafCount() && leaves[size_t(i)].FoldX < 0; ++i) order.push_back(i);
    for (int i = LeafCount() - 1; i >= 0 && leaves[size_t(i)].FoldX > 0; --i) order.push_back(i);
    return order;
}

double LeafCurveFactor(int foldX, int pageW)
{
    const int a = std::abs(foldX);
    if (a == 0 || pageW <= 0)
        return 0.0;
    const double w = pageW;
    const double r = std::sqrt(2.0) * w / 2.0;
    const double t = a / (std::sqrt(2.0) * w);
    // Beyond the diagonal the curve would have no real height; it lies flat there.
    const double lift = r * std::sqrt(std::max(0.0, 1.0 - t * t)) - w / 2.0;
    return lift / std::sqrt(double(a));
}

int LeafCurve(int originX, int originY, int foldX, int pageW, std::vector<QPoint> &points)
{
    const int a = std::abs(foldX);
    // One point per column of the leaf plus the outer top corner that the painter appends, so the
    // buffer grows with the page instead of limiting the window width.
    if (points.size() < size_t(a) + 2) points.resize(size_t(a) + 2);

    const double k = LeafCurveFactor(foldX, pageW);
    const int sign = foldX >= 0 ? 1 : -1;
    for (int i = 0; i <= a; ++i) {
        const int y = RoundHalfEven(k * std::sqrt(double(i)));
        points[size_t(i)] = QPoint(originX + sign * i, originY - y);
    }
    return a + 1;
}

} // namespace pagero
