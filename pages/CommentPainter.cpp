#include "pages/CommentPainter.h"

#include "common/Fonts.h"

#include <QFontMetrics>
#include <QPainter>

namespace pagero {

QFont CommentQFont(const CommentFont &f)
{
    const int points = std::clamp(f.size, 1, 1500);
    QFont font = f.name.compare(QLatin1String("MS Sans Serif"), Qt::CaseInsensitive) == 0 ? BookFont(points)
                                                                                            : QFont(f.name);
    font.setPixelSize(std::max(1, (points * 96 + 36) / 72));
    font.setBold(f.bold);
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strikeout);
    return font;
}

CommentFont CommentFontOf(const QFont &font, const QColor &colour)
{
    CommentFont f;
    f.name = font.family();
    f.size = font.pointSize() > 0 ? font.pointSize() : std::max(1, (font.pixelSize() * 72 + 48) / 96);
    f.height = -((f.size * 96 + 36) / 72);
    f.colour = CommentColourValue(colour);
    f.bold = font.bold();
    f.italic = font.italic();
    f.underline = font.underline();
    f.strikeout = font.strikeOut();
    return f;
}

QColor CommentColour(uint32_t v)
{
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

uint32_t CommentColourValue(const QColor &c)
{
    return uint32_t(c.red()) | uint32_t(c.green()) << 8 | uint32_t(c.blue()) << 16;
}

int CommentLineHeight(const QFont &font)
{
    return QFontMetrics(font).height();
}

int CommentTextWidth(const QFont &font, const QString &text)
{
    return QFontMetrics(font).horizontalAdvance(text);
}

QSize CommentBlockSize(const QFont &font, const QStringList &lines)
{
    const QFontMetrics fm(font);
    int w = 0;
    for (const QString &line : lines) w = std::max(w, fm.horizontalAdvance(line));
    return QSize(w, int(lines.size()) * fm.height());
}

void DrawComment(QPainter &painter, const PageComment &c)
{
    if (c.lines.isEmpty()) return;
    const QFont font = CommentQFont(c.font);
    const QFontMetrics fm(font);
    const QSize size = CommentBlockSize(font, c.lines);
    const QRect block(c.x, c.y, size.width(), size.height());
    painter.save();
    // Transparent: the background colour is what the letters are cut out of, so only they show.
    if (!c.transparent) painter.fillRect(block, CommentColour(c.background));
    painter.setFont(font);
    painter.setPen(CommentColour(c.font.colour));
    for (qsizetype i = 0; i < c.lines.size(); ++i)
        painter.drawText(c.x, c.y + int(i) * fm.height() + fm.ascent(), c.lines[i]);
    if (c.border) {
        painter.setPen(Qt::black);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(block.adjusted(0, 0, -1, -1));
    }
    painter.restore();
}

} // namespace pagero
