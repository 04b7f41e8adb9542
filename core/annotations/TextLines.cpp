#include "core/annotations/TextLines.h"

namespace pagero {

QStringList SplitTextLines(const QByteArray &bytes)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes.at(i);
        if (c != '\r' && c != '\n') continue;
        lines.append(QString::fromUtf8(bytes.constData() + start, i - start));
        if (c == '\r' && i + 1 < n && bytes.at(i + 1) == '\n') ++i;
        start = i + 1;
    }
    if (start < n) lines.append(QString::fromUtf8(bytes.constData() + start, n - start));
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
