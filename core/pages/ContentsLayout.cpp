#include "core/pages/ContentsLayout.h"
#include <algorithm>

namespace pagero {

void ContentsLayout::SetArea(const QRect &corners)
{
    SetArea(corners.left(), corners.top(), corners.right() - corners.left(),
            corners.bottom() - corners.top());
}

void ContentsLayout::SetArea(int left, int top, int width, int height)
{
    areaLeft_ = left;
    areaTop_ = top;
    areaWidth_ = std::max(0, width);
    areaHeight_ = std::max(0, height);
}

void ContentsLayout::SetCharHeight(int charHeight)
{
    charHeight_ = std::max(1, charHeight);
}

int ContentsLayout::LinesPerPage() const
{
    return std::max(1, areaHeight_ / LineHeight());
}

int ContentsLayout::PageCount(int fileCount) const
{
    const int l = LinesPerPage();
    return (std::max(0, fileCount) + TitleLines + l - 1) / l;
}

int ContentsLayout::FirstIndex(int page) const
{
    if (page <= 1) return 0;
    return (page - 1) * LinesPerPage() - TitleLines;
}

int ContentsLayout::PageOffset(int index) const
{
    const int l = LinesPerPage();
    if (index < l - TitleLines) return 0;
    return (index + TitleLines + l - 1) / l;
}

ContentsLayout::PageLines ContentsLayout::LinesOfPage(int page, int fileCount) const
{
    PageLines lines;
    const int l = LinesPerPage();
    if (page <= 1) {
        lines.top = areaTop_ + TitleLines * LineHeight();
        lines.first = 0;
        lines.last = l - TitleLines - 1;
    } else {
        lines.top = areaTop_;
        lines.first = FirstIndex(page);
        lines.last = lines.first + l - 1;
    }
    lines.last = std::min(lines.last, fileCount - 1);
    // Pages of areas smaller than the title block begin before the first file: list from file 0.
    lines.first = std::max(lines.first, 0);
    return lines;
}

QRect ContentsLayout::LineRect(const PageLines &lines, int index) const
{
    return QRect(areaLeft_, lines.top + (index - lines.first) * LineHeight(), areaWidth_, LineHeight());
}

QRect ContentsLayout::HitRect(const PageLines &lines, int index) const
{
    return QRect(areaLeft_, lines.top + (index - lines.first) * LineHeight(), areaWidth_, charHeight_ + 3);
}

int ContentsLayout::IndexAt(int page, int fileCount, QPoint pt) const
{
    const QRect area(areaLeft_, areaTop_, areaWidth_, areaHeight_);
    if (!area.contains(pt)) return -1;
    const PageLines lines = LinesOfPage(page, fileCount);
    if (lines.last < lines.first || pt.y() < lines.top) return -1;
    const int i = lines.first + (pt.y() - lines.top) / LineHeight();
    if (i > lines.last) return -1;
    return HitRect(lines, i).contains(pt) ? i : -1;
}

} // namespace pagero
