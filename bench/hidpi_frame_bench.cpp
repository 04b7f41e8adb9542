// The book at 1920 x 1080 book pixels on a plain screen and on a 2x screen (3840 x 2160 device
// pixels): composing the open spread (stacks, frames, two cached pages) and one flip frame.
// Prints the medians of both ratios from the same run.
#include "app/FlipAnimator.h"
#include "bench/PainterBenchTiming.h"

#include <QApplication>
#include <cstdio>

using namespace pagero;

namespace {

struct Medians {
    double spread, flipFrame;
};

Medians Measure(qreal ratio)
{
    const BookGeometry geo = BookGeometry::For(QSize(1920, 1080), 0);
    BookLayout layout;
    SectionSizes sizes;
    sizes.overviewPages = 10;
    sizes.contentsPages = 4;
    sizes.files = 200;
    sizes.indexPages = 5;
    layout.Compute(sizes);
    FlipState flip;
    flip.LastPageNo = layout.LastPageNo;
    flip.SetPageW(geo.PageW);
    flip.SetFlipSpeed(15);
    flip.LeftPageNo = 20;
    flip.RightPageNo = 21;
    Settings settings;
    settings.CoverKind = 1;
    PageList pages;
    BookScene scene;
    scene.geo = &geo;
    scene.layout = &layout;
    scene.flip = &flip;
    scene.pages = &pages;
    scene.settings = &settings;
    BookPainter painter;
    painter.Resize(geo, ratio);
    FlipAnimator animator(painter);

    painter.RenderSpread(scene, painter.ViewImage1);   // pages cached
    bench::Times spread = bench::TimeRuns(30, [&] { painter.RenderSpread(scene, painter.ViewImage1); });

    flip.Enqueue(Forward, 2);
    painter.InvalidatePageCache();
    painter.RenderSpread(scene, painter.ViewImage2);
    for (const FlipLeaf &leaf : flip.leaves) {
        painter.GetPage(scene, leaf.FrontPage);
        painter.GetPage(scene, leaf.BackPage);
    }
    bench::Times frames;
    for (int round = 0; round < 3; ++round)
        for (int fold = geo.PageW - 2; fold > -geo.PageW; fold -= 23) {
            if (std::abs(fold) < 10)
                continue;
            flip.leaves[0].FoldX = fold;
            bench::TimeOnce(frames, [&] { animator.ComposeFrame(scene); });
        }
    bench::Sort(frames);
    return {bench::Median(spread.wallMs), bench::Median(frames.wallMs)};
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    for (const qreal ratio : {1.0, 2.0}) {
        const Medians m = Measure(ratio);
        std::printf("ratio %.0f (%d x %d device pixels): spread median %.2f ms, flip frame median %.2f ms\n", ratio,
                    int(1920 * ratio), int(1080 * ratio), m.spread, m.flipFrame);
    }
    return 0;
}
