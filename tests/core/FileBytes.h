#pragma once
// Whole-file reads and writes for tests that build stored files byte by byte and read back what the
// program wrote. A missing file reads as "<missing>", which no stored file holds.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <gtest/gtest.h>

namespace pagero::test {

inline QByteArray ReadAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

inline void WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

} // namespace pagero::test
