// Drawing of the turning leaves on a flip frame. A leaf's bottom edge follows the square-root curve
// from the spine to its free edge; its top edge is the same curve lifted by the page height. The
// further leaves of a bundle show as edges one pixel apart below and beyond it. The page face is
// resampled smoothly into the curled outline (filtered across and along the curve, edges blended),
// shaded towards the fold at the spine, and the raised leaf casts a soft shadow on the page beneath.
#include "app/BookPainter.h"
#include "app/LeafPainter.h"

#include <QPainter>
#include <QLinearGradient>
#include <QPen>
#include <QPolygonF>
#include <QTransform>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace pagero {

namespace {

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

namespace {

// 8-bit channel arithmetic on 32-bit pixels, two channels per multiply. `f` runs 0..256.
inline QRgb Scale(QRgb p, uint f)
{
    const uint rb = (((p & 0xFF00FFu) * f) >> 8) & 0xFF00FFu;
    const uint g = (((p & 0x00FF00u) * f) >> 8) & 0x00FF00u;
    return 0xFF000000u | rb | g;
}

// Half the width of `src`: each pixel the average of two neighbours.
QImage HalfWidth(const QImage &src)
{
    const int w = (src.width() + 1) / 2, h = src.height(), last = src.width() - 1;
    QImage out(w, h, QImage::Format_RGB32);
    if (out.isNull())
        return out;
    for (int y = 0; y < h; ++y) {
        const QRgb *in = reinterpret_cast<const QRgb *>(src.constScanLine(y));
        QRgb *o = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb a = in[2 * x], b = in[std::min(2 * x + 1, last)];
            o[x] = (a & b) + (((a ^ b) & 0xFEFEFEFEu) >> 1);
        }
    }
    return out;
}

// What a leaf's face needs to know of the leaf, in device pixels.
struct FaceShape {
    double x0, x1;        // the face's columns run from x0 to x1 (continuous)
    double spineCentre;   // centre of the spine column
    double top0, bottom0; // the face's top and bottom at the spine, before the curve lifts them
    double k;             // the curve: lifted by k * sqrt(logical distance from the spine)
    double scale;         // device pixels per logical pixel
    double foldWidth;     // width of the shading at the fold
};

constexpr double kFoldShade = 0.32;   // darkening of the face at the spine

// Resamples `src` into the face outline on `frame` with the raster engine's filtered image drawing:
// the face is cut into strips of whole device columns, each an affine piece (the squeeze across,
// the curve's lift as a shear along), narrow where the curve bends hard next to the spine and
// wider further out, so the lift never strays a quarter of a pixel from the curve. Then the fold's
// shading over the strip next to the spine.
void DrawFace(QImage &frame, const QImage &src, const FaceShape &f)
{
    const int srcW = src.width(), srcH = src.height();
    const int xBegin = std::max(0, int(std::floor(f.x0))), xEnd = std::min(frame.width(), int(std::ceil(f.x1)));
    const double faceW = f.x1 - f.x0, faceH = f.bottom0 - f.top0;
    if (xEnd <= xBegin || faceW <= 0 || faceH <= 0 || srcW < 1 || srcH < 1)
        return;
    auto lift = [&](double x) { return f.k * std::sqrt(std::abs(x - f.spineCentre) / f.scale) * f.scale; };
    const double sx = faceW / srcW, sy = faceH / srcH;
    const QRectF whole(0, 0, srcW, srcH);
    QPainter p(&frame);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QTransform toDevice = QTransform::fromScale(1 / f.scale, 1 / f.scale);   // device pixels from here on
    // The lift bends by k/4 * i^-1.5 per logical pixel at i from the spine: a strip of h device
    // pixels strays by about that * h^2 / 8 from the curve, held to a quarter pixel. Strips are cut
    // from the spine outwards, each as wide as its end nearest the spine allows.
    const double k = std::max(f.k, 1e-6);
    const bool rightward = f.x0 + 0.5 >= f.spineCentre;
    int done = 0;
    while (done < xEnd - xBegin) {
        const int nearX = rightward ? xBegin + done : xEnd - 1 - done;
        const double i = std::max(0.5, std::abs(nearX + 0.5 - f.spineCentre) / f.scale);
        const int h = std::min(std::clamp(int(std::sqrt(8.0 * f.scale * std::pow(i, 1.5) / k)), 1, 32),
                               xEnd - xBegin - done);
        const int x = rightward ? nearX : nearX - h + 1, next = x + h;
        const double xa = x + 0.5, xb = next - 0.5;   // the strip's outer pixel centres
        const double la = lift(xa), lb = lift(xb);
        const double m = xb > xa ? (lb - la) / (xb - xa) : 0.0;
        // Source (u, v) to device: x = x0 + u * sx, y = top0 - lift(x) + v * sy, the lift linear
        // across the strip.
        const QTransform piece(sx, -m * sx, 0, sy, f.x0, f.top0 - la - (f.x0 - xa) * m);
        p.setTransform(toDevice);   // the clip in device pixels
        p.setClipRect(QRect(x, 0, h, frame.height()), Qt::ReplaceClip);
        p.setTransform(piece * toDevice);
        p.drawImage(whole, src, whole);
        done += h;
    }
    p.setClipping(false);
    p.setTransform(toDevice);

    // The fold: darkest at the spine, fading out over the fold's width, inside the face's outline.
    if (f.foldWidth <= 1)
        return;
    const int side = rightward ? 1 : -1;
    const double edge = side > 0 ? f.x0 : f.x1;
    const double far = edge + side * std::min(f.foldWidth, faceW);
    QPolygonF band;
    for (double t = 0; t <= 1.0001; t += 1.0 / 16) {
        const double bx = edge + (far - edge) * t * t;   // fine next to the spine, where it bends
        band << QPointF(bx, f.bottom0 - lift(bx));
    }
    for (double t = 1; t >= -0.0001; t -= 1.0 / 16) {
        const double bx = edge + (far - edge) * t * t;
        band << QPointF(bx, f.top0 - lift(bx));
    }
    QLinearGradient shade(QPointF(edge, 0), QPointF(far, 0));
    for (double t = 0; t <= 1.0001; t += 0.25)
        shade.setColorAt(t, QColor(0, 0, 0, int(255 * kFoldShade * (1 - t) * (1 - t))));
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawPolygon(band);
}

// The shadow the raised leaf casts on the page beneath, beyond its free edge: darkest at the edge,
// fading out over a width that grows as the leaf rises. `edge` is the device column next to the
// free edge, `outward` +1 or -1, `limit` the first device column past the page.
void DrawCastShadow(QImage &frame, int edge, int outward, int limit, int yTop, int yBottom, double rise, double width)
{
    if (width < 1 || rise <= 0)
        return;
    const double strength = 0.45 * std::sqrt(std::min(1.0, rise));
    const int n = int(width);
    yTop = std::max(yTop, 0);
    yBottom = std::min(yBottom, frame.height() - 1);
    std::vector<std::pair<int, uint>> columns;
    for (int j = 0; j < n; ++j) {
        const int x = edge + outward * j;
        if (x < 0 || x >= frame.width() || (outward > 0 ? x >= limit : x <= limit))
            break;
        const double fade = 1.0 - (j + 0.5) / width;
        columns.emplace_back(x, uint(std::clamp(int((1.0 - strength * fade * fade) * 256.0 + 0.5), 0, 256)));
    }
    if (columns.empty())
        return;
    for (int y = yTop; y <= yBottom; ++y) {
        QRgb *dst = reinterpret_cast<QRgb *>(frame.scanLine(y));
        for (const auto &[x, f] : columns)
            dst[x] = Scale(dst[x], f);
    }
}

// The edges of a bundle drawn on a frame of another device pixel ratio: the strips white and each
// further leaf's outline, scaled with the frame.
void DrawScaledBundleEdges(QImage &frame, const std::vector<QPoint> &pts, int count, QPoint shift, int d)
{
    QPainter p(&frame);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    std::vector<QPoint> moved(pts.begin(), pts.begin() + count);
    for (int k = 0; k < d; ++k) {
        p.drawPolygon(moved.data(), count);
        for (QPoint &q : moved)
            q += shift;
    }
}

} // namespace

