// Drawing of the turning leaves on a flip frame. A leaf is the outline of its curled bottom edge up to
// the outer top corner, repeated one pixel apart for every further leaf of a bundle, then its page
// face squeezed to the leaf's width and copied in 2-pixel columns that follow the curve, its top edge
// and the spine.
#include "app/BookPainter.h"
#include "app/LeafPainter.h"

#include <QPainter>
#include <algorithm>
#include <climits>
#include <cstdlib>

namespace pagero {

namespace {

struct Column {
    int destX, width, top, sourceX;
};

// Copies the columns of `source` to `frame`, row by row so that both images are read and written
// in memory order. Column c covers frame rows top .. top + height - 1 from source rows 0 .. .
void CopyColumns(const QImage &source, int sourceWidth, QImage &frame, const std::vector<Column> &columns,
                 int height)
{
    if (columns.empty())
        return;
    int minTop = columns.front().top, maxTop = minTop;
    for (const Column &c : columns) {
        minTop = std::min(minTop, c.top);
        maxTop = std::max(maxTop, c.top);
    }
    const int frameW = frame.width(), frameH = frame.height();
    const int rowsInSource = std::min(height, source.height());
    const int yBegin = std::max(0, minTop), yEnd = std::min(frameH, maxTop + rowsInSource);
    for (int y = yBegin; y < yEnd; ++y) {
        QRgb *dst = reinterpret_cast<QRgb *>(frame.scanLine(y));
        for (const Column &c : columns) {
            const int sy = y - c.top;
            if (sy < 0 || sy >= rowsInSource)
                continue;
            const QRgb *src = reinterpret_cast<const QRgb *>(source.constScanLine(sy));
            for (int j = 0; j < c.width; ++j) {
                const int dx = c.destX + j;
                if (dx < 0 || dx >= frameW)
                    continue;
                const int sx = std::clamp(c.sourceX + j, 0, sourceWidth - 1);
                dst[dx] = src[sx];
            }
        }
    }
}

// Bresenham's line from `a` towards `b` without the end point; stops early once a pixel would lie
// above row `topRow`.
void PlotLine(QImage &img, QPoint a, QPoint b, QRgb color, int topRow)
{
    const int w = img.width(), h = img.height();
    int x = a.x(), y = a.y();
    const int dx = std::abs(b.x() - x), dy = -std::abs(b.y() - y);
    const int sx = x < b.x() ? 1 : -1, sy = y < b.y() ? 1 : -1;
    int err = dx + dy;
    while ((x != b.x() || y != b.y()) && y >= topRow) {
        if (x >= 0 && y >= 0 && x < w && y < h)
            reinterpret_cast<QRgb *>(img.scanLine(y))[x] = color;
        const int e2 = 2 * err;
        if (e2 >= dy) { err += dy; x += sx; }
        if (e2 <= dx) { err += dx; y += sy; }
    }
}

// The edges of the further leaves of a bundle. The leaf polygon `pts` (curve 0 .. count - 2, outer
// top corner count - 1) is drawn d + 1 times, each time moved by `shift`, every polygon filled and
// outlined. Each later polygon covers all of the one before but a strip along its curved bottom and
// its outer edge, so what stays of polygons 0 .. d - 1 is: the strips between their edges (white)
// and those edges (black), and at the spine foot the start of each closing edge. This draws exactly
// that, with one fill for all the strips instead of d whole leaves. The last polygon is the caller's.
void DrawBundleEdges(QImage &img, const QPoint *pts, int count, QPoint shift, int d, std::vector<QPoint> &band)
{
    const QPoint foot = pts[0], corner = pts[count - 1];
    const QPoint rise = corner - foot;
    const int inside = shift.x() < 0 ? 1 : -1;   // side of the closing edge that is inside the leaf
    auto insideClosingEdge = [&](QPoint q) {
        const qint64 cross = qint64(rise.x()) * (q.y() - foot.y()) - qint64(rise.y()) * (q.x() - foot.x());
        return cross * inside > 0;
    };
    // The first point of the curve moved by `by` that lies inside the closing edge of `pts`: the
    // moved curve starts beyond that edge, where the earlier polygon does not reach.
    auto firstInside = [&](QPoint by) {
        int first = 0;
        while (first < count - 1 && !insideClosingEdge(pts[first] + by))
            ++first;
        return first;
    };

    // The strips as one polygon: out along the first polygon's bottom and outer edges, back along
    // the last one's, then down the staircase of feet: each polygon's closing edge down to its foot
    // and its curve up to where the next polygon's closing edge starts to cover it.
    const int first = firstInside(shift);
    band.assign(pts, pts + count);
    for (int i = count - 1; i >= first; --i)
        band.push_back(pts[i] + shift * d);
    for (int k = d - 1; k >= 1; --k)
        for (int i = 0; i <= first; ++i)
            band.push_back(pts[i] + shift * k);
    {
        QPainter p(&img);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPolygon(band.data(), int(band.size()));
    }
    for (int k = 0; k < d; ++k) {
        const QPoint by = shift * k;
        for (int i = 0; i + 1 < count; ++i)
            PlotLine(img, pts[i] + by, pts[i + 1] + by, 0xFF000000, INT_MIN);
        PlotLine(img, corner + by, corner + by + QPoint(1, 0), 0xFF000000, INT_MIN);
        // The foot of the closing edge, up to where the next polygon's curve covers it.
        PlotLine(img, foot + by, corner + by, 0xFF000000, (pts[first] + by + shift).y());
    }
}

} // namespace

// Draws the line from `a` towards `b` the way the window system's line-to does: every pixel of the
// line except the end point.
void DrawLineExcludingEnd(QImage &img, QPoint a, QPoint b, QRgb color)
{
    PlotLine(img, a, b, color, INT_MIN);
}

// A closed polygon as the window system draws it: filled with white, outlined in black; each edge
// starts at its vertex, so every vertex is drawn.
void DrawOutlinedPolygon(QImage &img, const QPoint *pts, int count)
{
    if (count < 2)
        return;
    {
        QPainter p(&img);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPolygon(pts, count);
    }
    for (int i = 0; i < count; ++i)
        DrawLineExcludingEnd(img, pts[i], pts[(i + 1) % count], 0xFF000000);
}

void BookPainter::DrawLeaves(const BookScene &scene, QImage &frame)
{
    for (int i : scene.flip->LeafDrawOrder())
        DrawLeaf(scene, frame, scene.flip->leaves[size_t(i)]);
}

void BookPainter::DrawLeaf(const BookScene &scene, QImage &frame, const FlipLeaf &leaf)
{
    const BookGeometry &g = *scene.geo;
    const int pageH = g.PageH;
    const bool left = leaf.FoldX < 0;
    const int d = std::max(0, FlipState::BundleDepth(leaf));
    if (leaf.FoldX == 0 || std::abs(leaf.FoldX) > g.PageW)
        return;   // never drawn: a leaf jumps over the spine and lands beyond the page width

    const int n = LeafCurve(left ? g.SpineX - d : g.SpineX + d, g.BookBottomY + d, leaf.FoldX, g.PageW, points_);
    if (n < 1)
        return;
    if (int(points_.size()) < n + 1)
        points_.resize(n + 1);
    points_[n] = QPoint(points_[n - 1].x(), points_[n - 1].y() - pageH);

    // A bundle draws the leaf d more times, each moved one pixel towards the spine and up, ending
    // at the spine.
    const QPoint shift(left ? 1 : -1, -1);
    if (d > 0) {
        DrawBundleEdges(frame, points_.data(), n + 1, shift, d, band_);
        for (int i = 0; i <= n; ++i)
            points_[i] += shift * d;
    }
    DrawOutlinedPolygon(frame, points_.data(), n + 1);

    // The face: the page squeezed to the leaf's width, copied in 2-pixel columns along the curve.
    const int facePage = left ? leaf.BackPage : leaf.FrontPage;
    const int w = std::abs(leaf.FoldX);
    if (const QImage *page = CachedPage(facePage); page && w > 0 && !PageImage1.isNull()) {
        {
            QPainter sp(&PageImage1);
            sp.setCompositionMode(QPainter::CompositionMode_Source);
            sp.drawImage(QRect(0, 0, w, pageH), *page);
        }
        std::vector<Column> columns;
        columns.reserve(n / 2 + 2);
        if (left) {
            // Column s ends at its curve point and reaches towards the free edge; its pixel at
            // distance q from the spine shows squeezed column w - q, so the page is not mirrored and
            // the leaf's outer outline stays visible.
            for (int s = n - 2; s > 0; s -= 2) {
                const int width = points_[s].x() - points_[s + 2].x();
                if (width > 0)
                    columns.push_back({points_[s].x() - width + 1, width, points_[s].y() - pageH, w - s - width + 1});
            }
        } else {
            for (int s = 0; s < n - 2; s += 2) {
                const int width = points_[s + 2].x() - points_[s].x();
                if (width > 0)
                    columns.push_back({points_[s].x(), width, points_[s].y() - pageH, s});
            }
        }
        CopyColumns(PageImage1, std::min(w, PageImage1.width()), frame, columns, pageH);
    }

    // The top edge: the curve lifted by the page height, closed straight back to its start.
    for (int i = 0; i < n; ++i)
        points_[i].ry() -= pageH;
    DrawOutlinedPolygon(frame, points_.data(), n);
    // The spine, from the foot up to (not including) the top end.
    DrawLineExcludingEnd(frame, QPoint(g.SpineX, g.BookBottomY), QPoint(g.SpineX, g.BookBottomY - pageH), 0xFF000000);
}

} // namespace pagero
