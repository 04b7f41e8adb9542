// Whole-file writes through a temporary file renamed over the target, and reads with a size cap.
// Written with the system calls themselves: a buffered writer can report success for data that a
// full disk refuses only when the buffer is flushed, and the rename would then replace good bytes.
#include "core/common/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pagero {

namespace {

std::atomic<InjectedWriteFault> g_fault{InjectedWriteFault::None};

bool WriteAll(int fd, const char *data, qint64 size)
{
    if (g_fault.load() == InjectedWriteFault::Write && size > 0) {
        errno = ENOSPC;
        return false;
    }
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(std::min<qint64>(size, 1 << 30)));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= n;
    }
    return true;
}

bool SyncFd(int fd)
{
    if (g_fault.load() == InjectedWriteFault::Sync) {
        errno = ENOSPC;
        return false;
    }
    return ::fsync(fd) == 0;
}

// A new file beside `target`, created with the permissions a new file gets (the umask applies);
// -1 when none can be made.
int CreateTemporary(const QByteArray &target, QByteArray &tempName)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempName = target + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".tmp";
        const int fd = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

void SyncFolderOf(const QByteArray &file)
{
    const qsizetype slash = file.lastIndexOf('/');
    const QByteArray folder = slash > 0 ? file.left(slash) : slash == 0 ? QByteArray("/") : QByteArray(".");
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    // The rename is made durable where the file system can; some cannot sync a folder, and the file
    // itself is already complete either way.
    ::fsync(fd);
    ::close(fd);
}

} // namespace

void InjectWriteFault(InjectedWriteFault fault)
{
    g_fault.store(fault);
}

InjectedWriteFault InjectedWriteFaultNow()
{
    return g_fault.load();
}

// The FileSync::Unnamed write. A link (or anything else) at the path is removed first, so the bytes
// never land outside the folder the caller named.
bool WriteUnnamedFile(const QByteArray &target, const QByteArray &bytes)
{
    int fd = ::open(target.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 && (errno == ELOOP || errno == EISDIR || errno == ENXIO) && ::unlink(target.constData()) == 0)
        fd = ::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, bytes.constData(), bytes.size());
    if (::close(fd) != 0) ok = false;
    if (!ok) ::unlink(target.constData());
    return ok;
}

bool WriteFileAtomically(const QString &path, const QByteArray &bytes, FileSync sync)
{
    if (path.isEmpty()) return false;
    if (sync == FileSync::Unnamed) return WriteUnnamedFile(QFile::encodeName(path), bytes);
    QString targetPath = path;
    const QFileInfo info(path);
    if (info.isSymLink()) {
        const QString resolved = info.canonicalFilePath();
        if (!resolved.isEmpty()) targetPath = resolved;
    }
    const QByteArray target = QFile::encodeName(targetPath);

    QByteArray tempName;
    const int fd = CreateTemporary(target, tempName);
    if (fd < 0) return false;
    bool ok = true;
    struct stat old {};
    // An existing file keeps its permissions.
    if (::stat(target.constData(), &old) == 0 && S_ISREG(old.st_mode)) ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    ok = ok && WriteAll(fd, bytes.constData(), bytes.size());
    if (ok && sync == FileSync::Durable) ok = SyncFd(fd);
    // close can report a failed write-back too (network file systems).
    if (::close(fd) != 0) ok = false;
    if (ok) ok = ::rename(tempName.constData(), target.constData()) == 0;
    if (!ok) {
        ::unlink(tempName.constData());
        return false;
    }
    if (sync == FileSync::Durable) SyncFolderOf(target);
    return true;
}

bool SyncFileSystemOf(const QString &path)
{
    if (g_fault.load() == InjectedWriteFault::Sync) return false;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::syncfs(fd) == 0;
    ::close(fd);
    return ok;
}

bool ReadFileLimited(const QString &path, QByteArray &out, qint64 maxBytes)
{
    out.clear();
    const QFileInfo fi(path);
    // Only regular files: a FIFO or device would block or never end.
    if (path.isEmpty() || !fi.isFile()) return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const qint64 want = std::max<qint64>(0, std::min(file.size(), maxBytes));
    out = file.read(want);
    return true;
}

} // namespace pagero
