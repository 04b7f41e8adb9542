#pragma once
// Page comments on screen: the font a comment names, its block size, and drawing the block on a page
// (opaque on its background colour, or transparent with only the letters, with an optional black
// frame). Used by the page painter and by the comment editor's preview.
#include "core/annotations/CommentStore.h"

#include <QColor>
#include <QFont>
#include <QSize>

class QPainter;

namespace pagero {

// "MS Sans Serif" maps to the book's sans font; every font gets its point size at 96 dpi.
QFont CommentQFont(const CommentFont &font);
CommentFont CommentFontOf(const QFont &font, const QColor &colour);
// Stored colours keep red in the low byte.
QColor CommentColour(uint32_t value);
uint32_t CommentColourValue(const QColor &colour);

// The height of "H" in the font: one text line of a comment.
int CommentLineHeight(const QFont &font);
int CommentTextWidth(const QFont &font, const QString &text);
// Widest line by lines times the line height.
QSize CommentBlockSize(const QFont &font, const QStringList &lines);

// Draws the block with its top-left corner at (comment.x, comment.y) of the painter's coordinates.
void DrawComment(QPainter &painter, const PageComment &comment);

} // namespace pagero
