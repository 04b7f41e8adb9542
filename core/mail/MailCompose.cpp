// Recipient parsing, body block, grouping and the size line of the send-mail window.
#include "core/mail/MailCompose.h"

#include "core/common/MyLib.h"

#include <QFileInfo>
#include <cmath>

namespace pagero::mail {
namespace {

bool EndsAddressLeft(QChar c) { return c == QLatin1Char(',') || c == QLatin1Char(' ') || c == QLatin1Char('<'); }
bool EndsAddressRight(QChar c) { return c == QLatin1Char(',') || c == QLatin1Char(' ') || c == QLatin1Char('>'); }

void AppendLine(QByteArray &out, const QString &line)
{
    out += line.left(255).toLocal8Bit();
    out += "\r\n";
}

} // namespace

QString ParseRecipients(const QString &to, const QString &cc)
{
    QString text = (to + QLatin1Char(',') + cc).trimmed();
    QString list;
    for (int at = int(text.indexOf(QLatin1Char('@'))); at >= 0; at = int(text.indexOf(QLatin1Char('@')))) {
        int start = at;
        while (start > 0 && !EndsAddressLeft(text[start - 1])) --start;
        int end = at + 1;
        while (end < text.size() && !EndsAddressRight(text[end])) ++end;
        list += text.mid(start, end - start) + QLatin1Char(',');
        text = text.mid(end);
    }
    if (list.endsWith(QLatin1Char(','))) list.chop(1);
    return list;
}

QStringList FooterLines()
{
    return {QString(),
            QStringLiteral("_________________________________________________________"),
            QStringLiteral("Sent using the Award-Winning Pagero :-"),
            QStringLiteral("   Auto-creates page-flipping albums for your pictures"),
            QStringLiteral("      Download a copy at ") + QLatin1String(kProductWebAddress) + QLatin1String(" <<<<<"),
            QString()};
}

QString GroupSubject(const QString &subject, int index, int count)
{
    QString s = subject;
    if (count >= 2) s += QStringLiteral(" %1/%2").arg(index + 1).arg(count);
    return s.isEmpty() ? QStringLiteral(" ") : s;
}

QByteArray BuildBody(const QString &from, const QString &to, const QString &cc, const QString &subject,
                     const QStringList &messageLines, bool firstMessage)
{
    QByteArray out;
    AppendLine(out, QLatin1String("From: ") + from);
    AppendLine(out, QLatin1String("To: ") + to);
    if (cc.size() > 5) AppendLine(out, QLatin1String("CC: ") + cc);
    AppendLine(out, QLatin1String("Subject: ") + subject);
    AppendLine(out, QString());
    if (firstMessage)
        for (const QString &l : messageLines) AppendLine(out, l);
    for (const QString &l : FooterLines()) AppendLine(out, l);
    return out;
}

QList<int> GroupAttachments(const QStringList &paths, const QList<bool> &checked)
{
    QList<int> ends;
    int running = 0;
    int inGroup = 0;
    for (int i = 0; i < paths.size(); ++i) {
        if (i >= checked.size() || !checked[i]) continue;
        const int piece = int(paths[i].size()) + 1;
        const bool full = inGroup > 0 && (running + piece > kGroupTextLimit || inGroup == kMaxAttachmentsPerMail);
        if (full) {
            ends.append(i);
            running = 0;
            inGroup = 0;
        }
        running += piece;
        ++inGroup;
    }
    ends.append(int(paths.size()));
    return ends;
}

QString SendingTimeText(qint64 bytes, int kbps)
{
    const double factor = kbps == 28 ? 1 / 131.2 : kbps == 128 ? 1 / 618.3 : 1 / 50.8;
    const double kb = std::nearbyint(double(bytes) / 1024.0);
    const qint64 minutes = qint64(std::nearbyint(kb * factor));
    if (minutes < 1) return QStringLiteral("<1 (min)");
    return QString::number(minutes) + QLatin1String(" (min)");
}

QString SizeLine(int count, qint64 totalBytes)
{
    if (count <= 0) return QStringLiteral("No attached files.");
    return QString::number(count) + QLatin1String(" image files. ") + QLatin1String("The total size is: ") +
           FileSizeText(totalBytes, true) + QLatin1String("      sending time: ") + SendingTimeText(totalBytes) +
           QLatin1String(" at 28Kbps (Reference)");
}

QString CommaFreeCopyPath(const QString &folder, const QString &fileName)
{
    QString name = fileName;
    name.replace(QLatin1Char(','), QLatin1Char(' '));
    QString candidate = folder + QLatin1Char('/') + name;
    const QString ext = FileExtension(name);
    const QString stem = name.left(name.size() - ext.size());
    for (int n = 1; QFileInfo::exists(candidate); ++n)
        candidate = folder + QLatin1Char('/') + stem + QLatin1Char('_') + QString::number(n) + ext;
    return candidate;
}

} // namespace pagero::mail
