// Whole-file writes through a temporary file renamed over the target, and reads with a size cap.
#include "core/common/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

namespace pagero {

bool WriteFileAtomically(const QString &path, const QByteArray &bytes)
{
    if (path.isEmpty()) return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
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
