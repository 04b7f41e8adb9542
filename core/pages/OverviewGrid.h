#pragma once
// The overview grid: thumbnail and cell sizes, how many cells fit on one page of the book, and the
// page and hit-test arithmetic built on it. Window-free; the window layer supplies the label height
// (the caption font's text height plus 2).
#include <QPoint>
#include <QRect>

namespace pagero {

class OverviewGrid {
public:
    // Part of a cell that a point falls on.
    enum Part : int { NoPart = 0, CaptionPart = 1, PicturePart = 2 };

    struct Hit {
        bool hit = false;
        QRect cellRect;      // the caption strip or the picture area, as the pointer code frames it
        int part = NoPart;
        int fileNumber = 0;  // counted from 1
    };

    int ThumbWidth = 72;
    int ThumbHeight = 70;
    int GapX = 6;
    int GapY = 8;
    int LabelHeight = 15;
    int CellWidth = 78;
    int CellHeight = 93;
    QRect AreaRect;          // left, top, width, height of the page content
    int Columns = 0;
    int Rows = 0;
    int PerPage = 0;

    void SetThumbSize(int width, int height);
    void SetLabelHeight(int height);
    // Lays the grid out for a page content rectangle; recomputes the cell size first.
    void SetArea(const QRect &area);

    int PageCount(int fileCount) const;            // 0 for an empty album or a page without cells
    int FirstIndexOfPage(int page) const;          // page counted from 1 -> index of its first file
    int OverviewPageOfIndex(int index) const;      // first index of a page -> its 0-based offset
    int PageOfIndex(int index) const;              // any file index -> its page, counted from 1

    // Top-left corner of the cell of file `index` on its page.
    QPoint CellOrigin(int index) const;
    // The caption strip and the picture area of the cell at `origin`, as painted.
    QRect CaptionRect(QPoint origin) const;
    QRect PictureRect(QPoint origin) const;

    Hit HitTest(QPoint pt, int page, int fileCount) const;

private:
    void computeCells();
};

} // namespace pagero