void LeafFaces::Prepare(int page, const QImage &image)
{
    const qint64 key = image.cacheKey();
    for (const Face &f : faces_)
        if (f.page == page && f.key == key)
            return;
    Face &face = faces_[size_t(next_)];
    next_ = (next_ + 1) % int(faces_.size());
    face = Face{page, key, {}};
    const QImage *wider = &image;
    while (wider->width() > 2) {
        face.narrower.push_back(HalfWidth(*wider));
        if (face.narrower.back().isNull()) {
            face.narrower.pop_back();
            break;
        }
        wider = &face.narrower.back();
    }
}

const QImage &LeafFaces::Level(int page, const QImage &image, double deviceWidth) const
{
    const qint64 key = image.cacheKey();
    for (const Face &f : faces_) {
        if (f.page != page || f.key != key)
            continue;
        const QImage *best = &image;
        for (const QImage &level : f.narrower) {
            if (level.width() < deviceWidth)
                break;
            best = &level;
        }
        return *best;
    }
    return image;
}

void LeafFaces::Clear()
{
    for (Face &f : faces_)
        f = Face{};
}

QRect BookPainter::DrawLeaves(const BookScene &scene, QImage &frame)
{
    QRect touched;
    for (int i : scene.flip->LeafDrawOrder())
        touched |= DrawLeaf(scene, frame, scene.flip->leaves[size_t(i)]);
    return touched;
}

void BookPainter::PrepareLeafFaces(const BookScene &scene)
{
    for (const FlipLeaf &leaf : scene.flip->leaves)
        for (int page : {leaf.FrontPage, leaf.BackPage})
            if (const QImage *image = CachedPage(page))
                faces_.Prepare(page, *image);
}

