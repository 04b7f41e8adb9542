#include "core/book/BookPlace.h"
#include "core/book/PageList.h"

#include <QDir>
#include <algorithm>

namespace pagero {

namespace {

bool ListsFiles(int kind) { return kind == Overview || kind == Contents || kind == Context; }

// Brings `page` into first .. last; an empty section (last < first) gives the page before it.
int clampToSection(int page, int first, int last) { return std::min(std::max(page, first), last); }

} // namespace

BookPlace PlaceOfSpread(const BookLayout &layout, const PageList &pages, int leftPage)
{
    if (leftPage <= 0) return {FrontCover, 0, {}};
    if (leftPage >= layout.LastPageNo) return {BackCover, BookPlace::kClosedAtBack, {}};
    int page = leftPage;
    if (layout.SectionOf(leftPage) != Context && layout.SectionOf(leftPage + 1) == Context) page = leftPage + 1;

    const BookLayout::Position at = layout.PageToSection(page);
    BookPlace place{at.kind, std::max(0, at.position), {}};
    if (at.kind == FrontCover) place.entry = page;
    else if (at.kind == BackCover) place.entry = std::max(0, page - layout.BackCoverPage);
    if (ListsFiles(at.kind)) place.file = pages.NameOf(place.entry);
    return place;
}

int PageOfPlace(const BookLayout &layout, const PageList &pages, const BookPlace &place)
{
    int entry = std::clamp(place.entry, 0, BookPlace::kClosedAtBack);
    if (ListsFiles(place.kind)) {
        const int found = place.file.isEmpty() ? -1 : pages.IndexOfName(place.file);
        entry = found >= 0 ? found : std::min(entry, std::max(0, pages.Count() - 1));
    }
    const SectionSizes &sizes = layout.Sizes();
    int page = 0;
    switch (place.kind) {
    case FrontCover:
        page = entry <= 0 ? 0 : 1;
        break;
    case Overview:
        page = clampToSection(layout.FirstOverviewPage + entry / std::max(1, sizes.thumbsPerPage),
                              layout.FirstOverviewPage, layout.FirstContentsPage - 1);
        break;
    case Contents:
        // The first contents page holds three lines fewer than the others (its title).
        page = clampToSection(layout.FirstContentsPage + (entry + 3) / std::max(1, sizes.contentsLines),
                              layout.FirstContentsPage, layout.FirstFilePage - 1);
        break;
    case Context:
        page = clampToSection(layout.FirstFilePage + entry, layout.FirstFilePage, layout.FirstIndexPage - 1);
        break;
    case Index: {
        const int offset = sizes.indexPageOfLine ? sizes.indexPageOfLine(entry) : 0;
        page = clampToSection(layout.FirstIndexPage + offset, layout.FirstIndexPage, layout.BackCoverPage - 1);
        break;
    }
    case BackCover:
        page = entry >= BookPlace::kClosedAtBack ? layout.LastPageNo
                                                 : std::min(layout.BackCoverPage + entry, layout.LastPageNo);
        break;
    default:
        break;
    }
    return std::clamp(page, 0, std::max(0, layout.LastPageNo));
}

QString PlaceToText(const BookPlace &place)
{
    return QStringLiteral("%1 %2 %3").arg(place.kind).arg(place.entry).arg(place.file);
}

std::optional<BookPlace> PlaceFromText(const QString &text)
{
    const int first = text.indexOf(QLatin1Char(' '));
    const int second = first < 0 ? -1 : text.indexOf(QLatin1Char(' '), first + 1);
    if (second < 0) return std::nullopt;
    bool kindOk = false, entryOk = false;
    BookPlace place;
    place.kind = text.left(first).toInt(&kindOk);
    place.entry = text.mid(first + 1, second - first - 1).toInt(&entryOk);
    place.file = text.mid(second + 1);
    const bool knownKind = place.kind == FrontCover || ListsFiles(place.kind) || place.kind == Index
                           || place.kind == BackCover;
    if (!kindOk || !entryOk || !knownKind || place.entry < 0 || place.entry > BookPlace::kClosedAtBack)
        return std::nullopt;
    return place;
}

PlaceRegister::PlaceRegister(std::vector<Entry> entries) : entries_(std::move(entries))
{
    if (int(entries_.size()) > kMaxAlbums) entries_.resize(kMaxAlbums);
}

std::optional<BookPlace> PlaceRegister::Find(const QString &folder) const
{
    const QString key = QDir::cleanPath(folder);
    for (const Entry &e : entries_)
        if (e.folder == key) return e.place;
    return std::nullopt;
}

void PlaceRegister::Remember(const QString &folder, const BookPlace &place)
{
    const QString key = QDir::cleanPath(folder);
    if (key.isEmpty()) return;
    std::erase_if(entries_, [&key](const Entry &e) { return e.folder == key; });
    entries_.insert(entries_.begin(), Entry{key, place});
    if (int(entries_.size()) > kMaxAlbums) entries_.resize(kMaxAlbums);
}

} // namespace pagero
