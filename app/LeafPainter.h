#pragma once
// Line and polygon drawing with the window system's pixel rules, used for the leaf outlines.
#include <QImage>
#include <QPoint>

namespace pagero {

// Every pixel of the line from `a` to `b` except the end point (move-to/line-to). 32-bit images.
void DrawLineExcludingEnd(QImage &img, QPoint a, QPoint b, QRgb color);
// A closed polygon filled white and outlined black; each edge starts at its vertex.
void DrawOutlinedPolygon(QImage &img, const QPoint *pts, int count);

} // namespace pagero
