#pragma once
// The address book "~emaddrs.~bk": one contact a line, CR LF after every line, in list order.
// A line is name + " <" + address + ">" when the contact has an address, else the name alone.
#include <QString>
#include <QStringList>

namespace pagero::mail {

QString ContactDisplayText(const QString &name, const QString &address);
// The reverse of ContactDisplayText: the address is the run around the first "@" bounded by a blank
// or "<" on the left and a blank or ">" on the right; the name is what precedes it, trimmed. A line
// without "@" is all name.
void SplitContact(const QString &line, QString &name, QString &address);

QStringList LoadAddressBook(const QString &path);       // a missing file gives an empty book
bool SaveAddressBook(const QString &path, const QStringList &lines);   // atomic
QString AddressBookPath(const QString &folder);         // folder + "/~emaddrs.~bk"

} // namespace pagero::mail
