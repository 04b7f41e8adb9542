#include "core/annotations/CommentFont.h"

#include <QStringList>

namespace pagero {

namespace {

// A decimal number within [lo, hi], else `fallback`.
qint64 NumberIn(const QString &text, qint64 lo, qint64 hi, qint64 fallback)
{
    bool ok = false;
    const qint64 v = text.trimmed().toLongLong(&ok);
    return ok && v >= lo && v <= hi ? v : fallback;
}

} // namespace

QString FormatCommentFont(const CommentFont &f)
{
    QString styles;
    if (f.bold) styles += QLatin1String("fsBold,");
    if (f.italic) styles += QLatin1String("fsItalic,");
    if (f.underline) styles += QLatin1String("fsUnderline,");
    if (f.strikeout) styles += QLatin1String("fsStrikeout,");
    // Joined piece by piece: a name holding "%1" must stay as written.
    const QString sep = QStringLiteral("][");
    return QLatin1Char('[') + f.name + sep + QString::number(f.charset) + sep + QString::number(f.colour) + sep
        + QString::number(f.height) + sep + QString::number(f.size) + sep + styles + QLatin1Char(']');
}

bool ParseCommentFont(const QString &text, CommentFont &font)
{
    font = CommentFont{};
    if (!text.startsWith(QLatin1Char('[')) || !text.endsWith(QLatin1Char(']')) || text.size() < 2) return false;
    const QStringList parts = text.mid(1, text.size() - 2).split(QLatin1String("]["));
    if (parts.size() != 6) return false;
    const CommentFont defaults;
    if (!parts[0].trimmed().isEmpty()) font.name = parts[0];
    font.charset = int(NumberIn(parts[1], 0, 255, defaults.charset));
    font.colour = uint32_t(NumberIn(parts[2], 0, 0xFFFFFF, defaults.colour));
    font.height = int(NumberIn(parts[3], -2000, 2000, defaults.height));
    font.size = int(NumberIn(parts[4], 1, 1500, defaults.size));
    font.bold = parts[5].contains(QLatin1String("fsBold,"));
    font.italic = parts[5].contains(QLatin1String("fsItalic,"));
    font.underline = parts[5].contains(QLatin1String("fsUnderline,"));
    font.strikeout = parts[5].contains(QLatin1String("fsStrikeout,"));
    return true;
}

} // namespace pagero
