#pragma once
// The turning leaf: its page face resampled along the curled edge, and the pixel-rule line and
// polygon drawing used for the edges of a bundle.
#include <QImage>
#include <QPoint>
#include <array>
#include <vector>

namespace pagero {

// Every pixel of the line from `a` to `b` except the end point (move-to/line-to). 32-bit images.
void DrawLineExcludingEnd(QImage &img, QPoint a, QPoint b, QRgb color);
// A closed polygon filled white and outlined black; each edge starts at its vertex.
void DrawOutlinedPolygon(QImage &img, const QPoint *pts, int count);

// The faces of the leaves in flight, made ready before a flip's first frame: a page image squeezed
// to a leaf's width is sampled from a copy at most twice as wide, so each page keeps narrower
// copies, each half the width of the one before (the page image itself is the widest). The page
// image is named by its cache key: once the page cache renders the slot anew, the copies are
// remade.
class LeafFaces {
public:
    // Makes the narrower copies of `page` (a rendered page image) unless they are ready.
    void Prepare(int page, const QImage &image);
    // The copy of `page` to sample for a face `deviceWidth` pixels wide: `image` itself when no
    // narrower copy fits or none is ready.
    const QImage &Level(int page, const QImage &image, double deviceWidth) const;
    void Clear();

private:
    struct Face {
        int page = -1;
        qint64 key = 0;
        std::vector<QImage> narrower;   // 1/2, 1/4, ... of the page image's width
    };
    std::array<Face, 4> faces_;
    int next_ = 0;
};

} // namespace pagero
