// The folder listing: one pass over the directory, one status read per matching file, one sort.
#include "core/common/FolderListing.h"
#include "core/common/Collation.h"
#include "core/common/FileNames.h"
#include "core/common/MyLib.h"

#include <QFile>
#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace pagero {

namespace {

// Iterative wildcard match with one backtrack point: linear in practice, never exponential.
bool WildcardMatch(const QString &pattern, const QString &name)
{
    const QChar *p = pattern.constData(), *pEnd = p + pattern.size();
    const QChar *n = name.constData(), *nEnd = n + name.size();
    const QChar *starP = nullptr, *starN = nullptr;
    while (n < nEnd) {
        if (p < pEnd && *p == QLatin1Char('*')) {
            starP = ++p;
            starN = n;
        } else if (p < pEnd && (*p == QLatin1Char('?') || *p == *n)) {
            ++p;
            ++n;
        } else if (starP) {
            p = starP;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pEnd && *p == QLatin1Char('*')) ++p;
    return p == pEnd;
}

} // namespace

FileMask::FileMask(const QString &mask)
{
    for (const QString &piece : mask.split(QLatin1Char(';'))) {
        const QString pattern = piece.trimmed();
        if (pattern.isEmpty()) continue;
        if (pattern == QLatin1String("*.*") || pattern == QLatin1String("*")) matchAll_ = true;
        patterns_.append(pattern.toCaseFolded());
    }
    if (patterns_.isEmpty()) matchAll_ = true;
}

bool FileMask::Matches(const QString &fileName) const
{
    return matchAll_ || MatchesFolded(fileName.toCaseFolded());
}

bool FileMask::MatchesFolded(const QString &folded) const
{
    if (matchAll_) return true;
    for (const QString &pattern : patterns_)
        if (WildcardMatch(pattern, folded)) return true;
    return false;
}

bool FileNameLess(const QString &a, const QString &b)
{
    return NameCollation().Less(a, b);
}

bool ListFolder(const QString &folder, const QString &mask, bool measure, std::vector<ListedFile> &out)
{
    out.clear();
    if (folder.isEmpty()) return false;
    DIR *dir = opendir(EncodeFileName(folder).constData());
    if (!dir) return false;
    const int fd = dirfd(dir);
    const FileMask fileMask(mask);
    std::vector<ListedFile> found;
    while (const dirent *entry = readdir(dir)) {
        if (entry->d_name[0] == '.') continue;   // hidden, and "." and ".."
        struct stat st {};
        bool haveStat = false;
        switch (entry->d_type) {
        case DT_REG: break;
        case DT_LNK:
        case DT_UNKNOWN:
            // The kind is only known after following the entry.
            if (fstatat(fd, entry->d_name, &st, 0) != 0 || !S_ISREG(st.st_mode)) continue;
            haveStat = true;
            break;
        default: continue;
        }
        ListedFile file;
        // The name keeps its bytes, also those that are not UTF-8.
        file.name = DecodeFileName(QByteArray(entry->d_name));
        QString key = file.name.toCaseFolded();
        if (!fileMask.MatchesFolded(key)) continue;
        if (measure) {
            if (!haveStat) haveStat = fstatat(fd, entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
            if (haveStat) {
                file.size = st.st_size;
                file.age = PackDosDateTimeOfEpoch(st.st_mtim.tv_sec);
            }
        }
        found.push_back(std::move(file));
    }
    closedir(dir);

    // Sort keys are made once per name rather than in every comparison.
    const NameCollation collation;
    std::vector<QCollatorSortKey> keys;
    keys.reserve(found.size());
    for (const ListedFile &f : found) keys.push_back(collation.SortKey(f.name));
    std::vector<int> order(found.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = int(i);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const int c = keys[a].compare(keys[b]);
        if (c != 0) return c < 0;
        return found[a].name < found[b].name;
    });
    out.reserve(found.size());
    for (int i : order) out.push_back(std::move(found[i]));
    return true;
}

} // namespace pagero
