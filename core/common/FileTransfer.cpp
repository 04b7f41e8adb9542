// Copy, move and tree deletion written with the system calls themselves, so that every read, write,
// flush, close and rename is checked, and the tree walk works on folder descriptors (a folder
// swapped for a link while it is deleted cannot lead the walk out of the tree).
#include "core/common/FileTransfer.h"

#include "core/common/AtomicFile.h"
#include "core/common/FileNames.h"
#include "core/common/Log.h"

#include <QFile>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace pagero {

namespace {

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { if (fd_ >= 0) ::close(fd_); }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return fd_; }
    void Reset(int fd)
    {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }
    int Release()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    bool valid() const { return fd_ >= 0; }
    // Closes now and reports what close says (a network file system reports late write errors here).
    bool Close()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

// Paths keep their bytes, also those that are not UTF-8 (a name Qt would spell lossily).
QByteArray Encoded(const QString &path) { return EncodeFileName(path); }

QByteArray FolderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash > 0 ? path.left(slash) : slash == 0 ? QByteArray("/") : QByteArray(".");
}

TransferResult Failure(TransferStatus status, const QString &path, int error = 0)
{
    QString text = TransferStatusText(status) + QStringLiteral(": ") + path;
    if (error != 0) text += QStringLiteral(" (") + QString::fromLocal8Bit(std::strerror(error)) + QLatin1Char(')');
    qCWarning(lcCore) << text;
    return {status, text};
}

bool NoRoom(int error) { return error == ENOSPC || error == EDQUOT; }

TransferResult WriteFailure(const QString &path, int error)
{
    return Failure(NoRoom(error) ? TransferStatus::DiskFull : TransferStatus::WriteFailed, path, error);
}

bool SameInode(const struct stat &a, const struct stat &b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// The checks on the target that can be made before any byte is written.
TransferResult CheckTarget(const QString &target, const struct stat &source, ExistingTarget existing)
{
    const QByteArray t = Encoded(target);
    struct stat folder {};
    if (::stat(FolderOf(t).constData(), &folder) != 0 || !S_ISDIR(folder.st_mode))
        return Failure(TransferStatus::TargetFolderMissing, target);
    struct stat st {};
    if (::stat(t.constData(), &st) == 0) {
        if (SameInode(st, source)) return Failure(TransferStatus::SameFile, target);
        if (S_ISDIR(st.st_mode)) return Failure(TransferStatus::TargetIsFolder, target);
        if (existing == ExistingTarget::Keep) return Failure(TransferStatus::TargetExists, target);
        if (existing == ExistingTarget::ReplaceWritable && !(st.st_mode & S_IWUSR))
            return Failure(TransferStatus::TargetReadOnly, target);
    } else if (::lstat(t.constData(), &st) == 0 && existing == ExistingTarget::Keep) {
        return Failure(TransferStatus::TargetExists, target);   // a dangling link holds the name
    }
    return {};
}

// Renames `from` to `to`; with Keep the rename fails when anything already holds `to`.
bool RenameInto(const QByteArray &from, const QByteArray &to, ExistingTarget existing)
{
    if (existing != ExistingTarget::Keep) return ::rename(from.constData(), to.constData()) == 0;
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // File systems without the flag: a hard link fails just as atomically when the name is taken.
    if (::link(from.constData(), to.constData()) != 0) return false;
    ::unlink(from.constData());
    return true;
}

void SyncFolder(const QByteArray &folder)
{
    Fd fd(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.valid()) ::fsync(fd.get());   // some file systems cannot sync a folder; the file is complete
}

bool WriteAll(int fd, const char *data, size_t size)
{
    if (InjectedWriteFaultNow() == InjectedWriteFault::Write && size > 0) {
        errno = ENOSPC;
        return false;
    }
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return false;
        }
        data += n;
        size -= size_t(n);
    }
    return true;
}

