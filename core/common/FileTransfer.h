#pragma once
// Copying, moving and deleting the user's files so that nothing is lost when something fails part
// way: a copy is written to a hidden temporary file in the target folder, flushed, checked for its
// full size and only then renamed into place; a move deletes its source only after such a copy (or
// is one rename on the same file system); a folder tree is deleted without ever following a symbolic
// link or a mount point out of it. No exceptions: every call returns a TransferResult.
#include <QString>

namespace pagero {

enum class TransferStatus {
    Ok,
    SourceMissing,        // nothing at the source path (or a dangling link)
    SourceNotAFile,       // a folder, device, pipe or socket
    ReadFailed,           // the source could not be opened or read
    SourceChanged,        // the source's size changed while it was copied
    SameFile,             // source and target are one file: nothing was done
    TargetFolderMissing,  // the target's folder does not exist
    TargetExists,         // the target exists and the policy does not replace it
    TargetReadOnly,       // the target is read-only and the policy does not replace it
    TargetIsFolder,       // a folder occupies the target path
    DiskFull,             // no room left for the copy
    WriteFailed,          // the copy could not be created, written, flushed or renamed into place
    DeleteFailed,         // the copy is complete but the source (or part of a tree) stays
};

struct TransferResult {
    TransferStatus status = TransferStatus::Ok;
    QString text;   // what failed and why, naming the path ("" on success)
    bool Ok() const { return status == TransferStatus::Ok; }
    explicit operator bool() const { return Ok(); }
};

// What happens to a file already at the target.
enum class ExistingTarget {
    Keep,              // fail with TargetExists (checked atomically by the final rename)
    ReplaceWritable,   // replace it unless it is read-only (TargetReadOnly)
    Replace,           // replace it even when read-only: the user has been asked
};

struct TransferOptions {
    ExistingTarget existing = ExistingTarget::ReplaceWritable;
    // Flush the copy to disk before it is renamed into place (and before a move deletes its source).
    // Batch callers may make many files durable with one SyncFileSystemOf instead.
    bool durable = true;
};

// Copies the file at `source` (a symbolic link is copied as the file it points to) to `target`,
// keeping its modification time and permissions. On failure the source is untouched, an existing
// target keeps its bytes and no partial file is left behind.
TransferResult CopyFileTo(const QString &source, const QString &target, const TransferOptions &options = {});

// Moves `source` to `target`: one rename when both are on the same file system, otherwise a copy as
// above, its size checked, and then the source deleted. A symbolic link is moved as the file it
// points to (the link itself is removed, the file it names stays).
TransferResult MoveFileTo(const QString &source, const QString &target, const TransferOptions &options = {});

// Deletes the folder `path` with everything below it, read-only entries included. Symbolic links
// are removed, never followed; folders of another file system mounted inside are left alone (and
// the result says so). A link at `path` itself is removed. A missing path is Ok.
TransferResult DeleteTree(const QString &path);

// A one-line English text for the status (used in logs and where no fuller text fits).
QString TransferStatusText(TransferStatus status);

} // namespace pagero
