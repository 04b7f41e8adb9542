#include "pages/OrvIndex_Ut.h"
#include "common/Fonts.h"
#include "pages/PageText.h"
#include "core/book/PageList.h"
#include <QFontMetrics>
#include <QPainter>
#include <QSet>

namespace pagero {

TIndex_Fm::TIndex_Fm(QWidget *parent) : QWidget(parent), listFont_(BookFont(8))
{
    setWindowTitle(QStringLiteral("Creating Index..."));
    list_.SetCharHeight(QFontMetrics(listFont_).height());
    const QSize area = InitialPageArea();
    list_.SetArea(0, 0, area.width(), area.height());
}

void TIndex_Fm::SetIndexArea(const QRect &corners)
{
    list_.SetArea(corners);
}

void TIndex_Fm::BuildIndex(const PageEntries &entries, const std::function<void(int)> &progress)
{
    list_.Build(entries, progress);
}

void TIndex_Fm::DrawIndexPage(QPainter &canvas, int page) const
{
    canvas.save();
    const int lh = list_.LineHeight();
    const QFont headingFont = BookFont(11, true);
    if (page <= 1) {
        canvas.setFont(headingFont);
        canvas.setPen(Qt::black);
        const QFontMetrics fm(headingFont);
        const QString title = QStringLiteral("INDEX");
        const int x = list_.AreaLeft() + (list_.AreaWidth() - fm.horizontalAdvance(title)) / 3;
        const int y = list_.AreaTop() + (3 * lh - fm.height()) / 2;
        WriteClipped(canvas, QRect(x, y, fm.horizontalAdvance(title), fm.height()), QPoint(x, y), title);
    }

    QSet<QString> selected;
    if (selection_)
        for (const QString &s : *selection_) selected.insert(s.toUpper());
    const int headingHeight = QFontMetrics(headingFont).height();

    for (const IndexList::Placed &p : list_.PlacePage(page)) {
        if (!p.visible) continue;
        const IndexList::Line &line = list_.At(p.line);
        if (p.kind == IndexList::LineKind::Heading) {
            canvas.setFont(headingFont);
            canvas.setPen(Qt::black);
            const QRect r(p.rect.left(), p.rect.top() + (2 * list_.CharHeight()) / 3, p.rect.width(),
                          headingHeight);
            WriteClipped(canvas, r, r.topLeft(), line.text);
            continue;
        }
        canvas.setFont(listFont_);
        bool isSelected = false;
        if (pages_ && line.fileNumber >= 1 && line.fileNumber <= pages_->Count()) {
            const QString path = pages_->Folder() + QLatin1Char('/') + pages_->At(line.fileNumber - 1).name;
            isSelected = selected.contains(path.toUpper());
        }
        canvas.setPen(isSelected ? kSelectedEntryColor : QColor(Qt::black));
        WriteClipped(canvas, p.rect, p.rect.topLeft(), line.text);
    }
    canvas.restore();
}

int TIndex_Fm::HitTestIndex(QPoint pt, int page, QRect *hitRect) const
{
    const QFontMetrics fm(listFont_);
    return list_.HitTest(page, pt, [&fm](const QString &s) { return fm.horizontalAdvance(s); }, hitRect);
}

QPoint TIndex_Fm::OffsetTo(const QRect &contentRect) const
{
    return QPoint(contentRect.left() - list_.AreaLeft(), contentRect.top() - list_.AreaTop());
}

void TIndex_Fm::DrawPage(QPainter &painter, const QRect &contentRect, int pageNo)
{
    painter.save();
    painter.translate(OffsetTo(contentRect));
    DrawIndexPage(painter, pageNo);
    painter.restore();
}

int TIndex_Fm::HitTest(const QRect &contentRect, int pageNo, QPoint pt, QRect *hotRect, int *subKind)
{
    const QPoint offset = OffsetTo(contentRect);
    QRect r;
    const int fileNumber = HitTestIndex(pt - offset, pageNo, &r);
    if (fileNumber <= 0) return 0;
    if (hotRect) *hotRect = r.translated(offset);
    if (subKind) *subKind = 0;
    return fileNumber;
}

} // namespace pagero
