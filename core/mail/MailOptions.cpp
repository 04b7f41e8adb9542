// Byte layout of "~mailops.~~".
#include "core/mail/MailOptions.h"

#include "core/common/AtomicFile.h"

#include <QtEndian>
#include <cstring>

namespace pagero::mail {
namespace {

constexpr int kServerAt = 0, kPortAt = 104, kNameAt = 108, kAddressAt = 209, kFormatAt = 312,
              kLimitAt = 316, kChoiceAt = 320, kSecurityAt = 324, kUserAt = 328, kRememberAt = 429;
constexpr int kField = 101;

// The bytes of a text field up to its first zero or its 101st byte, as Latin-1 (what the original
// file held); missing bytes are left as they were.
QString ReadText(const QByteArray &b, int at, const QString &fallback)
{
    if (b.size() <= at) return fallback;
    const int avail = std::min<int>(kField, int(b.size()) - at);
    const char *p = b.constData() + at;
    const void *zero = std::memchr(p, 0, size_t(avail));
    const int len = zero ? int(static_cast<const char *>(zero) - p) : std::min(avail, MailOptions::kMaxText);
    return QString::fromLatin1(p, len);
}

bool ReadInt(const QByteArray &b, int at, qint32 &out)
{
    if (b.size() < at + 4) return false;
    out = qFromLittleEndian<qint32>(b.constData() + at);
    return true;
}

void WriteText(QByteArray &b, int at, const QString &text)
{
    const QByteArray bytes = text.toLatin1().left(MailOptions::kMaxText);
    std::memcpy(b.data() + at, bytes.constData(), size_t(bytes.size()));
}

void WriteInt(QByteArray &b, int at, qint32 v) { qToLittleEndian<qint32>(v, b.data() + at); }

} // namespace

QString MailOptions::EncodingLetter() const
{
    switch (format) {
    case MessageFormat::Uuencode: return QStringLiteral("U");
    case MessageFormat::None: return QStringLiteral("N");
    default: return QStringLiteral("M");
    }
}

MailOptions MailOptions::FromBytes(const QByteArray &bytes)
{
    MailOptions o;
    o.server = ReadText(bytes, kServerAt, o.server);
    qint32 v = 0;
    if (ReadInt(bytes, kPortAt, v) && v >= 0 && v <= 65535) o.port = v;
    o.name = ReadText(bytes, kNameAt, o.name);
    o.address = ReadText(bytes, kAddressAt, o.address);
    if (ReadInt(bytes, kFormatAt, v) && v >= 0 && v <= 2) o.format = MessageFormat(v);
    if (bytes.size() > kLimitAt) o.limitSize = bytes.at(kLimitAt) != 0;
    if (ReadInt(bytes, kChoiceAt, v) && v >= 0 && v <= 3) o.sizeChoice = v;
    if (ReadInt(bytes, kSecurityAt, v) && v >= 0 && v <= 2) o.security = MailSecurity(v);
    o.userName = ReadText(bytes, kUserAt, o.userName);
    if (bytes.size() > kRememberAt) o.rememberPassword = bytes.at(kRememberAt) != 0;
    return o;
}

QByteArray MailOptions::ToBytes() const
{
    QByteArray b(kExtendedSize, '\0');
    WriteText(b, kServerAt, server);
    WriteInt(b, kPortAt, port);
    WriteText(b, kNameAt, name);
    WriteText(b, kAddressAt, address);
    WriteInt(b, kFormatAt, int(format));
    b[kLimitAt] = limitSize ? 1 : 0;
    WriteInt(b, kChoiceAt, sizeChoice);
    WriteInt(b, kSecurityAt, int(security));
    WriteText(b, kUserAt, userName);
    b[kRememberAt] = rememberPassword ? 1 : 0;
    return b;
}

MailOptions LoadMailOptions(const QString &path)
{
    QByteArray bytes;
    if (!ReadFileLimited(path, bytes, MailOptions::kExtendedSize)) return MailOptions();
    return MailOptions::FromBytes(bytes);
}

bool SaveMailOptions(const QString &path, const MailOptions &options)
{
    return WriteFileAtomically(path, options.ToBytes());
}

QString MailOptionsPath(const QString &folder) { return folder + QLatin1String("/~mailops.~~"); }

} // namespace pagero::mail
