#include "app/BookBuild.h"
#include "app/AlbumSession.h"
#include "app/BookPainter.h"
#include "app/MainMenus.h"
#include "app/SaveReporter.h"
#include "app/SelectionList.h"
#include "core/book/BookGeometry.h"
#include "core/book/BookLayout.h"
#include "core/book/FlipState.h"
#include "core/book/PageList.h"
#include "core/book/Settings.h"
#include "pages/OrvOverView_Ut.h"
#include "pages/OrvProgress.h"
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTimer>
#include <QToolBar>

namespace pagero {

BookBuild::BookBuild(Parts parts, const MainMenus &menus, std::unique_ptr<SectionBuilder> sections,
                     std::function<int()> sortOrder)
    : book_(parts), menus_(menus), sections_(std::move(sections)), sortOrder_(std::move(sortOrder))
{
}

void BookBuild::Build(std::function<void(bool built)> done)
{
    building_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The tool bar, the pop-up's auto-flipping item and the Help menu rest during a build; each
    // gets back the state it had.
    QAction *autoFlipping = menus_.actions.AutoFlipping2;
    const bool autoFlippingWas = autoFlipping->isEnabled();
    const auto enableCommands = [this, autoFlipping, autoFlippingWas](bool on) {
        menus_.toolBar->setEnabled(on);
        autoFlipping->setEnabled(on && autoFlippingWas);
        menus_.menus.Help1->menuAction()->setEnabled(on);
    };
    enableCommands(false);
    // The album-opening percentages go to the progress window, which keeps them without showing.
    TProgress_Fm *progress = book_.overview.Progress();
    const auto albumProgress = [progress](int percent) { progress->SetAlbumProgress(percent); };
    book_.pages.Build(book_.session.AlbumFolder, book_.session.FilterMask, sortOrder_(), albumProgress);
    SectionBuildInput in;
    in.pages = &book_.pages;
    in.selection = &book_.selection.paths;
    in.leftContentLocal = book_.geo.leftContentLocal();
    in.thumbW = book_.settings.ThumbW;
    in.thumbH = book_.settings.ThumbH;
    in.overviewDir = book_.overviewDir;
    in.deviceRatio = book_.painter.DeviceRatio();
    in.progress = albumProgress;
    sections_->Build(in, [this, enableCommands, done = std::move(done)](bool built, const SectionSizes &sizes) {
        if (built) {
            book_.layout.Compute(sizes);
            book_.flip.LastPageNo = book_.layout.LastPageNo;
            book_.selection.DropMissing();
            book_.painter.InvalidatePageCache();
            KeepSpreadInBook();
        }
        QApplication::restoreOverrideCursor();
        enableCommands(true);
        building_ = false;
        if (built)
            book_.saves.CheckThumbnailCache(book_.overview.CacheUnavailable(), book_.overview.CacheWriteFailed(),
                                            book_.overviewDir);
        if (done) done(built);
        RunAfterBuild();
    });
}

bool BookBuild::ProgramMinimised()
{
    TProgress_Fm *progress = book_.overview.Progress();
    book_.overview.OverviewWasVisible = progress->isVisible() && !progress->isMinimized();
    return book_.overview.OverviewWasVisible;
}

void BookBuild::ProgramRestored(bool progressWasVisible)
{
    TProgress_Fm *progress = book_.overview.Progress();
    const int gauge = progress->Gauge();
    if (progressWasVisible && (gauge == 100 || book_.overview.Generating())
        && (progress->isHidden() || progress->isMinimized())) {
        progress->showNormal();
        progress->SetGauge(gauge);   // showing the window starts its gauge again
    }
    book_.overview.OverviewWasVisible = false;
}

void BookBuild::KeepSpreadInBook()
{
    FlipState &flip = book_.flip;
    if (flip.LastPageNo < flip.LeftPageNo || flip.LastPageNo < flip.RightPageNo) {
        flip.LeftPageNo = flip.LastPageNo - 2;
        flip.RightPageNo = flip.LastPageNo - 1;
    }
}

void BookBuild::RunAfterBuild()
{
    // From the event loop, once the finished build's own follow-up has run.
    if (afterBuild_) QTimer::singleShot(0, this, [this] {
        if (building_ || !afterBuild_) return;
        std::exchange(afterBuild_, nullptr)();
    });
}

} // namespace pagero