// A new hidden file in `folder` (hidden names are not album pages), readable and writable by the
// owner only until the copy is complete.
int CreateTemporaryIn(const QByteArray &folder, QByteArray &name)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = folder + "/.pagero-" + QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".part";
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Opens the source for reading; a pipe or device is refused before anything could block on it.
TransferResult OpenSource(const QString &source, Fd &fd, struct stat &st)
{
    const QByteArray s = Encoded(source);
    const int raw = ::open(s.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (raw < 0) {
        const int error = errno;
        struct stat link {};
        if (error == ENOENT || (error == ELOOP && ::lstat(s.constData(), &link) == 0))
            return Failure(TransferStatus::SourceMissing, source);
        return Failure(TransferStatus::ReadFailed, source, error);
    }
    Fd opened(raw);
    if (::fstat(raw, &st) != 0) return Failure(TransferStatus::ReadFailed, source, errno);
    if (!S_ISREG(st.st_mode)) return Failure(TransferStatus::SourceNotAFile, source);
    ::fcntl(raw, F_SETFL, ::fcntl(raw, F_GETFL) & ~O_NONBLOCK);
    fd.Reset(opened.Release());
    return {};
}

// The copy itself: temporary file, every byte, size check, dates and permissions, flush, rename.
TransferResult CopyOpened(int in, const struct stat &st, const QString &source, const QString &target,
                          ExistingTarget existing, bool durable)
{
    const QByteArray t = Encoded(target);
    const QByteArray folder = FolderOf(t);
    QByteArray tempName;
    Fd out(CreateTemporaryIn(folder, tempName));
    if (!out.valid()) return WriteFailure(target, errno);
    struct Cleanup {
        const QByteArray &name;
        bool keep = false;
        ~Cleanup() { if (!keep) ::unlink(name.constData()); }
    } cleanup{tempName};

    constexpr size_t kBuffer = 1 << 20;
    const std::unique_ptr<char[]> buffer(new char[kBuffer]);
    qint64 copied = 0;
    for (;;) {
        const ssize_t n = ::read(in, buffer.get(), kBuffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Failure(TransferStatus::ReadFailed, source, errno);
        if (n == 0) break;
        if (!WriteAll(out.get(), buffer.get(), size_t(n))) return WriteFailure(target, errno);
        copied += n;
    }
    struct stat after {};
    if (copied != st.st_size || ::fstat(in, &after) != 0 || after.st_size != st.st_size)
        return Failure(TransferStatus::SourceChanged, source);

    // The copy keeps the permission bits (never set-id bits) and the dates of the source.
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (::fchmod(out.get(), st.st_mode & 0777) != 0 || ::futimens(out.get(), times) != 0)
        return WriteFailure(target, errno);
    if (durable) {
        if (InjectedWriteFaultNow() == InjectedWriteFault::Sync) return WriteFailure(target, ENOSPC);
        if (::fsync(out.get()) != 0) return WriteFailure(target, errno);
    }
    struct stat written {};
    if (::fstat(out.get(), &written) != 0 || written.st_size != st.st_size)
        return Failure(TransferStatus::WriteFailed, target);
    if (!out.Close()) return WriteFailure(target, errno);

    // The name may have been taken or turned into a folder while the bytes were copied.
    struct stat now {};
    if (::stat(t.constData(), &now) == 0 && S_ISDIR(now.st_mode)) return Failure(TransferStatus::TargetIsFolder, target);
    if (!RenameInto(tempName, t, existing)) {
        const int error = errno;
        if (error == EEXIST) return Failure(TransferStatus::TargetExists, target);
        return WriteFailure(target, error);
    }
    cleanup.keep = true;
    if (durable) SyncFolder(folder);
    return {};
}

TransferResult CopyChecked(const QString &source, const QString &target, ExistingTarget existing, bool durable)
{
    if (target.isEmpty()) return Failure(TransferStatus::TargetFolderMissing, target);
    Fd in;
    struct stat st {};
    if (TransferResult opened = OpenSource(source, in, st); !opened) return opened;
    if (TransferResult checked = CheckTarget(target, st, existing); !checked) return checked;
    return CopyOpened(in.get(), st, source, target, existing, durable);
}

// ---- deleting a tree ----

struct TreeWalk {
    dev_t device;
    TransferResult firstFailure;
    void Note(TransferStatus status, const QByteArray &path, int error)
    {
        if (firstFailure) firstFailure = Failure(status, DecodeFileName(path), error);
    }
};

bool IsMountRoot(int fd)
{
#ifdef STATX_ATTR_MOUNT_ROOT
    struct statx sx {};
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_BASIC_STATS, &sx) == 0 && (sx.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT))
        return (sx.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
#else
    (void)fd;
#endif
    return false;
}

// Deletes the folder `name` inside the open folder `parent`; `path` names it for messages.
void DeleteFolderAt(int parent, const char *name, const QByteArray &path, TreeWalk &walk, bool isRoot)
{
    const int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    int raw = ::openat(parent, name, flags);
    if (raw < 0 && errno == EACCES) {
        // A folder without read or search permission for its owner: give them back, then open it.
        struct stat st {};
        if (::fstatat(parent, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode)
            && ::fchmodat(parent, name, (st.st_mode & 07777) | S_IRWXU, 0) == 0)
            raw = ::openat(parent, name, flags);
    }
    if (raw < 0) {
        walk.Note(TransferStatus::DeleteFailed, path, errno);
        return;
    }
    Fd folder(raw);
    struct stat st {};
    if (::fstat(raw, &st) != 0 || st.st_dev != walk.device || (!isRoot && IsMountRoot(raw))) {
        walk.Note(TransferStatus::DeleteFailed, path, EXDEV);   // another file system: left alone
        return;
    }
    if ((st.st_mode & S_IRWXU) != S_IRWXU) ::fchmod(raw, (st.st_mode & 07777) | S_IRWXU);

    DIR *dir = ::fdopendir(::dup(raw));
    if (!dir) {
        walk.Note(TransferStatus::DeleteFailed, path, errno);
        return;
    }
    while (dirent *entry = ::readdir(dir)) {
        const char *child = entry->d_name;
        if (std::strcmp(child, ".") == 0 || std::strcmp(child, "..") == 0) continue;
        const QByteArray childPath = path + '/' + child;
        bool isFolder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN) {
            struct stat cs {};
            isFolder = ::fstatat(raw, child, &cs, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(cs.st_mode);
        }
        if (isFolder) {
            DeleteFolderAt(raw, child, childPath, walk, false);
        } else if (::unlinkat(raw, child, 0) != 0 && errno != ENOENT) {
            walk.Note(TransferStatus::DeleteFailed, childPath, errno);
        }
    }
    ::closedir(dir);
    folder.Close();
    if (::unlinkat(parent, name, AT_REMOVEDIR) != 0 && errno != ENOENT)
        walk.Note(TransferStatus::DeleteFailed, path, errno);
}

} // namespace

