#pragma once
// The overview, contents and index sections of one book build: the build step lays the three
// windows out for the left page's content rectangle, brings the thumbnails up to date (which may
// take a while, fail, or be cancelled) and reports the page counts and mappings the book layout needs.
#include "core/book/BookLayout.h"
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>

namespace pagero {

class PageList;
class TOverView_Fm;
class TContents_Fm;
class TIndex_Fm;

struct SectionBuildInput {
    const PageList *pages = nullptr;
    const QStringList *selection = nullptr;
    QRect leftContentLocal;        // the left page's content rectangle, page-local
    int thumbW = 72, thumbH = 70;
    QString overviewDir;
    qreal deviceRatio = 1.0;       // device pixels per book pixel of the screen the book shows on
    // The album-opening progress in percent (thumbnails, then the index).
    std::function<void(int)> progress;
};

// The end of a section build: whether it succeeded (a cancelled thumbnail build still counts: the
// book shows with the thumbnails made so far) and, if so, the sizes.
using SectionBuildDone = std::function<void(bool built, const SectionSizes &sizes)>;

class SectionBuilder {
public:
    virtual ~SectionBuilder() = default;
    // Lays out the sections; `done` runs when they are ready, possibly before Build returns. The
    // input's pointers must stay valid until then.
    virtual void Build(const SectionBuildInput &in, SectionBuildDone done) = 0;
};

// The build step of the program: the overview, contents and index windows.
class WindowSectionBuilder : public SectionBuilder {
public:
    WindowSectionBuilder(TOverView_Fm &overview, TContents_Fm &contents, TIndex_Fm &index)
        : overview_(overview), contents_(contents), index_(index) {}
    void Build(const SectionBuildInput &in, SectionBuildDone done) override;

private:
    SectionSizes layOut(const SectionBuildInput &in);

    TOverView_Fm &overview_;
    TContents_Fm &contents_;
    TIndex_Fm &index_;
};

} // namespace pagero
