#include "app/SectionCounts.h"
#include "common/Fonts.h"
#include "core/book/PageList.h"
#include <QFontMetrics>
#include <algorithm>

namespace pagero {

namespace {
constexpr int kThumbLabelHeight = 15;   // caption strip above each thumbnail
}

int FallbackSectionBuilder::ThumbsPerPage(const QRect &area, int thumbW, int thumbH)
{
    const int cellW = thumbW + 6, cellH = thumbH + kThumbLabelHeight + 8;
    const int columns = (area.right() - area.left()) / cellW;
    const int rows = (area.bottom() - area.top()) / cellH;
    return std::max(0, columns) * std::max(0, rows);
}

int FallbackSectionBuilder::ContentsLinesPerPage(const QRect &area)
{
    const int lineHeight = QFontMetrics(BookFont(8)).height() + 5;
    return std::max(4, (area.bottom() - area.top()) / lineHeight);
}

bool FallbackSectionBuilder::Build(const SectionBuildInput &in, SectionSizes &out)
{
    const int n = in.pages ? in.pages->Count() : 0;
    out = SectionSizes{};
    out.files = n;
    // A page too small for one cell still gets one thumbnail per page, so the layout never divides by 0.
    out.thumbsPerPage = std::max(1, ThumbsPerPage(in.leftContentLocal, in.thumbW, in.thumbH));
    out.contentsLines = ContentsLinesPerPage(in.leftContentLocal);
    out.overviewPages = (n + out.thumbsPerPage - 1) / out.thumbsPerPage;
    out.contentsPages = (n + 3 + out.contentsLines - 1) / out.contentsLines;
    out.indexPages = 1;
    return true;
}

} // namespace pagero