QString TransferStatusText(TransferStatus status)
{
    switch (status) {
    case TransferStatus::Ok: return QStringLiteral("Done");
    case TransferStatus::SourceMissing: return QStringLiteral("The file does not exist");
    case TransferStatus::SourceNotAFile: return QStringLiteral("Not a file");
    case TransferStatus::ReadFailed: return QStringLiteral("Cannot read the file");
    case TransferStatus::SourceChanged: return QStringLiteral("The file changed while it was copied");
    case TransferStatus::SameFile: return QStringLiteral("Source and target are the same file");
    case TransferStatus::TargetFolderMissing: return QStringLiteral("The target folder does not exist");
    case TransferStatus::TargetExists: return QStringLiteral("A file with the same name already exists");
    case TransferStatus::TargetReadOnly: return QStringLiteral("The target is a read-only file");
    case TransferStatus::TargetIsFolder: return QStringLiteral("A folder has the target's name");
    case TransferStatus::DiskFull: return QStringLiteral("No space left on the disk");
    case TransferStatus::WriteFailed: return QStringLiteral("Cannot write the file");
    case TransferStatus::DeleteFailed: return QStringLiteral("Cannot delete");
    }
    return QString();
}

TransferResult CopyFileTo(const QString &source, const QString &target, const TransferOptions &options)
{
    return CopyChecked(source, target, options.existing, options.durable);
}

TransferResult MoveFileTo(const QString &source, const QString &target, const TransferOptions &options)
{
    const QByteArray s = Encoded(source), t = Encoded(target);
    struct stat link {};
    if (source.isEmpty() || ::lstat(s.constData(), &link) != 0) return Failure(TransferStatus::SourceMissing, source);
    if (target.isEmpty()) return Failure(TransferStatus::TargetFolderMissing, target);

    if (!S_ISLNK(link.st_mode)) {
        if (!S_ISREG(link.st_mode)) return Failure(TransferStatus::SourceNotAFile, source);
        if (TransferResult checked = CheckTarget(target, link, options.existing); !checked) return checked;
        if (RenameInto(s, t, options.existing)) {
            if (options.durable) {
                SyncFolder(FolderOf(t));
                SyncFolder(FolderOf(s));
            }
            return {};
        }
        if (errno == EEXIST) return Failure(TransferStatus::TargetExists, target);
        if (errno != EXDEV) return WriteFailure(target, errno);
    }
    // Another file system, or a link (moved as the file it names, so a relative link cannot dangle):
    // the source goes only once a complete copy is on the disk.
    if (TransferResult copied = CopyChecked(source, target, options.existing, true); !copied) return copied;
    if (::unlink(s.constData()) != 0) return Failure(TransferStatus::DeleteFailed, source, errno);
    if (options.durable) SyncFolder(FolderOf(s));
    return {};
}

TransferResult DeleteTree(const QString &path)
{
    if (path.isEmpty()) return Failure(TransferStatus::DeleteFailed, path);
    QByteArray p = Encoded(path);
    while (p.size() > 1 && p.endsWith('/')) p.chop(1);
    struct stat st {};
    if (::lstat(p.constData(), &st) != 0) {
        if (errno == ENOENT) return {};
        return Failure(TransferStatus::DeleteFailed, path, errno);
    }
    if (!S_ISDIR(st.st_mode)) {
        if (::unlink(p.constData()) != 0 && errno != ENOENT) return Failure(TransferStatus::DeleteFailed, path, errno);
        return {};
    }
    const QByteArray folder = FolderOf(p);
    const qsizetype slash = p.lastIndexOf('/');
    const QByteArray name = slash < 0 ? p : p.mid(slash + 1);
    if (name.isEmpty() || name == "." || name == "..") return Failure(TransferStatus::DeleteFailed, path, EINVAL);
    Fd parent(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!parent.valid()) return Failure(TransferStatus::DeleteFailed, path, errno);
    TreeWalk walk{st.st_dev, {}};
    DeleteFolderAt(parent.get(), name.constData(), p, walk, true);
    return walk.firstFailure;
}

} // namespace pagero
