#pragma once
// Sizing of the overview, contents and index sections for one book build. The build asks a
// SectionBuilder; the overview, contents and index windows provide the real one (it lays them out,
// builds the thumbnails and may fail or be cancelled). Until they are part of the program,
// FallbackSectionBuilder computes the same page counts from the grid arithmetic alone.
#include "core/book/BookLayout.h"
#include <QRect>
#include <QString>

namespace pagero {

class PageList;

struct SectionBuildInput {
    const PageList *pages = nullptr;
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

// TEMPORARY stand-in until the overview, contents and index windows take over: thumbnail grid
// from a (thumbW + 6) x (thumbH + 23) cell, contents lines from the book font's line height,
// one index page. Never fails.
class FallbackSectionBuilder : public SectionBuilder {
public:
    bool Build(const SectionBuildInput &in, SectionSizes &out) override;
    static int ThumbsPerPage(const QRect &area, int thumbW, int thumbH);
    static int ContentsLinesPerPage(const QRect &area);
};

} // namespace pagero
