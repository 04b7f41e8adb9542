#include "core/pages/IndexList.h"
#include "core/common/Collation.h"
#include <QSet>
#include <algorithm>
#include <cmath>
#include <vector>

namespace pagero {

namespace {

// The name as the index shows it: without leading control characters and spaces.
QString TrimmedName(const QString &name)
{
    qsizetype i = 0;
    while (i < name.size() && name.at(i).unicode() < 33) ++i;
    return name.mid(i);
}

// The first character of a line (a whole code point), upper-cased.
QString FirstLetterOf(const QString &text)
{
    if (text.isEmpty()) return QString();
    const qsizetype n = (text.at(0).isHighSurrogate() && text.size() > 1) ? 2 : 1;
    return text.left(n).toUpper();
}

// The same letter without its accents ("É" gives "E", "Ö" gives "O"); letters that do not
// decompose ("Æ", "1") stay as they are.
QString BaseLetterOf(const QString &letter)
{
    const QString decomposed = letter.normalized(QString::NormalizationForm_D);
    return decomposed.isEmpty() ? letter : FirstLetterOf(decomposed);
}

} // namespace

void IndexList::Clear()
{
    lines_.clear();
    lineOfFile_.clear();
}

void IndexList::Build(const PageEntries &pageEntries, const std::function<void(int)> &progress)
{
    Clear();
    const int n = int(pageEntries.size());
    if (n == 0) return;

    QList<Line> entries;
    entries.reserve(n);
    for (int i = 0; i < n; ++i) {
        if (progress) progress(90 + int(std::nearbyint(10.0 * i / (3.0 * n))));
        Line e;
        e.kind = LineKind::Entry;
        e.fileNumber = i + 1;
        e.text = TrimmedName(pageEntries[size_t(i)].name) + QStringLiteral(", ") + QString::number(i + 1);
        entries.append(std::move(e));
    }

    // One sort key per line; lines the collation calls equal ("a.jpg, 1", "A.jpg, 2") keep a fixed
    // order by character code.
    const NameCollation collation;
    std::vector<int> order(n);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(n);
    for (int i = 0; i < n; ++i) {
        order[i] = i;
        keys.push_back(collation.SortKey(entries.at(i).text));
    }
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const int c = keys[a].compare(keys[b]);
        if (c != 0) return c < 0;
        return entries.at(a).text < entries.at(b).text;
    });

    // Accented letters go under their base letter where the collation sorts them among it (Été
    // under E). Where it sorts them apart (Swedish puts Ö after Z), the base letter's group is
    // already closed and the letter keeps a heading of its own.
    lines_.reserve(n * 3);
    QString letter;
    QSet<QString> closedHeadings;
    int grouped = 0;
    for (int i : order) {
        // Grouping under headings takes the album-opening progress from 75 to 100.
        if (progress) progress(75 + int(std::nearbyint(25.0 * ++grouped / n)));
        Line &e = entries[i];
        const QString first = FirstLetterOf(e.text);
        QString heading = BaseLetterOf(first);
        if (heading != letter && closedHeadings.contains(heading)) heading = first;
        if (lines_.isEmpty() || heading != letter) {
            if (!letter.isEmpty()) closedHeadings.insert(letter);
            letter = heading;
            lines_.append(Line{LineKind::Heading, heading, 0});
            lines_.append(Line{LineKind::Separator, QStringLiteral(" "), 0});
        }
        lineOfFile_.insert(e.fileNumber, int(lines_.size()));
        lines_.append(std::move(e));
    }
}

QStringList IndexList::Texts() const
{
    QStringList out;
    out.reserve(lines_.size());
    for (const Line &l : lines_) out.append(l.text);
    return out;
}

int IndexList::FileNumberOfLine(int line) const
{
    if (line < 0 || line >= Count()) return 0;
    const Line &l = lines_.at(line);
    return l.kind == LineKind::Entry ? l.fileNumber : 0;
}

void IndexList::SetArea(const QRect &corners)
{
    SetArea(corners.left(), corners.top(), corners.right() - corners.left(),
            corners.bottom() - corners.top());
}

void IndexList::SetArea(int left, int top, int width, int height)
{
    areaLeft_ = left;
    areaTop_ = top;
    areaWidth_ = std::max(0, width);
    areaHeight_ = std::max(0, height);
}

void IndexList::SetCharHeight(int charHeight)
{
    charHeight_ = std::max(1, charHeight);
}

int IndexList::RowsPerColumn() const
{
    return std::max(1, areaHeight_ / LineHeight());
}

int IndexList::PageCount() const
{
    const int k = EntriesPerPage();
    return (Count() + TitleLines + k - 1) / k;
}

int IndexList::FirstLineOfPage(int page) const
{
    if (page <= 1) return 0;
    return (page - 1) * EntriesPerPage() - TitleLines;
}

