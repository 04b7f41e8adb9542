#pragma once
// Pieces of page rendering shared by the painter, its tests and benchmarks: the design pictures of
// the book (error sign, binding rings, sound and MIDI icons), text written with its cell's top-left
// corner at a point, and the fitted picture of a file page.
#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

class QPainter;

namespace pagero {

// The design pictures. Each comes from the program's assets; when an asset is missing a small
// drawing of the painter's own stands in, so a picture is never null.
struct BookPictures {
    static const QImage &ErrorImage();
    static const QImage &RightLkImg();      // rings left of the spine on a closed book (front)
    static const QImage &LeftLkImg();       // rings right of the spine on a book closed at the back
    static const QImage &LeftFlipLkImg();   // rings on the spine edge of an even page
    static const QImage &RightFlipLkImg();  // rings on the spine edge of an odd page
    static const QImage &WavIcon();
    static const QImage &MidIcon();
};

// Writes `text` with the top-left corner of its text cell at `topLeft`, as the window system's text
// output does. With a valid `background` the text cell is filled with it first (opaque text).
void DrawTextAt(QPainter &p, QPoint topLeft, const QString &text, const QColor &color,
                const QColor &background = QColor());

// The picture of a file page, loaded and fitted into the content rectangle: scaled down with the
// aspect kept, never enlarged, as the common library's fitting rule sizes it. Null when the file
// cannot be decoded. `kind` is the page list's file kind (1, 2 or 5). With a `ratio` above 1 the
// picture is decoded and resampled for that many device pixels per book pixel and carries the ratio:
// it still covers the same book pixels (LogicalSize), only sharper.
QImage LoadFittedPicture(const QString &path, int kind, const QRect &content, qreal ratio = 1.0);

// Where a picture of `size` is drawn centred in `content` (the left/top of the rectangle's inclusive
// corners plus half of what is left, rounded down).
QPoint CentredIn(const QRect &content, QSize size);

// The error sign: the picture centred in the content rectangle and "Data Error!" 20 pixels above it.
void DrawErrorSign(QPainter &p, const QRect &content);

} // namespace pagero
