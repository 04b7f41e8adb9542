#pragma once
// The overview, contents and index sections of one book build: the build step lays the three
// windows out for the left page's content rectangle, brings the thumbnails up to date (which may
// fail or be cancelled) and reports the page counts and mappings the book layout needs.
#include "core/book/BookLayout.h"
#include <QRect>
#include <QString>
#include <QStringList>

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
};

class SectionBuilder {
public:
    virtual ~SectionBuilder() = default;
    // Lays out the sections and fills `out`; false when the build failed or was cancelled.
    virtual bool Build(const SectionBuildInput &in, SectionSizes &out) = 0;
};

// The build step of the program: the overview, contents and index windows.
class WindowSectionBuilder : public SectionBuilder {
public:
    WindowSectionBuilder(TOverView_Fm &overview, TContents_Fm &contents, TIndex_Fm &index)
        : overview_(overview), contents_(contents), index_(index) {}
    bool Build(const SectionBuildInput &in, SectionSizes &out) override;

private:
    TOverView_Fm &overview_;
    TContents_Fm &contents_;
    TIndex_Fm &index_;
};

} // namespace pagero
