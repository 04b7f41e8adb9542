// The album page list: one listing of the folder, one status read per file, one stable sort.
#include "core/book/PageList.h"
#include "core/common/FolderListing.h"
#include "core/common/MyLib.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace pagero {

namespace {

// Type order: the extension with its dot, exactly as written, by character code ("JPG" < "bmp").
bool TypeLess(const QString &a, const QString &b)
{
    return QString::compare(a, b, Qt::CaseSensitive) < 0;
}

} // namespace

void PageList::Clear()
{
    names.clear();
    sizes.clear();
    dates.clear();
    kinds.clear();
    built_ = false;
}

bool PageList::Build(const QString &folder, const QString &mask, int sortOrder, const Progress &progress)
{
    Clear();
    folder_ = folder;
    mask_ = mask;
    sortOrder_ = sortOrder;

    std::vector<ListedFile> files;
    if (!ListFolder(folder, mask, true, files)) return false;

    const int count = int(files.size());
    std::vector<int> kindOf(count);
    int lastPercent = -1;
    for (int i = 0; i < count; ++i) {
        const int percent = int(qint64(i) * 100 / count);
        if (progress && percent != lastPercent) progress(percent);   // once per percent, not per file
        lastPercent = percent;
        kindOf[i] = MediaKind(files[i].name);
    }

    // The listing is already in name order, which serves the default and the by-name orders alike.
    std::vector<int> order(count);
    std::iota(order.begin(), order.end(), 0);
    if (sortOrder == SortByType) {
        std::vector<QString> keys(count);
        for (int i = 0; i < count; ++i) keys[i] = FileExtension(files[i].name);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return TypeLess(keys[a], keys[b]); });
    } else if (sortOrder == SortBySize) {
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return files[a].size < files[b].size; });
    } else if (sortOrder == SortByDate) {
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return files[a].age < files[b].age; });
    }

    names.reserve(count);
    sizes.reserve(count);
    dates.reserve(count);
    kinds.reserve(count);
    for (int i : order) {
        names.append(files[i].name);
        sizes.append(QString::number(files[i].size));
        dates.append(QString::number(files[i].age));
        kinds.append(QString::number(kindOf[i]));
    }
    built_ = true;
    return true;
}

QString PageList::PagePath(int i) const
{
    if (i < 0 || i >= names.size()) return QString();
    if (folder_.endsWith(QLatin1Char('/'))) return folder_ + names[i];
    return folder_ + QLatin1Char('/') + names[i];
}

qint64 PageList::SizeOf(int i) const
{
    if (i < 0 || i >= sizes.size()) return -1;
    return sizes[i].toLongLong();
}

int32_t PageList::DateOf(int i) const
{
    if (i < 0 || i >= dates.size()) return -1;
    return dates[i].toInt();
}

int PageList::KindOf(int i) const
{
    if (i < 0 || i >= kinds.size()) return 0;
    return kinds[i].toInt();
}

int PageList::IndexOfPath(const QString &path) const
{
    for (int i = 0; i < names.size(); ++i)
        if (QString::compare(PagePath(i), path, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QStringList PageList::listing() const
{
    return ListMatchingFiles(folder_, mask_);
}

bool PageList::HasFolderChanged() const
{
    if (!built_) return false;
    std::vector<ListedFile> now;
    // A folder that can no longer be read has changed: the book must be rebuilt (and will then fail
    // with its own message) rather than keep showing files that are gone.
    if (!ListFolder(folder_, mask_, true, now)) return true;
    if (int(now.size()) != names.size()) return true;
    // By position against the listing, from the last entry down. Under the type, size and date orders
    // a list out of listing order therefore counts as changed, as the program has always done.
    for (int i = names.size() - 1; i >= 0; --i) {
        if (names[i] != now[i].name) return true;
        if (dates[i].toInt() != now[i].age) return true;
    }
    return false;
}

QStringList ListMatchingFiles(const QString &folder, const QString &mask)
{
    std::vector<ListedFile> files;
    QStringList out;
    if (!ListFolder(folder, mask, false, files)) return out;
    out.reserve(int(files.size()));
    for (ListedFile &f : files) out.append(std::move(f.name));
    return out;
}

} // namespace pagero
