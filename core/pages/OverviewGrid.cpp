#include "core/pages/OverviewGrid.h"

namespace pagero {

void OverviewGrid::SetThumbSize(int width, int height)
{
    ThumbWidth = width;
    ThumbHeight = height;
    computeCells();
}

void OverviewGrid::SetLabelHeight(int height)
{
    LabelHeight = height;
    computeCells();
}

void OverviewGrid::computeCells()
{
    CellWidth = ThumbWidth + GapX;
    CellHeight = ThumbHeight + LabelHeight + GapY;
}

void OverviewGrid::SetArea(const QRect &area)
{
    AreaRect = QRect(area.left(), area.top(), area.width(), area.height());
    computeCells();
    // A degenerate cell (never the case with the three thumbnail sizes) must not divide by zero.
    Columns = CellWidth > 0 ? AreaRect.width() / CellWidth : 0;
    Rows = CellHeight > 0 ? AreaRect.height() / CellHeight : 0;
    if (Columns < 0) Columns = 0;
    if (Rows < 0) Rows = 0;
    PerPage = Columns * Rows;
}

int OverviewGrid::PageCount(int fileCount) const
{
    if (PerPage <= 0 || fileCount <= 0) return 0;
    return (fileCount + PerPage - 1) / PerPage;
}

int OverviewGrid::FirstIndexOfPage(int page) const
{
    return (page - 1) * PerPage;
}

int OverviewGrid::OverviewPageOfIndex(int index) const
{
    if (PerPage <= 0) return 0;
    return (PerPage + index - 1) / PerPage;
}

int OverviewGrid::PageOfIndex(int index) const
{
    if (PerPage <= 0 || index < 0) return 0;
    return index / PerPage + 1;
}

QPoint OverviewGrid::CellOrigin(int index) const
{
    if (Columns <= 0 || PerPage <= 0) return AreaRect.topLeft() + QPoint(GapX / 2, GapY / 2);
    const int column = index % Columns;
    const int row = (index % PerPage) / Columns;
    return QPoint(AreaRect.left() + GapX / 2 + column * CellWidth,
                  AreaRect.top() + GapY / 2 + row * CellHeight);
}

QRect OverviewGrid::CaptionRect(QPoint origin) const
{
    return QRect(origin.x(), origin.y(), ThumbWidth, LabelHeight);
}

QRect OverviewGrid::PictureRect(QPoint origin) const
{
    return QRect(origin.x(), origin.y() + LabelHeight, ThumbWidth, ThumbHeight + 1);
}

OverviewGrid::Hit OverviewGrid::HitTest(QPoint pt, int page, int fileCount) const
{
    Hit result;
    if (Columns <= 0 || Rows <= 0 || CellWidth <= 0 || CellHeight <= 0) return result;

    // The test rectangle starts at the first cell's corner and ends at the last cell's far edge;
    // its right and bottom edges are exclusive.
    const int left = AreaRect.left() + GapX / 2;
    const int top = AreaRect.top() + GapY / 2;
    const int right = AreaRect.left() + CellWidth * Columns;
    const int bottom = AreaRect.top() + CellHeight * Rows;
    if (pt.x() < left || pt.x() >= right || pt.y() < top || pt.y() >= bottom) return result;

    const int dx = pt.x() - left;
    const int dy = pt.y() - top;
    if (dx % CellWidth > ThumbWidth) return result;           // horizontal gap
    const int my = dy % CellHeight;
    if (my > ThumbHeight + LabelHeight) return result;        // vertical gap

    const int row = dy / CellHeight;
    const int column = dx / CellWidth;
    const int fileNumber = (page - 1) * PerPage + 1 + row * Columns + column;
    if (fileNumber > fileCount || fileNumber < 1) return result;

    const int cellLeft = column * CellWidth + left + 1;
    const int cellRight = cellLeft + ThumbWidth + 1;
    int cellTop, cellBottom;
    if (my >= LabelHeight) {
        result.part = PicturePart;
        cellTop = row * CellHeight + top + LabelHeight + 1;
        cellBottom = cellTop + ThumbHeight + 2;
    } else {
        result.part = CaptionPart;
        cellTop = row * CellHeight + top;
        cellBottom = cellTop + LabelHeight + 1;
    }
    result.hit = true;
    result.fileNumber = fileNumber;
    result.cellRect = QRect(QPoint(cellLeft, cellTop), QPoint(cellRight - 1, cellBottom - 1));
    return result;
}

} // namespace pagero
