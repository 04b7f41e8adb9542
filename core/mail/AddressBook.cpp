// Contacts as display lines, and their file.
#include "core/mail/AddressBook.h"

#include "core/common/AtomicFile.h"

namespace pagero::mail {

QString ContactDisplayText(const QString &name, const QString &address)
{
    if (address.isEmpty()) return name;
    return name + QLatin1String(" <") + address + QLatin1Char('>');
}

void SplitContact(const QString &line, QString &name, QString &address)
{
    const int at = int(line.indexOf(QLatin1Char('@')));
    if (at < 0) {
        name = line;
        address.clear();
        return;
    }
    int start = at;
    while (start > 0 && line[start - 1] != QLatin1Char(' ') && line[start - 1] != QLatin1Char('<')) --start;
    int end = at + 1;
    while (end < line.size() && line[end] != QLatin1Char(' ') && line[end] != QLatin1Char('>')) ++end;
    address = line.mid(start, end - start);
    // The name ends before the character that precedes the address ("<" or a blank).
    name = start > 0 ? line.left(start - 1).trimmed() : QString();
}

QStringList LoadAddressBook(const QString &path)
{
    QByteArray bytes;
    if (!ReadFileLimited(path, bytes, 16 * 1024 * 1024)) return {};
    QStringList lines = QString::fromLocal8Bit(bytes).split(QLatin1Char('\n'));
    for (QString &l : lines)
        if (l.endsWith(QLatin1Char('\r'))) l.chop(1);
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();   // after the last CR LF
    return lines;
}

bool SaveAddressBook(const QString &path, const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &l : lines) bytes += l.toLocal8Bit() + "\r\n";
    return WriteFileAtomically(path, bytes);
}

QString AddressBookPath(const QString &folder) { return folder + QLatin1String("/~emaddrs.~bk"); }

} // namespace pagero::mail
