#pragma once
// The mail options kept in "~mailops.~~" in the program folder: the outgoing server and port, the
// sender's name and address, the attachment encoding and the size limit.
//
// The first 324 bytes are the record's original layout (little-endian; text fields are 101-byte
// areas holding up to 100 characters and a zero byte). The security choice, the login user name and
// the "Remember password" box follow after them, so a reader of the 324-byte layout still works and a
// 324-byte file loads with security None. The password itself is never stored here.
#include <QByteArray>
#include <QString>

namespace pagero::mail {

enum class MessageFormat { Mime = 0, Uuencode = 1, None = 2 };
enum class MailSecurity { None = 0, StartTls = 1, ImplicitTls = 2 };

struct MailOptions {
    static constexpr int kRecordSize = 324;     // the original layout
    static constexpr int kExtendedSize = 432;   // with security, user name and "Remember password"
    static constexpr int kMaxText = 100;        // characters a text field holds

    QString server;
    int port = 25;
    QString name;
    QString address;
    MessageFormat format = MessageFormat::Mime;
    bool limitSize = true;          // "Do not send messages over"
    int sizeChoice = 0;             // 0 "1,000 KB" .. 3 "4,000 KB"
    MailSecurity security = MailSecurity::None;
    QString userName;               // empty: no login
    bool rememberPassword = false;

    // (choice + 1) x 1,000 x 1,024 bytes.
    qint64 SizeLimitBytes() const { return qint64(sizeChoice + 1) * 1000 * 1024; }
    // The encoding letter sent with every attachment: "M", "U" or "N".
    QString EncodingLetter() const;
    // name + " <" + address + ">", the From line of the send-mail window.
    QString FromText() const { return name + QLatin1String(" <") + address + QLatin1Char('>'); }
    bool NeedsSetup() const { return server.isEmpty() || name.isEmpty() || address.isEmpty(); }

    // A record from file bytes: the bytes present overwrite the defaults, a short file fills only
    // what it has; values out of the range the program writes fall back to their defaults.
    static MailOptions FromBytes(const QByteArray &bytes);
    QByteArray ToBytes() const;     // kExtendedSize bytes; text longer than 100 characters is cut
};

// Missing or unreadable file: the defaults.
MailOptions LoadMailOptions(const QString &path);
// Atomic write; false when the file could not be written (the old file stays).
bool SaveMailOptions(const QString &path, const MailOptions &options);
QString MailOptionsPath(const QString &folder);   // folder + "/~mailops.~~"

} // namespace pagero::mail
