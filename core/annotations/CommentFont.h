#pragma once
// The font of a page comment as the comment store keeps it on one line:
// "[name][charset][colour][height][size][styles]", numbers in decimal, styles the concatenation of
// "fsBold," "fsItalic," "fsUnderline," "fsStrikeout," for the styles that are set.
#include <QString>
#include <cstdint>

namespace pagero {

struct CommentFont {
    QString name = QStringLiteral("MS Sans Serif");
    int charset = 1;            // the window system's "default" character set
    uint32_t colour = 0;        // red in the low byte
    int height = -16;           // pixel height; negative for a character height (12 points at 96 dpi)
    int size = 12;              // points
    bool bold = false, italic = false, underline = false, strikeout = false;
    bool operator==(const CommentFont &) const = default;
};

QString FormatCommentFont(const CommentFont &font);
// Each field that is missing, not a number or out of range keeps its default; false when the line is
// not a font description at all (the whole font then stays at the defaults).
bool ParseCommentFont(const QString &text, CommentFont &font);

} // namespace pagero
