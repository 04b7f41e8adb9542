#include "app/BookSections.h"
#include "core/book/PageList.h"
#include "pages/OrvContents_Ut.h"
#include "pages/OrvIndex_Ut.h"
#include "pages/OrvOverView_Ut.h"

namespace pagero {

void WindowSectionBuilder::Build(const SectionBuildInput &in, SectionBuildDone done)
{
    overview_.SetSelection(in.selection);
    overview_.AlbumProgress = in.progress;
    overview_.BuildThumbnails(*in.pages, in.overviewDir, QSize(in.thumbW, in.thumbH),
                              [this, in, done = std::move(done)](ThumbBuildResult result) {
        overview_.AlbumProgress = nullptr;
        // Without a usable cache (NoCache) the book is still laid out: it shows without thumbnails.
        if (result == ThumbBuildResult::Failed || result == ThumbBuildResult::ExitRequested) {
            done(false, SectionSizes{});
            return;
        }
        done(true, layOut(in));
    }, in.deviceRatio);
}

SectionSizes WindowSectionBuilder::layOut(const SectionBuildInput &in)
{
    const PageList &pages = *in.pages;
    // The grid depends on the thumbnail size, which the build sets.
    overview_.SetArea(in.leftContentLocal);

    contents_.SetPageList(&pages);
    contents_.SetSelection(in.selection);
    contents_.SetContentsArea(in.leftContentLocal);
    index_.SetPageList(&pages);
    index_.SetSelection(in.selection);
    index_.SetIndexArea(in.leftContentLocal);
    index_.BuildIndex(pages.Entries(), in.progress);

    SectionSizes out;
    out.files = pages.Count();
    out.thumbsPerPage = overview_.Grid().PerPage;
    out.overviewPages = overview_.OverviewPageCount();
    out.contentsLines = contents_.LinesPerPage();
    out.contentsPages = contents_.ContentsPageCount();
    out.indexPages = index_.IndexPageCount();
    TIndex_Fm *index = &index_;
    out.indexFirstLineOfPage = [index](int page) { return index->FirstLineOfPage(page); };
    out.indexPageOfLine = [index](int line) { return index->PageOfLine(line); };
    return out;
}

} // namespace pagero
