#pragma once
// File names as the file system gives them. Linux names are bytes; Qt spells them in UTF-8 and turns
// bytes that are not UTF-8 into U+FFFD, after which the file can no longer be named. Here each such
// byte becomes one lone low surrogate (U+DC80 .. U+DCFF) and goes back to the same byte, so a name
// keeps its bytes through the page list, the caches and every file operation. UTF-8 names decode
// exactly as Qt decodes them.
#include <QByteArray>
#include <QString>

namespace pagero {

QString DecodeFileName(const QByteArray &bytes);
QByteArray EncodeFileName(const QString &name);
// True when the name holds bytes that are not UTF-8 (Qt cannot name the file itself).
bool HasRawBytes(const QString &name);
// The name with each byte that is not UTF-8 replaced by "_" (names the program makes of file names).
QString WithoutRawBytes(const QString &name);

// Status of a path by its bytes.
bool PathExists(const QString &path);
bool IsFolderPath(const QString &path);

// A path Qt and the imaging libraries can read the file by. A name with bytes that are not UTF-8 is
// opened by its bytes and read through its descriptor ("/proc/<pid>/fd/<n>", which a child
// process can read too); any other path is kept as it is. The descriptor lives as long as the object.
class ReadablePath {
public:
    explicit ReadablePath(const QString &path);
    ~ReadablePath();
    ReadablePath(const ReadablePath &) = delete;
    ReadablePath &operator=(const ReadablePath &) = delete;
    const QString &Path() const { return path_; }
private:
    QString path_;
    int fd_ = -1;
};

} // namespace pagero