int IndexList::LastLineOfPage(int page) const
{
    if (page <= 1) return EntriesPerPage() - TitleLines - 1;
    return FirstLineOfPage(page) + EntriesPerPage() - 1;
}

int IndexList::PageOfLine(int line) const
{
    const int k = EntriesPerPage();
    if (line < k - TitleLines) return 0;
    return (line + TitleLines) / k;
}

int IndexList::FirstFileOfPage(int page) const
{
    if (page < 2) return 0;
    const int last = std::min(LastLineOfPage(page), Count() - 1);
    for (int i = std::max(0, FirstLineOfPage(page)); i <= last; ++i)
        if (lines_.at(i).kind == LineKind::Entry) return lines_.at(i).fileNumber;
    return 0;
}

int IndexList::PageOfFile(int fileNumber) const
{
    const auto it = lineOfFile_.constFind(fileNumber);
    return it == lineOfFile_.constEnd() ? 0 : PageOfLine(it.value());
}

QList<IndexList::Placed> IndexList::PlacePage(int page) const
{
    QList<Placed> placed;
    const int lh = LineHeight();
    const int rows = RowsPerColumn() - (page <= 1 ? 3 : 0);   // rows in each column of this page
    const int y0 = areaTop_ + (page <= 1 ? 3 * lh : 0);
    const int mid = areaLeft_ + areaWidth_ / 2;
    const int last = std::min(LastLineOfPage(page), Count() - 1);
    int i = std::max(0, FirstLineOfPage(page));
    if (rows <= 0) return placed;

    int column = 0;
    int row = 0;
    auto rectAt = [&](int c, int r) {
        return c == 0 ? QRect(areaLeft_, y0 + r * lh, (mid - 4) - areaLeft_, lh)
                      : QRect(mid, y0 + r * lh, areaWidth_ / 2, lh);
    };

    // A page that begins on the separator of the previous page's last heading leaves that row
    // empty rather than taking the entry after it for a heading.
    if (i <= last && lines_.at(i).kind == LineKind::Separator) {
        placed.append(Placed{i, LineKind::Separator, rectAt(0, 0), false});
        ++i;
        row = 1;
    }

    bool separatorBelowColumn = false;   // the last heading's separator fell past the column's end
    while (i <= last) {
        if (row >= rows) {
            if (column == 1) break;   // cannot happen with the page sizes above; a guard only
            column = 1;
            row = separatorBelowColumn ? 1 : 0;
        }
        separatorBelowColumn = false;
        const Line &line = lines_.at(i);
        if (line.kind == LineKind::Entry) {
            placed.append(Placed{i, LineKind::Entry, rectAt(column, row), true});
            ++i;
            ++row;
            continue;
        }
        // A heading that would end the left column with its entries in the right one moves to the
        // right column's top when the rest of the page fits there, so a short page never shows its
        // last entries at the top of the right column, above the left column's entries.
        if (line.kind == LineKind::Heading && column == 0) {
            const bool hasSeparator = i + 1 <= last && lines_.at(i + 1).kind == LineKind::Separator;
            const int firstEntry = hasSeparator ? i + 2 : i + 1;
            const bool entryBelowInColumn = row + (firstEntry - i) < rows;
            if (!entryBelowInColumn && firstEntry <= last && last - i + 1 <= rows) {
                column = 1;
                row = 0;
            }
        }
        // A heading (or a stray separator, drawn as nothing) and, when on this page, its separator.
        placed.append(Placed{i, line.kind, rectAt(column, row), line.kind == LineKind::Heading});
        ++i;
        ++row;
        if (line.kind == LineKind::Heading && i <= last && lines_.at(i).kind == LineKind::Separator) {
            separatorBelowColumn = row >= rows;
            placed.append(Placed{i, LineKind::Separator, rectAt(column, row), false});
            ++i;
            ++row;
        }
    }
    return placed;
}

int IndexList::HitTest(int page, QPoint pt, const std::function<int(const QString &)> &textWidth,
                       QRect *hitRect) const
{
    const QRect area(areaLeft_, areaTop_, areaWidth_, areaHeight_);
    if (!area.contains(pt)) return 0;
    const int maxWidth = areaWidth_ / 2 + 1;
    for (const Placed &p : PlacePage(page)) {
        if (!p.visible) continue;
        const QString &text = lines_.at(p.line).text;
        const int w = std::min(textWidth ? textWidth(text) : maxWidth, maxWidth);
        const QRect r(p.rect.left(), p.rect.top(), w, charHeight_ + 3);
        if (!r.contains(pt)) continue;
        if (hitRect) *hitRect = r;
        return p.kind == LineKind::Entry ? lines_.at(p.line).fileNumber : 0;
    }
    return 0;
}

} // namespace pagero
