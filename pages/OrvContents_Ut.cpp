#include "pages/OrvContents_Ut.h"
#include "common/Fonts.h"
#include "pages/PageText.h"
#include "core/book/PageList.h"
#include <QFontMetrics>
#include <QPainter>
#include <QSet>
#include <algorithm>

namespace pagero {

TContents_Fm::TContents_Fm(QWidget *parent) : QWidget(parent), listFont_(BookFont(8))
{
    setWindowTitle(QStringLiteral("Creating Contents..."));
    layout_.SetCharHeight(QFontMetrics(listFont_).height());
    // A usable layout before the book gives the real area.
    const QSize area = InitialPageArea();
    layout_.SetArea(0, 0, area.width(), area.height());
}

void TContents_Fm::SetContentsArea(const QRect &corners)
{
    layout_.SetArea(corners);
}

int TContents_Fm::ContentsPageCount() const
{
    return layout_.PageCount(FileCount());
}

int TContents_Fm::FileCount() const
{
    return pages_ ? pages_->Count() : 0;
}

QString TContents_Fm::NameOf(int index) const
{
    return pages_->At(index).name;
}

QString TContents_Fm::PathOf(int index) const
{
    return pages_->Folder() + QLatin1Char('/') + pages_->At(index).name;
}

namespace {

// " " + n dots + `number`: the shortest such leader (one dot at least) that is at least `available`
// wide. Shaped text of n dots is not n dot widths wide, so the dot count is found by measuring:
// doubling from an estimate, then halving the interval, about a dozen measurements where stepping
// a dot at a time took hundreds on a wide page.
QString Leader(const QFontMetrics &fm, int dotWidth, const QString &number, int available)
{
    auto text = [&](int n) { return QLatin1Char(' ') + QString(n, QLatin1Char('.')) + number; };
    auto fills = [&](int n) { return fm.horizontalAdvance(text(n)) >= available; };
    if (fills(1)) return text(1);
    int low = 1;   // too short
    int high = std::max(2, (available - fm.horizontalAdvance(text(1))) / dotWidth);
    while (!fills(high)) {
        if (high >= (1 << 16)) return text(high);   // a font whose dots take no room
        low = high;
        high *= 2;
    }
    while (high - low > 1) {   // low too short, high fills
        const int mid = low + (high - low) / 2;
        (fills(mid) ? high : low) = mid;
    }
    return text(high);
}

} // namespace

void TContents_Fm::DrawContentsPage(QPainter &canvas, int page) const
{
    canvas.save();
    const int lh = layout_.LineHeight();
    if (page <= 1) {
        canvas.setFont(BookFont(11, true));
        canvas.setPen(Qt::black);
        const QFontMetrics fm(canvas.font());
        const QString title = QStringLiteral("CONTENTS");
        const int x = layout_.AreaLeft() + (layout_.AreaWidth() - fm.horizontalAdvance(title)) / 2;
        const int y = layout_.AreaTop() + (3 * lh - fm.height()) / 2;
        WriteClipped(canvas, QRect(x, y, fm.horizontalAdvance(title), fm.height()), QPoint(x, y), title);
    }
    canvas.setFont(listFont_);
    const QFontMetrics fm(listFont_);

    QSet<QString> selected;
    if (selection_)
        for (const QString &s : *selection_) selected.insert(s.toUpper());

    const ContentsLayout::PageLines lines = layout_.LinesOfPage(page, FileCount());
    const int spaceWidth = fm.horizontalAdvance(QLatin1Char(' '));
    const int dotWidth = std::max(1, fm.horizontalAdvance(QLatin1Char('.')));
    for (int i = lines.first; i <= lines.last; ++i) {
        const QRect r = layout_.LineRect(lines, i);
        const int right = r.left() + r.width();   // the line's right edge (exclusive)
        canvas.setPen(selected.contains(PathOf(i).toUpper()) ? kSelectedEntryColor : QColor(Qt::black));

        // The name, kept inside the line.
        const QString name = NameOf(i);
        const int nameWidth = fm.horizontalAdvance(name);
        WriteClipped(canvas, QRect(r.left(), r.top(), std::min(nameWidth, r.width()), r.height()),
                     r.topLeft(), name);

        // The leader: the shortest " ...." + " n" at least as wide as the room after the name, set
        // against the right edge and clipped at the name's end.
        const int x = r.left() + nameWidth;
        const int available = right - x - spaceWidth;
        const QString number = QLatin1Char(' ') + QString::number(i + 1);
        const QString s = Leader(fm, dotWidth, number, available);
        if (x < right)
            WriteClipped(canvas, QRect(x, r.top(), right - x, r.height()),
                         QPoint(right - fm.horizontalAdvance(s), r.top()), s);
    }
    canvas.restore();
}

bool TContents_Fm::HitTestContents(QPoint pt, int page, QRect *lineRect, int *fileNumber) const
{
    const int i = layout_.IndexAt(page, FileCount(), pt);
    if (i < 0) return false;
    if (lineRect) *lineRect = layout_.HitRect(layout_.LinesOfPage(page, FileCount()), i);
    if (fileNumber) *fileNumber = i + 1;
    return true;
}

QPoint TContents_Fm::OffsetTo(const QRect &contentRect) const
{
    return QPoint(contentRect.left() - layout_.AreaLeft(), contentRect.top() - layout_.AreaTop());
}

void TContents_Fm::DrawPage(QPainter &painter, const QRect &contentRect, int pageNo)
{
    painter.save();
    painter.translate(OffsetTo(contentRect));
    DrawContentsPage(painter, pageNo);
    painter.restore();
}

int TContents_Fm::HitTest(const QRect &contentRect, int pageNo, QPoint pt, QRect *hotRect, int *subKind)
{
    const QPoint offset = OffsetTo(contentRect);
    QRect r;
    int fileNumber = 0;
    if (!HitTestContents(pt - offset, pageNo, &r, &fileNumber)) return 0;
    if (hotRect) *hotRect = r.translated(offset);
    if (subKind) *subKind = 0;
    return fileNumber;
}

} // namespace pagero
