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

const SharedPageEntries &PageList::NoEntries()
{
    static const SharedPageEntries none = std::make_shared<const PageEntries>();
    return none;
}

void PageList::Clear()
{
    entries_ = NoEntries();
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

    auto entries = std::make_shared<PageEntries>();
    entries->reserve(size_t(count));
    for (int i : order) {
        ListedFile &f = files[size_t(i)];
        entries->push_back(PageEntry{std::move(f.name), kindOf[size_t(i)], f.size, f.age});
    }
    entries_ = std::move(entries);
    built_ = true;
    return true;
}

QString PageList::NameOf(int i) const
{
    if (i < 0 || i >= Count()) return QString();
    return At(i).name;
}

QStringList PageList::Names() const
{
    QStringList out;
    out.reserve(Count());
    for (const PageEntry &e : *entries_) out.append(e.name);
    return out;
}

QString PageList::PagePath(int i) const
{
    if (i < 0 || i >= Count()) return QString();
    if (folder_.endsWith(QLatin1Char('/'))) return folder_ + At(i).name;
    return folder_ + QLatin1Char('/') + At(i).name;
}

qint64 PageList::SizeOf(int i) const
{
    if (i < 0 || i >= Count()) return -1;
    return At(i).size;
}

int32_t PageList::DateOf(int i) const
{
    if (i < 0 || i >= Count()) return -1;
    return At(i).date;
}

int PageList::KindOf(int i) const
{
    if (i < 0 || i >= Count()) return 0;
    return At(i).kind;
}

int PageList::IndexOfPath(const QString &path) const
{
    for (int i = 0; i < Count(); ++i)
        if (QString::compare(PagePath(i), path, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

int PageList::IndexOfName(const QString &name) const
{
    for (int i = 0; i < Count(); ++i)
        if (At(i).name == name) return i;
    for (int i = 0; i < Count(); ++i)
        if (QString::compare(At(i).name, name, Qt::CaseInsensitive) == 0) return i;
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
    const PageEntries &entries = *entries_;
    if (now.size() != entries.size()) return true;
    // By position against the listing, from the last entry down. Under the type, size and date orders
    // a list out of listing order therefore counts as changed, as the program has always done.
    for (size_t i = entries.size(); i-- > 0;) {
        if (entries[i].name != now[i].name) return true;
        if (entries[i].date != now[i].age) return true;
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
