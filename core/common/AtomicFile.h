#pragma once
// Every stored file is written whole to a temporary file in the same folder and renamed over the
// old one, so a crash never leaves a truncated file.
#include <QByteArray>
#include <QString>

namespace pagero {
bool WriteFileAtomically(const QString &path, const QByteArray &bytes);
// Reads at most maxBytes (guards against unbounded allocation on hostile files); false when missing.
bool ReadFileLimited(const QString &path, QByteArray &out, qint64 maxBytes = 64 * 1024 * 1024);
}
