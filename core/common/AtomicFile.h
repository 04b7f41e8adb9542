#pragma once
// Every stored file is written whole to a temporary file in the same folder and renamed over the
// old one, so a crash or a full disk never leaves a truncated or empty file.
#include <QByteArray>
#include <QString>

namespace pagero {

enum class FileSync {
    Durable,   // the data and the rename are on disk before the call returns
    NoSync,    // the caller makes many files durable at once (SyncFileSystemOf) before relying on them
    // A file that nothing names yet (a cache bitmap whose index line is written only after one sync
    // at the end of its build): written straight to its path, no temporary file and no sync. Every
    // write and the close are still checked, and on a failure the file is removed, so a partial file
    // is never left to be named. Saves a rename, two stats and a folder lock per file.
    Unnamed,
};

// Writes `bytes` to a new file beside `path`, checks every write, the flush to disk (Durable) and the
// close, and only then renames it over `path`. On any failure the temporary file is removed, the old
// file keeps its bytes and the result is false. A symbolic link at `path` is written through, except
// with FileSync::Unnamed, where it is replaced by the file.
bool WriteFileAtomically(const QString &path, const QByteArray &bytes, FileSync sync = FileSync::Durable);

// Flushes everything written to the file system that holds `path` (one syncfs); false on an error.
bool SyncFileSystemOf(const QString &path);

// Reads at most maxBytes (guards against unbounded allocation on hostile files); false when missing.
bool ReadFileLimited(const QString &path, QByteArray &out, qint64 maxBytes = 64 * 1024 * 1024);

// Test seam: makes every later atomic write fail as a full disk would (ENOSPC), on the data write or
// on the flush to disk; None writes normally again.
enum class InjectedWriteFault { None, Write, Sync };
void InjectWriteFault(InjectedWriteFault fault);
InjectedWriteFault InjectedWriteFaultNow();   // for the other writers that honour the seam

} // namespace pagero
