#pragma once
// The contents pages' arithmetic: how many lines fit a page, which files each page lists, where each
// line sits. The first contents page keeps three lines for its "CONTENTS" title. Text metrics come in
// as numbers so this stays free of any window.
#include <QRect>

namespace pagero {

class ContentsLayout {
public:
    static constexpr int TitleLines = 3;

    // The page content rectangle by its corners (left, top) .. (right, bottom), as the book gives
    // it: the area is right - left wide and bottom - top high.
    void SetArea(const QRect &corners);
    void SetArea(int left, int top, int width, int height);
    // Height of "H" in the list font; lines are 5 pixels taller than that.
    void SetCharHeight(int charHeight);

    int AreaLeft() const { return areaLeft_; }
    int AreaTop() const { return areaTop_; }
    int AreaWidth() const { return areaWidth_; }
    int AreaHeight() const { return areaHeight_; }
    int CharHeight() const { return charHeight_; }
    int LineHeight() const { return charHeight_ + 5; }
    // Lines of a full page; never below 1 so page arithmetic stays defined for tiny areas.
    int LinesPerPage() const;

    // (fileCount + 3 + L - 1) div L: at least one page, the title page, even for an empty album.
    int PageCount(int fileCount) const;
    // 0-based file index listed first on contents page `page` (from 1); may be negative for pages of
    // areas too small to hold any line (such pages list nothing).
    int FirstIndex(int page) const;
    // 0-based page offset within the section of the page whose first line is file `index`.
    int PageOffset(int index) const;

    // The files one page lists, first..last (0-based, last < first when none), and the top of its
    // first line.
    struct PageLines { int first = 0; int last = -1; int top = 0; };
    PageLines LinesOfPage(int page, int fileCount) const;

    // Rectangle of the line drawn for file `index` on `page` (full area width, LineHeight high), and
    // the smaller rectangle that answers pointer hits (CharHeight + 3 high).
    QRect LineRect(const PageLines &lines, int index) const;
    QRect HitRect(const PageLines &lines, int index) const;
    // The 0-based file index whose hit rectangle on `page` holds `pt`, or -1.
    int IndexAt(int page, int fileCount, QPoint pt) const;

private:
    int areaLeft_ = 0, areaTop_ = 0, areaWidth_ = 0, areaHeight_ = 0;
    int charHeight_ = 13;
};

} // namespace pagero
