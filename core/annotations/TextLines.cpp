#include "core/annotations/TextLines.h"

namespace pagero {

QStringList SplitTextLines(const QByteArray &bytes)
{
    // One decode of the whole text is much cheaper than one per line.
    const QString text = QString::fromUtf8(bytes);
    const QChar *data = text.constData();
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = data[i].unicode();
        if (c != u'\r' && c != u'\n') continue;
        lines.append(QString(data + start, i - start));
        if (c == u'\r' && i + 1 < n && data[i + 1] == u'\n') ++i;
        start = i + 1;
    }
    if (start < n) lines.append(QString(data + start, n - start));
    return lines;
}

QByteArray JoinTextLines(const QStringList &lines)
{
    QByteArray out;
    qsizetype size = 0;
    for (const QString &line : lines) size += line.size() + 2;
    out.reserve(size);
    for (const QString &line : lines) {
        out += line.toUtf8();
        out += "\r\n";
    }
    return out;
}

} // namespace pagero