QRect BookPainter::DrawLeaf(const BookScene &scene, QImage &frame, const FlipLeaf &leaf)
{
    const BookGeometry &g = *scene.geo;
    const int pageH = g.PageH, pageW = g.PageW;
    const bool left = leaf.FoldX < 0;
    const int d = std::max(0, FlipState::BundleDepth(leaf));
    if (leaf.FoldX == 0 || std::abs(leaf.FoldX) > pageW || frame.isNull())
        return QRect();   // never drawn: a leaf jumps over the spine and lands beyond the page width
    const int a = std::abs(leaf.FoldX);
    const int side = left ? -1 : 1;
    const double scale = frame.devicePixelRatio();

    // The bundle's further leaves, one pixel apart, ending at the spine.
    if (d > 0) {
        const int n = LeafCurve(g.SpineX + side * d, g.BookBottomY + d, leaf.FoldX, pageW, points_);
        if (int(points_.size()) < n + 1)
            points_.resize(n + 1);
        points_[n] = QPoint(points_[n - 1].x(), points_[n - 1].y() - pageH);
        const QPoint shift(-side, -1);
        if (scale == 1.0) {
            DrawBundleEdges(frame, points_.data(), n + 1, shift, d, band_);
            // The top leaf's own outline closes the strips' staircase at the spine foot.
            for (int i = 0; i <= n; ++i)
                points_[i] += shift * d;
            DrawOutlinedPolygon(frame, points_.data(), n + 1);
        } else
            DrawScaledBundleEdges(frame, points_, n + 1, shift, d);
    }

    const double k = LeafCurveFactor(leaf.FoldX, pageW);
    const double rise = k * std::sqrt(double(a));   // how far the free edge is lifted
    const double raised = 1.0 - double(a) / pageW;  // 0 lying flat, towards 1 upright at the spine

    // The shadow on the page beneath, beyond the outermost edge.
    const double shadowWidth = pageW * 0.12 * std::sqrt(raised) * scale;
    const int outer = g.SpineX + side * (a + d);
    DrawCastShadow(frame, int((outer + side) * scale + (left ? scale - 1 : 0)), side,
                   int((g.SpineX + side * pageW) * scale), int((g.BookBottomY - pageH + 1) * scale),
                   int(g.BookBottomY * scale) - 1, raised, shadowWidth);

    // The face, between the spine and the free edge, from the top edge to the bottom edge.
    FaceShape shape;
    shape.x0 = (left ? g.SpineX - a + 1 : g.SpineX + 1) * scale;
    shape.x1 = (left ? g.SpineX : g.SpineX + a) * scale;
    shape.spineCentre = (g.SpineX + 0.5) * scale;
    shape.top0 = (g.BookBottomY - pageH + 1) * scale;
    shape.bottom0 = g.BookBottomY * scale;
    shape.k = k;
    shape.scale = scale;
    shape.foldWidth = std::max(4.0, a * 0.2) * scale;
    const int facePage = left ? leaf.BackPage : leaf.FrontPage;
    static const QImage blank = [] {
        QImage img(2, 2, QImage::Format_RGB32);
        img.fill(Qt::white);
        return img;
    }();
    const QImage *page = CachedPage(facePage);
    const QImage &source = page ? faces_.Level(facePage, *page, shape.x1 - shape.x0) : blank;
    DrawFace(frame, source, shape);

    // The outline: bottom edge, free edge, top edge, anti-aliased through the pixel centres; the
    // spine as a line of whole pixels.
    {
        outline_.clear();
        auto curvePoint = [&](double i, double lift) {
            return QPointF(g.SpineX + side * i + 0.5, g.BookBottomY - lift - k * std::sqrt(i) + 0.5);
        };
        // Steep next to the spine, so finely there; every few pixels further out.
        auto addCurve = [&](double lift, bool outwards) {
            std::vector<double> at;
            for (int i = 0; i < a; i += i < 32 ? 1 : 3)
                at.push_back(i);
            at.push_back(a);
            if (!outwards)
                std::reverse(at.begin(), at.end());
            for (double i : at)
                outline_.push_back(curvePoint(i, lift));
        };
        addCurve(0, true);
        addCurve(pageH, false);
        QPainter p(&frame);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::black, 1.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(outline_.data(), int(outline_.size()));
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillRect(QRect(g.SpineX, g.BookBottomY - pageH + 1, 1, pageH), Qt::black);
    }

    const int reach = a + d + int(std::ceil(shadowWidth / scale)) + 2;
    const QRect logical(left ? g.SpineX - reach : g.SpineX - 1, g.BookBottomY - pageH - int(std::ceil(rise)) - d - 2,
                        reach + 2, pageH + int(std::ceil(rise)) + 2 * d + 5);
    const QRect device(int(logical.x() * scale), int(logical.y() * scale), int(std::ceil(logical.width() * scale)) + 1,
                       int(std::ceil(logical.height() * scale)) + 1);
    return device & frame.rect();
}

} // namespace pagero
