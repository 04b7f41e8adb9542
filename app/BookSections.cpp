#include "app/BookSections.h"
#include "core/book/PageList.h"
#include "pages/OrvContents_Ut.h"
#include "pages/OrvIndex_Ut.h"
#include "pages/OrvOverView_Ut.h"

namespace pagero {

bool WindowSectionBuilder::Build(const SectionBuildInput &in, SectionSizes &out)
{
    const PageList &pages = *in.pages;
    overview_.SetSelection(in.selection);
    if (!overview_.BuildThumbnails(pages, in.overviewDir, QSize(in.thumbW, in.thumbH))) return false;
    // The grid depends on the thumbnail size, which the build sets.
    overview_.SetArea(in.leftContentLocal);

    contents_.SetPageList(&pages);
    contents_.SetSelection(in.selection);
    contents_.SetContentsArea(in.leftContentLocal);
    index_.SetPageList(&pages);
    index_.SetSelection(in.selection);
    index_.SetIndexArea(in.leftContentLocal);
    index_.BuildIndex(pages.Entries());

    out = SectionSizes{};
    out.files = pages.Count();
    out.thumbsPerPage = overview_.Grid().PerPage;
    out.overviewPages = overview_.OverviewPageCount();
    out.contentsLines = contents_.LinesPerPage();
    out.contentsPages = contents_.ContentsPageCount();
    out.indexPages = index_.IndexPageCount();
    TIndex_Fm *index = &index_;
    out.indexFirstLineOfPage = [index](int page) { return index->FirstLineOfPage(page); };
    out.indexPageOfLine = [index](int line) { return index->PageOfLine(line); };
    return true;
}

} // namespace pagero
