// Drawing of the turning leaves on a flip frame. A leaf is the outline of its curled bottom edge up to
// the outer top corner, repeated one pixel apart for every further leaf of a bundle, then its page
// face squeezed to the leaf's width and copied in 2-pixel columns that follow the curve, its top edge
// and the spine.
#include "app/BookPainter.h"

#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <cstring>

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

// Draws the line from `a` towards `b` the way the window system's line-to does: every pixel of the
// line except the end point.
void LineExcludingEnd(QImage &img, QPoint a, QPoint b, QRgb color)
{
    const int w = img.width(), h = img.height();
    int x = a.x(), y = a.y();
    const int dx = std::abs(b.x() - x), dy = -std::abs(b.y() - y);
    const int sx = x < b.x() ? 1 : -1, sy = y < b.y() ? 1 : -1;
    int err = dx + dy;
    while (x != b.x() || y != b.y()) {
        if (x >= 0 && y >= 0 && x < w && y < h)
            reinterpret_cast<QRgb *>(img.scanLine(y))[x] = color;
        const int e2 = 2 * err;
        if (e2 >= dy) { err += dy; x += sx; }
        if (e2 <= dx) { err += dx; y += sy; }
    }
}

// A closed polygon as the window system draws it: filled with white, outlined in black; each edge
// starts at its vertex, so every vertex is drawn.
void DrawPolygon(QImage &img, const QPoint *pts, int count)
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
        LineExcludingEnd(img, pts[i], pts[(i + 1) % count], 0xFF000000);
}

} // namespace

void BookPainter::DrawLeaves(const BookScene &scene, QImage &frame)
{
    const std::vector<FlipLeaf> &leaves = scene.flip->leaves;
    for (size_t i = 0; i < leaves.size(); ++i) {
        if (leaves[i].FoldX >= 0)
            break;
        DrawLeaf(scene, frame, leaves[i]);
    }
    for (size_t i = leaves.size(); i-- > 0;) {
        if (leaves[i].FoldX <= 0)
            break;
        DrawLeaf(scene, frame, leaves[i]);
    }
}

void BookPainter::DrawLeaf(const BookScene &scene, QImage &frame, const FlipLeaf &leaf)
{
    const BookGeometry &g = *scene.geo;
    const int pageH = g.PageH;
    const bool left = leaf.FoldX < 0;
    const int d = std::max(0, (leaf.BackPage - leaf.FrontPage) / 2);
    if (leaf.FoldX == 0 || std::abs(leaf.FoldX) > g.PageW)
        return;   // never drawn: a leaf jumps over the spine and lands beyond the page width

    const int n = LeafCurve(left ? g.SpineX - d : g.SpineX + d, g.BookBottomY + d, leaf.FoldX, g.PageW, points_);
    if (n < 1)
        return;
    if (int(points_.size()) < n + 1)
        points_.resize(n + 1);
    points_[n] = QPoint(points_[n - 1].x(), points_[n - 1].y() - pageH);

    DrawPolygon(frame, points_.data(), n + 1);
    // The edges of the further leaves of a bundle, one pixel apart, ending at the spine.
    const QPoint shift(left ? 1 : -1, -1);
    for (int k = 0; k < d; ++k) {
        for (int i = 0; i <= n; ++i)
            points_[i] += shift;
        DrawPolygon(frame, points_.data(), n + 1);
    }

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
    DrawPolygon(frame, points_.data(), n);
    // The spine, from the foot up to (not including) the top end.
    LineExcludingEnd(frame, QPoint(g.SpineX, g.BookBottomY), QPoint(g.SpineX, g.BookBottomY - pageH), 0xFF000000);
}

} // namespace pagero
