#pragma once
// What the send-mail window sends: the recipient list, the body block with its footer, the grouping
// of the checked files into messages, and the size and sending-time line.
#include <QList>
#include <QString>
#include <QStringList>

namespace pagero::mail {

inline constexpr const char *kProductWebAddress = "https://www.pagero.example";
inline constexpr int kBodyBufferBytes = 8192;   // the body block is built in a buffer of this size
inline constexpr int kGroupTextLimit = 250;     // comma-joined paths per message
inline constexpr int kMaxAttachmentsPerMail = 20;     // the mail library's limit per message
inline constexpr int kMaxAttachmentPath = 127;        // the mail library's limit per path

// The addresses found in To + "," + Cc, comma-joined: each is the run around an "@" bounded by
// ",", blank or "<" on the left and ",", blank or ">" on the right, so display names and angle
// brackets drop out.
QString ParseRecipients(const QString &to, const QString &cc);

QStringList FooterLines();

// The subject of message `index` of `count`: " n/N" appended when there are two or more messages;
// an empty subject becomes a single blank.
QString GroupSubject(const QString &subject, int index, int count);

// The body block: From, To, CC (only when the Cc text is longer than 5 characters), Subject and an
// empty line, then the typed message lines (first message only) and the footer, each line cut to
// 255 characters and ended by CR LF.
QByteArray BuildBody(const QString &from, const QString &to, const QString &cc, const QString &subject,
                     const QStringList &messageLines, bool firstMessage);

// Splits the checked entries into messages: a message takes entries while their paths joined with
// commas stay within 250 characters (and within the library's 20 attachments). Returns, for each
// message, the index one past its last entry. Unchecked entries ride along without counting.
QList<int> GroupAttachments(const QStringList &paths, const QList<bool> &checked);

// "<n> image files. The total size is: <size>      sending time: <time> at 28Kbps (Reference)", or
// "No attached files." when count is 0.
QString SizeLine(int count, qint64 totalBytes);
// Minutes to send `bytes` at 14, 28 or 128 kbit/s ("<1 (min)" or "<m> (min)").
QString SendingTimeText(qint64 bytes, int kbps = 28);

// A free name in `folder` for a copy of `fileName` with every comma replaced by a blank: "_1", "_2",
// ... go before the extension while the name is taken.
QString CommaFreeCopyPath(const QString &folder, const QString &fileName);

} // namespace pagero::mail
