#include "core/annotations/CommentStore.h"

#include "core/annotations/FileNameIndex.h"
#include "core/annotations/TextLines.h"
#include "core/common/AtomicFile.h"
#include "core/common/MyLib.h"

#include <QFileInfo>

#include <algorithm>
#include <climits>

namespace pagero {

namespace {

constexpr qint64 kMaxStoreBytes = 256 * 1024 * 1024;
constexpr int kHeaderLines = 7;   // mark and name, x, y, transparent, border, colour, font

bool IsMark(const QString &line) { return line.startsWith(QLatin1String(kCommentRecordMark)); }

qint64 NumberOr(const QString &line, qint64 lo, qint64 hi, qint64 fallback)
{
    bool ok = false;
    const qint64 v = line.trimmed().toLongLong(&ok);
    return ok ? std::clamp(v, lo, hi) : fallback;
}

int ToTenThousandths(int pixels, int extent)
{
    return extent > 0 ? RoundHalfEven(pixels * 10000.0 / extent) : 0;
}

} // namespace

void CommentStore::SetLines(const QStringList &lines)
{
    lines_ = lines;
    indexed_ = false;
}

CommentStore::LoadResult CommentStore::LoadFile(const QString &path)
{
    Clear();
    const QFileInfo fi(path);
    if (path.isEmpty() || !fi.exists()) return LoadResult::Missing;
    QByteArray bytes;
    if (!ReadFileLimited(path, bytes, kMaxStoreBytes + 1) || bytes.size() > kMaxStoreBytes
        || bytes.size() != fi.size())
        return LoadResult::Unreadable;
    SetLines(SplitTextLines(bytes));
    return LoadResult::Loaded;
}

QByteArray CommentStore::Bytes() const
{
    return JoinTextLines(lines_);
}

void CommentStore::EnsureIndex() const
{
    if (indexed_) return;
    index_.clear();
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        const QString &line = lines_[i];
        if (line.size() > 3 && IsMark(line)) index_.try_emplace(QStringView(line).mid(3), int(i));
    }
    indexed_ = true;
}

CommentStore::Range CommentStore::FindComment(const QString &path) const
{
    EnsureIndex();
    const QString name = FileNameOf(path);
    const auto it = index_.find(QStringView(name));
    if (it == index_.end()) return {};
    Range r{true, it->second, it->second + 1};
    while (r.end < lines_.size() && !IsMark(lines_[r.end])) ++r.end;
    return r;
}

bool CommentStore::ReadComment(const QString &path, int pageW, int pageH, PageComment &out) const
{
    out = PageComment{};
    const Range r = FindComment(path);
    if (!r.found) return false;
    const auto line = [&](int k) { return r.first + k < r.end ? lines_[r.first + k] : QString(); };
    const int X = int(NumberOr(line(1), 0, 10000, 0));
    const int Y = int(NumberOr(line(2), 0, 10000, 0));
    out.x = RoundHalfEven(X * double(std::max(0, pageW)) * 0.0001);
    out.y = RoundHalfEven(Y * double(std::max(0, pageH)) * 0.0001);
    out.transparent = NumberOr(line(3), INT_MIN, INT_MAX, 1) == 1;
    out.border = NumberOr(line(4), INT_MIN, INT_MAX, 0) == 1;
    const qint64 colour = NumberOr(line(5), LLONG_MIN, LLONG_MAX, -1);
    if (colour >= 0 && colour <= 0xFFFFFF) out.background = uint32_t(colour);
    ParseCommentFont(line(6), out.font);
    for (int i = r.first + kHeaderLines; i < r.end; ++i) out.lines.append(lines_[i]);
    return true;
}

bool CommentStore::WriteComment(const QString &path, int pageW, int pageH, const PageComment &c)
{
    const QString name = FileNameOf(path);
    if (name.contains(QLatin1Char('\r')) || name.contains(QLatin1Char('\n'))) return false;
    DropComment(path);
    QStringList text;
    for (const QString &line : c.lines) {
        for (QString part : SplitTextLines(line.toUtf8() + "\n")) {
            if (IsMark(part)) part.prepend(QLatin1Char(' '));
            text.append(part);
        }
    }
    if (text.isEmpty()) return true;
    lines_ << QLatin1String(kCommentRecordMark) + name << QString::number(ToTenThousandths(c.x, pageW))
           << QString::number(ToTenThousandths(c.y, pageH)) << QString::number(c.transparent ? 1 : 0)
           << QString::number(c.border ? 1 : 0) << QString::number(c.background & 0xFFFFFF)
           << FormatCommentFont(c.font) << text;
    indexed_ = false;
    return true;
}

QStringList CommentStore::RecordOf(const QString &path) const
{
    const Range r = FindComment(path);
    return r.found ? lines_.mid(r.first, r.end - r.first) : QStringList();
}

void CommentStore::PutRecord(const QString &path, const QStringList &record)
{
    DropComment(path);
    lines_ += record;
    indexed_ = false;
}

bool CommentStore::RenameComment(const QString &oldPath, const QString &newPath)
{
    const QString name = FileNameOf(newPath);
    if (name.contains(QLatin1Char('\r')) || name.contains(QLatin1Char('\n'))) return false;
    const Range r = FindComment(oldPath);
    if (!r.found) return false;
    lines_[r.first] = QLatin1String(kCommentRecordMark) + name;
    indexed_ = false;
    return true;
}

bool CommentStore::DropComment(const QString &path)
{
    const Range r = FindComment(path);
    if (!r.found) return false;
    lines_.remove(r.first, r.end - r.first);
    indexed_ = false;
    return true;
}

} // namespace pagero
