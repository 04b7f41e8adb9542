// Drawing of the turning leaves on a flip frame. A leaf's bottom edge follows the square-root curve
// from the spine to its free edge; its top edge is the same curve lifted by the page height. The
// further leaves of a bundle show as edges one pixel apart below and beyond it. The page face is
// resampled smoothly into the curled outline (filtered across and along the curve, edges blended),
// shaded towards the fold at the spine, and the raised leaf casts a soft shadow on the page beneath.
#include "app/BookPainter.h"
#include "app/LeafPainter.h"

#include <QPainter>
#include <QThread>
#include <QThreadPool>
#include <QPen>
#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <memory>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// A pixel spread over 64 bits, one channel per 16-bit lane, so a blend needs two multiplies.
inline quint64 Spread(QRgb p)
{
    const quint64 x = p;
    return (x | (x << 24)) & 0x00FF00FF00FF00FFull;
}

inline QRgb Gather(quint64 x)
{
    return QRgb(x | (x >> 24));
}

// `a` towards `b` by f / 256 (f 0..256), on spread pixels.
inline quint64 Blend(quint64 a, quint64 b, uint f)
{
    return ((a * (256 - f) + b * f) >> 8) & 0x00FF00FF00FF00FFull;
}

// One device column of a face: the two neighbouring source columns it blends, the rows it covers
// and where in the source its rows start. The fold's shading is folded into the column weights.
struct FaceColumn {
    alignas(16) quint16 weights[8];   // 4 x the weight of source column u0, 4 x that of u0 + 1
    int u0;            // u0 + 1 is a column of the source too
    int rowBegin, rowEnd;
    qint64 v0;         // source row of frame row 0, 16.16 fixed point
};

// What the rows of one face are filled from and into; shared with the helper thread.
struct FaceFill {
    uchar *dst = nullptr;
    qsizetype dstBpl = 0;
    QImage src;   // keeps the source's pixels alive while a band is being filled
    std::vector<FaceColumn> cols;
    int xBegin = 0;
    qint64 dv = 0;   // source rows per frame row, 16.16 fixed point
    int yMin = 0, yMax = 0;
    // Bands of rows, taken one at a time by whichever thread comes first.
    int bands = 1;
    std::atomic<int> nextBand{0};
    std::atomic<int> bandsDone{0};
};

// Fills frame rows [y0, y1) of the face: per pixel two source pixels of one row and two of the next,
// blended down by the row's fraction, then across by the column's weights.
void FillFaceRows(const FaceFill &fill, int y0, int y1)
{
    const int lastRow = fill.src.height() - 1;
    const uchar *bits = fill.src.constBits();
    const qsizetype bpl = fill.src.bytesPerLine();
    const FaceColumn *cols = fill.cols.data();
    const int n = int(fill.cols.size());
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
#endif
    for (int y = y0; y < y1; ++y) {
        QRgb *dst = reinterpret_cast<QRgb *>(fill.dst + y * fill.dstBpl) + fill.xBegin;
        for (int i = 0; i < n; ++i) {
            const FaceColumn &c = cols[i];
            if (y < c.rowBegin || y >= c.rowEnd)
                continue;
            const qint64 v = c.v0 + y * fill.dv;
            int r0 = int(v >> 16);
            uint fv = uint(v >> 8) & 0xFF;
            if (r0 < 0) {
                r0 = 0;
                fv = 0;
            } else if (r0 >= lastRow) {
                r0 = lastRow;
                fv = 0;
            }
            const QRgb *top = reinterpret_cast<const QRgb *>(bits + r0 * bpl) + c.u0;
            const QRgb *bottom = fv ? reinterpret_cast<const QRgb *>(bits + (r0 + 1) * bpl) + c.u0 : top;
#if defined(__SSE2__)
            // Both source columns at once: 8 channels in 16-bit lanes.
            const __m128i t = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(top)), zero);
            const __m128i b = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(bottom)), zero);
            const __m128i down = _mm_srli_epi16(
                _mm_add_epi16(_mm_mullo_epi16(t, _mm_set1_epi16(short(256 - fv))), _mm_mullo_epi16(b, _mm_set1_epi16(short(fv)))), 8);
            __m128i across = _mm_mullo_epi16(down, _mm_load_si128(reinterpret_cast<const __m128i *>(c.weights)));
            across = _mm_srli_epi16(_mm_add_epi16(across, _mm_srli_si128(across, 8)), 8);
            dst[i] = QRgb(_mm_cvtsi128_si32(_mm_packus_epi16(across, across))) | 0xFF000000u;
#else
            const quint64 left = Blend(Spread(top[0]), Spread(bottom[0]), fv);
            const quint64 right = Blend(Spread(top[1]), Spread(bottom[1]), fv);
            dst[i] = Gather(((left * c.weights[0] + right * c.weights[4]) >> 8) & 0x00FF00FF00FF00FFull) | 0xFF000000u;
#endif
        }
    }
}

