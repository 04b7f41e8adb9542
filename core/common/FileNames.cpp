#include "core/common/FileNames.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pagero {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;   // byte b (0x80 .. 0xFF) stands as U+DC00 + b

bool IsEscape(char16_t c) { return c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF; }

// Length of the well-formed UTF-8 sequence at s[i] (1 .. 4), or 0 when it is not one: overlong
// forms, surrogates and code points past U+10FFFF are not well formed.
int SequenceAt(const unsigned char *s, qsizetype n, qsizetype i, char32_t &cp)
{
    const unsigned char b = s[i];
    if (b < 0x80) { cp = b; return 1; }
    int len = 0;
    char32_t min = 0;
    if (b >= 0xC2 && b <= 0xDF) { len = 2; cp = b & 0x1F; min = 0x80; }
    else if (b >= 0xE0 && b <= 0xEF) { len = 3; cp = b & 0x0F; min = 0x800; }
    else if (b >= 0xF0 && b <= 0xF4) { len = 4; cp = b & 0x07; min = 0x10000; }
    else return 0;
    if (i + len > n) return 0;
    for (int k = 1; k < len; ++k) {
        if ((s[i + k] & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (s[i + k] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

} // namespace

QString DecodeFileName(const QByteArray &bytes)
{
    const auto *s = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    QString out;
    out.reserve(n);
    for (qsizetype i = 0; i < n;) {
        char32_t cp = 0;
        const int len = SequenceAt(s, n, i, cp);
        if (len == 0) {
            out.append(QChar(char16_t(kEscapeBase + s[i])));
            ++i;
            continue;
        }
        if (cp < 0x10000) {
            out.append(QChar(char16_t(cp)));
        } else {
            out.append(QChar(QChar::highSurrogate(cp)));
            out.append(QChar(QChar::lowSurrogate(cp)));
        }
        i += len;
    }
    return out;
}

QByteArray EncodeFileName(const QString &name)
{
    if (!HasRawBytes(name)) return name.toUtf8();
    QByteArray out;
    out.reserve(name.size() * 3);
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name.at(i).unicode();
        // A low surrogate right after a high one is half of a pair, not an escaped byte.
        const bool paired = i > 0 && QChar::isHighSurrogate(name.at(i - 1).unicode());
        if (!IsEscape(c) || paired) continue;
        out += QStringView(name).mid(runStart, i - runStart).toUtf8();
        out += char(c - kEscapeBase);
        runStart = i + 1;
    }
    out += QStringView(name).mid(runStart).toUtf8();
    return out;
}

bool HasRawBytes(const QString &name)
{
    for (qsizetype i = 0; i < name.size(); ++i)
        if (IsEscape(name.at(i).unicode()) && (i == 0 || !QChar::isHighSurrogate(name.at(i - 1).unicode())))
            return true;
    return false;
}

QString WithoutRawBytes(const QString &name)
{
    if (!HasRawBytes(name)) return name;
    QString out = name;
    for (qsizetype i = 0; i < out.size(); ++i)
        if (IsEscape(out.at(i).unicode()) && (i == 0 || !QChar::isHighSurrogate(out.at(i - 1).unicode())))
            out[i] = QLatin1Char('_');
    return out;
}

bool PathExists(const QString &path)
{
    struct stat st {};
    return !path.isEmpty() && ::stat(EncodeFileName(path).constData(), &st) == 0;
}

bool IsFolderPath(const QString &path)
{
    struct stat st {};
    return !path.isEmpty() && ::stat(EncodeFileName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

ReadablePath::ReadablePath(const QString &path) : path_(path)
{
    if (!HasRawBytes(path)) return;
    fd_ = ::open(EncodeFileName(path).constData(), O_RDONLY | O_CLOEXEC);
    // Unopenable: the path stays as it is and reading it fails as any missing file does.
    if (fd_ >= 0) path_ = QStringLiteral("/proc/%1/fd/%2").arg(::getpid()).arg(fd_);
}

ReadablePath::~ReadablePath()
{
    if (fd_ >= 0) ::close(fd_);
}

} // namespace pagero
