#include "core/annotations/BookmarkFile.h"

#include "core/annotations/TextLines.h"
#include "core/common/AtomicFile.h"
#include "core/common/MyLib.h"

#include <QFileInfo>
#include <QtEndian>

namespace pagero {

namespace {

constexpr qsizetype kRecordBytes = 8;
// Names are at most a few hundred bytes; a file far beyond this is not one the program wrote.
constexpr qint64 kMaxFileBytes = 4 + kMaxBookmarks * (kRecordBytes + 4096 + 2);

bool Storable(const BookMarkRec &b)
{
    // A name with a line break would shift every later name line and spoil the whole file.
    return !b.FileName.contains(QLatin1Char('\r')) && !b.FileName.contains(QLatin1Char('\n'));
}

void AppendInt(QByteArray &out, qint32 v)
{
    char le[4];
    qToLittleEndian<qint32>(v, le);
    out.append(le, 4);
}

} // namespace

QByteArray EncodeBookmarkFile(const BookmarkTable &table)
{
    QStringList names;
    QByteArray out;
    AppendInt(out, 0);
    qint32 count = 0;
    for (const BookMarkRec &b : table) {
        if (!Storable(b) || count >= kMaxBookmarks) continue;
        AppendInt(out, b.Section);
        AppendInt(out, b.FileIndex);
        names.append(b.FileName);
        ++count;
    }
    qToLittleEndian<qint32>(count, out.data());
    out += JoinTextLines(names);
    return out;
}

bool DecodeBookmarkFile(const QByteArray &bytes, BookmarkTable &table)
{
    table.clear();
    if (bytes.size() < 4) return false;
    const qint32 count = qFromLittleEndian<qint32>(bytes.constData());
    if (count < 0 || count > kMaxBookmarks) return false;
    const qsizetype textStart = 4 + qsizetype(count) * kRecordBytes;
    if (bytes.size() < textStart) return false;
    const QStringList names = SplitTextLines(bytes.mid(textStart));
    if (names.size() != count) return false;
    table.resize(count);
    for (qint32 i = 0; i < count; ++i) {
        const char *record = bytes.constData() + 4 + qsizetype(i) * kRecordBytes;
        table[i].Section = qFromLittleEndian<qint32>(record);
        table[i].FileIndex = qFromLittleEndian<qint32>(record + 4);
        table[i].FileName = names[i];
    }
    return true;
}

bool ReadBookmarkFile(const QString &path, BookmarkTable &table)
{
    table.clear();
    QByteArray bytes;
    // One byte over the cap tells an oversized file from one that just fits.
    if (!ReadFileLimited(path, bytes, kMaxFileBytes + 1) || bytes.size() > kMaxFileBytes) return false;
    return DecodeBookmarkFile(bytes, table);
}

bool WriteBookmarkFile(const QString &path, const BookmarkTable &table)
{
    if (path.isEmpty()) return false;
    const QByteArray bytes = EncodeBookmarkFile(table);
    if (qFromLittleEndian<qint32>(bytes.constData()) == 0) return DeleteFileSafe(path);
    return WriteFileAtomically(path, bytes);
}

} // namespace pagero