// Takes bands until none is left.
void FillBands(FaceFill &fill)
{
    const int rows = fill.yMax - fill.yMin;
    for (int b = fill.nextBand.fetch_add(1); b < fill.bands; b = fill.nextBand.fetch_add(1)) {
        FillFaceRows(fill, fill.yMin + int(qint64(rows) * b / fill.bands), fill.yMin + int(qint64(rows) * (b + 1) / fill.bands));
        fill.bandsDone.fetch_add(1);
        fill.bandsDone.notify_all();
    }
}

// A face of 4K size holds millions of pixels: its rows are shared with helper threads of a pool of
// the leaf's own (never busy with decoding). The frame's thread takes bands as well, so a helper that
// starts late costs nothing; it waits only for bands a helper is already filling.
void FillFace(std::shared_ptr<FaceFill> fill)
{
    static QThreadPool helpers;
    static const int helperCount = [] {
        helpers.setMaxThreadCount(std::clamp(QThread::idealThreadCount() - 1, 0, 3));
        return helpers.maxThreadCount();
    }();
    const qint64 pixels = qint64(fill->cols.size()) * (fill->yMax - fill->yMin);
    constexpr qint64 kPixelsPerHelper = 400'000;
    const int extra = int(std::min<qint64>(helperCount, pixels / kPixelsPerHelper));
    if (extra > 0) {
        fill->bands = 8 * (extra + 1);
        for (int i = 0; i < extra; ++i)
            helpers.start([fill] { FillBands(*fill); });
    }
    FillBands(*fill);
    for (int done = fill->bandsDone.load(); done < fill->bands; done = fill->bandsDone.load())
        fill->bandsDone.wait(done);
}

// Resamples `src` into the face outline on `frame`. Each device column of the face shows one column
// of the source (two blended), lifted by the curve and stretched to the face's height, both filtered;
// the face is filled row by row so the writes run along the frame's lines. The fold's shading darkens
// the columns next to the spine in the same pass. A pixel belongs to the face when its centre does.
void DrawFace(QImage &frame, const QImage &source, const FaceShape &f)
{
    // Every pixel blends two neighbouring source columns, so the source has at least two.
    const QImage src = source.width() == 1 ? source.scaled(2, source.height()) : source;
    const int srcW = src.width(), srcH = src.height();
    const double faceW = f.x1 - f.x0, faceH = f.bottom0 - f.top0;
    if (faceW <= 0 || faceH <= 0 || srcW < 1 || srcH < 1 || src.depth() != 32 || frame.depth() != 32)
        return;
    const int xBegin = std::max(0, int(std::ceil(f.x0 - 0.5))), xEnd = std::min(frame.width(), int(std::ceil(f.x1 - 0.5)));
    if (xEnd <= xBegin)
        return;
    auto lift = [&](double x) { return f.k * std::sqrt(std::abs(x - f.spineCentre) / f.scale) * f.scale; };
    const double sx = faceW / srcW, sy = faceH / srcH;
    const bool rightward = f.x0 + 0.5 >= f.spineCentre;
    const double edge = rightward ? f.x0 : f.x1, foldW = std::min(f.foldWidth, faceW);
    const qint64 dv = qint64(std::llround(65536.0 / sy));

    auto fill = std::make_shared<FaceFill>();
    fill->dst = frame.bits();
    fill->dstBpl = frame.bytesPerLine();
    fill->src = src;
    fill->xBegin = xBegin;
    fill->dv = dv;
    std::vector<FaceColumn> &cols = fill->cols;
    cols.resize(size_t(xEnd - xBegin));
    int yMin = frame.height(), yMax = 0;
    for (int x = xBegin; x < xEnd; ++x) {
        FaceColumn &c = cols[size_t(x - xBegin)];
        const double xc = x + 0.5;
        const double u = std::clamp((xc - f.x0) / sx - 0.5, 0.0, double(srcW - 1));
        c.u0 = std::min(int(u), srcW - 2);
        const uint fu = uint(std::lround((u - c.u0) * 256));   // weight of u0 + 1
        const double t = foldW > 1 ? std::abs(xc - edge) / foldW : 1.0;
        const uint shade = t >= 1 ? 256u : uint(std::lround(256.0 * (1.0 - kFoldShade * (1 - t) * (1 - t))));
        for (int k = 0; k < 4; ++k) {
            c.weights[k] = quint16((256 - fu) * shade >> 8);
            c.weights[k + 4] = quint16(fu * shade >> 8);
        }
        const double top = f.top0 - lift(xc);
        c.rowBegin = std::max(0, int(std::ceil(top - 0.5)));
        c.rowEnd = std::min(frame.height(), int(std::ceil(top + faceH - 0.5)));
        // Source row of frame row y: (y + 0.5 - top) / sy - 0.5.
        c.v0 = qint64(std::llround(((0.5 - top) / sy - 0.5) * 65536.0));
        if (c.rowBegin < c.rowEnd) {
            yMin = std::min(yMin, c.rowBegin);
            yMax = std::max(yMax, c.rowEnd);
        }
    }
    if (yMin >= yMax)
        return;
    fill->yMin = yMin;
    fill->yMax = yMax;
    FillFace(std::move(fill));
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
