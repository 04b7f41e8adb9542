// Composition of the open spread into a frame: the background, the two page stacks with their
// alternating white and black edges, the page frames, the cached page images and, on a closed book,
// the binding rings beside the spine.
#include "app/BookPainter.h"
#include "app/PageRenderer.h"
#include "core/book/StackArithmetic.h"
#include "core/common/StoredColor.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace pagero {

namespace {

// A pen that draws as the window system's move-to/line-to does: each line includes its start
// point and leaves out its end point. The stacks and frames only need horizontal and vertical lines.
// Points are book pixels; on a frame of another device pixel ratio each covers the block of device
// pixels under it, so a line one book pixel wide is as wide as the ratio.
class PixelPen {
public:
    PixelPen(QImage &img, QRgb color) : img_(img), color_(color), ratio_(img.devicePixelRatio()) {}
    void SetColor(QRgb color) { color_ = color; }
    void MoveTo(int x, int y) { x_ = x; y_ = y; }
    void LineTo(int x, int y)
    {
        if (y == y_) {
            const int step = x > x_ ? 1 : -1;
            for (int px = x_; px != x; px += step)
                plot(px, y);
        } else if (x == x_) {
            const int step = y > y_ ? 1 : -1;
            for (int py = y_; py != y; py += step)
                plot(x, py);
        }
        x_ = x;
        y_ = y;
    }

private:
    void plot(int x, int y)
    {
        if (ratio_ == 1.0) {
            if (x >= 0 && y >= 0 && x < img_.width() && y < img_.height())
                reinterpret_cast<QRgb *>(img_.scanLine(y))[x] = color_;
            return;
        }
        const int x0 = std::max(0, edge(x)), x1 = std::min(img_.width(), edge(x + 1));
        const int y0 = std::max(0, edge(y)), y1 = std::min(img_.height(), edge(y + 1));
        for (int py = y0; py < y1; ++py) {
            QRgb *row = reinterpret_cast<QRgb *>(img_.scanLine(py));
            for (int px = x0; px < x1; ++px)
                row[px] = color_;
        }
    }
    // The first device pixel of book pixel `v` (the one whose area holds the book pixel's corner).
    int edge(int v) const { return int(std::floor(v * ratio_ + 1e-9)); }
    QImage &img_;
    QRgb color_;
    qreal ratio_;
    int x_ = 0, y_ = 0;
};

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;

void DrawFrame(PixelPen &pen, int l, int t, int r, int b)
{
    pen.MoveTo(l, t);
    pen.LineTo(r, t);
    pen.LineTo(r, b);
    pen.LineTo(l, b);
    pen.LineTo(l, t);
}

void DrawLeftStack(PixelPen &pen, const BookGeometry &g, int depth)
{
    const int L = g.leftL, T = g.leftT, R = g.leftR, B = g.leftB;
    pen.SetColor(kWhite);
    for (int b = 1; b < depth; b += 2) {
        pen.MoveTo(L - b, T + b + 2);
        pen.LineTo(L - b, B + b);
        pen.LineTo(R - b - 1, B + b);
    }
    pen.SetColor(kBlack);
    DrawFrame(pen, L, T, R, B);
    for (int b = 2; b <= depth; b += 2) {
        pen.MoveTo(L - b + 2, T + b);
        pen.LineTo(L - b, T + b);
        pen.LineTo(L - b, B + b);
        pen.LineTo(R - b, B + b);
        pen.LineTo(R - b, B + b - 2);
    }
}

void DrawRightStack(PixelPen &pen, const BookGeometry &g, int depth)
{
    const int L = g.rightL, T = g.rightT, R = g.rightR, B = g.rightB;
    pen.SetColor(kWhite);
    for (int b = 1; b < depth; b += 2) {
        pen.MoveTo(R + b, T + b + 2);
        pen.LineTo(R + b, B + b);
        pen.LineTo(L + b + 1, B + b);
    }
    pen.SetColor(kBlack);
    DrawFrame(pen, L, T, R, B);
    for (int b = 2; b <= depth; b += 2) {
        pen.MoveTo(R + b - 2, T + b);
        pen.LineTo(R + b, T + b);
        pen.LineTo(R + b, B + b);
        pen.LineTo(L + b, B + b);
        pen.LineTo(L + b, B + b - 2);
    }
}

// Copies `image` (of the frame's format and ratio) into `frame` with its corner at book pixel `at`.
void CopyDevicePixels(QImage &frame, QPoint at, const QImage &image)
{
    const qreal ratio = frame.devicePixelRatio();
    const int x0 = int(std::floor(at.x() * ratio + 1e-9)), y0 = int(std::floor(at.y() * ratio + 1e-9));
    const QRect target = QRect(QPoint(x0, y0), image.size()) & frame.rect();
    if (target.isEmpty() || image.format() != frame.format())
        return;
    const size_t bytes = size_t(target.width()) * 4;
    for (int y = target.top(); y <= target.bottom(); ++y)
        std::memcpy(frame.scanLine(y) + size_t(target.left()) * 4,
                    image.constScanLine(y - y0) + size_t(target.left() - x0) * 4, bytes);
}

} // namespace

void BookPainter::RenderSpread(const BookScene &scene, QImage &frame)
{
    const BookGeometry &g = *scene.geo;
    const FlipState &flip = *scene.flip;
    const int lastPageNo = scene.layout->LastPageNo;
    if (frame.size() != DeviceSize(g.client, ratio_) || frame.devicePixelRatio() != ratio_ || frame.format() != kFrameFormat)
        frame = DeviceImage(g.client, ratio_);
    if (frame.isNull())
        return;

    {
        QPainter p(&frame);
        const QRect background(QPoint(0, 0), g.client);
        if (scene.settings && scene.settings->ScreenBackKind == 2 && !scene.screenBackBitmap.isNull())
            background_ = QBrush(scene.screenBackBitmap);   // tiled from the corner
        else
            background_ = QBrush(ColorFromStored(scene.settings ? scene.settings->ScreenBackColor : 0x808080));
        p.fillRect(background, background_);
    }

    PixelPen pen(frame, kBlack);
    if (flip.LeftPageNo > 0)
        DrawLeftStack(pen, g, LeftStackDepth(flip.LeftPageNo));
    if (flip.RightPageNo <= lastPageNo)
        DrawRightStack(pen, g, RightStackDepth(lastPageNo, flip.RightPageNo));

    QPainter p(&frame);
    if (scene.drawBookmarkTabs)
        scene.drawBookmarkTabs(p, 1);
    if (ratio_ == 1.0) {
        if (flip.LeftPageNo > 0)
            p.drawImage(g.leftL + 1, g.leftT + 1, GetPage(scene, flip.LeftPageNo));
        if (flip.RightPageNo <= lastPageNo)
            p.drawImage(g.rightL + 1, g.rightT + 1, GetPage(scene, flip.RightPageNo));
    } else {
        // A painter would take its scaling path for device images even though nothing scales:
        // the pages are copied into place instead, with the painter ended meanwhile.
        p.end();
        if (flip.LeftPageNo > 0)
            CopyDevicePixels(frame, QPoint(g.leftL + 1, g.leftT + 1), GetPage(scene, flip.LeftPageNo));
        if (flip.RightPageNo <= lastPageNo)
            CopyDevicePixels(frame, QPoint(g.rightL + 1, g.rightT + 1), GetPage(scene, flip.RightPageNo));
        p.begin(&frame);
    }
    if (scene.drawBookmarkTabs)
        scene.drawBookmarkTabs(p, 2);

    // Binding rings of a closed book, beside the spine on the side where the book lies.
    const int top = g.BookBottomY - g.PageH + 14;
    if (flip.LeftPageNo == 0) {
        const QImage &ring = BookPictures::RightLkImg();
        for (int y = top; y < g.BookBottomY - 20; y += 17)
            p.drawImage(g.SpineX - ring.width() + 1, y, ring);
    }
    if (flip.RightPageNo > lastPageNo) {
        const QImage &ring = BookPictures::LeftLkImg();
        for (int y = top; y < g.BookBottomY - 20; y += 17)
            p.drawImage(g.SpineX, y, ring);
    }
}

} // namespace pagero
